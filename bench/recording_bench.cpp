// What recording a replay costs a frame. The game plays the same busy minute (tools/replay's
// player: the crosshair always moving, the gun firing, bombs) twice a round, once recording
// into memory and once not, in alternating rounds on one machine; every frame is timed. The
// median frame is what a player feels; the mean carries the once-a-second checkpoint (a hash
// of the whole state), timed on its own too. Also prints the bytes the game itself recorded.
//   build/recording_bench RUN_DIR [ROUNDS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "game/frame_loop.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "sound/sound.h"
#include "tools/replay/replay_maker.h"

namespace {

constexpr int minuteFrames = 60 * replaySecondFrames;

std::vector<uint8_t> recorded;
void keepInMemory(const uint8_t* bytes, int count) { recorded.insert(recorded.end(), bytes, bytes + count); }

// The player's input as the platform reports it, so recording reads it the way a game does.
void playerDoes(const FrameInput& input) {
    headlessSetPointer(input.pointerOff ? -1 : input.pointerX, input.pointerOff ? -1 : input.pointerY);
    headlessSetButtons(input.buttons);
    headlessSetKey(scanLeft, input.scrollLeft);
    headlessSetKey(scanRight, input.scrollRight);
}

// One minute of play; each frame's time in microseconds is appended to `times`, and a
// checkpoint frame's (every 70th) to `checkpoints`.
void playMinute(const std::vector<FrameInput>& minute, bool recording, std::vector<double>& times,
                std::vector<double>& checkpoints) {
    GameStart start;
    start.seed = 1;
    start.keepReplay = recording ? keepInMemory : nullptr;
    recorded.clear();
    recorded.reserve(64 * 1024);
    if (!startUp(headlessBackend, start)) std::exit(1);
    closeSound();  // no mixing thread competing for the processor
    headlessSetActive(true);
    for (int frame = 0; frame < minuteFrames; ++frame) {
        playerDoes(minute[size_t(frame)]);
        const auto begin = std::chrono::steady_clock::now();
        runFrame();
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count();
        times.push_back(us);
        if ((frame + 1) % replaySecondFrames == 0) checkpoints.push_back(us);
    }
    endGame();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

void print(const char* label, const std::vector<double>& times, const std::vector<double>& checkpoints) {
    std::printf("%-22s median %7.1f us   mean %7.1f us   every 70th frame: median %7.1f us\n", label,
                median(times), mean(times), median(checkpoints));
}

}  // namespace

int main(int argc, char** argv) {
    const char* runDir = argc > 1 ? argv[1] : CROWDFIRE_RUN_DIR;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (chdir(runDir) != 0) {
        std::fprintf(stderr, "recording_bench: cannot enter %s\n", runDir);
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::vector<FrameInput> minute = busyPlay(minuteFrames, 1);
    std::vector<double> plain, plainCheckpoints, recording, recordingCheckpoints;
    for (int round = 0; round < rounds; ++round) {
        playMinute(minute, false, plain, plainCheckpoints);
        playMinute(minute, true, recording, recordingCheckpoints);
    }
    std::printf("%d rounds of a busy minute (%d frames), alternating\n", rounds, minuteFrames);
    print("runFrame", plain, plainCheckpoints);
    print("runFrame, recording", recording, recordingCheckpoints);
    std::printf("median with / without: %.3f\n", median(recording) / median(plain));
    std::printf("the game recorded %zu bytes for the minute (%.1f KiB; target 16 KiB)\n", recorded.size(),
                recorded.size() / 1024.0);
    return 0;
}
