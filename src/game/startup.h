// Start-up, the one way every platform, test and tool starts a game: the run's starting
// choices in one record, the screen opened on the platform's display, the artwork and the
// sound loaded, the opening crowd placed and the generator seeded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "game/replays.h"
#include "gfx/display.h"
#include "sound/sound.h"

// What a run starts with. The platform fills it from its command line, its remembered
// settings or its page; a default record is the game as it first shipped.
struct GameStart {
    bool fullScreen = true;  // else a window; a display that cannot go full screen opens one anyway
    int windowScale = 0;     // the window's size as a whole factor of the page; 0 for the largest that fits
    int effectsLevel = defaultEffectsLevel;  // 0 (silent) to 4
    int musicLevel = defaultMusicLevel;
    bool muted = false;
    // What the generator is seeded with after the opening crowd; none for the clock.
    std::optional<uint32_t> seed;
    // Where this game's replay goes as it is recorded (the desktop's file, the browser's
    // storage); null: nowhere.
    ReplayKeeper keepReplay = nullptr;
    // A replay to watch instead of a game to play: the whole file, surveyed by the caller
    // (surveyReplay) and kept in place until the game ends. Its seed overrides `seed`.
    std::span<const uint8_t> replayToWatch;
};

// When start-up opens the sound device and loads the samples: before it returns (tests
// and tools want them in place), or in the background, so that a machine that takes its
// time to find (or not find) a sound card shows the player's first picture at once.
enum class SoundStart { beforeReturning, inBackground };

// Start-up up to the frame loop: starting values, pools and banks, the screen, the
// artwork from the current directory, sound, the opening crowd and the seed. False when
// no screen could be opened; screenError() says why.
bool startUp(const DisplayBackend& backend, const GameStart& start = {},
             SoundStart soundStart = SoundStart::beforeReturning);

// A player's game: start-up with the sound in the background; when no screen opens, one
// line on stderr says why, and the result is false.
bool startGame(const DisplayBackend& backend, const GameStart& start);
// The end of a player's game, however it ends: the replay's last second kept, the screen closed.
void endGame();
// The player's whole program on a display the game's thread may wait for (the desktop,
// tests, tools): startGame, the frame loop until Escape, endGame; the exit status. The
// browser, which may not hold its thread, runs the same frames from its own timer between
// startGame and endGame.
int runGame(const DisplayBackend& backend, const GameStart& start);
