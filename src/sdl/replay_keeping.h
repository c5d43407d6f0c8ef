// Every game the desktop plays is kept as a replay, without asking: streamed into
// replayFolder() (user_folders.h) as crowdfire-YYYY-MM-DD_HH-MM-SS.cfreplay while it is
// played, so a game that is killed or crashes keeps every whole second before it. The
// folder keeps the newest replaysKept; the oldest go quietly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t replaysKept = 100;

// The desktop's ReplayKeeper (game/replays.h), on the game's thread: copies the piece and
// leaves the disk to the writing thread (write_aside.h), which makes the file with the
// first piece and appends each one as it comes. A folder that cannot be made or written
// is said once on stderr, and the game goes on without its replay.
void keepReplayPiece(const uint8_t* bytes, int count);
// The game is over: the file is closed after its last piece (before finishWritingAside).
void finishKeepingReplay();

// Of the files in a replay folder, those to let go so that only the newest `keep` replays
// stay: the oldest by the time in their names (and the -2, -3 ... of one second in turn).
// Files not named as the game names replays are never among them.
std::vector<std::string> replaysToLetGo(const std::vector<std::string>& names, size_t keep);
