// The browser's sound device, on Web Audio. The sample files reach the page after the game
// has started (web/packs.js), so the device counts as opening until they are there.
// Each file is then handed whole to the browser's decodeAudioData; decoding finishes a
// little later, and a sample played before it has finished stays silent. The Web Audio
// side (platform.js) holds the decoded buffers, plays them on sixteen channels and applies
// the volumes through gain nodes.
// The page's sound button reaches the player's mute and effects level through the three
// exports at the end.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "sound/sound.h"
#include "sound/sound_device.h"

// Implemented in platform.js.
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

constexpr double deviceVolumeScale = 255;

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

enum class SoundFiles { awaited, arrived, lost };
SoundFiles soundFiles = SoundFiles::awaited;
void (*openingWaits)(bool opened) = nullptr;  // the opening that waits for the files

}  // namespace

bool soundDeviceOpen() { return jsAudioOpen() != 0; }

// The page has no threads: the opening finishes when the sample files are in the file
// system, at once if they already are. Until then the sound layer plays nothing.
void soundDeviceOpenAside(void (*whenOpen)(bool opened)) {
    if (soundFiles == SoundFiles::awaited) {
        openingWaits = whenOpen;
        return;
    }
    whenOpen(soundFiles == SoundFiles::arrived && soundDeviceOpen());
}

// Nothing of a waiting opening has run yet: it is dropped, and a new one may begin.
void soundDeviceWaitAside() { openingWaits = nullptr; }

// web/packs.js: the sample files are in the file system (1), or will never be (0).
extern "C" EMSCRIPTEN_KEEPALIVE void webSoundFilesArrived(int arrived) {
    soundFiles = arrived ? SoundFiles::arrived : SoundFiles::lost;
    void (*whenOpen)(bool) = openingWaits;
    openingWaits = nullptr;
    if (whenOpen != nullptr) whenOpen(arrived && soundDeviceOpen());
}

void soundDeviceClose() {
    for (int handle = 1; handle <= soundHandleCapacity; ++handle) jsAudioForget(handle);
    jsAudioClose();
}

// A missing or empty file is as good as no sample; one the browser cannot decode is found
// out later and stays silent.
bool soundDeviceLoad(int handle, const char* path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes) || bytes.empty()) return false;
    return jsAudioDecode(handle, bytes.data(), int(bytes.size())) != 0;
}

void soundDeviceFree(int handle) { jsAudioForget(handle); }

bool soundDevicePlay(int handle, int channel) { return jsAudioPlay(handle, channel) != 0; }

bool soundDeviceChannelBusy(int channel) { return jsAudioPlaying(channel) != 0; }

void soundDeviceSetVolumes(int effects, int music) {
    jsAudioVolumes(effects / deviceVolumeScale, music / deviceVolumeScale);
}

// ---- what the page's sound button calls -------------------------------------------------

extern "C" {

// The same mute the keys use: the levels stay as they are and nothing plays until unmuted;
// a new game keeps it.
EMSCRIPTEN_KEEPALIVE void webSetMuted(int muted) { setSoundMuted(muted != 0); }
EMSCRIPTEN_KEEPALIVE int webSoundMuted() { return soundMuted() ? 1 : 0; }

// The effects level the player chose last time, 0 (silent) to 4; anything else is refused
// and leaves the level as it is.
EMSCRIPTEN_KEEPALIVE void webSetEffectsLevel(int level) {
    if (level >= 0 && level <= 4) setVolumeLevels(level, musicVolumeLevel);
}

}  // extern "C"
