// The sound layer over SDL's audio device and its mixer. Samples are decoded whole when
// loaded, so playing one costs nothing but picking a channel; mixing runs on the audio
// device's own thread, which the game never sees.
#include "sound/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <dlfcn.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "game/game_state.h"
#include "sound/limiter.h"
#include "sound/sound_rules.h"

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
// Handle h (1 and up) names loadedSamples[h - 1]; handle 0 is no sample.
constexpr int handleCapacity = 64;
std::array<Mix_Chunk*, handleCapacity> loadedSamples = {};

// Which play each effect channel holds, to find the oldest when all are busy.
std::array<uint64_t, allChannels> channelPlayNumber = {};
uint64_t playsStarted = 0;

bool deviceOpen = false;

// The device may be opened on a thread of its own (see initSoundInBackground). Until
// that thread is done nothing reaches the mixer; once it says `ready` (with a release,
// after the device is open and the samples are in the bank), the game's thread may use both.
enum class Opening { none, underway, ready, failed };
constexpr int samplesNice = 10;
std::atomic<Opening> opening{Opening::none};
std::jthread openingThread;  // joined at exit if still loading, never left running

bool soundUsable() { return opening.load(std::memory_order_acquire) == Opening::ready && deviceOpen; }

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

int freeEffectChannel() {
    auto playing = [](int effect) { return Mix_Playing(firstEffectChannel + effect) != 0; };
    return firstEffectChannel + channelForPlay(&channelPlayNumber[firstEffectChannel], effectChannels, playing);
}

// ALSA prints its own complaints ("ALSA lib ... cannot find card '0'") to stderr when a
// machine has no sound card. Silence is the answer the game gives then, so its library
// is told to keep quiet for this process: SDL opens the same libasound.so.2 by name and
// gets the same, already quiet, instance.
extern "C" void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler) setHandler(ignoreAlsaMessage);
    // Kept loaded: the handler must stay in place for as long as SDL uses ALSA.
}

bool openDevice() {
    silenceAlsa();
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

void initSound() {
    // A second start (tests start the game many times) begins from a closed device.
    closeSound();
    game.soundReady = 1;
    deviceOpen = openDevice();
    if (!deviceOpen) game.soundReady = 0;
    channelPlayNumber = {};
    playsStarted = 0;
    opening.store(deviceOpen ? Opening::ready : Opening::failed, std::memory_order_release);
}

void initSoundInBackground(void (*loadSamples)()) {
    closeSound();
    game.soundReady = 1;
    channelPlayNumber = {};
    playsStarted = 0;
    opening.store(Opening::underway, std::memory_order_relaxed);
    openingThread = std::jthread([loadSamples] {
        pthread_setname_np(pthread_self(), "sound-open");
        deviceOpen = openDevice();
        // Decoding the samples takes a core for a quarter of a second; the first pictures
        // come first. (Only after the device is open: the mixer's thread, started by the
        // opening, would otherwise inherit the lower priority.)
        setpriority(PRIO_PROCESS, pid_t(gettid()), samplesNice);
        if (deviceOpen && loadSamples) loadSamples();
        opening.store(deviceOpen ? Opening::ready : Opening::failed, std::memory_order_release);
    });
}

bool soundOpeningUnderway() { return opening.load(std::memory_order_acquire) == Opening::underway; }

void closeSound() {
    if (openingThread.joinable()) openingThread.join();
    opening.store(Opening::none, std::memory_order_relaxed);
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
    if (!deviceOpen || path == nullptr || (loadMode != loadModeDefault && loadMode != loadMode16BitMonoSigned)) {
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
    if (game.soundReady != 1 || !soundUsable()) return;
    Mix_MasterVolume(mixerVolume(volumeValue(game.sfxVolumeLevel)));
    Mix_Volume(musicChannel, mixerVolume(volumeValue(game.musicVolumeLevel)));
}

void playSample(int slot) {
    if (game.sfxVolumeLevel == 0 || game.soundReady != 1 || !soundUsable()) return;
    applyVolumes();
    if (!isSlot(slot)) return;
    Mix_Chunk* sample = sampleOf(soundBank[slot]);
    if (sample == nullptr) return;
    int channel = freeEffectChannel();
    if (Mix_PlayChannel(channel, sample, 0) < 0) return;
    channelPlayNumber[channel] = ++playsStarted;
}

// The mixer feeds the device from its own thread, so there is nothing to pump per frame.
// The frame loop calls this first thing while soundReady is 1: a device that could not be
// opened in the background makes it 0 here, on the game's own thread.
void updateSound() {
    if (opening.load(std::memory_order_acquire) == Opening::failed) game.soundReady = 0;
}
