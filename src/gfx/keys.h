// The keys the game knows: one table for every platform. A row names a key by its USB HID
// usage (the keyboard page), the numbering SDL's scancodes and the browser's
// KeyboardEvent.code both follow, and gives the set-1 scan code the game reads it by
// (input.h) and the name the browser gives it. The extended keys share the entry of their
// keypad twin: Left and keypad 4 are both scanLeft.
#pragma once

// Set-1 scan codes of the keys named outside the table: the pads stand in for Escape and
// the arrows (controller.h), and the game gives these and a few more their meanings
// (game/game_keys.h). The arrows share their codes with keypad 4 and 6.
constexpr int scanEscape = 0x01;
constexpr int scanMinus = 0x0C;
constexpr int scanEquals = 0x0D;
constexpr int scanP = 0x19;
constexpr int scanF = 0x21;
constexpr int scanM = 0x32;
constexpr int scanPeriod = 0x34;
constexpr int scanSpace = 0x39;
constexpr int scanKeypadMinus = 0x4A;
constexpr int scanLeft = 0x4B;
constexpr int scanRight = 0x4D;
constexpr int scanKeypadPlus = 0x4E;

// Usages 0 to 255 hold every key a keyboard reports; a platform's table of keys held is
// indexed by usage up to here.
constexpr int keyUsageCount = 256;

// The scan code a usage sets, or -1 for a key the game has no entry for.
int scanCodeForUsage(int usage);
// The usage of a KeyboardEvent.code name, or -1 for a name the table does not know.
int usageForWebCode(const char* code);
