// The generated sound files, checked through decoders that are not ours (oggdec and
// lame): their lengths, levels and headroom, the voices of the cries, the shapes of the
// effects, and that every build writes the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "tools/sounds/loudness.h"

namespace {

namespace fs = std::filesystem;

constexpr double rate = 44100;

struct Expected {
    const char* name;
    double minSeconds, maxSeconds;
};

// Lengths a player would expect: a crack, a boom with a long rumble, a whistle that is
// over by the end of a middling fall, quick splats and wounds, longer deaths.
const Expected soundFiles[] = {
    {"shot.ogg", 0.3, 0.8},         {"equip.mp3", 0.15, 0.6},       {"death1.ogg", 0.7, 1.6},
    {"death2.ogg", 0.7, 1.6},       {"death3.ogg", 0.7, 1.6},       {"death4.ogg", 0.7, 1.6},
    {"death5.ogg", 0.7, 1.6},       {"mushy1.ogg", 0.15, 0.6},      {"mushy2.ogg", 0.15, 0.6},
    {"wound.ogg", 0.2, 0.6},        {"explosion.ogg", 1.2, 2.2},    {"bomb_fall.ogg", 0.7, 1.0},
    {"women_wound.ogg", 0.2, 0.6},  {"women_death1.ogg", 0.7, 1.6}, {"women_death2.ogg", 0.7, 1.6},
    {"women_death3.ogg", 0.7, 1.6}, {"women_death4.ogg", 0.7, 1.6},
};

fs::path soundDir() { return fs::path(CROWDFIRE_RUN_DIR) / "Sound"; }

fs::path scratch(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("crowdfire_sound_files_" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir / name;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t littleEndian(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t(uint8_t(b[at + i])) << (8 * i);
    return v;
}

// The first channel of a 16-bit PCM WAV, as -1..1; empty if the file is not one.
std::vector<float> readWav(const fs::path& path) {
    std::string b = readBytes(path);
    std::vector<float> out;
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return out;
    int channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id = b.substr(at, 4);
        size_t size = littleEndian(b, at + 4, 4);
        size_t body = at + 8;
        if (id == "fmt " && body + 16 <= b.size()) {
            channels = int(littleEndian(b, body + 2, 2));
            bits = int(littleEndian(b, body + 14, 2));
        } else if (id == "data" && channels > 0 && bits == 16) {
            size_t end = std::min(b.size(), body + size);
            for (size_t i = body; i + 2 * size_t(channels) <= end; i += 2 * size_t(channels))
                out.push_back(float(int16_t(littleEndian(b, i, 2))) / 32768.0f);
            return out;
        }
        at = body + size + (size & 1);
    }
    return out;
}

// Decodes with the reference tools, never with the game's own decoder.
std::vector<float> decode(const std::string& name) {
    fs::path wav = scratch(name + ".wav");
    fs::path source = soundDir() / name;
    std::string command = name.ends_with(".mp3") ? "lame --quiet --decode " + quoted(source) + " " + quoted(wav)
                                                 : "oggdec --quiet -o " + quoted(wav) + " " + quoted(source);
    if (std::system(command.c_str()) != 0) return {};
    return readWav(wav);
}

double peakOf(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
    double peak = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i) peak = std::max(peak, double(std::fabs(s[i])));
    return peak;
}

double rmsOf(const std::vector<float>& s, size_t from, size_t to) {
    to = std::min(to, s.size());
    if (to <= from) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

// The level of the loudest fifth of a second: how loud the sound is heard to be.
double loudestWindowDb(const std::vector<float>& s) {
    const size_t window = size_t(0.2 * rate), step = size_t(0.025 * rate);
    double best = 0;
    for (size_t at = 0; at < s.size(); at += step) best = std::max(best, rmsOf(s, at, at + window));
    return 20 * std::log10(std::max(best, 1e-9));
}

// Fundamental of a voiced stretch by normalised autocorrelation between 70 and 900 Hz;
// 0 when the stretch is not clearly periodic.
double pitchOf(const std::vector<float>& s, size_t from, size_t length, double samplesPerSecond) {
    const int shortestLag = int(samplesPerSecond / 900), longestLag = int(samplesPerSecond / 70);
    if (from + length + size_t(longestLag) > s.size()) return 0;
    std::vector<double> score(size_t(longestLag) + 1, 0.0);
    for (int lag = shortestLag; lag <= longestLag; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = from; i < from + length; ++i) {
            xy += double(s[i]) * s[i + size_t(lag)];
            xx += double(s[i]) * s[i];
            yy += double(s[i + size_t(lag)]) * s[i + size_t(lag)];
        }
        score[size_t(lag)] = xy / std::sqrt(xx * yy + 1e-12);
    }
    auto best = std::max_element(score.begin() + shortestLag, score.end());
    if (*best < 0.5) return 0;
    // Prefer the shortest lag that correlates nearly as well: the period, not a multiple.
    for (int lag = shortestLag; lag <= longestLag; ++lag)
        if (score[size_t(lag)] >= 0.9 * *best && (lag == longestLag || score[size_t(lag)] >= score[size_t(lag) + 1]))
            return samplesPerSecond / lag;
    return samplesPerSecond / double(best - score.begin());
}

// Median pitch over the voiced frames louder than a quarter of the loudest frame. A voice
// has nothing to tell above 11 kHz, so it is measured at half the rate: four times faster.
double medianPitch(const std::vector<float>& full) {
    std::vector<float> s(full.size() / 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5f * (full[2 * i] + full[2 * i + 1]);
    const double halfRate = rate / 2;
    const size_t frame = size_t(0.03 * halfRate);
    double loudest = 0;
    for (size_t at = 0; at + frame < s.size(); at += frame) loudest = std::max(loudest, rmsOf(s, at, at + frame));
    std::vector<double> pitches;
    for (size_t at = 0; at + frame < s.size(); at += frame)
        if (rmsOf(s, at, at + frame) > 0.25 * loudest) {
            double hz = pitchOf(s, at, frame, halfRate);
            if (hz > 0) pitches.push_back(hz);
        }
    if (pitches.empty()) return 0;
    std::nth_element(pitches.begin(), pitches.begin() + long(pitches.size() / 2), pitches.end());
    return pitches[pitches.size() / 2];
}

// Sign changes per second: a rough measure of how high a sound sits.
double crossingsPerSecond(const std::vector<float>& s, size_t from, size_t to) {
    int count = 0;
    to = std::min(to, s.size());
    for (size_t i = from + 1; i < to; ++i) count += (s[i - 1] < 0) != (s[i] < 0);
    return count * rate / double(to - from);
}

// The stream serial number of every Ogg page, walking the pages by their headers.
std::vector<uint32_t> pageSerials(const std::string& b) {
    std::vector<uint32_t> serials;
    size_t at = 0;
    while (at + 27 <= b.size() && b.compare(at, 4, "OggS") == 0) {
        size_t segments = uint8_t(b[at + 26]);
        if (at + 27 + segments > b.size()) break;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += uint8_t(b[at + 27 + i]);
        serials.push_back(littleEndian(b, at + 14, 4));
        at += 27 + segments + body;
    }
    EXPECT_EQ(at, b.size()) << "the pages cover the whole file";
    return serials;
}

class SoundFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const Expected& e : soundFiles) decoded[e.name] = decode(e.name);
    }
    static void TearDownTestSuite() {
        decoded.clear();
        fs::remove_all(scratch("").parent_path());
    }
    static const std::vector<float>& sound(const std::string& name) { return decoded[name]; }
    static std::map<std::string, std::vector<float>> decoded;
};

std::map<std::string, std::vector<float>> SoundFiles::decoded;

TEST_F(SoundFiles, EveryFileDecodesToItsLengthWithHeadroom) {
    for (const Expected& e : soundFiles) {
        SCOPED_TRACE(e.name);
        const std::vector<float>& s = sound(e.name);
        ASSERT_FALSE(s.empty()) << "the reference decoder could not read it";
        double seconds = double(s.size()) / rate;
        EXPECT_GE(seconds, e.minSeconds);
        EXPECT_LE(seconds, e.maxSeconds);
        EXPECT_LT(peakOf(s), 0.98) << "clips once decoded";
        EXPECT_GT(peakOf(s), 0.1) << "all but silent";
        EXPECT_LT(peakOf(s, s.size() - size_t(0.002 * rate)), 0.1 * peakOf(s)) << "stops short with a click";
    }
}

// At the game's volume level every effect is heard and none buries the rest: the
// explosion is the loudest and the splats the quietest, within 18 dB of each other.
TEST_F(SoundFiles, LevelsAreBalanced) {
    double loudest = -200, quietest = 0;
    std::string loudestName, quietestName;
    for (const Expected& e : soundFiles) {
        if (std::string(e.name) == "equip.mp3") continue;  // loaded, never played
        double db = loudestWindowDb(sound(e.name));
        EXPECT_GT(db, -24.0) << e.name << " would be lost under the others";
        EXPECT_LT(db, -4.0) << e.name << " would drown the others";
        if (db > loudest) loudest = db, loudestName = e.name;
        if (db < quietest) quietest = db, quietestName = e.name;
    }
    EXPECT_LT(loudest - quietest, 18.0) << loudestName << " against " << quietestName;
    EXPECT_EQ(loudestName, "explosion.ogg");
}

// Men cry below 300 Hz and women above; death 5, played for both, sits between them. No
// two cries share both pitch and length.
TEST_F(SoundFiles, CriesHaveMensAndWomensVoicesAndDiffer) {
    struct Voice {
        const char* name;
        double lowestHz, highestHz;
    };
    const Voice cries[] = {
        {"wound.ogg", 80, 300},         {"death1.ogg", 80, 300},        {"death2.ogg", 80, 300},
        {"death3.ogg", 80, 300},        {"death4.ogg", 80, 300},        {"death5.ogg", 220, 420},
        {"women_wound.ogg", 330, 900},  {"women_death1.ogg", 330, 900}, {"women_death2.ogg", 330, 900},
        {"women_death3.ogg", 330, 900}, {"women_death4.ogg", 330, 900},
    };
    std::vector<std::pair<double, double>> seen;  // (pitch, seconds) of every cry
    for (const Voice& v : cries) {
        double hz = medianPitch(sound(v.name));
        EXPECT_GT(hz, v.lowestHz) << v.name;
        EXPECT_LT(hz, v.highestHz) << v.name;
        seen.emplace_back(hz, double(sound(v.name).size()) / rate);
    }
    for (size_t i = 0; i < seen.size(); ++i)
        for (size_t j = i + 1; j < seen.size(); ++j) {
            bool samePitch = std::fabs(seen[i].first / seen[j].first - 1) < 0.05;
            bool sameLength = std::fabs(seen[i].second - seen[j].second) < 0.04;
            EXPECT_FALSE(samePitch && sameLength) << cries[i].name << " and " << cries[j].name << " sound alike";
        }
}

TEST_F(SoundFiles, EffectsHaveTheirShapes) {
    // The falling bomb's whistle sinks, far more crossings at the start than near the end;
    // it is loudest in its first half and faded 30 dB by 0.8 s, so that it never rings on
    // over the blast of a short fall.
    const std::vector<float>& fall = sound("bomb_fall.ogg");
    double start = crossingsPerSecond(fall, size_t(0.05 * rate), size_t(0.25 * rate));
    double end = crossingsPerSecond(fall, size_t(0.55 * rate), size_t(0.75 * rate));
    EXPECT_GT(start, 2.0 * end) << start << " against " << end;
    EXPECT_LT(synth::loudestAt(fall), 0.5 * double(fall.size()) / rate);
    EXPECT_LE(synth::fadedBy(fall, 30), 0.85);

    // The shot is a crack: its loudest moment is in the first 20 ms, and it is nearly
    // gone by 300 ms.
    const std::vector<float>& shot = sound("shot.ogg");
    EXPECT_GE(peakOf(shot, 0, size_t(0.02 * rate)), peakOf(shot));
    EXPECT_LT(rmsOf(shot, size_t(0.3 * rate), shot.size()), 0.05 * rmsOf(shot, 0, size_t(0.05 * rate)));

    // The explosion is deep and still rumbles a second after the blast.
    const std::vector<float>& boom = sound("explosion.ogg");
    EXPECT_LT(crossingsPerSecond(boom, size_t(0.1 * rate), size_t(1.0 * rate)),
              0.5 * crossingsPerSecond(shot, 0, size_t(0.1 * rate)));
    double tail = rmsOf(boom, size_t(1.0 * rate), size_t(1.5 * rate));
    EXPECT_GT(tail, 0.03 * rmsOf(boom, 0, size_t(0.2 * rate))) << "the rumble dies too soon";
}

// The gun and the bomb carry on a laptop's speakers: over their loudest 50 ms above
// 250 Hz, each is at least as loud as the median cry. The splats sit well under the
// explosion, in peak and in loudness, so that a bomb on a group does not bury its blast.
TEST_F(SoundFiles, WeaponsCarryOnSmallSpeakersAndSplatsSitUnderTheBlast) {
    std::vector<double> cries;
    for (const char* name :
         {"wound.ogg", "death1.ogg", "death2.ogg", "death3.ogg", "death4.ogg", "death5.ogg", "women_wound.ogg",
          "women_death1.ogg", "women_death2.ogg", "women_death3.ogg", "women_death4.ogg"})
        cries.push_back(synth::loudestSmallSpeakerDb(sound(name)));
    std::sort(cries.begin(), cries.end());
    double medianCry = cries[cries.size() / 2];
    EXPECT_GE(synth::loudestSmallSpeakerDb(sound("shot.ogg")), medianCry);
    EXPECT_GE(synth::loudestSmallSpeakerDb(sound("explosion.ogg")), medianCry);

    const std::vector<float>& boom = sound("explosion.ogg");
    for (const char* name : {"mushy1.ogg", "mushy2.ogg"}) {
        const std::vector<float>& splat = sound(name);
        EXPECT_GT(20 * std::log10(peakOf(boom) / peakOf(splat)), 7.0) << name;
        EXPECT_GT(synth::loudestAWeightedDb(boom) - synth::loudestAWeightedDb(splat), 7.0) << name;
    }
}

// Two runs of the generator give the very files the build installed, with the fixed
// Ogg stream serial numbers on every page.
TEST_F(SoundFiles, EveryBuildWritesTheSameBytes) {
    fs::path tool = fs::path(CROWDFIRE_RUN_DIR).parent_path() / "tools" / "sounds" / "make_sounds";
    ASSERT_TRUE(fs::exists(tool)) << tool;
    fs::path again = scratch("again");
    ASSERT_EQ(std::system((quoted(tool) + " " + quoted(again)).c_str()), 0);
    std::vector<uint32_t> serials;
    for (const Expected& e : soundFiles) {
        std::string installed = readBytes(soundDir() / e.name);
        EXPECT_EQ(readBytes(again / "Sound" / e.name), installed) << e.name;
        if (!std::string(e.name).ends_with(".ogg")) continue;
        std::vector<uint32_t> pages = pageSerials(installed);
        ASSERT_GE(pages.size(), 2u) << e.name;
        for (uint32_t serial : pages) EXPECT_EQ(serial, pages[0]) << e.name;
        serials.push_back(pages[0]);
    }
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(std::unique(serials.begin(), serials.end()), serials.end()) << "each file has its own serial";
    EXPECT_NE(std::system((quoted(tool) + " 2>/dev/null").c_str()), 0) << "no directory given is an error";
}

}  // namespace
