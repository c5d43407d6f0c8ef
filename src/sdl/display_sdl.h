// The SDL platform: the display that shows the page in a window or full screen and reads
// the keyboard and mouse through SDL. The only place besides the sound layer that sees SDL.
#pragma once

#include "gfx/display.h"

// selectDisplay(sdlBackend) before openScreen shows the game through SDL.
extern const DisplayBackend sdlBackend;

// The key-table entry (set-1 scan code) that an SDL scancode (a USB usage) sets, or -1.
int scanCodeForSdlKey(int sdlScancode);
