// The player's whole program on the desktop, once the command line has been read.
#pragma once

#include "sdl/command_line.h"

// Recalls the settings, lets the command line's choices override them for this run, plays
// until Escape and returns the exit status (1 when no screen could be opened).
int playDesktopGame(const RunChoices& choices);
