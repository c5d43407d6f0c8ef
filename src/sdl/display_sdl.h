// The desktop's display: the page shown in a window or full screen, the keyboard and the
// mouse, through SDL. Only src/sdl/ sees SDL.
#pragma once

#include "gfx/display.h"

// selectDisplay(sdlBackend) before openScreen shows the game through SDL.
extern const DisplayBackend sdlBackend;
