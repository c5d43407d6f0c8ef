#pragma once

// One frame of the game up to the page flip, without waiting on the clock: tests and
// tools drive the game with it.
void runFrame();

// Frames paced at targetFps until Escape is down at the end of a frame.
void runFrameLoop();

// The fire cooldown and the frame counters (cycle2, 4, 5, 15 and 400), stepped first
// thing in every frame.
void advanceCounters();

// Pixels the crosshair is raised in the frames after a shot or a bomb drop.
int crosshairRecoil(int fireCooldown);
