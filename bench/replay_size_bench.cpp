// What a replay costs on disk, in IndexedDB and in a shared link. Encodes one minute (4200
// frames) of busy play from tools/replay's player and prints its bytes against the 16 KiB
// a minute we allow ourselves, then times the survey and the read-back of the largest file
// a reader takes. Given a replay file, prints that file's bytes per minute instead.
//   build/replay_size_bench [REPLAY_FILE]
// Exits 1 when busy play goes over the target, or when the file cannot be read.
#include <chrono>
#include <cstdio>
#include <vector>

#include "game/replay_file.h"
#include "tools/replay/replay_maker.h"

namespace {

constexpr int minuteFrames = 60 * replaySecondFrames;
constexpr size_t targetBytesPerMinute = 16 * 1024;

double bytesPerMinute(size_t bytes, uint32_t frames) { return double(bytes) * minuteFrames / frames; }

// Survey and read back every second: what opening a replay costs before it plays.
double openingMs(const std::vector<uint8_t>& file, uint32_t& frames) {
    const auto start = std::chrono::steady_clock::now();
    const ReplaySurvey survey = surveyReplay(file.data(), file.size());
    ReplayCursor cursor = startReplayCursor(file.data(), survey);
    FrameInput chunk[replaySecondFrames];
    uint64_t checkpoint = 0;
    frames = 0;
    while (int count = readReplayChunk(cursor, chunk, checkpoint)) frames += uint32_t(count);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int measureBusyPlay() {
    const std::vector<uint8_t> minute = recordReplay(busyPlay(minuteFrames, 1), true);
    std::printf("busy play, one minute (%d frames): %zu bytes (%.1f KiB; target %zu KiB)\n", minuteFrames,
                minute.size(), minute.size() / 1024.0, targetBytesPerMinute / 1024);
    // The longest replay a reader takes, played like that.
    const int largestFrames = int(double(maxReplayFileBytes) / minute.size() * minuteFrames * 0.99);
    const std::vector<uint8_t> largest = recordReplay(busyPlay(largestFrames, 2), true);
    uint32_t frames = 0;
    const double ms = openingMs(largest, frames);
    std::printf("the largest file a reader takes (%.1f MiB, %s of busy play): surveyed and read back in %.0f ms\n",
                largest.size() / 1048576.0, gameTime(frames).text, ms);
    return minute.size() <= targetBytesPerMinute ? 0 : 1;
}

int measureFile(const char* path) {
    std::vector<uint8_t> file(maxReplayFileBytes + 1);
    FILE* stream = std::fopen(path, "rb");
    if (!stream) return std::fprintf(stderr, "replay_size_bench: cannot open %s\n", path), 1;
    file.resize(std::fread(file.data(), 1, file.size(), stream));
    std::fclose(stream);
    const ReplaySurvey survey = surveyReplay(file.data(), file.size());
    std::printf("%s: %s\n", path, survey.words);
    if (!survey.playable) return 1;
    if (survey.frames == 0) return std::printf("%zu bytes and no frame to measure\n", file.size()), 0;
    std::printf("%zu bytes, %u frames (%s): %.0f bytes per minute\n", file.size(), survey.frames,
                gameTime(survey.frames).text, bytesPerMinute(file.size(), survey.frames));
    return 0;
}

}  // namespace

int main(int argc, char** argv) { return argc > 1 ? measureFile(argv[1]) : measureBusyPlay(); }
