// Keyboard by set-1 scan code, the mouse, the clock, a short sleep and the one random
// generator of the game.
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

double timer();        // seconds from an arbitrary origin, sub-millisecond resolution
void sleepMs(int ms);  // gives up the processor for 1 to 99 ms

// Uniform in [0, 1) in steps of 1/32768; n = 0 repeats the last value without drawing.
double rnd(int n);
// Seeds the generator with the truncated seed (-1: the clock) and throws one output away.
void randomize(double seed);
extern double lastRnd;
// Back to the state of a fresh process, for a start-up that is not the process's first.
void resetRandomGenerator();
