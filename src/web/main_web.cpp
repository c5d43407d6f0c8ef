// The game in a browser page. The browser drives the loop: no thread waits and nothing
// spins; after each frame the browser is asked to call again when the next one is due
// (frame_pacing.h), and each call runs the same tick as the desktop. Escape ends the game
// at the end of a frame, as on the desktop, and so does the end of a replay watched; the
// page then says so and may start a new game. A hidden tab runs no frames at all.
//
// Every game the page plays is recorded: each piece of its replay goes to the page as it
// is written (jsReplayBytes), which keeps it in the browser's storage. A replay the page
// hands over (webWatchReplay) is watched instead, from the page's copy in module memory.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "game/frame_loop.h"
#include "game/game_keys.h"
#include "game/replay_file.h"
#include "game/replays.h"
#include "game/startup.h"
#include "gfx/clock.h"
#include "gfx/input.h"
#include "web/controller_web.h"
#include "web/display_web.h"
#include "web/frame_pacing.h"

// Implemented in src/web/platform.js.
extern "C" void jsGameEnded();
extern "C" void jsReplayEnded(int status, const char* line);
extern "C" void jsReplayBytes(const uint8_t* bytes, int count, int startsReplay);

namespace {

bool running = false;
bool hidden = false;
long pendingCall = 0;  // the browser timer that will run the next frame, 0 for none
int framesRun = 0;
// The next piece recorded is a new game's header: the page starts a new replay with it.
bool replayStarts = false;
// The replay being watched: the page's copy, allocated by the page (_malloc), kept in
// place until the next game starts.
uint8_t* watchedFile = nullptr;
// What the page says before a replay plays, or instead of playing it.
char replayWords[sizeof(ReplaySurvey::words) + sizeof(ReplayNote::text)] = {};

void nextStep(void*);

void callAfter(double ms) { pendingCall = emscripten_set_timeout(nextStep, ms, nullptr); }

// Asks to be called back when the frame after the one just run is due.
void callWhenDue() { callAfter(browserWaitMs(timer())); }

void cancelPendingCall() {
    if (pendingCall != 0) emscripten_clear_timeout(pendingCall);
    pendingCall = 0;
}

void keepReplayPiece(const uint8_t* bytes, int count) {
    jsReplayBytes(bytes, count, replayStarts ? 1 : 0);
    replayStarts = false;
}

// The game running now ends, however it ends: its replay's last second and end record go
// to the page.
void stopGame() {
    if (!running) return;
    running = false;
    cancelPendingCall();
    endGame();
}

void forgetWatchedFile() {
    std::free(watchedFile);
    watchedFile = nullptr;
}

// Escape, or the end of the replay watched: the page says so and offers another game.
void finishGame() {
    const bool watched = watchingReplay();
    const ReplayVerdict verdict = replayVerdict();
    stopGame();
    if (watched) jsReplayEnded(verdict.status, verdict.line);
    else jsGameEnded();
}

// The desktop loop's tail and head in one call: the wait after a tick ends, the test for
// Escape or a replay's end, then the next tick.
void nextStep(void*) {
    pendingCall = 0;
    if (!running || hidden) return;
    const double now = timer();
    const double waitMs = browserWaitMs(now);
    if (waitMs > 0) return callAfter(waitMs);
    endFrameWait(now, pacingLateFrames);
    if (framesRun > 0 && (keyDown(quitKey) || replayOver())) return finishGame();
    readGamepads();
    runTick();
    ++framesRun;
    callWhenDue();
}

// The page's start: no full screen until the player asks, and the mute and the effects
// level the page remembers (a level outside 0 to 4: the game's own).
GameStart pageStart(int muted, int effectsLevel) {
    GameStart start;
    start.fullScreen = false;
    start.muted = muted != 0;
    if (effectsLevel >= 0 && effectsLevel <= 4) start.effectsLevel = effectsLevel;
    return start;
}

// The sound opens in the background: the sample files come after the first frame
// (sound_web.cpp).
int begin(const GameStart& start) {
    if (!startGame(webBackend, start)) return 0;
    running = true;
    framesRun = 0;
    callAfter(0);
    return 1;
}

}  // namespace

extern "C" {

// Starts a game, ending the one running (its replay closed), with the page's sound
// settings. 0 when no screen could be opened.
EMSCRIPTEN_KEEPALIVE int webStartGame(int muted, int effectsLevel) {
    stopGame();
    forgetWatchedFile();
    GameStart start = pageStart(muted, effectsLevel);
    start.keepReplay = keepReplayPiece;
    replayStarts = true;
    return begin(start);
}

// Watches the replay file at `file` (`size` bytes the page allocated with _malloc; this
// takes it over). A file that cannot play, or holds no frame to play, is refused: freed,
// the game running plays on, and webReplayWords() says why. Otherwise the game running
// ends, the replay plays with its memory kept until the next game starts, and
// webReplayWords() holds the note on another version's replay (empty for this version).
EMSCRIPTEN_KEEPALIVE int webWatchReplay(uint8_t* file, int size, int muted, int effectsLevel) {
    const ReplaySurvey survey = surveyReplay(file, size_t(size));
    if (!survey.playable || survey.frames == 0) {
        std::snprintf(replayWords, sizeof replayWords, "%s", survey.words);
        std::free(file);
        return 0;
    }
    std::snprintf(replayWords, sizeof replayWords, "%s", replayVersionNote(survey).text);
    stopGame();
    forgetWatchedFile();
    watchedFile = file;
    GameStart start = pageStart(muted, effectsLevel);
    start.replayToWatch = {file, size_t(size)};
    return begin(start);
}

EMSCRIPTEN_KEEPALIVE const char* webReplayWords() { return replayWords; }

// The largest replay file the game takes: the page refuses a larger one before reading it.
EMSCRIPTEN_KEEPALIVE int webReplayFileLimit() { return int(maxReplayFileBytes); }

// A replay's length for the page's list: frames as "M:SS".
EMSCRIPTEN_KEEPALIVE const char* webGameTime(int frames) {
    static GameTimeText time;
    time = gameTime(uint32_t(frames));
    return time.text;
}

// A tap or a click on the picture while a replay plays: pause or resume.
EMSCRIPTEN_KEEPALIVE void webToggleReplayPause() {
    if (running && watchingReplay()) toggleReplayPause();
}

// A hidden tab runs nothing; when it shows again the next frame starts at once and the
// time away is not made up.
EMSCRIPTEN_KEEPALIVE void webHidden(int isHidden) {
    hidden = isHidden != 0;
    cancelPendingCall();
    if (running && !hidden) callAfter(0);
}

EMSCRIPTEN_KEEPALIVE int webFramesRun() { return framesRun; }
EMSCRIPTEN_KEEPALIVE int webRunning() { return running ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int webWatching() { return running && watchingReplay() ? 1 : 0; }

}  // extern "C"

int main() { return 0; }
