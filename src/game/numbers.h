// The game's number rules in one place: positions and speeds are floats, every formula is
// worked in double and stored back; integer slots take the nearest value, ties to even;
// random whole numbers use floor.
#pragma once

#include <cmath>
#include <cstdint>

#include "gfx/random.h"

// Nearest integer, halves to the even one (the default rounding mode).
inline int32_t roundToInt(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// A random whole number from 0 to n - 1; draws one number from the generator.
inline int randomBelow(int n) { return static_cast<int>(std::floor(rnd(1) * n)); }
