// The sound layer on Web Audio, for the browser build. Each sample file is handed whole to
// the browser's decodeAudioData when it is loaded; decoding finishes a little later, and a
// sample played before it has finished stays silent. The 16 effect channels, their
// give-way rule (the oldest play gives way when all are busy) and the volume levels are
// the desktop's; the Web Audio side (web/platform.js) holds the decoded buffers, plays
// them and applies the volumes through gain nodes.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "game/game_state.h"
#include "sound/sound.h"
#include "sound/sound_rules.h"

// Implemented in web/platform.js.
extern "C" {
int jsAudioOpen();
void jsAudioClose();
int jsAudioDecode(int handle, const uint8_t* bytes, int size);
void jsAudioForget(int handle);
int jsAudioPlay(int handle, int channel);
int jsAudioPlaying(int channel);
void jsAudioVolumes(double effects, double music);
}

namespace {

constexpr int effectChannels = 16;
constexpr int deviceVolumeScale = 255;
// Handle h (1 and up) names a buffer on the Web Audio side; 0 is no sample.
constexpr int handleCapacity = 64;
bool handleUsed[handleCapacity + 1] = {};

// Which play each effect channel holds, to find the oldest when all are busy.
uint64_t channelPlayNumber[effectChannels] = {};
uint64_t playsStarted = 0;

bool deviceOpen = false;

bool isSlot(int slot) { return slot >= 0 && slot < int(soundBank.size()); }

void freeHandle(int32_t handle) {
    if (handle < 1 || handle > handleCapacity || !handleUsed[handle]) return;
    jsAudioForget(handle);
    handleUsed[handle] = false;
}

// Reuses the slot's own handle, so loading a slot again does not leak the old sample.
int32_t freeHandleFor(int slot) {
    const int32_t current = soundBank[slot];
    if (current >= 1 && current <= handleCapacity && handleUsed[current]) {
        freeHandle(current);
        return current;
    }
    for (int h = 1; h <= handleCapacity; ++h)
        if (!handleUsed[h]) return h;
    return 0;
}

int freeEffectChannel() {
    return channelForPlay(channelPlayNumber, effectChannels, [](int c) { return jsAudioPlaying(c) != 0; });
}

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    uint8_t chunk[16384];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace

void initSound() {
    if (deviceOpen) closeSound();
    game.soundReady = 1;
    deviceOpen = jsAudioOpen() != 0;
    if (!deviceOpen) game.soundReady = 0;
    for (uint64_t& play : channelPlayNumber) play = 0;
    playsStarted = 0;
}

// The browser decodes samples asynchronously on its own, and the page has no threads:
// opening and handing over the files at once never holds the first picture back.
void initSoundInBackground(void (*loadSamples)()) {
    initSound();
    if (game.soundReady == 1) loadSamples();
}

bool soundOpeningUnderway() { return false; }

void closeSound() {
    if (deviceOpen) {
        for (int32_t& handle : soundBank) handle = 0;
        for (int h = 1; h <= handleCapacity; ++h) freeHandle(h);
        jsAudioClose();
        deviceOpen = false;
    }
    game.soundReady = 0;
}

void loadSample(int slot, const char* path, int loadMode) {
    if (!isSlot(slot)) return;
    if (!deviceOpen || path == nullptr || (loadMode != loadModeDefault && loadMode != loadMode16BitMonoSigned)) {
        freeHandle(soundBank[slot]);
        soundBank[slot] = 0;
        return;
    }
    const int32_t handle = freeHandleFor(slot);
    soundBank[slot] = 0;
    if (handle == 0) return;
    std::vector<uint8_t> bytes;
    // A missing or empty file is as good as no sample; one the browser cannot decode is
    // found out later and stays silent.
    if (!readWholeFile(path, bytes) || bytes.empty()) return;
    if (jsAudioDecode(handle, bytes.data(), int(bytes.size())) == 0) return;
    handleUsed[handle] = true;
    soundBank[slot] = handle;
}

void applyVolumes() {
    if (game.soundReady != 1 || !deviceOpen) return;
    jsAudioVolumes(double(volumeValue(game.sfxVolumeLevel)) / deviceVolumeScale,
                   double(volumeValue(game.musicVolumeLevel)) / deviceVolumeScale);
}

void playSample(int slot) {
    if (game.sfxVolumeLevel == 0 || game.soundReady != 1 || !deviceOpen) return;
    applyVolumes();
    if (!isSlot(slot)) return;
    const int32_t handle = soundBank[slot];
    if (handle < 1 || handle > handleCapacity || !handleUsed[handle]) return;
    const int channel = freeEffectChannel();
    if (jsAudioPlay(handle, channel) == 0) return;
    channelPlayNumber[channel] = ++playsStarted;
}

// The browser mixes on its own audio thread: nothing to pump per frame.
void updateSound() {}
