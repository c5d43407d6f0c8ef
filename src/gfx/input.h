// Keyboard by set-1 scan code and the mouse, as the game reads them. The clock is in
// clock.h, the random generator in random.h.
#pragma once

// The keys the game reads, by set-1 scan code. The arrows share their codes with keypad
// 4 and 6, so either scrolls.
constexpr int scanEscape = 1;
constexpr int scanLeft = 75;
constexpr int scanRight = 77;

// The bits of the mouse's button mask.
constexpr int leftButton = 1;
constexpr int rightButton = 2;
constexpr int middleButton = 4;

int keyDown(int scanCode);  // -1 while down, 0 otherwise
// Position in page pixels, wheel count and button mask (leftButton | rightButton | middleButton).
// When the pointer cannot be reported all four are -1 and the result is non-zero.
int getMouse(int& x, int& y, int& wheel, int& buttons);
void setMouse(int x, int y, int cursor);
