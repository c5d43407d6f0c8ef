// What the tests share: a headless 320 x 240 screen with two pages, as the game opens it;
// fresh game memory on top of it for the world tests; images to draw; and reading pages.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/crowd.h"
#include "game/game_state.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/pixel_spans.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "tools/scenario/scenario_runner.h"  // lastDrawnPage, the page the last frame drew

class HeadlessScreen : public ::testing::Test {
protected:
    void SetUp() override {
        selectDisplay(headlessBackend);
        ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk) << screenError();
        useDrawingForm(bestDrawingForm());
    }
    void TearDown() override {
        closeScreen();
        useDrawingForm(bestDrawingForm());
    }
};

// Fresh pools and banks, page 0 drawn while the black page 1 is shown, a crowd of 100
// walking right and the generator seeded with 1.
class WorldTest : public HeadlessScreen {
protected:
    void SetUp() override {
        HeadlessScreen::SetUp();
        resetGameMemory();
        setPages(0, 1);
        clearScreen();
        game.crowdCount = 100;
        game.crowdDirection = 1;
        randomize(1);
    }
};

// ---- Images -------------------------------------------------------------------------------

// An image buffer of the given size, every pixel `colour`.
inline std::vector<uint32_t> solidImage(int width, int height, uint32_t colour) {
    std::vector<uint32_t> image(1 + size_t(width) * size_t(height), colour);
    image[0] = imageHeader(width, height);
    return image;
}

// Pixel (x, y) of the image is x + 1000 * y + 1, so every pixel says where it came from.
inline std::vector<uint32_t> numberedImage(int width, int height) {
    std::vector<uint32_t> image = solidImage(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image[1 + size_t(y) * width + x] = uint32_t(x + 1000 * y + 1);
    return image;
}

// A w x h image of one colour in a bank slot.
template <class Bank>
void paintImage(Bank& bank, int slot, int width, int height, uint32_t colour) {
    uint32_t* row = bankRow(bank, slot);
    row[0] = imageHeader(width, height);
    for (int i = 0; i < width * height; ++i) row[1 + i] = colour;
}

// ---- Reading pages ------------------------------------------------------------------------

inline const uint32_t* workPagePixels() { return pagePixels(workPageIndex()); }

inline uint32_t pixelAt(const uint32_t* page, int x, int y) { return page[y * 320 + x]; }
inline uint32_t workPixel(int x, int y) { return pixelAt(workPagePixels(), x, y); }

inline int countPixels(uint32_t colour, const uint32_t* page = workPagePixels()) {
    int count = 0;
    for (int i = 0; i < 320 * 240; ++i) count += page[i] == colour;
    return count;
}

inline int countNonZero(int page) {
    const uint32_t* pixels = pagePixels(page);
    int count = 0;
    for (int i = 0; i < 320 * 240; ++i) count += pixels[i] != 0;
    return count;
}

// The top-left pixel of the first run of `colour` on the work page, scanning rows top down.
inline bool findColour(uint32_t colour, int& x, int& y) {
    const uint32_t* page = workPagePixels();
    for (int i = 0; i < 320 * 240; ++i)
        if (page[i] == colour) {
            x = i % 320;
            y = i / 320;
            return true;
        }
    return false;
}

// ---- The world ----------------------------------------------------------------------------

// A fresh walking person: every other slot of the record cleared.
inline void placeWalker(int i, float x, float y, int kind = firstManKind, float vx = 0) {
    Entity& p = people[i];
    p = Entity{};
    p.alive = 1;
    p.gait = walking;
    p.x = x;
    p.y = y;
    p.kind = kind;
    p.vx = vx;
}

// Records in use in a pool; record 0 is never used.
template <class Pool>
int activeRecords(const Pool& pool) {
    int count = 0;
    for (size_t i = 1; i < pool.size(); ++i) count += pool[i].active;
    return count;
}

// How many numbers `operation` takes from the generator: the two values that follow it
// are looked up in the sequence of a fresh generator with the same seed.
template <class Operation>
int randomDrawsOf(Operation operation) {
    randomize(99);
    operation();
    const double next = rnd(1);
    const double afterNext = rnd(1);
    for (int skipped = 0; skipped < 64; ++skipped) {
        randomize(99);
        for (int i = 0; i < skipped; ++i) rnd(1);
        const double a = rnd(1);
        if (a == next && rnd(1) == afterNext) return skipped;
    }
    return -1;
}
