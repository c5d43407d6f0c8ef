// The desktop's display: the page shown in a window or full screen, the keyboard and the
// mouse, through SDL. Only src/sdl/ sees SDL.
#pragma once

#include "gfx/display.h"

// selectDisplay(sdlBackend) before openScreen shows the game through SDL.
extern const DisplayBackend sdlBackend;

// The window's size, as a whole factor of the page, for the next openScreen; 0 (the
// default) takes the largest that fits the desktop.
void chooseWindowScale(int scale);
