// The game's one random generator: a 32-bit linear congruential generator giving 15-bit
// outputs, starting from state 1 so the opening crowd is the same on every start.
#include <cmath>
#include <cstdint>

#include "gfx/clock.h"
#include "gfx/random.h"

double lastRnd = 0.0;

static uint32_t generatorState = 1;

static int nextOutput() {
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7FFF);
}

uint32_t randomGeneratorState() { return generatorState; }

void resetRandomGenerator() {
    generatorState = 1;
    lastRnd = 0.0;
}

double rnd(int n) {
    if (n == 0) return lastRnd;
    lastRnd = nextOutput() / 32768.0;
    return lastRnd;
}

void randomize(double seed) { seedRandom(seedFromNumber(seed == -1 ? timer() : seed)); }

// Truncation toward zero into 32 bits; the clock's seconds always fit.
uint32_t seedFromNumber(double seed) {
    double truncated = std::trunc(seed);
    int64_t wide = std::isfinite(truncated) ? static_cast<int64_t>(std::fmod(truncated, 4294967296.0)) : 0;
    return static_cast<uint32_t>(wide);
}

void seedRandom(uint32_t seed) {
    generatorState = seed;
    nextOutput();
}
