// The browser platform's pacing rule and key table, which need no browser.
#include <SDL.h>
#include <gtest/gtest.h>

#include <set>

#include "gfx/input.h"
#include "sdl/display_sdl.h"
#include "web/frame_pacing.h"
#include "web/web_keys.h"

namespace {

constexpr double frameTime = 1.0 / 70;

// Runs the browser's loop against a timer that fires `lateness` after the time asked for
// and returns the frames started in `seconds`.
int framesInBrowser(double seconds, double lateness) {
    double now = 100.0, lastFrameTime = 0.0;
    int frames = 0;
    while (now < 100.0 + seconds) {
        PacingStep step = paceFrame(now, lastFrameTime, frameTime);
        if (step.runNow) {
            lastFrameTime = step.waitEndedAt;
            ++frames;
            now += 0.002;  // the frame's own work
            continue;
        }
        now += step.waitMs / 1000.0 + lateness;
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
    // The first frame runs at once and is timed from when it ran.
    PacingStep first = paceFrame(500.0, 0.0, frameTime);
    EXPECT_TRUE(first.runNow);
    EXPECT_EQ(first.waitEndedAt, 500.0);
    // Woken 50 ms late: the next frame is due 1/70 s after this one, not at once.
    PacingStep late = paceFrame(500.0 + frameTime + 0.05, 500.0, frameTime);
    EXPECT_TRUE(late.runNow);
    EXPECT_EQ(late.waitEndedAt, 500.0 + frameTime + 0.05);
    EXPECT_FALSE(paceFrame(late.waitEndedAt + 0.002, late.waitEndedAt, frameTime).runNow);
    // A timer that keeps firing more than two frames late slows the game, as a machine
    // too slow for it does.
    EXPECT_LT(framesInBrowser(10.0, 0.030), 350);
}

TEST(WebPacing, WaitsAreWholeMillisecondsThatNeverEndEarly) {
    PacingStep step = paceFrame(10.0, 10.0, frameTime);
    EXPECT_FALSE(step.runNow);
    EXPECT_EQ(step.waitMs, 15.0);  // 14.29 ms rounded up
}

TEST(WebKeys, SameScanCodesAsTheDesktop) {
    EXPECT_EQ(scanCodeForWebKey("Escape"), scanEscape);
    EXPECT_EQ(scanCodeForWebKey("ArrowLeft"), scanLeft);
    EXPECT_EQ(scanCodeForWebKey("Numpad4"), scanLeft);
    EXPECT_EQ(scanCodeForWebKey("ArrowRight"), scanRight);
    EXPECT_EQ(scanCodeForWebKey("Numpad6"), scanRight);
    EXPECT_EQ(scanCodeForWebKey("NoSuchKey"), -1);
    std::set<int> desktop, web;
    for (int key = 0; key < SDL_NUM_SCANCODES; ++key)
        if (scanCodeForSdlKey(key) >= 0) desktop.insert(scanCodeForSdlKey(key));
    for (int i = 0; i < webKeyCount(); ++i) web.insert(webKeyScanCode(i));
    EXPECT_EQ(web, desktop);
}
