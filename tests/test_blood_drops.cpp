#include "game/blood_drops.h"

#include <algorithm>

#include "game/crowd.h"
#include "gfx/random.h"
#include "test_fixtures.h"

namespace {

class BloodDrops : public WorldTest {};

// Updates the only drop until it stops, returning how many updates moved it.
int updatesUntilLying(Entity& drop, float& highest) {
    highest = drop.y;
    for (int update = 1; update <= 1000; ++update) {
        updateBloodDrops();
        highest = std::min(highest, drop.y);
        if (drop.y >= float(drop.groundY)) return update;
    }
    return -1;
}

TEST_F(BloodDrops, SprayRisesFallsAndLiesWhereItLands) {
    spawnBloodDrop(50, 100, sprayDrop, firstManKind, 106);
    Entity& drop = bloodDrops[1];
    drop.vy = float(0.1);
    drop.vx = float(0.15);
    float highest = 0;
    EXPECT_EQ(updatesUntilLying(drop, highest), 54);
    EXPECT_NEAR(highest, 99.32, 0.005);
    EXPECT_GT(drop.y, 106.04);
    EXPECT_LT(drop.y, 106.05);
    EXPECT_NEAR(drop.x - 50, 8.1, 1e-4);
    const float x = drop.x, y = drop.y;
    for (int i = 0; i < 10; ++i) updateBloodDrops();
    EXPECT_EQ(drop.x, x) << "a lying drop never moves again";
    EXPECT_EQ(drop.y, y);
}

TEST_F(BloodDrops, DropsOnTheGroundAlreadyNeverMove) {
    spawnBloodDrop(50, 100, sprayDrop, firstManKind, 100);
    spawnBloodDrop(60, 100, sprayDrop, firstManKind, 101);
    spawnBloodDrop(70, 100, poolMarkDrop, firstManKind, 200);
    spawnBloodDrop(80, 100, scorchMarkDrop, 11, 200);
    updateBloodDrops();
    EXPECT_EQ(bloodDrops[1].y, 100.0f) << "groundY equal to y: never flies";
    EXPECT_LT(bloodDrops[2].y, 100.0f) << "one pixel above its ground: flies";
    EXPECT_EQ(bloodDrops[3].y, 100.0f) << "pool marks lie still";
    EXPECT_EQ(bloodDrops[4].y, 100.0f) << "scorch marks lie still";
    float highest = 0;
    int updates = updatesUntilLying(bloodDrops[2], highest);
    EXPECT_GT(updates, 0);
    EXPECT_GE(bloodDrops[2].y, 101.0f);
}

// Every kind takes its own number of draws: the order of the whole game's random
// sequence depends on it.
TEST_F(BloodDrops, RandomDrawsPerKindAndImageRanges) {
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(0, 0, sprayDrop, firstManKind, 10); }), 3) << "spray";
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(0, 0, splashDrop, firstManKind, 10); }), 4) << "splash";
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(0, 0, poolMarkDrop, firstManKind, 10); }), 1) << "pool mark";
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(0, 0, scorchMarkDrop, 11, 0); }), 0) << "scorch mark";
    resetGameMemory();
    randomize(5);
    const int kinds[3] = {sprayDrop, splashDrop, poolMarkDrop};
    for (int i = 0; i < 400; ++i) {
        spawnBloodDrop(0, 0, kinds[i % 3], womanKind, 10);
        const Entity& drop = bloodDrops[i + 1];
        const int slot = drop.imageIndex + 15;
        if (drop.kind == splashDrop) {
            EXPECT_GE(slot, 171 + 18) << "a woman's splash: frames 18 to 21";
            EXPECT_LE(slot, 171 + 21);
        } else {
            EXPECT_GE(slot, 187);
            EXPECT_LE(slot, 195);
        }
        if (drop.kind != poolMarkDrop) {
            const float speeds[] = {0.15f, 0.2f, 0.25f, -0.15f, -0.2f, -0.25f};
            EXPECT_NE(std::find(std::begin(speeds), std::end(speeds), drop.vx), std::end(speeds));
            EXPECT_TRUE(drop.vy == 0.1f || drop.vy == 0.2f || drop.vy == 0.3f);
        }
    }
}

TEST_F(BloodDrops, FullPoolDropsSilentlyAndKeepsWhatLies) {
    for (int i = 0; i < 2000; ++i) spawnBloodDrop(float(i % 300), 50, sprayDrop, firstManKind, 60);
    const Entity last = bloodDrops[2000];
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(1, 1, sprayDrop, firstManKind, 60); }), 0);
    EXPECT_EQ(randomDrawsOf([] { spawnBloodDrop(1, 1, splashDrop, firstManKind, 60); }), 0);
    EXPECT_EQ(bloodDrops[2000].x, last.x);
    EXPECT_EQ(bloodDrops[0].active, 0) << "record 0 is never used";
    for (int i = 0; i < 200; ++i) updateBloodDrops();
    for (int i = 1; i <= 2000; ++i) ASSERT_EQ(bloodDrops[i].active, 1) << "drops are never freed";
}

// Drawn at x - scrollX and y + shakeOffset; blood first, scorch marks blended at 160.
TEST_F(BloodDrops, DrawnScrolledShakenAndBlended) {
    paintImage(peopleBank, 16 + 2, 4, 4, 0x00FF0000);  // the first man's blood frame 18
    paintImage(spriteBank, 11, 3, 2, 0x000000FF);
    spawnBloodDrop(200, 50, poolMarkDrop, firstManKind, 0);
    bloodDrops[1].imageIndex = 3;
    spawnBloodDrop(210, 80, scorchMarkDrop, 11, 0);
    game.scrollX = 100;
    game.shakeOffset = -2;
    updateBloodDrops();
    int x = -1, y = -1;
    ASSERT_TRUE(findColour(0x00FF0000, x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 48);
    EXPECT_EQ(countPixels(0x00FF0000), 16);
    ASSERT_TRUE(findColour(0x000000A0, x, y)) << "blue 255 over black at opacity 160";
    EXPECT_EQ(x, 110);
    EXPECT_EQ(y, 78);
    EXPECT_EQ(countPixels(0x000000A0), 6);
}

TEST_F(BloodDrops, HigherRecordsAreDrawnOnTop) {
    paintImage(peopleBank, 16, 4, 4, 0x00111111);
    paintImage(peopleBank, 17, 4, 4, 0x00222222);
    spawnBloodDrop(10, 10, poolMarkDrop, firstManKind, 0);
    spawnBloodDrop(12, 10, poolMarkDrop, firstManKind, 0);
    bloodDrops[1].imageIndex = 2;  // frame 17
    bloodDrops[2].imageIndex = 1;  // frame 16
    game.scrollX = 0;
    updateBloodDrops();
    EXPECT_EQ(workPixel(13, 11), 0x00111111u);
    EXPECT_EQ(workPixel(11, 11), 0x00222222u);
}

}  // namespace
