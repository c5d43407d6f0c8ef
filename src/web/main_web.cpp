// The game in a browser page. The browser drives the loop: no thread waits and nothing
// spins; after each frame the browser is asked to call again when the next one is due
// (frame_pacing.h), and each call runs the same runFrame as the desktop. Escape ends the
// game at the end of a frame, as on the desktop; the page then says so and may start a
// new game. A hidden tab runs no frames at all.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/clock.h"
#include "gfx/input.h"
#include "gfx/screen.h"
#include "sound/sound.h"
#include "web/controller_web.h"
#include "web/display_web.h"
#include "web/frame_pacing.h"

// Implemented in src/web/platform.js.
extern "C" {
void jsGameEnded();
void jsSoundSettings(int muted, int effectsLevel);
}

namespace {

bool running = false;
bool hidden = false;
long pendingCall = 0;  // the browser timer that will run the next frame, 0 for none
int framesRun = 0;
int soundSettingsTold = -1;  // the mute and effects level the page was last told, packed

// The page shows the mute and remembers it and the effects level: it is told when a frame
// (a key, a controller) or the page itself changed them, never asked.
void tellSoundSettings() {
    const int settings = (soundMuted() ? 8 : 0) | sfxVolumeLevel;
    if (settings == soundSettingsTold) return;
    soundSettingsTold = settings;
    jsSoundSettings(soundMuted() ? 1 : 0, sfxVolumeLevel);
}

void nextStep(void*);

void callAfter(double ms) { pendingCall = emscripten_set_timeout(nextStep, ms, nullptr); }

// Asks to be called back when the frame after the one just run is due.
void callWhenDue() { callAfter(browserWaitMs(timer())); }

void cancelPendingCall() {
    if (pendingCall != 0) emscripten_clear_timeout(pendingCall);
    pendingCall = 0;
}

void endGame() {
    running = false;
    cancelPendingCall();
    closeScreen();
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
    if (framesRun > 0 && keyDown(scanEscape)) return endGame();
    readGamepads();
    runFrame();
    ++framesRun;
    tellSoundSettings();
    callWhenDue();
}

}  // namespace

extern "C" {

// Starts a game, or a new one after Escape. 0 when no screen could be opened. The sound
// opens in the background: the sample files come after the first frame (sound_web.cpp).
EMSCRIPTEN_KEEPALIVE int webStartGame() {
    cancelPendingCall();
    if (!startUp(webBackend, SoundStart::inBackground)) return 0;
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
