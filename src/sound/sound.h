// The sound layer: whole samples loaded once at start-up and started on any free
// channel, at one of five volume levels. Nothing reaches the audio device unless
// soundReady is 1. This is what the game calls; sound.cpp keeps the slots, handles,
// channels and levels the same way on every platform, and each platform's device
// (sound_device.h) only opens, decodes and plays.
#pragma once

#include <array>
#include <cstdint>
#include <span>

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

// 1 while sound works: the device is open and the samples handed to initSound are in the
// bank. 0 without a device, where the game runs silently, and while a background opening is
// still at work. Only the game's thread writes it, and nothing reaches the device while it is 0.
extern int32_t soundReady;
// Sample handles by slot (the slots above); 0 means no sample.
extern std::array<int32_t, lastSampleSlot + 1> soundBank;
// Volume levels 0 (silent) to 4; the effects level also gates every play. Written through
// setVolumeLevels and stepEffectsVolume, which hand them to the device.
extern int32_t sfxVolumeLevel;
extern int32_t musicVolumeLevel;
// The levels a game starts with unless the player chose others.
constexpr int defaultEffectsLevel = 1;
constexpr int defaultMusicLevel = 1;

// One sample to load: its slot, its file and its load mode.
struct SampleFile {
    int slot;
    const char* path;
    int loadMode;
};

// Opens the audio device (44100 Hz, 16 effect channels), loads `samples` into their slots
// and sets the volumes. soundReady becomes 1, or 0 when there is no device or it cannot be
// opened; the game then runs silently. Tests and tools may pass no samples and load their own.
void initSound(std::span<const SampleFile> samples = {});
// The same, without holding the caller back: the device is opened and the samples loaded
// away from the game's thread (a machine probing for a missing sound card may take a
// while). soundReady is 0 meanwhile, so nothing is played; the first updateSound after the
// work is done sets it to 1 and the volumes, or leaves it 0 if the device could not be
// opened. `samples` must stay in place until then (the game's is a constant table).
void initSoundInBackground(std::span<const SampleFile> samples);
// True from initSoundInBackground until updateSound has taken over what it found.
bool soundOpeningUnderway();
// Puts a handle to the decoded file in soundBank[slot]; 0 when the file is missing,
// empty or unreadable, the mode is refused or sound is not ready. Prints nothing. For tests
// and tools that load files of their own after initSound.
void loadSample(int slot, const char* path, int loadMode);
// Both volume levels at once, handed to the device at once.
void setVolumeLevels(int sfxLevel, int musicLevel);
// What a game starts with: both levels and the mute. The platform chose them, so it is not
// told of them as it is of the player's own changes below.
void startSoundSettings(int sfxLevel, int musicLevel, bool muted);
// Sets the effects master volume from sfxVolumeLevel and the music channel's from
// musicVolumeLevel; both 0 while the player has muted the sound. Every change of a level or
// of the mute calls it, and so does the device's opening: a play never does.
void applyVolumes();
// The player's own controls (keys, buttons on the page), applied at once; a change is told
// to the platform (soundSettingsChanged, sound_device.h), which may remember it. Muting keeps
// the levels as they are and plays nothing until unmuted. Stepping moves the effects level
// by `step` within 0 to 4.
void setSoundMuted(bool muted);
bool soundMuted();
void stepEffectsVolume(int step);
// Starts soundBank[slot] on a free channel (the oldest play gives way when all 16 are
// busy). Does nothing when sfxVolumeLevel is 0, the sound is muted, sound is not ready or
// the slot holds 0.
void playSample(int slot);
// Called first thing every frame. A background opening that is done is taken over here, on
// the game's own thread: soundReady becomes 1 and the volumes are set, or it stays 0 when
// the device could not be opened.
void updateSound();

// Waits for a background opening, closes the device and frees every sample, leaving
// soundReady 0 and the slots at 0.
// For tests and tools that switch audio drivers; the game itself never calls it.
void closeSound();

// The volume the device is given for a level 0 to 4 (0, 63, 126, 190, 255 of 255).
int volumeValue(int level);
