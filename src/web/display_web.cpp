// The browser display: the visible page put into the page's <canvas> each time a new page
// is shown, and the player's input handed in by the page's event listeners through the
// exported web* functions, which report it to the graphics layer (gfx/input.h). Everything
// runs on the browser's one thread, so the screen lock is never contended; the report
// calls take it all the same, as on the desktop.
#include <emscripten.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/display.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/pixel_spans.h"
#include "web/display_web.h"

// Implemented in src/web/platform.js.
extern "C" {
void jsShowPage(const uint32_t* rgba, int width, int height);
void jsShowPointer(int visible);
void jsCaption(const char* text);
}

namespace {

// The visible page as ImageData takes it: bytes R, G, B, A, one 32-bit word a pixel. Its
// place in the module's memory never changes, so the page's ImageData looks straight at it.
std::vector<uint32_t> canvasPixels;
// The keys held, by USB usage: of two keys sharing an entry (Left and keypad 4), letting
// go of one leaves the entry down while the other is held.
uint8_t keysHeld[keyUsageCount] = {};
bool screenOpen = false;
bool fullScreen = false;         // the page is full screen (the browser says when)
bool pointerKnown = false;       // the pointer is over the canvas (or was put there)
int pointerX = 0, pointerY = 0;  // page pixels, possibly off the page

void showVisiblePage() {
    const uint32_t* page = visiblePage();
    if (page == nullptr) return;
    const int width = screenWidth(), height = screenHeight();
    const size_t pixels = size_t(width) * size_t(height);
    canvasPixels.resize(pixels);
    rgbaSpan(canvasPixels.data(), page, int(pixels));
    visiblePageShown();
    jsShowPage(canvasPixels.data(), width, height);
}

void forgetHeldKeys() {
    for (uint8_t& held : keysHeld) held = 0;
}

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
bool start(bool /*fullScreen*/, int /*windowScale*/, const char*& /*error*/) {
    forgetHeldKeys();
    screenOpen = true;
    fullScreen = false;
    pointerKnown = false;
    showVisiblePage();
    return true;
}

void stop() { screenOpen = false; }

void wake() { showVisiblePage(); }

// In the page the canvas is a window; full screen, the page is the picture.
bool pointer(int& x, int& y) {
    if (!pointerKnown) return false;
    int px = pointerX, py = pointerY;
    if (!pointerToPage(px, py, screenWidth(), screenHeight(), fullScreen)) return false;
    x = px;
    y = py;
    return true;
}

// A page cannot move the system pointer; the game's pointer sits there until the real one
// moves over the canvas.
void movePointer(int x, int y) {
    pointerKnown = true;
    pointerX = x;
    pointerY = y;
}

void showPointer(bool visible) { jsShowPointer(visible ? 1 : 0); }

void caption(const char* text) { jsCaption(text); }

}  // namespace webDisplay

// ---- what the page's listeners call ------------------------------------------------------

extern "C" {

// A key went down or up. Returns 1 when the game has an entry for it, so the page keeps
// the browser from acting on it (arrows scrolling the page).
EMSCRIPTEN_KEEPALIVE int webKey(const char* code, int down, int repeat) {
    const int usage = usageForWebCode(code);
    if (usage < 0 || scanCodeForUsage(usage) < 0) return 0;
    if (!screenOpen || !inputActive() || repeat) return 1;
    keysHeld[usage] = down ? 1 : 0;
    if (down) reportKeyPressed(usage);
    reportKeysHeld(keysHeld, keyUsageCount);
    return 1;
}

// The pointer at (x, y) CSS pixels from the canvas's top-left corner, the canvas being
// width x height CSS pixels on the page: the page pixel under it, which may lie off the page.
EMSCRIPTEN_KEEPALIVE void webPointer(double x, double y, double width, double height) {
    if (!screenOpen || width <= 0 || height <= 0) return;
    pointerKnown = true;
    pointerX = int(std::floor(x * screenWidth() / width));
    pointerY = int(std::floor(y * screenHeight() / height));
}

// The pointer left the browser's window.
EMSCRIPTEN_KEEPALIVE void webPointerGone() { pointerKnown = false; }

EMSCRIPTEN_KEEPALIVE void webButton(int domButton, int down) {
    if (screenOpen) reportMouseButton(buttonBit(domButton), down != 0);
}

// The page gained or lost the keyboard (focus, a hidden tab): everything held is
// forgotten either way, as on the desktop.
EMSCRIPTEN_KEEPALIVE void webActive(int active) {
    if (!screenOpen) return;
    forgetHeldKeys();
    reportActive(active != 0);
}

EMSCRIPTEN_KEEPALIVE void webFullScreen(int on) {
    if (screenOpen) fullScreen = on != 0;
}

}  // extern "C"

// ---- the display contract ---------------------------------------------------------------

const DisplayBackend webBackend = {webDisplay::start,   webDisplay::stop,        webDisplay::wake,
                                   webDisplay::pointer, webDisplay::movePointer, webDisplay::showPointer,
                                   webDisplay::caption};
