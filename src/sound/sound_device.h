// What each platform's sound device does, and no more: open the output, decode a file
// into a numbered sample, start a sample on a numbered effect channel and set two
// volumes. The slots, the handles, which channel a play takes and the volume levels are
// the sound layer's (sound.cpp), the same on every platform. The desktop's device is in
// sdl/sound_sdl.cpp, the browser's in web/sound_web.cpp; a program links one.
// Every call comes from the game's thread, except those made by the work that
// soundDeviceOpenAside runs.
#pragma once

// Channels the effects share; a play on a busy channel cuts its older play short.
constexpr int soundEffectChannels = 16;
// Samples the device holds at once, as handles 1 to soundHandleCapacity.
constexpr int soundHandleCapacity = 64;

// Opens the output (44100 Hz); false when there is none or it cannot be opened.
bool soundDeviceOpen();
// Opens the output away from the caller where the platform can (the desktop on a thread
// of its own, at a low priority once open; the browser once the page has the sample
// files, which arrive after the game has started) and then calls whenOpen with the
// result, on that same thread.
void soundDeviceOpenAside(void (*whenOpen)(bool opened));
// Waits until the work soundDeviceOpenAside started is done (the browser drops an opening
// still waiting for its files: none of it has run).
void soundDeviceWaitAside();
// Stops every play, frees every sample and closes the output.
void soundDeviceClose();

// Decodes the file into sample `handle`, replacing none (the handle is free); false when
// the file cannot be read or decoded. A browser decodes later, and a sample it cannot
// decode then stays silent.
bool soundDeviceLoad(int handle, const char* path);
void soundDeviceFree(int handle);

// Starts sample `handle` on effect channel 0 to soundEffectChannels - 1.
bool soundDevicePlay(int handle, int channel);
bool soundDeviceChannelBusy(int channel);
// The effects' master volume and the music channel's, each 0 to 255.
void soundDeviceSetVolumes(int effects, int music);

// The player changed the mute or the effects level (a key, a pad, the page's button). A
// platform that remembers them between games keeps them here; on the game's thread.
void soundSettingsChanged(int effectsLevel, bool muted);
