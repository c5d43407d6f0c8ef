// The game's number rules in one place: positions and speeds are floats, every formula is
// worked in double and stored back; integer slots take the nearest value, ties to even;
// random whole numbers use floor. The physics numbers more than one pool shares are here too.
#pragma once

#include <cmath>
#include <cstdint>

#include "gfx/random.h"

// Nearest integer, halves to the even one (the default rounding mode).
inline int32_t roundToInt(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// A random whole number from 0 to n - 1; draws one number from the generator.
inline int randomBelow(int n) { return static_cast<int>(std::floor(rnd(1) * n)); }

// Everything that flies falls by this much speed per frame.
constexpr double gravity = 0.008;

// Sideways speeds of sprays, splashes and chunks, one picked at random: left or right.
constexpr double sidewaysSpeeds[6] = {0.15, 0.2, 0.25, -0.15, -0.2, -0.25};
// Speeds of a thrown body or a gib a bomb throws, away from the bomb.
constexpr double throwSpeeds[3] = {0.15, 0.2, 0.25};

// Frames after a shot or a bomb drop before either can be fired again.
constexpr int fireCooldownFrames = 20;
