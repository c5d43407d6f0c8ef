// The null display: nothing is shown, and the player's input is whatever tests and tools
// set through display_headless.h. The pages are read with pagePixels. The game runs the
// same on it.
#include "gfx/display_headless.h"

#include <cstdio>

#include "gfx/controller.h"
#include "gfx/display.h"
#include "gfx/screen_state.h"

namespace {
int pointerX = -1, pointerY = -1;  // where the pointer is now
int placedX = -1, placedY = -1;    // where setMouse last put it
char captionShown[64] = {};
}  // namespace

namespace headlessDisplay {

bool start(bool /*fullScreen*/, int /*windowScale*/, const char*& /*error*/) {
    pointerX = pointerY = placedX = placedY = -1;
    return true;
}

void stop() {}
void wake() {}

// Behaves as a window: a pointer off the page cannot be reported.
bool pointer(int& x, int& y) {
    int px = pointerX, py = pointerY;
    if (!pointerToPage(px, py, screen.width, screen.height, false)) return false;
    x = px;
    y = py;
    return true;
}

void movePointer(int x, int y) {
    ScreenLockScope lock;
    pointerX = placedX = x;
    pointerY = placedY = y;
}

void showPointer(bool /*visible*/) {}

void caption(const char* text) { std::snprintf(captionShown, sizeof captionShown, "%s", text); }

}  // namespace headlessDisplay

const DisplayBackend headlessBackend = {
    headlessDisplay::start,       headlessDisplay::stop,        headlessDisplay::wake,   headlessDisplay::pointer,
    headlessDisplay::movePointer, headlessDisplay::showPointer, headlessDisplay::caption};

const char* headlessCaption() { return captionShown; }

// An inactive window hears no keys, as on a real display.
void headlessSetKey(int scanCode, bool down) {
    if (scanCode < 0 || scanCode > 127) return;
    ScreenLockScope lock;
    if (input.active) input.keyTable[scanCode] = down ? 1 : 0;
}

void headlessSetPointer(int x, int y) {
    ScreenLockScope lock;
    pointerX = x;
    pointerY = y;
}

void headlessSetButtons(int mask) {
    ScreenLockScope lock;
    input.buttons = mask & 7;
}

void headlessSetController(const ControllerReading& reading) {
    ScreenLockScope lock;
    input.controller = reading;
}

// Like the window gaining or losing focus: everything held is forgotten either way.
void headlessSetActive(bool active) {
    ScreenLockScope lock;
    input.active = active;
    releaseAllInput();
}

void headlessPointer(int& x, int& y) {
    ScreenLockScope lock;
    x = placedX;
    y = placedY;
}

bool headlessPointerVisible() {
    ScreenLockScope lock;
    return input.pointerVisible;
}
