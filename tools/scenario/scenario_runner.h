// Scripted runs of the whole game on the headless display: a fixed seed, a scripted
// pointer, buttons and arrow keys per frame, no pacing. The same script and seed always
// give the same final page and pools, which the hashes make easy to compare.
//
// Script format, one command per line; '#' starts a comment, blank lines are ignored:
//
//   seed S                  randomize seed given after start-up (default 1)
//   frames N                frames to run (default: one past the last frame named)
//   F[-G] X Y BUTTONS [KEYS]
//   F[-G] off BUTTONS [KEYS]
//
// The last form holds for frames F to G (0-based, inclusive; G defaults to F): the
// pointer at page pixel (X, Y), or "off" the page where the mouse cannot be read; X or
// Y written "A..B" moves the pointer evenly from A at frame F to B at frame G, and
// "A..B/P" moves it from A to B and back every P frames; the
// button mask BUTTONS (0 none, 1 left, 2 right, 3 both); KEYS a comma list of "left" and
// "right" for the arrow keys held, or "-" for none. A later line wins where ranges
// overlap. In frames that no line covers no button or key is held and the pointer stays
// where it was.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "game/replays.h"

struct ScenarioInput {
    int firstFrame = 0;
    int lastFrame = 0;
    bool pointerOff = false;
    int pointerX = 0;  // at firstFrame
    int pointerY = 0;
    int pointerEndX = 0;  // at lastFrame
    int pointerEndY = 0;
    int periodX = 0;  // frames of one swing there and back, 0 for a single move
    int periodY = 0;
    int buttons = 0;
    bool left = false;
    bool right = false;
};

struct Scenario {
    double seed = 1;
    int frames = -1;  // -1: one past the last frame named
    std::vector<ScenarioInput> inputs;
};

struct ScenarioResult {
    int frames = 0;
    uint64_t pageHash = 0;
    uint64_t poolsHash = 0;
};

// False with a message naming the line when the script is malformed.
bool parseScenario(std::istream& script, Scenario& scenario, std::string& error);
bool loadScenario(const std::string& path, Scenario& scenario, std::string& error);

// Frames a run takes: the script's own count, else one past the last frame named.
int scenarioFrames(const Scenario& scenario);
// The pointer an input line gives at `frame`, a frame of its range.
void pointerAt(const ScenarioInput& input, int frame, int& x, int& y);

// Starts the game on the headless display from the current directory (where the
// bitmaps are), seeds it and runs the frames, recording them into `keeper` when one is
// given. The screen stays open for pagePixels.
bool runScenario(const Scenario& scenario, ScenarioResult& result, std::string& error, ReplayKeeper keeper = nullptr);
// The same for a replay file (already read whole): every frame it holds, without pacing;
// `verdict` says whether its game was played back. False when it cannot be played at all.
bool runReplay(const std::vector<uint8_t>& replay, ScenarioResult& result, ReplayVerdict& verdict, std::string& error);

// The page the last frame drew (runFrame flips workPage as its last step; the next frame
// shows it). The tests read their frames through this one too.
const uint32_t* lastDrawnPage();

// FNV-1a, 64 bits.
uint64_t hashBytes(const void* data, std::size_t size, uint64_t hash = 14695981039346656037ull);
uint64_t hashPools();

// A 24-bit bottom-up BMP of a 320 x 240 page.
bool writePageBitmap(const std::string& path, const uint32_t* page, std::string& error);
