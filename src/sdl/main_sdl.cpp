// The desktop game: SDL's display, and the sound device over SDL2_mixer linked beside it.
#include "game/startup.h"
#include "sdl/display_sdl.h"

int main() { return runGame(sdlBackend); }
