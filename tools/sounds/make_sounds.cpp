// make_sounds DIR [--wav]: writes the game's 17 sound files under DIR/Sound/. With
// --wav, a WAV copy of each sits beside it, for listening and measuring.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "encode.h"
#include "game/game_files.h"
#include "loudness.h"
#include "sounds.h"

namespace {

using synth::Samples;

// What makes the sound of each slot; the file it goes to is the game's (game/game_files.h).
struct SoundMaker {
    int slot;
    Samples (*make)();
};

// In the order the files have always been written: the serial numbers follow it.
constexpr SoundMaker soundMakers[] = {
    {shotSample, synth::makeShot},
    {equipSample, synth::makeEquip},
    {manTorsoCry2, synth::makeManDeath1},
    {manTorsoCry1, synth::makeManDeath2},
    {manHeadShotCry, synth::makeManDeath3},
    {manFinishedCry, synth::makeManDeath4},
    {bledToDeathCry, synth::makeManDeath5},
    {gorySample, [] { return synth::makeSplat(1); }},
    {splatSample, [] { return synth::makeSplat(2); }},
    {manWoundCry, synth::makeManWound},
    {explosionSample, synth::makeExplosion},
    {bombFallSample, synth::makeBombFall},
    {womanWoundCry, synth::makeWomanWound},
    {womanTorsoCry1, synth::makeWomanDeath1},
    {womanTorsoCry2, synth::makeWomanDeath2},
    {womanFinishedCry, synth::makeWomanDeath3},
    {womanHeadShotCry, synth::makeWomanDeath4},
};

constexpr const char* gameFileOf(int slot) {
    for (const SampleFile& sample : gameSamples)
        if (sample.slot == slot) return sample.path;
    return nullptr;
}

// Every file the game loads is made here, and nothing else.
constexpr bool everyGameSampleIsMade() {
    for (const SampleFile& sample : gameSamples) {
        int makers = 0;
        for (const SoundMaker& maker : soundMakers) makers += maker.slot == sample.slot ? 1 : 0;
        if (makers != 1) return false;
    }
    return std::size(soundMakers) == std::size(gameSamples);
}
static_assert(everyGameSampleIsMade(), "one maker for each of the game's samples");

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

bool writeSound(const std::filesystem::path& dir, const SoundMaker& maker, uint32_t serial, bool alsoWav) {
    const char* name = gameFileOf(maker.slot);
    Samples samples = maker.make();
    std::string path = (dir / name).string();
    std::string error;
    bool ok =
        endsWith(path, ".mp3") ? synth::writeMp3(path, samples, error) : writeCappedOgg(path, samples, serial, error);
    if (ok && alsoWav) ok = synth::writeWav(path.substr(0, path.size() - 4) + ".wav", samples, error);
    if (!ok) std::fprintf(stderr, "make_sounds: %s: %s\n", name, error.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    bool alsoWav = argc == 3 && std::strcmp(argv[2], "--wav") == 0;
    if (argc < 2 || (argc == 3 && !alsoWav) || argc > 3) {
        std::fprintf(stderr, "usage: make_sounds OUTPUT_DIR [--wav]\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code failure;
    std::filesystem::create_directories(dir / "Sound", failure);
    if (failure) {
        std::fprintf(stderr, "make_sounds: cannot create %s: %s\n", (dir / "Sound").c_str(), failure.message().c_str());
        return 1;
    }
    uint32_t serial = firstSerial;
    for (const SoundMaker& maker : soundMakers)
        if (!writeSound(dir, maker, serial++, alsoWav)) return 1;
    return 0;
}
