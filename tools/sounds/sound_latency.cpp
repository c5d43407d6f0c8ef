// sound_latency SAMPLE [PLAYS]: how long after playSample the sample's first sound is
// mixed into the device's stream. Uses whatever SDL_AUDIODRIVER says (dummy when unset),
// so it measures the layer and the mixer, not a sound card.
//
// The measured time ends when the mixer hands the first non-silent buffer to the driver;
// a real device adds about one more buffer (512 frames, 11.6 ms) before it is heard.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sound/sound.h"

namespace {

std::atomic<uint64_t> firstSoundAt{0};

// Runs on the audio thread after every mix (the layer mixes in 32-bit floats): notes when
// a buffer first carries sound. It takes the place of the layer's limiter, which delays
// nothing, so the time measured is the same.
void SDLCALL watchMix(void*, Uint8* stream, int length) {
    if (firstSoundAt.load() != 0) return;
    const float* samples = reinterpret_cast<const float*>(stream);
    for (int i = 0; i < length / int(sizeof(float)); ++i)
        if (samples[i] != 0) {
            firstSoundAt.store(SDL_GetPerformanceCounter());
            return;
        }
}

double millisecondsBetween(uint64_t from, uint64_t to) {
    return 1000.0 * double(to - from) / double(SDL_GetPerformanceFrequency());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sound_latency SAMPLE [PLAYS]\n");
        return 2;
    }
    int plays = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
    setVolumeLevels(1, 1);
    initSound();
    if (soundReady != 1) {
        std::fprintf(stderr, "sound_latency: no audio device: %s\n", SDL_GetError());
        return 1;
    }
    loadSample(1, argv[1], loadModeDefault);
    if (soundBank[1] == 0) {
        std::fprintf(stderr, "sound_latency: cannot load %s\n", argv[1]);
        return 1;
    }
    Mix_SetPostMix(watchMix, nullptr);
    std::vector<double> delays;
    for (int i = 0; i < plays; ++i) {
        Mix_HaltChannel(-1);
        SDL_Delay(30 + 7 * (i % 5));  // let silence through, and land at varied points of a buffer
        firstSoundAt.store(0);
        uint64_t start = SDL_GetPerformanceCounter();
        playSample(1);
        while (firstSoundAt.load() == 0) SDL_Delay(0);
        delays.push_back(millisecondsBetween(start, firstSoundAt.load()));
    }
    Mix_SetPostMix(nullptr, nullptr);
    closeSound();
    std::sort(delays.begin(), delays.end());
    std::printf("driver %s, %d plays: play to first mixed sound min %.1f ms, median %.1f ms, max %.1f ms\n",
                std::getenv("SDL_AUDIODRIVER"), plays, delays.front(), delays[delays.size() / 2], delays.back());
    return 0;
}
