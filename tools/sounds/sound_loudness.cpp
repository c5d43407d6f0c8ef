// sound_loudness FILE_OR_DIR...: a table of how loud every Ogg sound is heard to be,
// one row per file, sorted by name, then how the weapons stand against the cries.
// Columns: length, peak, loudest 400 ms A-weighted, loudest 50 ms above 250 Hz (what a
// laptop speaker gives of it), where the loudest 50 ms start and when the sound has faded
// 30 dB under them. All levels in dB against full scale.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "loudness.h"

namespace {

namespace fs = std::filesystem;

double decibels(double amplitude) { return amplitude > 0 ? 20 * std::log10(amplitude) : -200.0; }

bool isCry(const std::string& name) {
    return name.find("death") != std::string::npos || name.find("wound") != std::string::npos;
}

struct Row {
    std::string name;
    double seconds, peakDb, aWeightedDb, smallSpeakerDb, loudestAt, fadedBy;
};

Row measure(const fs::path& path, const std::vector<float>& s) {
    double peak = 0;
    for (float v : s) peak = std::max(peak, double(std::fabs(v)));
    return {path.filename().string(),     double(s.size()) / 44100,        decibels(peak),
            synth::loudestAWeightedDb(s), synth::loudestSmallSpeakerDb(s), synth::loudestAt(s),
            synth::fadedBy(s, 30)};
}

const Row* find(const std::vector<Row>& rows, const std::string& name) {
    for (const Row& r : rows)
        if (r.name == name) return &r;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sound_loudness FILE_OR_DIR...\n");
        return 2;
    }
    std::vector<fs::path> paths;
    for (int i = 1; i < argc; ++i) {
        fs::path p = argv[i];
        if (!fs::is_directory(p)) paths.push_back(p);
        else
            for (const fs::directory_entry& e : fs::directory_iterator(p))
                if (e.path().extension() == ".ogg") paths.push_back(e.path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<Row> rows;
    for (const fs::path& p : paths) {
        std::vector<float> s = synth::readOgg(p.string());
        if (s.empty()) {
            std::fprintf(stderr, "sound_loudness: cannot read %s\n", p.c_str());
            return 1;
        }
        rows.push_back(measure(p, s));
    }
    std::printf("| file | seconds | peak dB | 400 ms A dB | 50 ms >250 Hz dB | loudest at s | faded by s |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows)
        std::printf("| %s | %.2f | %.1f | %.1f | %.1f | %.2f | %.2f |\n", r.name.c_str(), r.seconds, r.peakDb,
                    r.aWeightedDb, r.smallSpeakerDb, r.loudestAt, r.fadedBy);

    std::vector<double> cries;
    for (const Row& r : rows)
        if (isCry(r.name)) cries.push_back(r.smallSpeakerDb);
    if (cries.empty()) return 0;
    std::sort(cries.begin(), cries.end());
    // The lower middle of an even count: the weapons must match at least that cry.
    double median = cries[(cries.size() - 1) / 2];
    std::printf("\nmedian cry, 50 ms >250 Hz: %.1f dB\n", median);
    for (const char* weapon : {"shot.ogg", "explosion.ogg"})
        if (const Row* r = find(rows, weapon))
            std::printf("%s against it: %+.1f dB\n", weapon, r->smallSpeakerDb - median);
    if (const Row* boom = find(rows, "explosion.ogg"))
        for (const char* splat : {"mushy1.ogg", "mushy2.ogg"})
            if (const Row* r = find(rows, splat))
                std::printf("%s under the explosion: peak %.1f dB, 400 ms A %.1f dB\n", splat, boom->peakDb - r->peakDb,
                            boom->aWeightedDb - r->aWeightedDb);
    return 0;
}
