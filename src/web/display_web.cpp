// The browser display: the visible page put into the page's <canvas> each time a new page
// is shown, and the player's input handed in by the page's event listeners (web/page.js)
// through the exported web* functions. Everything runs on the browser's one thread, so
// the screen lock is never contended; it is still taken where the desktop takes it.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/display.h"
#include "gfx/input.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen_state.h"
#include "web/display_web.h"
#include "web/web_keys.h"

// Implemented in web/platform.js.
extern "C" {
void jsShowPage(const uint32_t* rgba, int width, int height);
void jsShowPointer(int visible);
}

namespace {

// The visible page as ImageData takes it: bytes R, G, B, A, one 32-bit word a pixel. Its
// place in the module's memory never changes, so the page's ImageData looks straight at it.
std::vector<uint32_t> canvasPixels;
std::vector<uint8_t> keysHeld;   // one flag per KeyboardEvent.code the table knows
bool pointerKnown = false;       // the pointer is over the canvas (or was put there)
int pointerX = 0, pointerY = 0;  // page pixels, possibly off the page

void showVisiblePage() {
    if (screen.bytesPerPixel != 4) return;
    const size_t pixels = size_t(screen.width) * size_t(screen.height);
    canvasPixels.resize(pixels);
    rgbaSpan(canvasPixels.data(), pageStart(screen.visiblePage), int(pixels));
    std::fill(screen.dirty.get(), screen.dirty.get() + screen.height, uint8_t(0));
    jsShowPage(canvasPixels.data(), screen.width, screen.height);
}

// Key-table entries follow the keys held: of two keys sharing an entry, releasing one
// leaves the entry down while the other is still held.
void refreshKeyEntry(int scanCode) {
    bool down = false;
    for (int i = 0; i < webKeyCount(); ++i)
        if (keysHeld[size_t(i)] && webKeyScanCode(i) == scanCode) down = true;
    input.keyTable[scanCode] = down ? 1 : 0;
}

void forgetHeldKeys() { std::fill(keysHeld.begin(), keysHeld.end(), uint8_t(0)); }

int buttonBit(int domButton) {
    switch (domButton) {
        case 0: return leftButton;  // the main button
        case 2: return rightButton;
        case 1: return middleButton;
        default: return 0;
    }
}

}  // namespace

namespace webDisplay {

// Browsers allow full screen only in answer to the player (the page's button, Alt+Enter),
// so the game always opens in the page.
bool start(bool /*fullScreen*/, const char*& /*error*/) {
    keysHeld.assign(size_t(webKeyCount()), 0);
    pointerKnown = false;
    screen.fullScreen = false;
    showVisiblePage();
    return true;
}

void stop() {}

void wake() { showVisiblePage(); }

// In the page the canvas is a window: a pointer off it cannot be reported. Full screen
// clamps to the page, as on the desktop.
bool pointer(int& x, int& y) {
    if (!pointerKnown) return false;
    if (screen.fullScreen) {
        x = std::clamp(pointerX, 0, screen.width - 1);
        y = std::clamp(pointerY, 0, screen.height - 1);
        return true;
    }
    if (pointerX < 0 || pointerY < 0 || pointerX >= screen.width || pointerY >= screen.height) return false;
    x = pointerX;
    y = pointerY;
    return true;
}

// A page cannot move the system pointer; the game's pointer sits there until the real one
// moves over the canvas.
void movePointer(int x, int y) {
    ScreenLockScope lock;
    pointerKnown = true;
    pointerX = x;
    pointerY = y;
}

void showPointer(bool visible) { jsShowPointer(visible ? 1 : 0); }

}  // namespace webDisplay

// ---- what the page's listeners call ------------------------------------------------------

extern "C" {

// A key went down or up. Returns 1 when the game has an entry for it, so the page keeps
// the browser from acting on it (arrows scrolling the page). A press is noted until the
// game reads it, so a tap between two frames still reaches the game once.
EMSCRIPTEN_KEEPALIVE int webKey(const char* code, int down, int repeat) {
    const int index = webKeyIndex(code);
    if (index < 0) return 0;
    if (!screen.open || !input.active || repeat) return 1;
    ScreenLockScope lock;
    const int scanCode = webKeyScanCode(index);
    keysHeld[size_t(index)] = down ? 1 : 0;
    if (down) input.keysPressedUnread[scanCode] = 1;
    refreshKeyEntry(scanCode);
    return 1;
}

// The pointer at (x, y) CSS pixels from the canvas's top-left corner, the canvas being
// width x height CSS pixels on the page: the page pixel under it, which may lie off the page.
EMSCRIPTEN_KEEPALIVE void webPointer(double x, double y, double width, double height) {
    if (!screen.open || width <= 0 || height <= 0) return;
    ScreenLockScope lock;
    pointerKnown = true;
    pointerX = int(std::floor(x * screen.width / width));
    pointerY = int(std::floor(y * screen.height / height));
}

// The pointer left the browser's window.
EMSCRIPTEN_KEEPALIVE void webPointerGone() {
    ScreenLockScope lock;
    pointerKnown = false;
}

EMSCRIPTEN_KEEPALIVE void webButton(int domButton, int down) {
    if (!screen.open || !input.active) return;
    ScreenLockScope lock;
    const int bit = buttonBit(domButton);
    if (down) {
        input.buttons |= bit;
        input.buttonsPressedUnread |= bit;
    } else {
        input.buttons &= ~bit;
    }
}

// The page gained or lost the keyboard (focus, a hidden tab): everything held is
// forgotten either way, as on the desktop.
EMSCRIPTEN_KEEPALIVE void webActive(int active) {
    if (!screen.open) return;
    ScreenLockScope lock;
    input.active = active != 0;
    releaseAllInput();
    forgetHeldKeys();
}

EMSCRIPTEN_KEEPALIVE void webFullScreen(int on) {
    if (!screen.open) return;
    ScreenLockScope lock;
    screen.fullScreen = on != 0;
}

}  // extern "C"

// ---- the display contract ---------------------------------------------------------------

const DisplayBackend webBackend = {webDisplay::start,   webDisplay::stop,        webDisplay::wake,
                                   webDisplay::pointer, webDisplay::movePointer, webDisplay::showPointer};
