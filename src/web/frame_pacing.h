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

// A wake-up from pacingEarlySlack (seconds) before the due time to a whole frame after it
// counts as on time, and the wait is taken to have ended when it was due: however late the
// timers fire, as long as the next frame is reached within its own time the game keeps 70
// frames a second, at most one frame behind. (Headless Chromium with the CPU slowed six
// times wakes a page that does nothing but pace itself 2.4 ms late in the median and more
// than 4 ms late one time in five; slowed eight times, up to 13 ms late.) A wake-up later
// than a frame is a frame the machine could not run in time: it is not made up, and the
// next frame is timed from the moment it actually ran.
constexpr double pacingEarlySlack = 0.001;

// now and lastFrameTime in seconds (timer()), frameTime = 1 / targetFps.
PacingStep paceFrame(double now, double lastFrameTime, double frameTime);
