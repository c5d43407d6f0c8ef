// Replays, recorded and watched. Every game records what the game reads each frame, with
// its seed and the game's version, and hands the file to its platform piece by piece (the
// desktop streams it to disk, the browser keeps it in its storage). A replay watched drives
// the same frames with the recorded input instead of the player's, and holds the game's
// state to the one recorded every second: it either plays back its game to the end, or says
// where it left it. The file itself is replay_file.h's.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/frame_input.h"
#include "game/replay_file.h"

// Where a recording goes: the header at start-up, a chunk each second, and the last chunk
// and the end record when the game ends, each to be appended to what came before. Called on
// the game's thread; the bytes are gone when it returns.
using ReplayKeeper = void (*)(const uint8_t* bytes, int count);

// ---- What start-up, the frame and the game's end call ------------------------------------

// A new game records into `keeper` (null: nowhere, as tests and tools run).
void beginRecording(uint32_t seed, ReplayKeeper keeper);
// Instead of recording, the game watches a replay: its frames come from `data` (the whole
// file, which must stay in place), as far as its survey says they play. Returns the seed
// its game was given.
uint32_t beginWatching(const uint8_t* data, size_t size);
// The input this frame reads: the player's, from the platform, or the replay's.
FrameInput inputForFrame();
// After the frame: its input recorded, or, at a second's end, its state held to the
// replay's checkpoint.
void replayFrameDone(const FrameInput& input);
// The game ends, however it ends: the last, shorter second and the end record go to the keeper.
void endRecording();

// ---- Watching ------------------------------------------------------------------------------

bool watchingReplay();
// Once a tick (a frame's time) while watching: reads the viewer's keys and says how many
// frames to run now: none while paused (one for a step), one playing, several while fast
// forward is held; none once the replay is over.
int replayFramesThisTick();
// The viewer's pause, from a key or the browser's tap.
void toggleReplayPause();
// Every frame the replay holds has been played (false when not watching).
bool replayOver();
// What the window's title or the page's line shows while watching: "0:42 / 1:30", with
// "paused" or "fast forward" after it.
const char* replayCaption();
// A replay from another version of the game may leave its recorded game: one line saying
// so, said before it starts; empty for the same version.
struct ReplayNote {
    char text[160];
};
ReplayNote replayVersionNote(const ReplaySurvey& survey);
// The one line said when watching ends, at the replay's end or at Escape, and the status
// a program leaves with: 0 when every checkpoint matched, 3 when the game left its record.
struct ReplayVerdict {
    int status;
    char line[320];
};
ReplayVerdict replayVerdict();
