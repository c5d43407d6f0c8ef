// The game's one random generator. Replays depend on it: the same seed gives the same
// numbers in the same order, so every draw the game makes is part of its behaviour.
#pragma once

// Uniform in [0, 1) in steps of 1/32768; n = 0 repeats the last value without drawing.
double rnd(int n);
#include <cstdint>

// Seeds the generator with the truncated seed (-1: the clock) and throws one output away.
void randomize(double seed);
// The seed randomize takes from a number: truncated toward zero, modulo 2^32.
uint32_t seedFromNumber(double seed);
// randomize with a seed already whole.
void seedRandom(uint32_t seed);
extern double lastRnd;
// Back to the state of a fresh process, for a start-up that is not the process's first.
void resetRandomGenerator();
// The generator's whole state, for the replays' checkpoints: the same state draws the same
// numbers from here on.
uint32_t randomGeneratorState();
