// The worst-case frame (bench/worst_case_frame.h) timed in the browser build's tool module
// (tools/web/tools.html), as frame_bench times it natively; bench/web_bench.mjs calls it.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/worst_case_frame.h"
#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "sound/sound.h"

namespace {
std::string lastAnswer;
}

// Answers "runFrame mean ... us, median, p90, max (N frames)".
extern "C" EMSCRIPTEN_KEEPALIVE const char* webFrameBench(int frames) {
    if (frames < 10) frames = 10;
    if (!startUp(headlessBackend)) {
        lastAnswer = std::string("error: ") + screenError();
        return lastAnswer.c_str();
    }
    closeSound();  // plays are skipped, as in frame_bench
    headlessSetActive(true);
    randomize(1);
    fillWorstCase();
    saveWorstCase();
    std::vector<double> times;
    for (int i = 0; i < frames + frames / 10; ++i) {
        restoreWorstCase();
        const double start = emscripten_get_now();
        runFrame();
        if (i >= frames / 10) times.push_back((emscripten_get_now() - start) * 1000.0);
    }
    double total = 0;
    for (double t : times) total += t;
    std::sort(times.begin(), times.end());
    // The page's clock is coarse (0.1 ms in Chromium): the mean over all frames is the
    // finer figure.
    char text[160];
    std::snprintf(text, sizeof text, "runFrame mean %.1f us, median %.1f, p90 %.1f, max %.1f (%d frames)",
                  total / double(times.size()), times[times.size() / 2], times[times.size() * 9 / 10], times.back(),
                  frames);
    lastAnswer = text;
    closeScreen();
    return lastAnswer.c_str();
}
