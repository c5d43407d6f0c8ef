#include "game/frame_loop.h"

#include "game/gibs.h"
#include "gfx/display_headless.h"
#include "test_fixtures.h"

namespace {

// Whole frames on the headless display, with the pointer and buttons a player would use.
class Frame : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        headlessSetActive(true);
        headlessSetButtons(0);
        game.scrollX = 100;
        game.crowdCount = 11;
        for (int i = 2; i <= 11; ++i) placeWalker(i, -200, 30);
    }
    void TearDown() override {
        headlessSetButtons(0);
        WorldTest::TearDown();
    }
};

TEST_F(Frame, LeftClickAtAPersonKillsItInThatFrame) {
    paintImage(peopleBank, 9, 16, 13, 0x00090909);  // first image of a head-shot fall
    placeWalker(1, 200, 120);
    people[1].vx = 0;
    headlessSetPointer(106, 122);  // world x 206 = x + 6, row y + 2
    headlessSetButtons(leftButton);
    runFrame();
    EXPECT_EQ(people[1].alive, 0);
    EXPECT_EQ(people[1].deathKind, headShot);
    EXPECT_EQ(game.fireCooldown, 20);
    EXPECT_EQ(gibs[1].kind, chunkGib) << "the head shot's chunk";
    EXPECT_LT(bloodDrops[1].y, 122.0f) << "the sprays already moved in this frame";
    EXPECT_GT(countPixels(0x00090909, lastDrawnPage()), 0) << "the fall shows in the same frame";
}

TEST_F(Frame, HeldLeftButtonFiresEveryTwentyFrames) {
    headlessSetPointer(5, 5);
    headlessSetButtons(leftButton);
    int shots = 0;
    for (int frame = 1; frame <= 41; ++frame) {
        runFrame();
        shots += game.fireCooldown == 20;
    }
    EXPECT_EQ(shots, 3) << "frames 1, 21 and 41";
    headlessSetButtons(leftButton | rightButton);
    for (int frame = 0; frame < 5; ++frame) runFrame();
    EXPECT_EQ(game.fireCooldown, 15) << "both buttons: neither fires, the cooldown runs on";
}

TEST_F(Frame, RightClickDropsABombThatExplodesOnTime) {
    placeWalker(1, 150, 95);
    people[1].vx = 0;
    headlessSetPointer(50, 100);
    headlessSetButtons(rightButton);
    runFrame();
    headlessSetButtons(0);
    ASSERT_EQ(bombs[1].active, 1);
    EXPECT_EQ(bombs[1].x, 147.0f) << "pointer x + scrollX - 3";
    EXPECT_EQ(bombs[1].targetY, 100.0f);
    EXPECT_EQ(bombs[1].y, -96.0f) << "its first fall comes in the frame of the drop";
    EXPECT_EQ(game.fireCooldown, 20);
    int frame = 1;
    while (bombs[1].active == 1 && frame < 100) {
        runFrame();
        ++frame;
    }
    EXPECT_EQ(frame, 47) << "a bomb aimed at row 100 explodes in its 47th update";
    EXPECT_EQ(people[1].deathKind, blownUp);
    EXPECT_EQ(game.shakeOffset, 0) << "the shake starts in the next frame";
    runFrame();
    EXPECT_EQ(game.shakeFrames, 9);
}

TEST_F(Frame, HeldRightButtonDropsAgainOnlyAfterTheCooldown) {
    headlessSetPointer(50, 200);
    headlessSetButtons(rightButton);
    for (int frame = 1; frame <= 20; ++frame) runFrame();
    EXPECT_EQ(bombs[2].active, 0);
    runFrame();
    EXPECT_EQ(bombs[2].active, 1) << "the 21st frame drops the second bomb";
}

}  // namespace
