#include "sound/sound_rules.h"

#include "sound/sound.h"

int volumeValue(int level) {
    constexpr int volumeValues[5] = {0, 63, 126, 190, 255};
    if (level < 0) level = 0;
    if (level > 4) level = 4;
    return volumeValues[level];
}

int channelForPlay(const uint64_t* playNumbers, int channelCount, bool (*playing)(int channel)) {
    int oldest = 0;
    for (int c = 0; c < channelCount; ++c) {
        if (!playing(c)) return c;
        if (playNumbers[c] < playNumbers[oldest]) oldest = c;
    }
    return oldest;
}
