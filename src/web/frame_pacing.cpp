// How long the browser's timer waits before the next frame, by the game's pacing rule.
#include "web/frame_pacing.h"

#include <cmath>

#include "game/frame_loop.h"

double browserWaitMs(double now) {
    const double left = timeToNextFrame(now);
    return left > pacingEarlySlack ? std::ceil(left * 1000.0) : 0.0;
}
