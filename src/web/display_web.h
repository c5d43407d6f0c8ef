// The browser platform's display: the visible page in the page's <canvas>, input from the
// page's events (web/page.js calls the web* functions display_web.cpp exports).
#pragma once

#include "gfx/display.h"

// selectDisplay(webBackend), or startUp(webBackend), shows the game in the page.
extern const DisplayBackend webBackend;
