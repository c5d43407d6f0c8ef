// One frame of the game, in the order its layers are drawn, and the loop that paces the
// frames at 70 a second until Escape.
#include "game/frame_loop.h"
#include <thread>

#include "game/blasts.h"
#include "game/blood_drops.h"
#include "game/bombs.h"
#include "game/crowd.h"
#include "game/game_keys.h"
#include "game/game_state.h"
#include "game/gibs.h"
#include "game/gunfire.h"
#include "game/numbers.h"
#include "game/replays.h"
#include "game/sound_keys.h"
#include "gfx/clock.h"
#include "gfx/input.h"
#include "gfx/screen.h"
#include "sound/sound.h"

namespace {

constexpr int scrollStep = 2;
constexpr int scrollLimit = 320;

void scrollByArrowKeys(const FrameInput& input) {
    if (input.scrollLeft) game.scrollX -= scrollStep;
    if (input.scrollRight) game.scrollX += scrollStep;
    if (game.scrollX > scrollLimit) game.scrollX = scrollLimit;
    if (game.scrollX < 0) game.scrollX = 0;
}

// A pointer that cannot be read reads as -1 in all three, which matches no button.
void takePointer(const FrameInput& input) {
    game.mouseX = input.pointerOff ? -1 : input.pointerX;
    game.mouseY = input.pointerOff ? -1 : input.pointerY;
    game.mouseButtons = input.pointerOff ? -1 : input.buttons;
}

// The shake starts the frame after an explosion sets shakeFrames.
void advanceShake() {
    game.shakeOffset = 0;
    if (game.shakeFrames > 0) {
        game.shakeOffset = game.cycle5 - 3;
        game.shakeFrames -= 1;
    }
}

void drawBackgrounds() {
    putImage(float(-game.scrollX), float(game.shakeOffset), bankRow(backgroundBank, 1), opaque, -1);
    putImage(float(320 - game.scrollX), float(game.shakeOffset), bankRow(backgroundBank, 2), opaque, -1);
}

// The right button alone drops a bomb, the left button alone fires: both at once do
// nothing. The falling sound and the cooldown come even when all twenty bombs are in
// flight.
void dropBombOnRightButton() {
    if (game.mouseButtons != rightButton || game.fireCooldown != 0) return;
    game.fireCooldown = fireCooldownFrames;
    playSample(bombFallSample);
    spawnBomb(float(double(game.mouseX) + game.scrollX - 3), -100, fallingBomb);
}

// The shot comes before every pass, so its victims already fall in this frame.
void fireGunOnLeftButton() {
    if (game.mouseButtons == leftButton && game.fireCooldown == 0) fireGun();
}

// The order of the passes is the order of the layers: blood under bodies, bodies under
// the walking people, people under blasts, blasts under the falling bombs.
void updatePools() {
    updateBloodDrops();
    updateGibs();
    updateCrowd();
    updateBlasts();
    updateBombs();
}

// The crosshair stays in screen coordinates: it follows neither the scroll nor the shake.
void drawCrosshair() {
    int recoil = crosshairRecoil(game.fireCooldown);
    putImage(float(game.mouseX - 8), float(game.mouseY - 8 - recoil), bankRow(spriteBank, 1), transparent, -1);
    if (game.fireCooldown > 13)
        putImage(float(game.mouseX - 8), float(game.mouseY - 8), bankRow(spriteBank, 2), transparent, -1);
}

}  // namespace

// cycle4 steps on frames where cycle5 has just become 2, cycle2 where cycle15 has;
// both are forced from 0 to 1 on the first frame.
void advanceCounters() {
    game.fireCooldown -= 1;
    if (game.fireCooldown < 0) game.fireCooldown = 0;
    game.cycle5 = game.cycle5 % 5 + 1;
    game.cycle15 = game.cycle15 % 15 + 1;
    game.cycle400 = game.cycle400 % 400 + 1;
    if (game.cycle5 == 2) game.cycle4 = game.cycle4 % 4 + 1;
    if (game.cycle15 == 2) game.cycle2 = game.cycle2 % 2 + 1;
    if (game.cycle4 == 0) game.cycle4 = 1;
    if (game.cycle2 == 0) game.cycle2 = 1;
}

int crosshairRecoil(int fireCooldown) {
    switch (fireCooldown) {
        case 20: return 1;
        case 19: return 2;
        case 18: return 3;
        case 17: return 2;
        case 16: return 1;
        default: return 0;
    }
}

void runFrame() {
    updateSound();
    handleSoundKeys();
    // The arrows, then the pointer and buttons: read together at the frame's start, from the
    // player or from the replay being watched, and recorded at its end.
    const FrameInput input = inputForFrame();
    scrollByArrowKeys(input);
    advanceCounters();
    // The page drawn in the previous frame is shown from here on.
    setPages(game.workPage, game.workPage ^ 1);
    takePointer(input);
    clearScreen();
    dropBombOnRightButton();
    advanceShake();
    drawBackgrounds();
    fireGunOnLeftButton();
    updatePools();
    drawCrosshair();
    game.workPage ^= 1;
    replayFrameDone(input);
}

void runTick() {
    if (!watchingReplay()) return runFrame();
    const int frames = replayFramesThisTick();
    for (int i = 0; i < frames; ++i) runFrame();
    setScreenCaption(replayCaption());
}

double timeToNextFrame(double now) { return game.lastFrameTime + 1.0 / game.targetFps - now; }

void endFrameWait(double now, int framesForgiven) {
    const double frameTime = 1.0 / game.targetFps;
    const double due = game.lastFrameTime + frameTime;
    game.lastFrameTime = now <= due + framesForgiven * frameTime ? due : now;
}

void runFrameLoop() {
    for (;;) {
        runTick();
        // A busy wait until the frame is due; each pass gives the processor to any other
        // runnable thread (the display, the mixer), which on a small machine would
        // otherwise wait for the spin's time slice. The millisecond's sleep after it comes
        // from the game's own loop, so each frame starts a little after its time.
        while (timeToNextFrame(timer()) > 0) std::this_thread::yield();
        endFrameWait(timer(), 0);
        sleepMs(1);
        if (keyDown(quitKey) || replayOver()) return;
    }
}
