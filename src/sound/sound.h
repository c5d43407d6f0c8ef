// The sound layer: whole samples loaded once at start-up and started on any free
// channel. Nothing reaches the audio device unless game.soundReady is 1.
#pragma once

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

// Opens the audio device (44100 Hz, 16 effect channels). game.soundReady becomes 1, or
// 0 when there is no device or it cannot be opened; the game then runs silently.
void initSound();
// Puts a handle to the decoded file in soundBank[slot]; 0 when the file is missing,
// empty or unreadable, the mode is refused or sound is not ready. Prints nothing.
void loadSample(int slot, const char* path, int loadMode);
// Sets the effects master volume from sfxVolumeLevel and channel 1 from musicVolumeLevel.
void applyVolumes();
// Starts soundBank[slot] on a free channel (the oldest play gives way when all 16 are
// busy). Does nothing when sfxVolumeLevel is 0, sound is not ready or the slot holds 0.
void playSample(int slot);
// Called first thing every frame while sound is ready.
void updateSound();

// Closes the device and frees every sample, leaving soundReady 0 and the slots at 0.
// For tests and tools that switch audio drivers; the game itself never calls it.
void closeSound();

// The volume the device is given for a level 0 to 4 (0, 63, 126, 190, 255 of 255).
int volumeValue(int level);
