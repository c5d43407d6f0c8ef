// make_sounds DIR [--wav]: writes the game's 17 sound files under DIR/Sound/. With
// --wav, a WAV copy of each sits beside it, for listening and measuring.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "encode.h"
#include "loudness.h"
#include "sounds.h"

namespace {

using synth::Samples;

struct SoundFile {
    const char* name;  // under Sound/; the extension picks the format
    Samples (*make)();
};

const SoundFile soundFiles[] = {
    {"shot.ogg", synth::makeShot},
    {"equip.mp3", synth::makeEquip},
    {"death1.ogg", synth::makeManDeath1},
    {"death2.ogg", synth::makeManDeath2},
    {"death3.ogg", synth::makeManDeath3},
    {"death4.ogg", synth::makeManDeath4},
    {"death5.ogg", synth::makeManDeath5},
    {"mushy1.ogg", [] { return synth::makeSplat(1); }},
    {"mushy2.ogg", [] { return synth::makeSplat(2); }},
    {"wound.ogg", synth::makeManWound},
    {"explosion.ogg", synth::makeExplosion},
    {"bomb_fall.ogg", synth::makeBombFall},
    {"women_wound.ogg", synth::makeWomanWound},
    {"women_death1.ogg", synth::makeWomanDeath1},
    {"women_death2.ogg", synth::makeWomanDeath2},
    {"women_death3.ogg", synth::makeWomanDeath3},
    {"women_death4.ogg", synth::makeWomanDeath4},
};

// Each Ogg file gets its own fixed serial number, so rebuilding gives the same bytes.
constexpr uint32_t firstSerial = 0x43460001;

bool endsWith(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// Vorbis overshoots on dense noise (a saturated crack comes back half as loud again at
// its peaks), so each Ogg file is decoded once written and, if it now stands above this
// peak, written again from samples turned down to fit.
constexpr double encodedPeakCap = 0.9;

bool writeCappedOgg(const std::string& path, Samples& samples, uint32_t serial, std::string& error) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!synth::writeOgg(path, samples, serial, error)) return false;
        double peak = 0;
        for (float v : synth::readOgg(path)) peak = std::max(peak, double(std::fabs(v)));
        if (peak <= encodedPeakCap) return true;
        for (float& v : samples) v = float(v * 0.98 * encodedPeakCap / peak);
    }
    error = "still too loud once encoded";
    return false;
}

bool writeSound(const std::filesystem::path& dir, const SoundFile& file, uint32_t serial, bool alsoWav) {
    Samples samples = file.make();
    std::string path = (dir / file.name).string();
    std::string error;
    bool ok =
        endsWith(path, ".mp3") ? synth::writeMp3(path, samples, error) : writeCappedOgg(path, samples, serial, error);
    if (ok && alsoWav) ok = synth::writeWav(path.substr(0, path.size() - 4) + ".wav", samples, error);
    if (!ok) std::fprintf(stderr, "make_sounds: %s: %s\n", file.name, error.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    bool alsoWav = argc == 3 && std::strcmp(argv[2], "--wav") == 0;
    if (argc < 2 || (argc == 3 && !alsoWav) || argc > 3) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_DIR [--wav]\n");
        return 2;
    }
    std::filesystem::path dir = std::filesystem::path(argv[1]) / "Sound";
    std::error_code failure;
    std::filesystem::create_directories(dir, failure);
    if (failure) {
        std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", dir.c_str(), failure.message().c_str());
        return 1;
    }
    uint32_t serial = firstSerial;
    for (const SoundFile& file : soundFiles)
        if (!writeSound(dir, file, serial++, alsoWav)) return 1;
    return 0;
}
