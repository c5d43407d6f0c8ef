// One 320 x 240 screen with two pages, bitmaps loaded onto the work page, images cut
// from it into the game's banks and drawn back in three modes. The display side that
// shows the visible page runs on its own thread and shares the screen lock.
//
// Pixels are 32-bit 0x00RRGGBB. An image buffer is a header word followed by its pixels,
// top row first: header low 16 bits = width * 8 + bytes per pixel (4), high 16 bits =
// height. Low 24 bits 0xFF00FF is the key colour, skipped by `transparent` and `blend`.
#pragma once

#include <cstdint>

// The header word of a width x height image with 4-byte pixels, as grabImage writes it.
constexpr uint32_t imageHeader(int width, int height) { return uint32_t(height) << 16 | uint32_t(width * 8 + 4); }

enum ScreenResult { resultOk = 0, resultInvalid = 1, resultNotFound = 2, resultBadFile = 3 };

enum DrawMode { transparent = 0, opaque = 1, blend = 6 };

// Results 0 ok, 1 invalid call or no display could be opened; screenError() then says why.
// The display openScreen starts is the one chosen with selectDisplay (gfx/display.h).
int openScreen(int width, int height, int depth, int pageCount, int flags, int refreshRate);
void closeScreen();
const char* screenError();

void setPages(int workPage, int visiblePage);
// A short line about the game for the display to show (the window's title, a line on the
// page); only a change reaches it. Nothing with no screen open.
void setScreenCaption(const char* text);
void clearScreen();
int loadBitmap(const char* path);
int grabImage(float x1, float y1, float x2, float y2, uint32_t* destination, const uint32_t* destinationEnd);
int putImage(float x, float y, const uint32_t* image, int mode, int opacity);

// Holds the screen lock across several operations, which then neither take nor release
// it; the display waits meanwhile. Does nothing if this thread already holds it.
void lockScreen();
void unlockScreen();

// Holds the screen lock for its lifetime unless this thread already holds it, so an
// operation called inside a held lock neither deadlocks nor releases it early.
class ScreenLockScope {
public:
    ScreenLockScope();
    ~ScreenLockScope();
    ScreenLockScope(const ScreenLockScope&) = delete;
    ScreenLockScope& operator=(const ScreenLockScope&) = delete;

private:
    bool took;
};

bool screenLockHeldHere();

// For tools: every putImage hands its arguments to the observer before drawing (null, the
// default: nobody listens), so a benchmark can record the draws of a frame and replay them.
using DrawObserver = void (*)(float x, float y, const uint32_t* image, int mode, int opacity);
void observeDraws(DrawObserver observer);

// The picture on screen: the visible page copied into `pixels` (width x height words, top
// row first, 0x00RRGGBB), which must hold capacity words. Takes the screen lock, so any
// thread may call it; false with no 32-bit screen open or too small a buffer.
bool copyVisiblePage(uint32_t* pixels, int capacity, int& width, int& height);

// Read access for tests and tools (null / -1 with no screen open).
const uint32_t* pagePixels(int page);
const uint8_t* dirtyFlags();
int workPageIndex();
int visiblePageIndex();
