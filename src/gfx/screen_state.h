// The one screen of the process and the input state the platform keeps current through
// input.h's report calls. Private to the graphics layer: the game and the platforms see
// screen.h, input.h and display.h, never this.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/controller.h"
#include "gfx/screen.h"

struct ScreenState {
    bool open = false;
    int width = 0, height = 0;
    int bytesPerPixel = 0;
    int pitch = 0;  // bytes per page row
    int pageCount = 0;
    int wordsPerPage = 0;
    std::unique_ptr<uint32_t[]> pageMemory;  // every page, one after the other, black at creation
    int workPage = 0;
    int visiblePage = 0;
    std::unique_ptr<uint32_t*[]> rowTable;  // start of each row of the work page
    std::unique_ptr<uint8_t[]> dirty;       // 1: row of the visible page not yet shown
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    uint32_t backgroundColour = 0;
    char caption[64] = {};  // the line the display was last given to show
};

// Written by the display side (or the headless setters) under the screen lock.
struct InputState {
    uint8_t keyTable[128] = {};
    // Presses not yet read by keyDown or getMouse: a key or button pressed and released
    // between two refresh passes still reaches the game once.
    uint8_t keysPressedUnread[128] = {};
    int buttons = 0;
    int buttonsPressedUnread = 0;
    int wheel = 0;
    bool active = true;
    bool pointerVisible = true;
    ControllerReading controller;  // every pad the platform has open, folded into one
    // The game's thread's own, in getMouse: the mapping's memory, and the key-table entries
    // the pads held in the last frame (the arrows and Escape), which keyDown adds in.
    ControllerMemory controllerMemory;
    uint8_t controllerKeys[128] = {};
};

// On (de)activation every key and button reads as up until pressed again.
void releaseAllInput();

extern ScreenState screen;
extern InputState input;

uint32_t* pageStart(int page);

// A page coordinate from a caller's single: halves away from zero; false for NaN. Huge
// values are clamped far off the page first, so the conversion to int is always defined;
// converting to int drops the fraction, so v + 0.5 and v - 0.5 need no separate trunc.
// Inline: every putImage rounds twice.
constexpr double coordinateLimit = 1e9;
inline bool roundToPixel(float value, int& pixel) {
    double v = value;
    if (!(v >= -coordinateLimit && v <= coordinateLimit)) {
        if (v != v) return false;  // NaN
        v = v > 0 ? coordinateLimit : -coordinateLimit;
    }
    pixel = int(v > 0 ? v + 0.5 : v - 0.5);
    return true;
}
