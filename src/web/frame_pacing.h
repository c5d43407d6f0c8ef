// The browser's frame pacing, with no spinning: the desktop's rule (a frame starts 1/70 s
// after the previous frame's wait ended, a late frame is not made up) on top of the
// browser's timers, which fire up to a few milliseconds off the time asked for.
#pragma once

struct PacingStep {
    bool runNow;         // the wait is over: run the next frame
    double waitMs;       // otherwise: ask the browser to call again after this long
    double waitEndedAt;  // with runNow: the new lastFrameTime
};

// How far off the browser's timers fire, in seconds. A wake-up within this of the due time
// counts as on time, and the wait is taken to have ended when it was due: timer jitter then
// neither slows the game nor speeds it up. A wake-up later than that is a late frame, and
// the next frame is timed from the moment it actually ran.
constexpr double pacingEarlySlack = 0.001;
constexpr double pacingLateSlack = 0.004;

// now and lastFrameTime in seconds (timer()), frameTime = 1 / targetFps.
PacingStep paceFrame(double now, double lastFrameTime, double frameTime);
