// scenario SCRIPT RUN_DIR OUTPUT.bmp [--seed S] [--frames N] [--record REPLAY]
// scenario --replay REPLAY RUN_DIR OUTPUT.bmp
//
// Runs the game headless from RUN_DIR (which holds the bitmaps) with the scripted input
// of SCRIPT (format in scenario_runner.h), or with the input a replay file recorded, writes
// the last drawn page to OUTPUT.bmp and prints the frame count and the FNV-1a hashes of
// that page and of the five pools. --seed and --frames override the script's own values;
// --record keeps the run as a replay file. A replay also prints its verdict, and leaves
// with status 3 when the run left its recorded game, as the desktop game does.
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "game/game_state.h"
#include "gfx/screen.h"
#include "sdl/replay_files.h"
#include "tools/scenario/scenario_runner.h"

namespace {

template <class Pool>
int countActive(const Pool& pool) {
    int count = 0;
    for (const Entity& record : pool) count += record.active;
    return count;
}

int usage() {
    std::fprintf(stderr,
                 "usage: scenario SCRIPT RUN_DIR OUTPUT.bmp [--seed S] [--frames N] [--record REPLAY]\n"
                 "       scenario --replay REPLAY RUN_DIR OUTPUT.bmp\n");
    return 2;
}

std::FILE* recordingFile = nullptr;

void writeRecording(const uint8_t* bytes, int count) { std::fwrite(bytes, 1, size_t(count), recordingFile); }

bool applyOptions(int argc, char** argv, Scenario& scenario, std::string& record) {
    for (int i = 4; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return false;
        char* end = nullptr;
        if (option == "--record") {
            record = std::filesystem::absolute(argv[i + 1]).string();
            continue;
        }
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

int fail(const std::string& error) {
    std::fprintf(stderr, "scenario: %s\n", error.c_str());
    return 1;
}

// The script or the replay, read before moving into the run directory.
struct Run {
    bool replay = false;
    Scenario scenario;
    std::vector<uint8_t> replayBytes;
    std::string record;
};

int readRun(int argc, char** argv, Run& run) {
    std::string error;
    run.replay = std::string(argv[1]) == "--replay";
    if (run.replay) {
        if (argc != 5) return usage();
        if (!readReplayFile(argv[2], run.replayBytes, error)) return fail(std::string(argv[2]) + ": " + error);
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];  // REPLAY RUN_DIR OUTPUT.bmp as a script's
        return 0;
    }
    if (!loadScenario(argv[1], run.scenario, error)) return fail(error);
    if (!applyOptions(argc, argv, run.scenario, run.record)) return usage();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    Run run;
    if (const int status = readRun(argc, argv, run)) return status;
    // The output path is taken before moving into the run directory.
    const std::string output = std::filesystem::absolute(argv[3]).string();
    if (chdir(argv[2]) != 0) return fail(std::string("cannot enter ") + argv[2]);
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // a tool run makes no noise
    if (!run.record.empty() && !(recordingFile = std::fopen(run.record.c_str(), "wb")))
        return fail("cannot write " + run.record);
    ScenarioResult result;
    ReplayVerdict verdict = {};
    std::string error;
    const bool ran = run.replay ? runReplay(run.replayBytes, result, verdict, error)
                                : runScenario(run.scenario, result, error, recordingFile ? writeRecording : nullptr);
    // A write refused on the way (a full disk) shows in the stream's error, not always in fclose.
    if (recordingFile && (std::ferror(recordingFile) != 0) + (std::fclose(recordingFile) != 0))
        return fail("cannot write " + run.record);
    if (!ran || !writePageBitmap(output, lastDrawnPage(), error)) return fail(error);
    std::printf("frames %d\npage %016" PRIx64 "\npools %016" PRIx64 "\n", result.frames, result.pageHash,
                result.poolsHash);
    std::printf("bloodDrops %d/2000 gibs %d/2000 people alive %d\n", countActive(bloodDrops), countActive(gibs),
                game.aliveCount);
    if (run.replay) std::printf("%s\n", verdict.line);
    closeScreen();
    return verdict.status;
}
