// Keeps the last presents in a ring and writes their median and 99th percentile, with
// the moment of the first picture, as "name value" lines a shell script can read.
#include "sdl/display_stats.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "sdl/write_aside.h"

namespace {

constexpr int ringSize = 1024;  // about 14.6 s of presents at 70 per second
constexpr int writeEvery = 256;

struct Stats {
    bool wanted = false;
    std::string file;
    const char* path = "";
    std::array<int64_t, ringSize> costNs{};
    std::array<int64_t, ringSize> intervalNs{};
    long presents = 0;
    int64_t startedNs = 0;
    int64_t lastStartNs = 0;
    int64_t firstPictureNs = 0;  // CLOCK_REALTIME, to compare with the launch time
};
Stats stats;

int64_t nowNs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The value below which the given share of the samples lie, in milliseconds.
double percentileMs(std::array<int64_t, ringSize> samples, int count, double share) {
    if (count == 0) return 0;
    int at = std::min(count - 1, int(share * count));
    std::nth_element(samples.begin(), samples.begin() + at, samples.begin() + count);
    return double(samples[size_t(at)]) / 1e6;
}

// The file's lines, from the ring as it is now.
std::string statsText() {
    int costs = int(std::min<long>(stats.presents, ringSize));
    int intervals = int(std::min<long>(stats.presents - 1, ringSize));
    if (intervals < 0) intervals = 0;
    char text[512];
    std::snprintf(text, sizeof text,
                  "path %s\n"
                  "presents %ld\n"
                  "first_picture_realtime_ns %lld\n"
                  "present_median_ms %.3f\npresent_p99_ms %.3f\n"
                  "interval_median_ms %.3f\ninterval_p99_ms %.3f\n",
                  stats.path, stats.presents, static_cast<long long>(stats.firstPictureNs),
                  percentileMs(stats.costNs, costs, 0.5), percentileMs(stats.costNs, costs, 0.99),
                  percentileMs(stats.intervalNs, intervals, 0.5), percentileMs(stats.intervalNs, intervals, 0.99));
    return text;
}

// Written beside the file and renamed over it, so a reader never sees half of one, by the
// writing thread (write_aside.h): the display's thread never waits on the disk, not even
// for its own measurements.
void writeFile() {
    writeAside([file = stats.file, text = statsText()] {
        const std::string scratch = file + ".new";
        FILE* out = std::fopen(scratch.c_str(), "w");
        if (!out) return;
        std::fputs(text.c_str(), out);
        std::fclose(out);
        std::rename(scratch.c_str(), file.c_str());
    });
}

}  // namespace

void displayStatsOpen() {
    const char* file = std::getenv("CROWDFIRE_DISPLAY_STATS");
    stats = Stats{};
    stats.wanted = file != nullptr && *file != '\0';
    if (stats.wanted) stats.file = file;
}

void displayStatsPath(const char* path) { stats.path = path; }

bool displayStatsWanted() { return stats.wanted; }

void displayStatsPresentStarts() {
    if (!stats.wanted) return;
    stats.startedNs = nowNs(CLOCK_MONOTONIC);
}

void displayStatsPresentEnds(const uint32_t* page, size_t pixels) {
    if (!stats.wanted) return;
    int64_t ended = nowNs(CLOCK_MONOTONIC);
    size_t slot = size_t(stats.presents % ringSize);
    stats.costNs[slot] = ended - stats.startedNs;
    if (stats.presents > 0)
        stats.intervalNs[size_t((stats.presents - 1) % ringSize)] = stats.startedNs - stats.lastStartNs;
    stats.lastStartNs = stats.startedNs;
    ++stats.presents;
    bool first = stats.firstPictureNs == 0 && std::any_of(page, page + pixels, [](uint32_t p) { return p != 0; });
    if (first) stats.firstPictureNs = nowNs(CLOCK_REALTIME);
    if (first || stats.presents % writeEvery == 0) writeFile();
}

void displayStatsClose() {
    if (stats.wanted) writeFile();
}
