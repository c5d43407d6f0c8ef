// The sound layer under SDL's dummy and disk audio drivers: starting, loading good and
// bad files, playing, volumes, and a device that cannot be opened.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "sound/sound.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (hadOld_) setenv(name_.c_str(), old_.c_str(), 1);
        else unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool hadOld_ = false;
};

fs::path scratchDir() {
    fs::path dir = fs::temp_directory_path() / ("crowdfire_sound_" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void putLE(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

// A 16-bit mono WAV of a 440 Hz tone: loud enough to measure, long enough to overlap.
fs::path writeToneWav(const fs::path& path, double seconds, double amplitude) {
    const int rate = 44100;
    const int frames = int(seconds * rate);
    std::string data;
    for (int i = 0; i < frames; ++i)
        putLE(data, uint32_t(int16_t(amplitude * 32767 * std::sin(2 * M_PI * 440 * i / rate))), 2);
    std::string wav = "RIFF";
    putLE(wav, uint32_t(36 + data.size()), 4);
    wav += "WAVEfmt ";
    putLE(wav, 16, 4);
    putLE(wav, 1, 2);  // PCM
    putLE(wav, 1, 2);  // mono
    putLE(wav, rate, 4);
    putLE(wav, rate * 2, 4);  // bytes per second
    putLE(wav, 2, 2);         // bytes per frame
    putLE(wav, 16, 2);
    wav += "data";
    putLE(wav, uint32_t(data.size()), 4);
    writeBytes(path, wav + data);
    return path;
}

class SoundLayer : public ::testing::Test {
protected:
    void SetUp() override {
        setVolumeLevels(1, 1);
        dir_ = scratchDir();
    }
    void TearDown() override {
        closeSound();
        setSoundMuted(false);
        fs::remove_all(dir_);
    }
    // SDL's silent driver always opens, whatever the machine has.
    ScopedEnv driver_{"SDL_AUDIODRIVER", "dummy"};
    fs::path dir_;
};

TEST_F(SoundLayer, GoodFilesLoadAndBadOnesLeaveTheirSlotEmpty) {
    initSound();
    ASSERT_EQ(soundReady, 1) << "the dummy driver always opens";

    fs::path tone = writeToneWav(dir_ / "tone.wav", 0.2, 0.5);
    writeBytes(dir_ / "empty.ogg", "");
    writeBytes(dir_ / "corrupt.ogg", std::string("OggS") + std::string(600, '\x5a'));
    writeBytes(dir_ / "truncated.wav", "RIFF\x10\x00\x00\x00WAVEfmt ");

    loadSample(1, tone.c_str(), loadModeDefault);
    loadSample(2, tone.c_str(), loadMode16BitMonoSigned);
    loadSample(3, (dir_ / "missing.ogg").c_str(), loadModeDefault);
    loadSample(4, (dir_ / "empty.ogg").c_str(), loadModeDefault);
    loadSample(5, (dir_ / "corrupt.ogg").c_str(), loadMode16BitMonoSigned);
    loadSample(6, (dir_ / "truncated.wav").c_str(), loadModeDefault);
    loadSample(7, tone.c_str(), 99);  // not a mode the game knows

    EXPECT_NE(soundBank[1], 0);
    EXPECT_NE(soundBank[2], 0);
    EXPECT_NE(soundBank[1], soundBank[2]) << "each load has its own handle";
    for (int slot = 3; slot <= 7; ++slot) EXPECT_EQ(soundBank[slot], 0) << "slot " << slot;

    // Playing an empty slot, slot 0 or a slot outside the bank is silent and harmless.
    for (int slot : {0, 3, 4, 5, 6, 7, 17, 18, -1, 1000}) playSample(slot);
    EXPECT_EQ(Mix_Playing(-1), 0) << "no bad slot started anything";
    playSample(1);
    playSample(2);
    EXPECT_EQ(Mix_Playing(-1), 2) << "two samples overlap on two channels";

    // A good slot reloaded with a bad file becomes silent rather than keeping a stale sample.
    loadSample(1, (dir_ / "missing.ogg").c_str(), loadModeDefault);
    EXPECT_EQ(soundBank[1], 0);
}

// How many busy channels are playing this sample.
int channelsPlaying(Mix_Chunk* sample) {
    int count = 0;
    for (int c = 0; c < Mix_AllocateChannels(-1); ++c)
        if (Mix_Playing(c) && Mix_GetChunk(c) == sample) ++count;
    return count;
}

TEST_F(SoundLayer, SixteenChannelsAndTheOldestPlayGivesWay) {
    initSound();
    ASSERT_EQ(soundReady, 1);
    loadSample(1, writeToneWav(dir_ / "first.wav", 5.0, 0.1).c_str(), loadModeDefault);
    loadSample(2, writeToneWav(dir_ / "later.wav", 5.0, 0.1).c_str(), loadModeDefault);
    ASSERT_NE(soundBank[1], 0);
    ASSERT_NE(soundBank[2], 0);
    playSample(1);
    for (int i = 0; i < 15; ++i) playSample(2);
    EXPECT_EQ(Mix_Playing(-1), 16);
    EXPECT_EQ(Mix_Playing(0), 0) << "channel 0 is kept out of the effects' way";
    EXPECT_EQ(Mix_Playing(1), 0) << "so is channel 1, the music channel";

    int first = -1;
    for (int c = 0; c < Mix_AllocateChannels(-1); ++c)
        if (Mix_Playing(c) && Mix_GetChunk(c) != Mix_GetChunk(15)) first = c;
    ASSERT_GE(first, 0) << "the first play is on a channel of its own";
    Mix_Chunk* later = Mix_GetChunk(15);

    playSample(2);  // all busy: the oldest play, the first one, gives way
    EXPECT_EQ(Mix_Playing(-1), 16);
    EXPECT_EQ(channelsPlaying(later), 16) << "the newest play took the first play's channel";
}

TEST_F(SoundLayer, VolumeLevelsAndTheSilentLevel) {
    EXPECT_EQ(volumeValue(0), 0);
    EXPECT_EQ(volumeValue(1), 63);
    EXPECT_EQ(volumeValue(2), 126);
    EXPECT_EQ(volumeValue(3), 190);
    EXPECT_EQ(volumeValue(4), 255);
    EXPECT_EQ(volumeValue(9), 255) << "out-of-range levels are held to the scale";

    initSound();
    ASSERT_EQ(soundReady, 1);
    loadSample(1, writeToneWav(dir_ / "tone.wav", 1.0, 0.5).c_str(), loadModeDefault);

    EXPECT_EQ(Mix_MasterVolume(-1), 32) << "the opening set level 1, before any play";
    setVolumeLevels(2, 4);
    EXPECT_EQ(Mix_MasterVolume(-1), 63) << "126 of 255 on the mixer's 0..128 scale";
    EXPECT_EQ(Mix_Volume(1, -1), 128) << "channel 1 carries the music level";

    // Level 0 silences the effects and plays nothing.
    setVolumeLevels(0, 1);
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
    EXPECT_EQ(Mix_Volume(1, -1), 32);
    playSample(1);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

// The player's mute silences at once and plays nothing, keeps the levels, and outlives a
// new start; stepping the effects level stays within 0 to 4 and reaches the device at once.
TEST_F(SoundLayer, MuteAndVolumeStepsReachTheDeviceAtOnce) {
    initSound();
    ASSERT_EQ(soundReady, 1);
    loadSample(1, writeToneWav(dir_ / "tone.wav", 1.0, 0.5).c_str(), loadModeDefault);
    playSample(1);
    ASSERT_EQ(Mix_Playing(-1), 1);

    setSoundMuted(true);
    EXPECT_EQ(Mix_MasterVolume(-1), 0) << "what is playing falls silent";
    Mix_HaltChannel(-1);
    playSample(1);
    EXPECT_EQ(Mix_Playing(-1), 0) << "nothing starts while muted";
    EXPECT_EQ(sfxVolumeLevel, 1) << "muting keeps the level";
    initSound();
    EXPECT_TRUE(soundMuted()) << "a new start keeps the player's mute";
    setSoundMuted(false);
    EXPECT_EQ(Mix_MasterVolume(-1), 32) << "level 1 again: 63 of 255";

    for (int i = 0; i < 6; ++i) stepEffectsVolume(+1);
    EXPECT_EQ(sfxVolumeLevel, 4);
    EXPECT_EQ(Mix_MasterVolume(-1), 128);
    for (int i = 0; i < 6; ++i) stepEffectsVolume(-1);
    EXPECT_EQ(sfxVolumeLevel, 0);
    EXPECT_EQ(Mix_MasterVolume(-1), 0);
}

TEST_F(SoundLayer, NoDeviceMeansSilenceAndNoLoading) {
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "nonexistent");
        initSound();
    }
    EXPECT_EQ(soundReady, 0);
    loadSample(1, writeToneWav(dir_ / "tone.wav", 0.1, 0.5).c_str(), loadModeDefault);
    EXPECT_EQ(soundBank[1], 0) << "nothing loads without a device";
    playSample(1);
    applyVolumes();

    // The layer recovers once a driver is there again.
    initSound();
    EXPECT_EQ(soundReady, 1);
}

// A background opening loads the table it is handed away from the game's thread, which
// meanwhile plays nothing; the first updateSound after it is done finds every sample in
// and the volumes set. A device that cannot be opened leaves soundReady at 0.
TEST_F(SoundLayer, BackgroundOpeningIsTakenOverWholeOnTheGameThread) {
    const std::string tone = writeToneWav(dir_ / "tone.wav", 0.5, 0.5).string();
    std::vector<SampleFile> table;
    for (int slot = 1; slot <= lastSampleSlot; ++slot) table.push_back({slot, tone.c_str(), loadModeDefault});
    setVolumeLevels(2, 1);
    initSoundInBackground(table);
    while (soundReady == 0 && soundOpeningUnderway()) {
        playSample(1);  // touches nothing while the opening works
        updateSound();
    }
    ASSERT_EQ(soundReady, 1);
    for (int slot = 1; slot <= lastSampleSlot; ++slot)
        EXPECT_NE(soundBank[slot], 0) << "slot " << slot << " was not in when sound became ready";
    EXPECT_EQ(Mix_Playing(-1), 0) << "no play before sound was ready reached the mixer";
    EXPECT_EQ(Mix_MasterVolume(-1), 63) << "level 2 set when the device opened";
    playSample(1);
    EXPECT_EQ(Mix_Playing(-1), 1);

    {
        ScopedEnv driver("SDL_AUDIODRIVER", "nonexistent");
        initSoundInBackground(table);
        while (soundOpeningUnderway()) updateSound();
    }
    EXPECT_EQ(soundReady, 0);
    for (int slot = 0; slot <= lastSampleSlot; ++slot) EXPECT_EQ(soundBank[slot], 0) << "slot " << slot;
}

// The raw stream the disk driver wrote, in whichever sample format the mixer ran (32-bit
// float, or 16-bit for a layer that mixes in integers), as samples of full scale 1.
std::vector<float> readStream(const fs::path& path, SDL_AudioFormat format) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> out;
    if (format == AUDIO_F32SYS) {
        out.resize(bytes.size() / sizeof(float));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    } else if (format == AUDIO_S16SYS) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            int16_t v;
            std::memcpy(&v, &bytes[i], 2);
            out.push_back(float(v) / 32768.0f);
        }
    }
    return out;
}

// The level of the loudest 50 ms of an interleaved stereo stream, from 0 to 1.
double loudestLevel(const std::vector<float>& stream) {
    const size_t window = 2 * 2205;
    double best = 0, sum = 0;
    for (size_t i = 0; i < stream.size(); ++i) {
        sum += double(stream[i]) * stream[i];
        if (i >= window) sum -= double(stream[i - window]) * stream[i - window];
        best = std::max(best, sum);
    }
    return std::sqrt(best / double(window));
}

// The energy of the first `seconds` of sound in an interleaved stereo stream, from the
// first sample that is not silent.
double energyOfOpening(const std::vector<float>& stream, double seconds) {
    auto first = std::find_if(stream.begin(), stream.end(), [](float v) { return v != 0; });
    auto end = first + std::min(long(stream.end() - first), long(2 * seconds * 44100));
    double sum = 0;
    for (auto it = first; it != end; ++it) sum += double(*it) * *it;
    return sum;
}

double peakOf(const std::vector<float>& stream) {
    double peak = 0;
    for (float v : stream) peak = std::max(peak, double(std::fabs(v)));
    return peak;
}

fs::path gameSound(const char* name) { return fs::path(CROWDFIRE_RUN_DIR) / "Sound" / name; }

// Plays the files, all started one after another as the game does within one frame,
// through the layer under SDL's disk driver at the given level, and returns the stream
// once everything has finished.
std::vector<float> playToDisk(const fs::path& out, const std::vector<fs::path>& files, int sfxLevel) {
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", out.c_str());
    ScopedEnv pace("SDL_DISKAUDIODELAY", "1");
    initSound();
    EXPECT_EQ(soundReady, 1);
    std::vector<int> slots;
    for (const fs::path& f : files) {
        auto same = std::find(files.begin(), files.end(), f);
        int slot = 1 + int(same - files.begin());
        if (same == files.begin() + long(slots.size())) loadSample(slot, f.c_str(), loadModeDefault);
        EXPECT_NE(soundBank[slot], 0) << f;
        slots.push_back(slot);
    }
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    setVolumeLevels(sfxLevel, 1);
    for (int slot : slots) playSample(slot);
    // The disk driver runs about ten times faster than real time.
    for (int waited = 0; Mix_Playing(-1) > 0 && waited < 20000; waited += 5) SDL_Delay(5);
    SDL_Delay(20);
    closeSound();
    return readStream(out, format);
}

// The game's own shot, played at level 1, really reaches the device's stream; at level 0
// the stream stays silent.
TEST_F(SoundLayer, PlayedShotReachesTheDeviceAtTheChosenLevel) {
    ASSERT_TRUE(fs::exists(gameSound("shot.ogg")));
    double heard = loudestLevel(playToDisk(dir_ / "level1.raw", {gameSound("shot.ogg")}, 1));
    double silent = loudestLevel(playToDisk(dir_ / "level0.raw", {gameSound("shot.ogg")}, 0));
    EXPECT_GT(heard, 0.02) << "the shot is in the device's stream";
    EXPECT_EQ(silent, 0.0) << "level 0 plays nothing";
}

// A bomb on a group: the explosion, five cries and five of each splat start in the same
// frame, and copies of one splat add up in phase. At the game's level and at the loudest,
// no sample of the mix reaches full scale; at the game's level the explosion still makes
// at least a fifth of what is heard in the first half second (the mix with it against the
// same moment without it), against five cries that each are about as loud as it is.
TEST_F(SoundLayer, BombOnAGroupStaysUnderFullScaleAndTheBlastIsHeard) {
    std::vector<fs::path> crowd = {gameSound("death1.ogg"), gameSound("death3.ogg"), gameSound("death5.ogg"),
                                   gameSound("women_death1.ogg"), gameSound("women_death2.ogg")};
    for (int i = 0; i < 5; ++i) {
        crowd.push_back(gameSound("mushy1.ogg"));
        crowd.push_back(gameSound("mushy2.ogg"));
    }
    std::vector<fs::path> moment = crowd;
    moment.insert(moment.begin(), gameSound("explosion.ogg"));
    for (int level : {1, 4}) {
        SCOPED_TRACE("level " + std::to_string(level));
        std::vector<float> heard = playToDisk(dir_ / "moment.raw", moment, level);
        ASSERT_GT(heard.size(), size_t(2 * 44100)) << "the stream holds the whole moment";
        double peak = peakOf(heard);
        long atFullScale =
            std::count_if(heard.begin(), heard.end(), [](float v) { return std::fabs(v) >= 32767.0f / 32768.0f; });
        std::printf("level %d: peak %.4f (%.2f dBFS), %ld samples at full scale\n", level, peak, 20 * std::log10(peak),
                    atFullScale);
        EXPECT_EQ(atFullScale, 0);
        if (level != 1) continue;
        std::vector<float> withoutBlast = playToDisk(dir_ / "crowd.raw", crowd, level);
        double blastShare = 1 - energyOfOpening(withoutBlast, 0.5) / energyOfOpening(heard, 0.5);
        std::printf("level %d: the explosion's share of the first half second %.0f%%\n", level, 100 * blastShare);
        EXPECT_GT(blastShare, 0.2) << "a fifth of the energy is the least that stands out of the crowd";
    }
}

}  // namespace
