// The sound layer over SDL's audio device and its mixer. Samples are decoded whole when
// loaded, so playing one costs nothing but picking a channel; mixing runs on the audio
// device's own thread, which the game never sees.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <cstdint>

#include "game/game_state.h"
#include "sound/limiter.h"

namespace {

constexpr int mixingRate = 44100;
// 512 frames at 44100 Hz is 11.6 ms per mix: a shot reaches the device within one or
// two of them, well inside the 25 ms a click may take to be heard.
constexpr int mixBufferFrames = 512;
constexpr int outputChannels = 2;
// The channels are summed in 32-bit floats, which SDL does not clip, so the limiter sees
// the true sum and can bring it under full scale; SDL converts to whatever the device
// takes after that.
constexpr SDL_AudioFormat mixFormat = AUDIO_F32SYS;

// Channel 0 is left idle and channel 1 carries the music volume, so both are kept out of
// the effects' way; effects get the 16 channels after them.
constexpr int musicChannel = 1;
constexpr int firstEffectChannel = 2;
constexpr int effectChannels = 16;
constexpr int allChannels = firstEffectChannel + effectChannels;

constexpr int deviceVolumeScale = 255;
constexpr std::array<int, 5> volumeValues = {0, 63, 126, 190, 255};

// Handle h (1 and up) names loadedSamples[h - 1]; handle 0 is no sample.
constexpr int handleCapacity = 64;
std::array<Mix_Chunk*, handleCapacity> loadedSamples = {};

// Which play each effect channel holds, to find the oldest when all are busy.
std::array<uint64_t, allChannels> channelPlayNumber = {};
uint64_t playsStarted = 0;

bool deviceOpen = false;

// Only the audio thread touches it once the device is open.
LimiterState limiter;

// SDL_mixer's post-mix hook: the whole mix, every channel summed, on its way out.
void SDLCALL limitMix(void*, Uint8* stream, int bytes) {
    limitStereo(limiter, reinterpret_cast<float*>(stream), bytes / int(outputChannels * sizeof(float)));
}

Mix_Chunk* sampleOf(int32_t handle) {
    if (handle < 1 || handle > handleCapacity) return nullptr;
    return loadedSamples[handle - 1];
}

bool isSlot(int slot) { return slot >= 0 && slot < int(soundBank.size()); }

// The mixer's volumes run 0 to 128; ours run 0 to 255.
int mixerVolume(int value) { return (value * MIX_MAX_VOLUME + deviceVolumeScale / 2) / deviceVolumeScale; }

void freeSample(int32_t handle) {
    Mix_Chunk* sample = sampleOf(handle);
    if (sample == nullptr) return;
    Mix_FreeChunk(sample);
    loadedSamples[handle - 1] = nullptr;
}

// Reuses the slot's own handle, so loading a slot again does not leak the old sample.
int32_t freeHandleFor(int slot) {
    int32_t current = soundBank[slot];
    if (sampleOf(current) != nullptr) {
        freeSample(current);
        return current;
    }
    for (int i = 0; i < handleCapacity; ++i)
        if (loadedSamples[i] == nullptr) return i + 1;
    return 0;
}

// The effect channel that started longest ago, for when every channel is busy.
int oldestEffectChannel() {
    int oldest = firstEffectChannel;
    for (int c = firstEffectChannel; c < allChannels; ++c)
        if (channelPlayNumber[c] < channelPlayNumber[oldest]) oldest = c;
    return oldest;
}

int freeEffectChannel() {
    for (int c = firstEffectChannel; c < allChannels; ++c)
        if (Mix_Playing(c) == 0) return c;
    return oldestEffectChannel();
}

bool openDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    limiter = {};
    // No format changes allowed: the mix is always floats, as limitMix expects.
    if (Mix_OpenAudioDevice(mixingRate, mixFormat, outputChannels, mixBufferFrames, nullptr, 0) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(allChannels);
    // Channels below the first effect channel are never chosen for a play.
    Mix_ReserveChannels(firstEffectChannel);
    Mix_SetPostMix(limitMix, nullptr);
    return true;
}

}  // namespace

int volumeValue(int level) {
    if (level < 0) level = 0;
    if (level > 4) level = 4;
    return volumeValues[level];
}

void initSound() {
    // A second start (tests start the game many times) begins from a closed device.
    if (deviceOpen) closeSound();
    game.soundReady = 1;
    deviceOpen = openDevice();
    if (!deviceOpen) game.soundReady = 0;
    channelPlayNumber = {};
    playsStarted = 0;
}

void closeSound() {
    if (deviceOpen) {
        Mix_HaltChannel(-1);
        for (int32_t& handle : soundBank) {
            freeSample(handle);
            handle = 0;
        }
        for (int h = 1; h <= handleCapacity; ++h) freeSample(h);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        deviceOpen = false;
    }
    game.soundReady = 0;
}

void loadSample(int slot, const char* path, int loadMode) {
    if (!isSlot(slot)) return;
    if (!deviceOpen || path == nullptr ||
        (loadMode != loadModeDefault && loadMode != loadMode16BitMonoSigned)) {
        freeSample(soundBank[slot]);
        soundBank[slot] = 0;
        return;
    }
    int32_t handle = freeHandleFor(slot);
    soundBank[slot] = 0;
    if (handle == 0) return;
    Mix_Chunk* sample = Mix_LoadWAV(path);
    // A file that decodes to nothing is as good as missing.
    if (sample != nullptr && sample->alen == 0) {
        Mix_FreeChunk(sample);
        sample = nullptr;
    }
    if (sample == nullptr) return;
    loadedSamples[handle - 1] = sample;
    soundBank[slot] = handle;
}

void applyVolumes() {
    if (game.soundReady != 1 || !deviceOpen) return;
    Mix_MasterVolume(mixerVolume(volumeValue(game.sfxVolumeLevel)));
    Mix_Volume(musicChannel, mixerVolume(volumeValue(game.musicVolumeLevel)));
}

void playSample(int slot) {
    if (game.sfxVolumeLevel == 0 || game.soundReady != 1 || !deviceOpen) return;
    applyVolumes();
    if (!isSlot(slot)) return;
    Mix_Chunk* sample = sampleOf(soundBank[slot]);
    if (sample == nullptr) return;
    int channel = freeEffectChannel();
    if (Mix_PlayChannel(channel, sample, 0) < 0) return;
    channelPlayNumber[channel] = ++playsStarted;
}

// The mixer feeds the device from its own thread, so there is nothing to pump per frame;
// the frame loop still calls this first thing, where a back end that needs it would work.
void updateSound() {}
