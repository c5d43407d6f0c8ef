// The browser's frame pacing: the game's one pacing rule (game/frame_loop.h) on top of the
// browser's timers, with no spinning. The one step the browser adds: its timers fire late,
// a few milliseconds on a desktop, up to most of a frame on a slow phone whose timers cost
// it as much as its work does, so a wake-up up to pacingLateFrames frames late counts as on
// time and the game catches up those frames; a wake-up later than that is a stall, and the
// next frame is timed from when this one really ran, as on the desktop.
#pragma once

// A wake-up from pacingEarlySlack (seconds) before the due time to pacingLateFrames frames
// after it counts as on time. Headless Chromium with the CPU slowed six times wakes a page
// that does nothing but pace itself 2.4 ms late in the median and more than 4 ms late one
// time in five; slowed eight times, the game's wake-ups came up to 17 ms late, and now and
// then a frame took 13 ms where most take 2 (a frame's grace still lost up to one frame a
// second there).
constexpr double pacingEarlySlack = 0.001;
constexpr int pacingLateFrames = 2;

// Milliseconds to ask the browser to wait before the next frame (whole ones, rounded up:
// browsers truncate a timer's delay, and waking early would only cost a second trip), or 0
// when the frame is due: then the loop calls endFrameWait(now, pacingLateFrames) and runs it.
double browserWaitMs(double now);
