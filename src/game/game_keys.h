// What the game's keys do. The keys themselves (their scan codes, and which keys of a
// keyboard or a pad set them) are the graphics layer's: gfx/keys.h.
#pragma once

#include "gfx/keys.h"

// Escape, held at the end of a frame, ends the game; a pad's Back does the same.
constexpr int quitKey = scanEscape;
// The arrows (keypad 4 and 6, a pad's d-pad and shoulders) scroll the scene.
constexpr int scrollLeftKey = scanLeft;
constexpr int scrollRightKey = scanRight;
// The sound keys: M mutes, minus and equals (or keypad minus and plus) step the volume.
constexpr int muteKey = scanM;
constexpr int quieterKey = scanMinus;
constexpr int quieterKeypadKey = scanKeypadMinus;
constexpr int louderKey = scanEquals;
constexpr int louderKeypadKey = scanKeypadPlus;
// Watching a replay: Space (or P) pauses and resumes, the full stop steps one frame while
// paused, F held runs it fast.
constexpr int pauseKey = scanSpace;
constexpr int pauseOtherKey = scanP;
constexpr int stepKey = scanPeriod;
constexpr int fastForwardKey = scanF;
