// What the world tests share: fresh game memory on a headless screen, images of one
// colour painted into the banks, reading the work page, and counting random draws.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "game/crowd.h"
#include "game/game_state.h"
#include "gfx/headless.h"
#include "gfx/input.h"
#include "gfx/random.h"
#include "gfx/screen.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameMemory();
        selectDisplay(headlessBackend);
        ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk);
        setPages(0, 1);
        clearScreen();
        game.crowdCount = 100;
        game.crowdDirection = 1;
        randomize(1);
    }
    void TearDown() override { closeScreen(); }
};

// A fresh walking person: every other slot of the record cleared.
inline void placeWalker(int i, float x, float y, int kind = firstManKind) {
    Entity& p = people[i];
    p = Entity{};
    p.alive = 1;
    p.gait = walking;
    p.x = x;
    p.y = y;
    p.kind = kind;
}

// A w x h image of one colour in a bank slot.
template <class Bank>
void paintImage(Bank& bank, int slot, int width, int height, uint32_t colour) {
    uint32_t* row = bankRow(bank, slot);
    row[0] = imageHeader(width, height);
    for (int i = 0; i < width * height; ++i) row[1 + i] = colour;
}

inline uint32_t pixelAt(int x, int y) { return pagePixels(workPageIndex())[y * 320 + x]; }

inline int countPixels(uint32_t colour) {
    const uint32_t* page = pagePixels(workPageIndex());
    int count = 0;
    for (int i = 0; i < 320 * 240; ++i) count += page[i] == colour;
    return count;
}

// The top-left pixel of the first run of `colour`, scanning rows top down.
inline bool findColour(uint32_t colour, int& x, int& y) {
    const uint32_t* page = pagePixels(workPageIndex());
    for (int i = 0; i < 320 * 240; ++i)
        if (page[i] == colour) {
            x = i % 320;
            y = i / 320;
            return true;
        }
    return false;
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
