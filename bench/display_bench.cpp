// How soon a shown page reaches the display: the time from setPages until the refresh
// thread has taken the page's rows (the dirty flags are clear), over many swaps. Uses the
// real X display when DISPLAY is set (e.g. under Xvfb), else SDL's dummy driver.
//   build/display_bench [SWAPS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <thread>
#include <vector>

#include "gfx/screen.h"
#include "sdl/display_sdl.h"

namespace {

bool rowsTaken() {
    lockScreen();
    const uint8_t* dirty = dirtyFlags();
    bool taken = std::all_of(dirty, dirty + 240, [](uint8_t d) { return d == 0; });
    unlockScreen();
    return taken;
}

}  // namespace

int main(int argc, char** argv) {
    int swaps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "dummy", 0);
    selectDisplay(sdlBackend);
    if (openScreen(320, 240, 24, 2, 1, 0) != resultOk) {
        std::fprintf(stderr, "display_bench: %s\n", screenError());
        return 1;
    }
    std::vector<double> waits;
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < swaps; ++i) {
        int work = i % 2;
        auto shown = Clock::now();
        setPages(work, 1 - work);
        // Polling gently, so the bench does not fight the refresh thread for the lock.
        while (!rowsTaken()) std::this_thread::sleep_for(std::chrono::microseconds(20));
        waits.push_back(std::chrono::duration<double, std::micro>(Clock::now() - shown).count());
        clearScreen();
        std::this_thread::sleep_for(std::chrono::microseconds(14286));  // the rest of a 70 Hz frame
    }
    closeScreen();
    std::sort(waits.begin(), waits.end());
    std::printf("setPages to rows taken by the refresh thread, %d swaps (%s)\n", swaps,
                std::getenv("DISPLAY") ? "X display" : "dummy driver");
    std::printf("  median %.0f us, 99th percentile %.0f us, worst %.0f us\n", waits[waits.size() / 2],
                waits[waits.size() * 99 / 100], waits.back());
    return 0;
}
