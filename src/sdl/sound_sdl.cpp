// The desktop's sound device: SDL's audio device and its mixer. Samples are decoded whole
// when loaded, so playing one costs nothing but starting a channel; mixing runs on the
// audio device's own thread, which the game never sees.
#include <SDL.h>
#include <SDL_mixer.h>

#include <dlfcn.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <thread>

#include "sdl/limiter.h"
#include "sdl/sdl_parts.h"
#include "sound/sound_device.h"

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

// Mixer channel 0 is left idle and channel 1 carries the music volume, so both are kept
// out of the effects' way; effect channel c is mixer channel firstEffectChannel + c.
constexpr int musicChannel = 1;
constexpr int firstEffectChannel = 2;
constexpr int allChannels = firstEffectChannel + soundEffectChannels;

constexpr int deviceVolumeScale = 255;
// Sample handle h names loadedSamples[h - 1].
std::array<Mix_Chunk*, soundHandleCapacity> loadedSamples = {};

// The opening started by soundDeviceOpenAside; joined before the device is touched again.
constexpr int samplesNice = 10;
std::jthread openingThread;

// Only the audio thread touches it once the device is open.
LimiterState limiter;

// SDL_mixer's post-mix hook: the whole mix, every channel summed, on its way out.
void SDLCALL limitMix(void*, Uint8* stream, int bytes) {
    limitStereo(limiter, reinterpret_cast<float*>(stream), bytes / int(outputChannels * sizeof(float)));
}

Mix_Chunk*& sampleOf(int handle) { return loadedSamples[size_t(handle - 1)]; }

// The mixer's volumes run 0 to 128; ours run 0 to 255.
int mixerVolume(int value) { return (value * MIX_MAX_VOLUME + deviceVolumeScale / 2) / deviceVolumeScale; }

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
    if (!openSdlPart(SDL_INIT_AUDIO)) return false;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    limiter = {};
    // No format changes allowed: the mix is always floats, as limitMix expects.
    if (Mix_OpenAudioDevice(mixingRate, mixFormat, outputChannels, mixBufferFrames, nullptr, 0) != 0) {
        Mix_Quit();
        closeSdlPart(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(allChannels);
    // Channels below the first effect channel are never chosen for a play.
    Mix_ReserveChannels(firstEffectChannel);
    Mix_SetPostMix(limitMix, nullptr);
    return true;
}

}  // namespace

bool soundDeviceOpen() { return openDevice(); }

void soundDeviceOpenAside(void (*whenOpen)(bool opened)) {
    soundDeviceWaitAside();
    openingThread = std::jthread([whenOpen] {
        pthread_setname_np(pthread_self(), "sound-open");
        const bool opened = openDevice();
        // Decoding the samples takes a core for a quarter of a second; the first pictures
        // come first. (Only after the device is open: the mixer's thread, started by the
        // opening, would otherwise inherit the lower priority.)
        setpriority(PRIO_PROCESS, pid_t(gettid()), samplesNice);
        whenOpen(opened);
        releaseSdlThreadStorage();
    });
}

void soundDeviceWaitAside() {
    if (openingThread.joinable()) openingThread.join();
}

void soundDeviceClose() {
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& sample : loadedSamples) {
        if (sample != nullptr) Mix_FreeChunk(sample);
        sample = nullptr;
    }
    Mix_CloseAudio();
    Mix_Quit();
    closeSdlPart(SDL_INIT_AUDIO);
}

bool soundDeviceLoad(int handle, const char* path) {
    Mix_Chunk* sample = Mix_LoadWAV(path);
    // A file that decodes to nothing is as good as missing.
    if (sample != nullptr && sample->alen == 0) {
        Mix_FreeChunk(sample);
        sample = nullptr;
    }
    sampleOf(handle) = sample;
    return sample != nullptr;
}

void soundDeviceFree(int handle) {
    Mix_Chunk*& sample = sampleOf(handle);
    if (sample != nullptr) Mix_FreeChunk(sample);
    sample = nullptr;
}

bool soundDevicePlay(int handle, int channel) {
    Mix_Chunk* sample = sampleOf(handle);
    return sample != nullptr && Mix_PlayChannel(firstEffectChannel + channel, sample, 0) >= 0;
}

bool soundDeviceChannelBusy(int channel) { return Mix_Playing(firstEffectChannel + channel) != 0; }

void soundDeviceSetVolumes(int effects, int music) {
    Mix_MasterVolume(mixerVolume(effects));
    Mix_Volume(musicChannel, mixerVolume(music));
}
