// Replays made without the game, for the size benchmark and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <vector>

#include "game/frame_input.h"

// A player in a hurry, the same on every machine for a seed: the crosshair sweeps across
// the crowd at 1 to 12 px a frame, turning every few tenths of a second, with a flick of
// 40 to 150 px about once a second; the left button held or clicked most of the time, a
// bomb (the right button alone) every five seconds or so, an arrow held now and then, and
// the pointer leaving the page once in a long while.
std::vector<FrameInput> busyPlay(int frames, uint64_t seed);

// The frames as a replay file: header (seed, version "1.0.0"), a chunk a second whose
// checkpoint is a stand-in number (no game ran), and the end record when `closed`.
std::vector<uint8_t> recordReplay(const std::vector<FrameInput>& frames, bool closed);
