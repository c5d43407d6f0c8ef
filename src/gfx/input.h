// Keyboard by set-1 scan code, the mouse and game controllers, as the game reads them. The
// clock is in clock.h, the random generator in random.h.
#pragma once

// The keys the game reads, by set-1 scan code. The arrows share their codes with keypad
// 4 and 6, so either scrolls.
constexpr int scanEscape = 1;
constexpr int scanLeft = 75;
constexpr int scanRight = 77;
// The sound keys: M mutes, minus and equals (or keypad minus and plus) step the volume.
constexpr int scanM = 0x32;
constexpr int scanMinus = 0x0C;
constexpr int scanEquals = 0x0D;
constexpr int scanKeypadMinus = 0x4A;
constexpr int scanKeypadPlus = 0x4E;

// The bits of the mouse's button mask.
constexpr int leftButton = 1;
constexpr int rightButton = 2;
constexpr int middleButton = 4;

int keyDown(int scanCode);  // -1 while down, 0 otherwise
// Position in page pixels, wheel count and button mask (leftButton | rightButton | middleButton).
// When the pointer cannot be reported all four are -1 and the result is non-zero.
// The game calls it once a frame, and each call is one frame of the game controllers
// (controller.h): a stick moves the crosshair by one frame's worth, the pads' buttons join
// the mouse's, and the arrow and Escape entries they hold are what keyDown reports next.
int getMouse(int& x, int& y, int& wheel, int& buttons);
void setMouse(int x, int y, int cursor);
