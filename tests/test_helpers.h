// Reading the page a frame has drawn.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "gfx/screen.h"

// The page the last runFrame drew on (runFrame flips workPage as its last step).
inline const uint32_t* lastDrawnPage() { return pagePixels(game.workPage ^ 1); }

inline uint32_t pixelAt(const uint32_t* page, int x, int y) { return page[y * 320 + x]; }
