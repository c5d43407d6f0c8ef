// libFuzzer target: the scenario script parser on any text. A script it accepts must be
// one the runner can play: its frame count fits, every line's range lies inside it when
// the count is not given, and the pointer stays between the ends it was given.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/scenario/scenario_runner.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "fuzz_scenario: %s\n", what);
    std::abort();
}

void checkPointer(const ScenarioInput& input, int frame) {
    int x = 0, y = 0;
    pointerAt(input, frame, x, y);
    if (x < std::min(input.pointerX, input.pointerEndX) || x > std::max(input.pointerX, input.pointerEndX) ||
        y < std::min(input.pointerY, input.pointerEndY) || y > std::max(input.pointerY, input.pointerEndY))
        broken("the pointer left the way it was given");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    Scenario scenario;
    std::string error;
    if (!parseScenario(script, scenario, error)) {
        if (error.rfind("line ", 0) != 0) broken("a refusal that names no line");
        return 0;
    }
    int frames = scenarioFrames(scenario);
    if (frames < 0) broken("a negative frame count");
    for (const ScenarioInput& input : scenario.inputs) {
        if (input.firstFrame < 0 || input.lastFrame < input.firstFrame) broken("a range that runs backwards");
        if (scenario.frames < 0 && input.lastFrame >= frames) broken("a range beyond the frames run");
        if (input.pointerOff) continue;
        checkPointer(input, input.firstFrame);
        checkPointer(input, input.firstFrame + (input.lastFrame - input.firstFrame) / 2);
        checkPointer(input, input.lastFrame);
    }
    return 0;
}
