// The sound layer: whole samples loaded once at start-up and started on any free
// channel. Nothing reaches the audio device unless game.soundReady is 1.
#pragma once

// Load modes the game passes: 0, or 16-bit (16) + mono (32) + signed (256).
constexpr int loadModeDefault = 0;
constexpr int loadMode16BitMonoSigned = 304;

void initSound();                                          // sets game.soundReady
void loadSample(int slot, const char* path, int loadMode); // soundBank[slot], 0 on failure
void applyVolumes();
void playSample(int slot);
void updateSound();
