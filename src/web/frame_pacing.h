// The browser's frame pacing, with no spinning: the desktop's rule (a frame starts 1/70 s
// after the previous frame's wait ended, a late frame is not made up) on top of the
// browser's timers, which fire late: a few milliseconds on a desktop, up to most of a
// frame on a slow phone, whose timers cost it as much as its work does.
#pragma once

struct PacingStep {
    bool runNow;         // the wait is over: run the next frame
    double waitMs;       // otherwise: ask the browser to call again after this long
    double waitEndedAt;  // with runNow: the new lastFrameTime
};

// A wake-up from pacingEarlySlack (seconds) before the due time to pacingLateFrames frames
// after it counts as on time, and the wait is taken to have ended when it was due: however
// late the timers fire, as long as the frames can be run the game keeps 70 frames a second,
// catching up at most that many frames. Headless Chromium with the CPU slowed six times
// wakes a page that does nothing but pace itself 2.4 ms late in the median and more than
// 4 ms late one time in five; slowed eight times, the game's wake-ups came up to 17 ms late,
// and now and then a frame took 13 ms where most take 2 (a frame's grace still lost up to
// one frame a second there). A wake-up later than that is a stall the game does not make
// up: the next frame is timed from the moment it actually ran, as on the desktop.
constexpr double pacingEarlySlack = 0.001;
constexpr int pacingLateFrames = 2;

// now and lastFrameTime in seconds (timer()), frameTime = 1 / targetFps.
PacingStep paceFrame(double now, double lastFrameTime, double frameTime);
