// The game in a browser page. The browser drives the loop: no thread waits and nothing
// spins; after each frame the browser is asked to call again when the next one is due
// (frame_pacing.h), and each call runs the same runFrame as the desktop. Escape ends the
// game at the end of a frame, as on the desktop; the page then says so and may start a
// new game. A hidden tab runs no frames at all.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include "game/frame_loop.h"
#include "game/game_keys.h"
#include "game/startup.h"
#include "gfx/clock.h"
#include "gfx/input.h"
#include "web/controller_web.h"
#include "web/display_web.h"
#include "web/frame_pacing.h"

// Implemented in src/web/platform.js.
extern "C" void jsGameEnded();

namespace {

bool running = false;
bool hidden = false;
long pendingCall = 0;  // the browser timer that will run the next frame, 0 for none
int framesRun = 0;

void nextStep(void*);

void callAfter(double ms) { pendingCall = emscripten_set_timeout(nextStep, ms, nullptr); }

// Asks to be called back when the frame after the one just run is due.
void callWhenDue() { callAfter(browserWaitMs(timer())); }

void cancelPendingCall() {
    if (pendingCall != 0) emscripten_clear_timeout(pendingCall);
    pendingCall = 0;
}

void finishGame() {
    running = false;
    cancelPendingCall();
    endGame();
    jsGameEnded();
}

// The desktop loop's tail and head in one call: the wait after a frame ends, the Escape
// test, then the next frame.
void nextStep(void*) {
    pendingCall = 0;
    if (!running || hidden) return;
    const double now = timer();
    const double waitMs = browserWaitMs(now);
    if (waitMs > 0) return callAfter(waitMs);
    endFrameWait(now, pacingLateFrames);
    if (framesRun > 0 && keyDown(quitKey)) return finishGame();
    readGamepads();
    runFrame();
    ++framesRun;
    callWhenDue();
}

}  // namespace

extern "C" {

// Starts a game, or a new one after Escape, with the mute and the effects level the page
// remembers (a level outside 0 to 4: the game's own). 0 when no screen could be opened. The
// sound opens in the background: the sample files come after the first frame (sound_web.cpp).
EMSCRIPTEN_KEEPALIVE int webStartGame(int muted, int effectsLevel) {
    cancelPendingCall();
    GameStart start;
    start.fullScreen = false;  // the page asks for full screen only when the player does
    start.muted = muted != 0;
    if (effectsLevel >= 0 && effectsLevel <= 4) start.effectsLevel = effectsLevel;
    if (!startGame(webBackend, start)) return 0;
    running = true;
    framesRun = 0;
    callAfter(0);
    return 1;
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

}  // extern "C"

int main() { return 0; }
