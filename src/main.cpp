#include "game/startup.h"
#include "sdl/display_sdl.h"

int main() { return runGame(sdlBackend); }
