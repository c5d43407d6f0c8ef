// What a screenshot costs the game. The display's thread copies the visible page under the
// screen lock (the game's thread waits for that lock at most as long); the writing thread
// then encodes the PNG beside the game. Prints the copy's time, the encoding's time at the
// scales a player's screen gives, and the game's own frame time (runFrame on the headless
// display, the real art and crowd) with and without screenshots being written meanwhile.
//   build/screenshot_bench RUN_DIR [FRAMES]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/screen.h"
#include "sdl/screenshot.h"

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

struct Spread {
    double median, worst;
};

Spread spreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

Spread copyTimes(int rounds) {
    std::vector<uint32_t> page(320 * 240);
    std::vector<double> times;
    int width = 0, height = 0;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        copyVisiblePage(page.data(), int(page.size()), width, height);
        times.push_back(microsecondsSince(start));
    }
    return spreadOf(times);
}

double encodeMilliseconds(const std::string& folder, int scale, int rounds) {
    std::vector<uint32_t> page(320 * 240);
    int width = 0, height = 0;
    copyVisiblePage(page.data(), int(page.size()), width, height);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        std::string problem;
        const auto start = Clock::now();
        const std::string path = writeScreenshot(page, width, height, scale, folder, 0, problem);
        times.push_back(microsecondsSince(start) / 1000);
        if (path.empty()) std::fprintf(stderr, "screenshot_bench: %s\n", problem.c_str());
        std::filesystem::remove(path);
    }
    return spreadOf(times).median;
}

Spread frameTimes(int frames) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const auto start = Clock::now();
        runFrame();
        times.push_back(microsecondsSince(start));
    }
    return spreadOf(times);
}

// Frames while another thread does what F12 does, again and again, at scale 2.
Spread frameTimesWhileShooting(const std::string& folder, int frames) {
    std::atomic<bool> stop{false};
    std::thread shooter([&] {
        std::vector<uint32_t> page(320 * 240);
        int width = 0, height = 0;
        while (!stop) {
            copyVisiblePage(page.data(), int(page.size()), width, height);
            std::string problem;
            std::filesystem::remove(writeScreenshot(page, width, height, 2, folder, 0, problem));
        }
    });
    const Spread spread = frameTimes(frames);
    stop = true;
    shooter.join();
    return spread;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_bench RUN_DIR [FRAMES]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(100, std::atoi(argv[2])) : 2000;
    const std::string folder = (std::filesystem::temp_directory_path() / "crowdfire-screenshot-bench").string();
    std::filesystem::current_path(argv[1]);
    if (!startUp(headlessBackend)) {
        std::fprintf(stderr, "screenshot_bench: %s\n", screenError());
        return 1;
    }
    for (int i = 0; i < 200; ++i) runFrame();  // a crowd on screen, blood on the ground

    const Spread copy = copyTimes(1000);
    std::printf("copy of the visible page (screen lock held): median %.1f us, worst %.1f us\n", copy.median,
                copy.worst);
    for (int scale : {1, 2, 4})
        std::printf("PNG encoded and written at %dx (%d x %d): %.1f ms on the writing thread\n", scale, 320 * scale,
                    240 * scale, encodeMilliseconds(folder, scale, 20));
    const Spread quiet = frameTimes(frames);
    const Spread shooting = frameTimesWhileShooting(folder, frames);
    std::printf("game frame, no screenshot:             median %.0f us, worst %.0f us\n", quiet.median, quiet.worst);
    std::printf("game frame, screenshots written beside: median %.0f us, worst %.0f us (a frame is 14286 us)\n",
                shooting.median, shooting.worst);
    std::filesystem::remove_all(folder);
    closeScreen();
    return 0;
}
