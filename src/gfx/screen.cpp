// The screen: its pages, the work and visible page, and the operations that draw on the
// work page. The display side only ever reads the visible page and the dirty flags.
#include "gfx/screen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "gfx/display.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen_state.h"

ScreenState screen;
InputState input;

namespace {

std::string lastError;

// Far beyond any page but safely inside int, whatever a caller passes.
// Generous for any use of a 2D arcade screen, small enough that a silly request is
// refused instead of exhausting memory.
constexpr int sideLimit = 8192;
constexpr int pageCountLimit = 8;

int bytesPerPixelFor(int depth) {
    switch (depth) {
        case 8: return 1;
        case 15:
        case 16: return 2;
        case 24:
        case 32: return 4;
        default: return 0;
    }
}

void markAllDirty() { std::memset(screen.dirty.get(), 1, size_t(screen.height)); }

void pointRowsAtWorkPage() {
    auto* start = reinterpret_cast<uint8_t*>(pageStart(screen.workPage));
    for (int y = 0; y < screen.height; ++y)
        screen.rowTable[y] = reinterpret_cast<uint32_t*>(start + size_t(y) * size_t(screen.pitch));
}

bool allocateScreen(int width, int height, int bytesPerPixel, int pageCount) {
    screen.width = width;
    screen.height = height;
    screen.bytesPerPixel = bytesPerPixel;
    screen.pitch = width * bytesPerPixel;
    screen.pageCount = pageCount;
    screen.wordsPerPage = int((int64_t(screen.pitch) * height + 3) / 4);
    size_t words = size_t(screen.wordsPerPage) * size_t(pageCount);
    screen.pageMemory.reset(new (std::nothrow) uint32_t[words]());
    screen.rowTable.reset(new (std::nothrow) uint32_t*[size_t(height)]);
    screen.dirty.reset(new (std::nothrow) uint8_t[size_t(height)]());
    return screen.pageMemory && screen.rowTable && screen.dirty;
}

void freeScreen() {
    screen.pageMemory.reset();
    screen.rowTable.reset();
    screen.dirty.reset();
    screen = ScreenState{};
}

void closeAtExit() { closeScreen(); }

}  // namespace

uint32_t* pageStart(int page) { return screen.pageMemory.get() + size_t(page) * size_t(screen.wordsPerPage); }

int openScreen(int width, int height, int depth, int pageCount, int flags, int /*refreshRate*/) {
    int bytesPerPixel = bytesPerPixelFor(depth);
    if (width <= 0 || height <= 0 || bytesPerPixel == 0 || width > sideLimit || height > sideLimit) {
        lastError = "a screen needs a width and height from 1 to 8192 and a depth of 8, 15, 16, 24 or 32";
        return resultInvalid;
    }
    closeScreen();
    pageCount = std::clamp(pageCount, 1, pageCountLimit);
    if (!allocateScreen(width, height, bytesPerPixel, pageCount)) {
        freeScreen();
        lastError = "not enough memory for the screen pages";
        return resultInvalid;
    }
    screen.viewWidth = width;
    screen.viewHeight = height;
    pointRowsAtWorkPage();
    input = InputState{};
    screen.open = true;
    const char* cause = "";
    if (!display::start((flags & 1) != 0, cause)) {
        freeScreen();
        lastError = cause;
        return resultInvalid;
    }
    static bool closeRegistered = false;
    if (!closeRegistered) closeRegistered = std::atexit(closeAtExit) == 0;
    lastError.clear();
    return resultOk;
}

void closeScreen() {
    if (!screen.open) return;
    display::stop();
    ScreenLockScope lock;
    freeScreen();
    input = InputState{};  // keys and buttons belong to the display that has gone
}

const char* screenError() { return lastError.c_str(); }

void setScreenCaption(const char* text) {
    if (!screen.open || std::strncmp(text, screen.caption, sizeof screen.caption - 1) == 0) return;
    std::snprintf(screen.caption, sizeof screen.caption, "%s", text);
    display::caption(screen.caption);
}

void setPages(int workPage, int visiblePage) {
    if (!screen.open) return;
    if (workPage < 0 && visiblePage < 0) workPage = visiblePage = 0;
    if (workPage >= 0 && workPage < screen.pageCount) {
        screen.workPage = workPage;
        pointRowsAtWorkPage();
    }
    if (visiblePage >= 0 && visiblePage < screen.pageCount && visiblePage != screen.visiblePage) {
        // Showing a page only switches which buffer the display reads.
        ScreenLockScope lock;
        screen.visiblePage = visiblePage;
        markAllDirty();
        display::wake();
    }
}

void clearScreen() {
    if (!screen.open) return;
    ScreenLockScope lock;
    if (screen.bytesPerPixel == 4) {
        for (int y = 0; y < screen.height; ++y) fillSpan(screen.rowTable[y], screen.width, screen.backgroundColour);
    } else {
        // The game never opens 8- or 16-bit pages; their background is black.
        std::memset(pageStart(screen.workPage), 0, size_t(screen.pitch) * size_t(screen.height));
    }
    if (screen.workPage == screen.visiblePage) markAllDirty();
}

const uint32_t* pagePixels(int page) {
    if (!screen.open || page < 0 || page >= screen.pageCount) return nullptr;
    return pageStart(page);
}

bool copyVisiblePage(uint32_t* pixels, int capacity, int& width, int& height) {
    ScreenLockScope lock;
    if (!screen.open || screen.bytesPerPixel != 4 || capacity < screen.width * screen.height) return false;
    width = screen.width;
    height = screen.height;
    std::memcpy(pixels, pageStart(screen.visiblePage), size_t(width) * size_t(height) * 4);
    return true;
}

const uint8_t* dirtyFlags() { return screen.open ? screen.dirty.get() : nullptr; }
int workPageIndex() { return screen.open ? screen.workPage : -1; }
int visiblePageIndex() { return screen.open ? screen.visiblePage : -1; }
