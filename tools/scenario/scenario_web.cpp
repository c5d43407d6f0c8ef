// The scenario runner in the browser build's tool module (tools/web/tools.html), so that a
// script played in a browser can be held against the native runner's hashes: the same
// code, the same floating point and the same random draws must give the same page.
#include <emscripten.h>

#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <string>

#include "tools/scenario/scenario_runner.h"

namespace {
std::string lastAnswer;
}

// Plays the script (the text of a scenario file) on the headless display from the packed
// run directory. seed and frames override the script's own when not negative. Answers
// "frames N\npage HASH\npools HASH\n" as the native runner prints them, or "error: ...".
extern "C" EMSCRIPTEN_KEEPALIVE const char* webRunScenario(const char* scriptText, double seed, int frames) {
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
