// The frame pacing spins on timer(), so it must be cheap: one monotonic clock read.
#include <ctime>

#include "gfx/clock.h"

double timer() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void sleepMs(int ms) {
    if (ms < 1 || ms > 99) return;
    timespec pause{0, static_cast<long>(ms) * 1000000L};
    while (nanosleep(&pause, &pause) != 0) {
    }
}
