// The browser build's tool module: the scenario runner, so that a script played in a
// browser can be held against the native runner's hashes, and the worst-case frame timed
// in the browser (bench/web_bench.mjs). Nothing here ships in the game.
#include <emscripten.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/random.h"
#include "gfx/screen.h"
#include "scenario_runner.h"
#include "sound/sound.h"
#include "worst_case_frame.h"

namespace {
std::string lastAnswer;
}

extern "C" {

// Plays the script (the text of a scenario file) on the headless display from the packed
// run directory. seed and frames override the script's own when not negative. Answers
// "frames N\npage HASH\npools HASH\n" as the native runner prints them, or "error: ...".
EMSCRIPTEN_KEEPALIVE const char* webRunScenario(const char* scriptText, double seed, int frames) {
    std::istringstream script(scriptText != nullptr ? scriptText : "");
    Scenario scenario;
    std::string error;
    ScenarioResult result;
    if (!parseScenario(script, scenario, error)) {
        lastAnswer = "error: " + error;
        return lastAnswer.c_str();
    }
    if (seed >= 0) scenario.seed = seed;
    if (frames >= 0) scenario.frames = frames;
    if (!runScenario(scenario, result, error)) {
        lastAnswer = "error: " + error;
        return lastAnswer.c_str();
    }
    char text[128];
    std::snprintf(text, sizeof text, "frames %d\npage %016" PRIx64 "\npools %016" PRIx64 "\n", result.frames,
                  result.pageHash, result.poolsHash);
    lastAnswer = text;
    return lastAnswer.c_str();
}

// The worst-case frame (bench/worst_case_frame.h) timed here, as bench/frame_bench times it
// natively. Answers "runFrame mean ... us, median, p90, max (N frames)".
EMSCRIPTEN_KEEPALIVE const char* webFrameBench(int frames) {
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

}  // extern "C"

int main() { return 0; }
