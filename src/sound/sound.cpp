// The sound layer's bookkeeping, the same on every platform: which handle a slot holds,
// which channel a new play takes, the volume levels and the rule that nothing reaches the
// device unless sound is ready. The device (sound_device.h) does the rest.
#include "sound/sound.h"

#include <algorithm>
#include <atomic>
#include <span>

#include "sound/sound_device.h"

int32_t soundReady;
std::array<int32_t, lastSampleSlot + 1> soundBank;
int32_t sfxVolumeLevel;
int32_t musicVolumeLevel;

namespace {

// Handle h (1 and up) names a sample the device holds; handle 0 is no sample.
bool handleUsed[soundHandleCapacity + 1] = {};

// Which play each effect channel holds, counted in plays, to find the oldest when all are busy.
uint64_t channelPlayNumber[soundEffectChannels] = {};
uint64_t playsStarted = 0;

bool muted = false;  // the player's mute

// What the opening loads once the device is open; the game's table is constant, and a test's
// outlives its opening.
std::span<const SampleFile> samplesToLoad;

// The device may be opened away from the game's thread (initSoundInBackground). That work
// alone touches the device, the handles and the bank until it says `done` (with a release,
// after the device is open and the samples are in): soundReady is 0 meanwhile, so the game's
// thread touches none of them, and updateSound takes the result over.
enum class Opening { none, underway, done };
std::atomic<Opening> opening{Opening::none};
bool deviceOpen = false;  // written by the opening before it says done

bool isSlot(int slot) { return slot >= 0 && slot < int(soundBank.size()); }
bool isHandle(int32_t handle) { return handle >= 1 && handle <= soundHandleCapacity && handleUsed[handle]; }

void freeHandle(int32_t handle) {
    if (!isHandle(handle)) return;
    soundDeviceFree(handle);
    handleUsed[handle] = false;
}

// Reuses the slot's own handle, so loading a slot again does not leak the old sample.
int32_t freeHandleFor(int slot) {
    const int32_t current = soundBank[slot];
    if (isHandle(current)) {
        freeHandle(current);
        return current;
    }
    for (int h = 1; h <= soundHandleCapacity; ++h)
        if (!handleUsed[h]) return h;
    return 0;
}

// The device is open: the file goes into the slot, or the slot holds 0.
void loadIntoSlot(int slot, const char* path, int loadMode) {
    if (!isSlot(slot)) return;
    if (path == nullptr || (loadMode != loadModeDefault && loadMode != loadMode16BitMonoSigned)) {
        freeHandle(soundBank[slot]);
        soundBank[slot] = 0;
        return;
    }
    const int32_t handle = freeHandleFor(slot);
    soundBank[slot] = 0;
    if (handle == 0 || !soundDeviceLoad(handle, path)) return;
    handleUsed[handle] = true;
    soundBank[slot] = handle;
}

// The first channel not playing; when all are, the one whose play started longest ago
// gives way.
int channelForPlay() {
    int oldest = 0;
    for (int c = 0; c < soundEffectChannels; ++c) {
        if (!soundDeviceChannelBusy(c)) return c;
        if (channelPlayNumber[c] < channelPlayNumber[oldest]) oldest = c;
    }
    return oldest;
}

// A new opening starts from a closed device, soundReady 0 and no play counted.
void beginOpening(std::span<const SampleFile> samples) {
    closeSound();
    for (uint64_t& play : channelPlayNumber) play = 0;
    playsStarted = 0;
    samplesToLoad = samples;
}

// On the opening's thread: the samples come in before the game's thread may play.
void finishOpening(bool opened) {
    deviceOpen = opened;
    if (opened)
        for (const SampleFile& sample : samplesToLoad) loadIntoSlot(sample.slot, sample.path, sample.loadMode);
    opening.store(Opening::done, std::memory_order_release);
}

// On the game's thread, once the opening is done: sound is ready if the device opened,
// and the device gets the volumes the levels and the mute say.
void takeOverOpening() {
    opening.store(Opening::none, std::memory_order_relaxed);
    soundReady = deviceOpen ? 1 : 0;
    applyVolumes();
}

}  // namespace

void initSound(std::span<const SampleFile> samples) {
    beginOpening(samples);
    finishOpening(soundDeviceOpen());
    takeOverOpening();
}

void initSoundInBackground(std::span<const SampleFile> samples) {
    beginOpening(samples);
    opening.store(Opening::underway, std::memory_order_relaxed);
    soundDeviceOpenAside(finishOpening);
}

bool soundOpeningUnderway() { return opening.load(std::memory_order_relaxed) != Opening::none; }

void closeSound() {
    soundDeviceWaitAside();
    opening.store(Opening::none, std::memory_order_relaxed);
    if (deviceOpen) {
        soundDeviceClose();
        for (bool& used : handleUsed) used = false;
        deviceOpen = false;
    }
    soundBank = {};
    soundReady = 0;
}

// Not ready: the bank is empty already, and during a background opening it is the
// opening's to fill.
void loadSample(int slot, const char* path, int loadMode) {
    if (soundReady == 1) loadIntoSlot(slot, path, loadMode);
}

void setVolumeLevels(int sfxLevel, int musicLevel) {
    sfxVolumeLevel = sfxLevel;
    musicVolumeLevel = musicLevel;
    applyVolumes();
}

void applyVolumes() {
    if (soundReady != 1) return;
    if (muted) soundDeviceSetVolumes(0, 0);
    else soundDeviceSetVolumes(volumeValue(sfxVolumeLevel), volumeValue(musicVolumeLevel));
}

void startSoundSettings(int sfxLevel, int musicLevel, bool mutedAtStart) {
    muted = mutedAtStart;
    setVolumeLevels(sfxLevel, musicLevel);
}

void setSoundMuted(bool on) {
    if (on == muted) return;
    muted = on;
    applyVolumes();
    soundSettingsChanged(sfxVolumeLevel, muted);
}

bool soundMuted() { return muted; }

void stepEffectsVolume(int step) {
    const int level = std::clamp(sfxVolumeLevel + step, 0, 4);
    if (level == sfxVolumeLevel) return;
    sfxVolumeLevel = level;
    applyVolumes();
    soundSettingsChanged(sfxVolumeLevel, muted);
}

void playSample(int slot) {
    if (soundReady != 1 || muted || sfxVolumeLevel == 0) return;
    if (!isSlot(slot) || !isHandle(soundBank[slot])) return;
    const int channel = channelForPlay();
    if (!soundDevicePlay(soundBank[slot], channel)) return;
    channelPlayNumber[channel] = ++playsStarted;
}

// Both devices mix on threads of their own, so there is nothing to pump per frame.
void updateSound() {
    if (opening.load(std::memory_order_acquire) == Opening::done) takeOverOpening();
}

int volumeValue(int level) {
    constexpr int volumeValues[5] = {0, 63, 126, 190, 255};
    if (level < 0) level = 0;
    if (level > 4) level = 4;
    return volumeValues[level];
}
