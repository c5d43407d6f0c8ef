#include "web/frame_pacing.h"

#include <cmath>

PacingStep paceFrame(double now, double lastFrameTime, double frameTime) {
    const double due = lastFrameTime + frameTime;
    if (now < due - pacingEarlySlack) {
        // Whole milliseconds, rounded up: browsers truncate a timer's delay, and waking
        // early would only cost a second trip.
        return {false, std::ceil((due - now) * 1000.0), 0.0};
    }
    if (now <= due + pacingLateFrames * frameTime) return {true, 0.0, due};
    return {true, 0.0, now};
}
