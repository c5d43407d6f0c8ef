// The browser's pacing step beside the game's pacing rule, and the browser's key names in
// the one key table, which need no browser.
#include <SDL.h>
#include <gtest/gtest.h>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "web/frame_pacing.h"

namespace {

constexpr double frameTime = 1.0 / 70;

// Runs the browser's loop against a timer that fires `lateness` after the time asked for
// and returns the frames started in `seconds`.
int framesInBrowser(double seconds, double lateness) {
    game.targetFps = 70;
    game.lastFrameTime = 0.0;
    double now = 100.0;
    int frames = 0;
    while (now < 100.0 + seconds) {
        const double waitMs = browserWaitMs(now);
        if (waitMs == 0) {
            endFrameWait(now, pacingLateFrames);
            ++frames;
            now += 0.002;  // the frame's own work
            continue;
        }
        now += waitMs / 1000.0 + lateness;
    }
    return frames;
}

}  // namespace

// A slowed phone's timers fire up to a frame late and more; the game still runs 70 frames
// a second, and never more.
TEST(WebPacing, LateTimersNeitherSlowNorSpeedTheGame) {
    EXPECT_EQ(framesInBrowser(10.0, 0.0), 700);
    EXPECT_EQ(framesInBrowser(10.0, 0.003), 700);
    EXPECT_EQ(framesInBrowser(10.0, 0.010), 700);
    // More than a frame late: the game keeps its rate, at most two frames behind.
    EXPECT_GE(framesInBrowser(10.0, 0.020), 698);
    EXPECT_LE(framesInBrowser(10.0, 0.020), 700);
}

TEST(WebPacing, LateFramesAreNotMadeUp) {
    game.targetFps = 70;
    // The first frame runs at once and is timed from when it ran.
    game.lastFrameTime = 0.0;
    ASSERT_EQ(browserWaitMs(500.0), 0.0);
    endFrameWait(500.0, pacingLateFrames);
    EXPECT_EQ(game.lastFrameTime, 500.0);
    // Woken 50 ms late: the next frame is due 1/70 s after this one, not at once.
    const double late = 500.0 + frameTime + 0.05;
    ASSERT_EQ(browserWaitMs(late), 0.0);
    endFrameWait(late, pacingLateFrames);
    EXPECT_EQ(game.lastFrameTime, late);
    EXPECT_GT(browserWaitMs(late + 0.002), 0.0);
    // The desktop forgives no lateness at all: a frame 1 ms late is timed from its wake-up.
    game.lastFrameTime = 10.0;
    endFrameWait(10.0 + frameTime + 0.001, 0);
    EXPECT_EQ(game.lastFrameTime, 10.0 + frameTime + 0.001);
    // A timer that keeps firing more than two frames late slows the game, as a machine
    // too slow for it does.
    EXPECT_LT(framesInBrowser(10.0, 0.030), 350);
}

TEST(WebPacing, WaitsAreWholeMillisecondsThatNeverEndEarly) {
    game.targetFps = 70;
    game.lastFrameTime = 10.0;
    EXPECT_EQ(browserWaitMs(10.0), 15.0);  // 14.29 ms rounded up
}

// The one table serves both platforms: SDL's scancodes are the USB usages the table is
// keyed by, and the browser's names must land on the same keys.
TEST(GameKeys, BrowserNamesAndSdlScancodesMeetOnTheSameKeys) {
    const struct {
        const char* webCode;
        SDL_Scancode sdlKey;
    } sameKeys[] = {
        {"Escape", SDL_SCANCODE_ESCAPE},
        {"ArrowLeft", SDL_SCANCODE_LEFT},
        {"Numpad4", SDL_SCANCODE_KP_4},
        {"ArrowRight", SDL_SCANCODE_RIGHT},
        {"Numpad6", SDL_SCANCODE_KP_6},
        {"KeyM", SDL_SCANCODE_M},
        {"Minus", SDL_SCANCODE_MINUS},
        {"Equal", SDL_SCANCODE_EQUALS},
        {"NumpadSubtract", SDL_SCANCODE_KP_MINUS},
        {"NumpadAdd", SDL_SCANCODE_KP_PLUS},
        {"Enter", SDL_SCANCODE_RETURN},
        {"F12", SDL_SCANCODE_F12},
        {"ControlRight", SDL_SCANCODE_RCTRL},
        {"IntlYen", SDL_SCANCODE_INTERNATIONAL3},
    };
    for (const auto& key : sameKeys) EXPECT_EQ(usageForWebCode(key.webCode), int(key.sdlKey)) << key.webCode;
    EXPECT_EQ(scanCodeForUsage(usageForWebCode("ArrowLeft")), scanLeft);
    EXPECT_EQ(scanCodeForUsage(usageForWebCode("Numpad4")), scanLeft);
    EXPECT_EQ(usageForWebCode("NoSuchKey"), -1);
    EXPECT_EQ(usageForWebCode(nullptr), -1);
}
