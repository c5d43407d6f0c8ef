// Shared by the tests: a headless screen, images made in place, and page reads.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "gfx/screen.h"

// Writes a w x h image of one colour into a bank row.
inline void makeSolidImage(uint32_t* row, int w, int h, uint32_t colour) {
    row[0] = uint32_t(w * 8 + 4) | (uint32_t(h) << 16);
    for (int i = 0; i < w * h; ++i) row[1 + i] = colour;
}

// The page the last runFrame drew on (runFrame flips workPage as its last step).
inline const uint32_t* lastDrawnPage() { return pagePixels(game.workPage ^ 1); }

inline uint32_t pixelAt(const uint32_t* page, int x, int y) { return page[y * 320 + x]; }
