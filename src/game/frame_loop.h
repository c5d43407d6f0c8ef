#pragma once

// One frame of the game up to the page flip, without waiting on the clock: tests and
// tools drive the game with it.
void runFrame();

// One tick of the game's clock: a frame, or while a replay is watched the frames its viewer
// asks for (none while paused, several fast forwarding) and the time it shows.
void runTick();

// Ticks paced at targetFps until Escape is down at the end of one, or a replay watched is over.
void runFrameLoop();

// The pacing rule, the same for every loop that runs frames: a frame starts 1/targetFps
// after the previous frame's wait ended, and a late frame is not made up: the frame after
// it is timed from when its wait really ended, so the game slows down rather than skip.
// Seconds from `now` (timer()) until the next frame is due; 0 or less once it is.
double timeToNextFrame(double now);
// The wait before a frame ends at `now`, the frame about to run. A loop whose wake-ups
// come late through no fault of the game's (the browser's timers) may forgive up to
// `framesForgiven` frames of lateness: such a wait counts as having ended when the frame
// was due, and the game catches up. The desktop's loop forgives none.
void endFrameWait(double now, int framesForgiven);

// The fire cooldown and the frame counters (cycle2, 4, 5, 15 and 400), stepped first
// thing in every frame.
void advanceCounters();

// Pixels the crosshair is raised in the frames after a shot or a bomb drop.
int crosshairRecoil(int fireCooldown);
