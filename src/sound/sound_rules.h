// What every sound layer does the same way, whatever plays the sound (SDL_mixer on the
// desktop, Web Audio in the browser): the volume levels and the channel a new play takes.
#pragma once

#include <cstdint>

// The first channel not playing; when all are, the one whose play started longest ago
// gives way. playNumbers[c] is when channel c's play started, counted in plays.
int channelForPlay(const uint64_t* playNumbers, int channelCount, bool (*playing)(int channel));
