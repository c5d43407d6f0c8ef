#pragma once

#include "gfx/display.h"

// When start-up opens the sound device and loads the samples: before it returns (tests
// and tools want them in place), or in the background, so that a machine that takes its
// time to find (or not find) a sound card shows the player's first picture at once.
enum class SoundStart { beforeReturning, inBackground };

// Start-up up to the frame loop: starting values, pools and banks, the screen, the
// artwork from the current directory, sound, the opening crowd and the clock seed.
// False when no screen could be opened; screenError() says why.
bool startUp(const DisplayBackend& backend, SoundStart soundStart = SoundStart::beforeReturning);

// The player's whole program on the given display: start-up with sound in the
// background, the frame loop until Escape, exit status.
int runGame(const DisplayBackend& backend);
