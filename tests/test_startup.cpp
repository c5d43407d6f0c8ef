#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/crowd.h"
#include "game/frame_loop.h"
#include "game/game_state.h"
#include "game/startup.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/screen.h"
#include "sound/sound.h"
#include "test_art_files.h"

namespace {

// Start-up reads its files from the current directory; these tests start in an empty one,
// where every bitmap is missing and every cut copies the black page.
class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        empty = std::filesystem::temp_directory_path() / "crowdfire-startup-test";
        std::filesystem::create_directories(empty);
        std::filesystem::current_path(empty);
    }
    void TearDown() override {
        closeScreen();
        std::filesystem::current_path(previous);
    }
    std::filesystem::path previous, empty;
};

}  // namespace

TEST_F(StartUp, StartingValuesAndTheCentredView) {
    ASSERT_TRUE(startUp(headlessBackend));
    EXPECT_EQ(game.targetFps, 70);
    EXPECT_EQ(game.crowdCount, 100);
    EXPECT_EQ(game.scrollX, 160);
    EXPECT_EQ(game.crowdDirection, 1);
    EXPECT_EQ(sfxVolumeLevel, 1);
    EXPECT_EQ(musicVolumeLevel, 1);
    EXPECT_EQ(game.workPage, 0);
    EXPECT_EQ(game.fireCooldown, 0);
    EXPECT_EQ(game.cycle5, 0);
    EXPECT_EQ(game.lastFrameTime, 0.0) << "the first frame must not wait";
    EXPECT_EQ(workPageIndex(), 0) << "loading happens on page 0";
    EXPECT_EQ(visiblePageIndex(), 1) << "while the black page 1 is shown";
}

TEST_F(StartUp, EveryCutHasItsSizeAndTheUnusedSlotsStayEmpty) {
    ASSERT_TRUE(startUp(headlessBackend));
    EXPECT_EQ(backgroundBank[1][0], imageHeader(320, 240));
    EXPECT_EQ(backgroundBank[2][0], imageHeader(320, 240));
    for (int slot : {0, 3, 4}) EXPECT_EQ(backgroundBank[slot][0], 0u) << "background slot " << slot;

    EXPECT_EQ(spriteBank[1][0], imageHeader(17, 18));
    EXPECT_EQ(spriteBank[2][0], imageHeader(17, 18));
    for (int slot = 3; slot <= 8; ++slot) EXPECT_EQ(spriteBank[slot][0], imageHeader(25, 26));
    EXPECT_EQ(spriteBank[9][0], imageHeader(9, 11));
    EXPECT_EQ(spriteBank[11][0], imageHeader(17, 8));
    EXPECT_EQ(spriteBank[12][0], imageHeader(7, 4));
    EXPECT_EQ(spriteBank[13][0], imageHeader(8, 3));
    for (int slot : {0, 10, 14, 20}) EXPECT_EQ(spriteBank[slot][0], 0u) << "sprite slot " << slot;

    for (int kind = firstManKind; kind <= womanKind; ++kind) {
        for (int f = 1; f <= 57; ++f) {
            uint32_t h = peopleBank[personImage(kind, f)][0];
            bool chip = (f >= 13 && f <= 24) || (f >= 38 && f <= 41);
            uint32_t expected = f > 53 ? 0u : chip ? imageHeader(4, 4) : imageHeader(16, 13);
            EXPECT_EQ(h, expected) << "kind " << kind << " frame " << f;
        }
    }
    EXPECT_EQ(peopleBank[225][0], 0u);
    EXPECT_EQ(peopleBank[0][0], 0u);
}

// The opening crowd is drawn from the unseeded generator: the first person takes the
// generator's first four outputs (41, 18467, 6334, 26500).
TEST_F(StartUp, OpeningCrowdIsTheSameOnEveryStart) {
    ASSERT_TRUE(startUp(headlessBackend));
    EXPECT_EQ(people[1].x, -320.0f);
    EXPECT_EQ(people[1].y, 139.0f);
    EXPECT_EQ(people[1].vx, 0.3f);
    EXPECT_EQ(people[1].kind, womanKind);
    std::vector<Entity> first(people.begin(), people.end());

    for (int i = 1; i <= 100; ++i) {
        const Entity& p = people[i];
        EXPECT_EQ(p.alive, i < 50 ? 1 : 0) << i;
        EXPECT_GE(p.x, -320.0f);
        EXPECT_LE(p.x, -21.0f);
        EXPECT_GE(p.y, 38.0f);
        EXPECT_LE(p.y, 217.0f);
        EXPECT_TRUE(p.vx == 0.3f || p.vx == 0.4f) << p.vx;
        EXPECT_GE(p.kind, firstManKind);
        EXPECT_LE(p.kind, womanKind);
        EXPECT_EQ(p.gait, walking);
    }
    for (int i = 101; i <= peopleLast; ++i) EXPECT_EQ(people[i].kind, 0) << "beyond crowdCount";

    // Only the crowd repeats: start-up seeds the generator from the clock after placing it.
    ASSERT_TRUE(startUp(headlessBackend));
    for (int i = 1; i <= 100; ++i) {
        EXPECT_EQ(people[i].x, first[i].x) << i;
        EXPECT_EQ(people[i].y, first[i].y) << i;
        EXPECT_EQ(people[i].vx, first[i].vx) << i;
        EXPECT_EQ(people[i].kind, first[i].kind) << i;
    }
}

TEST_F(StartUp, MissingArtworkLeavesBlackImagesAndTheGameRuns) {
    testing::internal::CaptureStderr();
    ASSERT_TRUE(startUp(headlessBackend));
    std::string said = testing::internal::GetCapturedStderr();
    // One line naming the pictures and where they were looked for: every picture of the
    // game's list, and no other.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    for (const char* name : art_test::artFiles()) EXPECT_NE(said.find(name), std::string::npos) << said;
    size_t named = 0;
    for (size_t at = said.find(".BMP"); at != std::string::npos; at = said.find(".BMP", at + 1)) ++named;
    EXPECT_EQ(named, art_test::artFiles().size()) << said;
    EXPECT_NE(said.find(empty.string()), std::string::npos) << said;
    for (int i = 1; i <= 320 * 240; ++i) ASSERT_EQ(backgroundBank[1][i], 0u);
    for (int frame = 0; frame < 3; ++frame) runFrame();
    EXPECT_EQ(game.cycle5, 3);
}
