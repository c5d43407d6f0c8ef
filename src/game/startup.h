#pragma once

#include "gfx/display.h"

// Start-up up to the frame loop: starting values, pools and banks, the screen, the
// artwork from the current directory, sound, the opening crowd and the clock seed.
// False when no screen could be opened; screenError() says why.
bool startUp(const DisplayBackend& backend);

// The whole program on the given display: start-up, the frame loop until Escape, exit status.
int runGame(const DisplayBackend& backend);
