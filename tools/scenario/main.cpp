// scenario SCRIPT RUN_DIR OUTPUT.bmp [--seed S] [--frames N]
//
// Runs the game headless from RUN_DIR (which holds the bitmaps) with the scripted input
// of SCRIPT (format in scenario_runner.h), writes the last drawn page to OUTPUT.bmp and
// prints the frame count and the FNV-1a hashes of that page and of the five pools.
// --seed and --frames override the script's own values.
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "game/game_state.h"
#include "gfx/screen.h"
#include "tools/scenario/scenario_runner.h"

namespace {

template <class Pool>
int countActive(const Pool& pool) {
    int count = 0;
    for (const Entity& record : pool) count += record.active;
    return count;
}

int usage() {
    std::fprintf(stderr, "usage: scenario SCRIPT RUN_DIR OUTPUT.bmp [--seed S] [--frames N]\n");
    return 2;
}

bool applyOptions(int argc, char** argv, Scenario& scenario) {
    for (int i = 4; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return false;
        char* end = nullptr;
        if (option == "--seed") {
            scenario.seed = std::strtod(argv[i + 1], &end);
        } else if (option == "--frames") {
            long frames = std::strtol(argv[i + 1], &end, 10);
            if (frames < 0 || frames > std::numeric_limits<int>::max()) return false;
            scenario.frames = int(frames);
        } else {
            return false;
        }
        if (end == argv[i + 1] || *end != '\0') return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    Scenario scenario;
    std::string error;
    if (!loadScenario(argv[1], scenario, error)) {
        std::fprintf(stderr, "scenario: %s\n", error.c_str());
        return 1;
    }
    if (!applyOptions(argc, argv, scenario)) return usage();
    // The output path is taken before moving into the run directory.
    const std::string output = std::filesystem::absolute(argv[3]).string();
    if (chdir(argv[2]) != 0) {
        std::fprintf(stderr, "scenario: cannot enter %s\n", argv[2]);
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // a tool run makes no noise
    ScenarioResult result;
    if (!runScenario(scenario, result, error) || !writePageBitmap(output, lastDrawnPage(), error)) {
        std::fprintf(stderr, "scenario: %s\n", error.c_str());
        return 1;
    }
    std::printf("frames %d\npage %016" PRIx64 "\npools %016" PRIx64 "\n", result.frames, result.pageHash,
                result.poolsHash);
    std::printf("bloodDrops %d/2000 gibs %d/2000 people alive %d\n", countActive(bloodDrops), countActive(gibs),
                game.aliveCount);
    closeScreen();
    return 0;
}
