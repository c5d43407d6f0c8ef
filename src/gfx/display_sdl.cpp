// The SDL display is still being written; until then openScreen reports why it failed.
#include "gfx/display.h"

namespace sdlDisplay {
bool start(bool, const char*& error) {
    error = "the SDL display is not built yet; use the headless display";
    return false;
}
void stop() {}
void wake() {}
bool pointer(int&, int&) { return false; }
void movePointer(int, int) {}
void showPointer(bool) {}
}  // namespace sdlDisplay
