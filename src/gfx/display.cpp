// Routes the display contract to the platform chosen by selectDisplay.
#include "gfx/display.h"

static DisplayBackend chosenBackend = DisplayBackend::sdl;
static DisplayBackend runningBackend = DisplayBackend::sdl;

void selectDisplay(DisplayBackend backend) { chosenBackend = backend; }

namespace display {

bool start(bool fullScreen, const char*& error) {
    runningBackend = chosenBackend;
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::start(fullScreen, error);
    return sdlDisplay::start(fullScreen, error);
}

void stop() {
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::stop();
    sdlDisplay::stop();
}

void wake() {
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::wake();
    sdlDisplay::wake();
}

bool pointer(int& x, int& y) {
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::pointer(x, y);
    return sdlDisplay::pointer(x, y);
}

void movePointer(int x, int y) {
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::movePointer(x, y);
    sdlDisplay::movePointer(x, y);
}

void showPointer(bool visible) {
    if (runningBackend == DisplayBackend::headless) return headlessDisplay::showPointer(visible);
    sdlDisplay::showPointer(visible);
}

}  // namespace display
