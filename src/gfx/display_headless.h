// Input of the headless display: what a player would do, set directly by tests and tools.
#pragma once

#include "gfx/display.h"

// The display with no window, for tests and tools: selectDisplay(headlessBackend).
extern const DisplayBackend headlessBackend;

// Keys pressed while the display is inactive are not heard; (de)activation releases every
// key and button, as a real window losing or gaining focus does.
void headlessSetKey(int scanCode, bool down);
// A pointer outside the page (or x < 0) cannot be reported: getMouse then fails,
// as it does for a window the pointer has left.
void headlessSetPointer(int x, int y);
void headlessSetButtons(int mask);
void headlessSetActive(bool active);
// Where setMouse last put the pointer and whether the system pointer is shown.
void headlessPointer(int& x, int& y);
bool headlessPointerVisible();
// The line the game last asked the display to show (a replay's time).
const char* headlessCaption();
// The pads as a platform would report them (every pad folded into one reading).
struct ControllerReading;
void headlessSetController(const ControllerReading& reading);
