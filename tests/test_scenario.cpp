#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "game/game_state.h"
#include "game/replay_file.h"
#include "gfx/screen.h"
#include "tools/scenario/scenario_runner.h"

namespace {

Scenario parsed(const std::string& text) {
    Scenario scenario;
    std::string error;
    std::istringstream script(text);
    EXPECT_TRUE(parseScenario(script, scenario, error)) << error;
    return scenario;
}

std::string parseError(const std::string& text) {
    Scenario scenario;
    std::string error;
    std::istringstream script(text);
    EXPECT_FALSE(parseScenario(script, scenario, error)) << text;
    return error;
}

TEST(ScenarioScript, ReadsSeedFramesRangesPointerAndKeys) {
    const Scenario s = parsed(
        "# a comment\n"
        "seed 42\n"
        "\n"
        "frames 300   # trailing comment\n"
        "0-79 160 120 0 left\n"
        "80 off 3 left,right\n"
        "100-199 10..20 40..220/60 2 -\n");
    EXPECT_EQ(s.seed, 42);
    EXPECT_EQ(s.frames, 300);
    ASSERT_EQ(s.inputs.size(), 3u);
    EXPECT_EQ(s.inputs[0].lastFrame, 79);
    EXPECT_TRUE(s.inputs[0].left);
    EXPECT_FALSE(s.inputs[0].right);
    EXPECT_TRUE(s.inputs[1].pointerOff);
    EXPECT_EQ(s.inputs[1].firstFrame, 80);
    EXPECT_EQ(s.inputs[1].lastFrame, 80);
    EXPECT_TRUE(s.inputs[1].left && s.inputs[1].right);
    EXPECT_EQ(s.inputs[2].pointerEndX, 20);
    EXPECT_EQ(s.inputs[2].periodX, 0);
    EXPECT_EQ(s.inputs[2].pointerEndY, 220);
    EXPECT_EQ(s.inputs[2].periodY, 60);
}

// A bad script is refused with the line that is wrong, never run halfway.
TEST(ScenarioScript, MalformedLinesNameTheirLine) {
    EXPECT_EQ(parseError("seed 1\n5-2 0 0 1\n").rfind("line 2:", 0), 0u);
    EXPECT_NE(parseError("0 10 10 9\n").find("buttons"), std::string::npos);
    EXPECT_NE(parseError("0 10 10 1 up\n").find("keys"), std::string::npos);
    EXPECT_NE(parseError("0 10\n").find("pointer"), std::string::npos);
    EXPECT_NE(parseError("frames -3\n").find("frames"), std::string::npos);
    EXPECT_NE(parseError("seed\n").find("seed"), std::string::npos);
    EXPECT_NE(parseError("0 10 10 1 - extra\n").find("extra"), std::string::npos);
    EXPECT_NE(parseError("0 1..2/1 10 1\n").find("pointer"), std::string::npos);
    // Running through frame 2147483647 would take more frames than an int can count.
    EXPECT_NE(parseError("0-2147483647 10 10 1\n").find("frame range"), std::string::npos);
    EXPECT_EQ(scenarioFrames(parsed("0-2147483646 10 10 1\n")), 2147483647);
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(loadScenario("/nonexistent/script.txt", scenario, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

// Runs from the run directory, where the artwork is, and comes back.
class ScenarioRun : public ::testing::Test {
protected:
    void SetUp() override {
        home = std::filesystem::current_path();
        if (std::filesystem::is_directory(CROWDFIRE_RUN_DIR)) std::filesystem::current_path(CROWDFIRE_RUN_DIR);
    }
    void TearDown() override {
        closeScreen();
        std::filesystem::current_path(home);
    }
    static ScenarioResult run(Scenario scenario) {
        ScenarioResult result;
        std::string error;
        EXPECT_TRUE(runScenario(scenario, result, error)) << error;
        return result;
    }
    static Scenario fromFile(const std::string& name, int frames) {
        Scenario scenario;
        std::string error;
        EXPECT_TRUE(loadScenario(std::string(CROWDFIRE_SOURCE_DIR) + "/tests/scenarios/" + name, scenario, error))
            << error;
        scenario.frames = frames;
        return scenario;
    }
    std::filesystem::path home;
};

TEST_F(ScenarioRun, SameScriptAndSeedGiveTheSameHashes) {
    const Scenario bombing = fromFile("bombing_run.txt", 1300);
    const ScenarioResult first = run(bombing);
    int drops = 0;
    for (const Entity& drop : bloodDrops) drops += drop.active;
    EXPECT_GT(drops, 0) << "the run must have bombed something for the hash to mean much";
    const ScenarioResult second = run(bombing);
    EXPECT_EQ(first.frames, 1300);
    EXPECT_EQ(first.pageHash, second.pageHash);
    EXPECT_EQ(first.poolsHash, second.poolsHash);

    Scenario reseeded = bombing;
    reseeded.seed = bombing.seed + 1;
    EXPECT_NE(run(reseeded).poolsHash, first.poolsHash) << "the seed reaches the game";
}

TEST_F(ScenarioRun, ShootingSpreeRepeatsAndScrolls) {
    const Scenario spree = fromFile("shooting_spree.txt", 900);
    const ScenarioResult first = run(spree);
    EXPECT_EQ(game.scrollX, 0) << "held Left for 80 frames from 160";
    EXPECT_EQ(run(spree).poolsHash, first.poolsHash);
}

std::vector<uint8_t> recorded;
void keepRecorded(const uint8_t* bytes, int count) { recorded.insert(recorded.end(), bytes, bytes + count); }

ReplayVerdict watched(const std::vector<uint8_t>& replay, ScenarioResult& result) {
    ReplayVerdict verdict = {};
    std::string error;
    EXPECT_TRUE(runReplay(replay, result, verdict, error)) << error;
    return verdict;
}

// A game recorded plays back to the same page and pools; a file cut short plays what it
// holds; a replay of another game (its seed changed, its header's checksum mended) is
// caught at its first checkpoint and played on to the end.
TEST_F(ScenarioRun, ARecordedGamePlaysBackAndAnotherGameIsCaught) {
    recorded.clear();
    ScenarioResult played;
    std::string error;
    ASSERT_TRUE(runScenario(fromFile("bombing_run.txt", 1300), played, error, keepRecorded)) << error;
    const std::vector<uint8_t> replay = recorded;

    ScenarioResult back;
    ReplayVerdict verdict = watched(replay, back);
    EXPECT_EQ(verdict.status, 0) << verdict.line;
    EXPECT_STREQ(verdict.line, "replay: 1300 frames (0:18), every checkpoint matched");
    EXPECT_EQ(back.frames, 1300);
    EXPECT_EQ(back.pageHash, played.pageHash);
    EXPECT_EQ(back.poolsHash, played.poolsHash);

    std::vector<uint8_t> cut(replay.begin(), replay.begin() + std::ptrdiff_t(replay.size() / 2));
    verdict = watched(cut, back);
    EXPECT_EQ(verdict.status, 0) << verdict.line;
    EXPECT_NE(std::string(verdict.line).find("every checkpoint matched; cut short"), std::string::npos) << verdict.line;
    EXPECT_EQ(back.frames % replaySecondFrames, 0) << "whole seconds only";

    std::vector<uint8_t> other = replay;
    other[10] ^= 1;  // the seed's low bit
    const size_t checksumAt = 23 + other[22];
    const uint32_t checksum = replayChecksum(other.data(), checksumAt);
    for (int i = 0; i < 4; ++i) other[checksumAt + size_t(i)] = uint8_t(checksum >> (8 * i));
    verdict = watched(other, back);
    EXPECT_EQ(verdict.status, 3);
    EXPECT_EQ(std::string(verdict.line).rfind("replay: left the recorded game at 0:0", 0), 0u) << verdict.line;
    EXPECT_EQ(back.frames, 1300) << "a replay that left its game still plays to its end";
}

}  // namespace
