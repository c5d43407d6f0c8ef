// The sound layer: whole samples loaded once at start-up and started on any free
// channel, at one of five volume levels. Nothing reaches the audio device unless
// soundReady is 1. This is what the game calls; sound.cpp keeps the slots, handles,
// channels and levels the same way on every platform, and each platform's device
// (sound_device.h) only opens, decodes and plays.
#pragma once

#include <array>
#include <cstdint>

// Load modes the game passes: 0, or 16-bit (16) + mono (32) + signed (256). Files are
// decoded from their own headers, so both modes load the same way; any other mode is
// refused and leaves the slot at 0 (a silent sample).
constexpr int loadModeDefault = 0;
constexpr int loadMode16BitMonoSigned = 304;

// The game's samples by soundBank slot (start-up loads them from Sound/). The cries come
// in a man's and a woman's voice; the torso shot picks one of two at random.
constexpr int shotSample = 1;
constexpr int equipSample = 2;  // loaded, but nothing plays it
constexpr int manHeadShotCry = 3;
constexpr int manTorsoCry2 = 4;
constexpr int gorySample = 5;   // with every kill
constexpr int splatSample = 6;  // a body blown up, a person or a gib landing
constexpr int manTorsoCry1 = 7;
constexpr int manWoundCry = 8;
constexpr int manFinishedCry = 9;
constexpr int bledToDeathCry = 10;  // the same voice for everyone
constexpr int explosionSample = 11;
constexpr int bombFallSample = 12;
constexpr int womanWoundCry = 13;
constexpr int womanTorsoCry1 = 14;
constexpr int womanTorsoCry2 = 15;
constexpr int womanFinishedCry = 16;
constexpr int womanHeadShotCry = 17;
constexpr int lastSampleSlot = 17;

// 1 from initSound on while sound works, 0 when there is no device: the game then runs
// silently. Only the game's thread writes it.
extern int32_t soundReady;
// Sample handles by slot (the slots above); 0 means no sample.
extern std::array<int32_t, lastSampleSlot + 1> soundBank;
// Volume levels 0 (silent) to 4; the effects level also gates every play.
extern int32_t sfxVolumeLevel;
extern int32_t musicVolumeLevel;

// Opens the audio device (44100 Hz, 16 effect channels). soundReady becomes 1, or
// 0 when there is no device or it cannot be opened; the game then runs silently.
void initSound();
// The same, without holding the caller back: the device is opened and loadSamples run
// (it calls loadSample) on a thread of its own, which a machine probing for a missing
// sound card may keep busy for a while. soundReady stays 1 meanwhile and nothing is
// played until the device is open and loadSamples has returned; if the device cannot be
// opened, the next updateSound sets soundReady to 0.
void initSoundInBackground(void (*loadSamples)());
// True while that thread is still at work.
bool soundOpeningUnderway();
// Puts a handle to the decoded file in soundBank[slot]; 0 when the file is missing,
// empty or unreadable, the mode is refused or sound is not ready. Prints nothing.
void loadSample(int slot, const char* path, int loadMode);
// Both volume levels at once (start-up sets 1 and 1).
void setVolumeLevels(int sfxLevel, int musicLevel);
// Sets the effects master volume from sfxVolumeLevel and the music channel's from
// musicVolumeLevel; both 0 while the player has muted the sound.
void applyVolumes();
// The player's own controls (keys, buttons on the page), applied at once. Muting keeps the
// levels as they are and plays nothing until unmuted; start-up leaves it as it was.
// Stepping moves the effects level by `step` within 0 to 4.
void setSoundMuted(bool muted);
bool soundMuted();
void stepEffectsVolume(int step);
// Starts soundBank[slot] on a free channel (the oldest play gives way when all 16 are
// busy). Does nothing when sfxVolumeLevel is 0, the sound is muted, sound is not ready or
// the slot holds 0.
void playSample(int slot);
// Called first thing every frame. A device that could not be opened in the background
// sets soundReady to 0 here, on the game's own thread.
void updateSound();

// Waits for a background opening, closes the device and frees every sample, leaving
// soundReady 0 and the slots at 0.
// For tests and tools that switch audio drivers; the game itself never calls it.
void closeSound();

// The volume the device is given for a level 0 to 4 (0, 63, 126, 190, 255 of 255).
int volumeValue(int level);
