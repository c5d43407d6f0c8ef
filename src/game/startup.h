#pragma once

#include "gfx/screen.h"

// Start-up up to the frame loop: starting values, pools and banks, the screen, the
// artwork from the current directory, sound, the opening crowd and the clock seed.
// False when no screen could be opened; screenError() says why.
bool startUp(DisplayBackend backend);

// The whole program: start-up, the frame loop until Escape, exit status.
int runGame();
