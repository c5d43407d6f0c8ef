// Keyboard by set-1 scan code (keys.h names them), the mouse and game controllers, as the
// game reads them. The clock is in clock.h, the random generator in random.h.
#pragma once

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

// ---- What a platform reports ---------------------------------------------------------------
// The display side calls these as the player acts; each takes the screen lock (or goes on
// under it when its thread holds it already). While the display is inactive nothing held
// or pressed is heard.
#include <cstdint>
struct ControllerReading;

// The keys held now, by USB HID usage (gfx/keys.h): `heldByUsage[usage]` non-zero for a key
// held; `count` entries, up to keyUsageCount of them read. The key table follows them.
void reportKeysHeld(const uint8_t* heldByUsage, int count);
// A key went down (a repeat is not a press): the game hears it once, even if it is let go
// before the next frame reads it.
void reportKeyPressed(int usage);
// A mouse button (leftButton, rightButton or middleButton) went down or up; a press is
// heard once even if let go before the next frame.
void reportMouseButton(int button, bool down);
// The wheel turned by `steps` notches, away from the player positive.
void reportMouseWheel(int steps);
// The display gained or lost the keyboard (focus, a hidden tab): every key, button and pad
// press held is forgotten either way.
void reportActive(bool active);
bool inputActive();
// Every pad the platform has open, folded into one reading (controller.h). Presses the
// game has not yet read are kept, and the reading's own added to them.
void reportControllers(const ControllerReading& reading);
