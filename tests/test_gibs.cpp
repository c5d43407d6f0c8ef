#include "game/gibs.h"

#include <algorithm>
#include <cmath>

#include "game/blood_drops.h"
#include "game/crowd.h"
#include "test_fixtures.h"

namespace {

class Gibs : public WorldTest {};

TEST_F(Gibs, ChunkArcFromAHeadShot) {
    spawnGib(50, 100, chunkGib, thirdManKind, 111, 0);
    Entity& chunk = gibs[1];
    EXPECT_GE(chunk.imageIndex, 127) << "the third man's chunks are slots 127 to 129";
    EXPECT_LE(chunk.imageIndex, 129);
    chunk.vy = float(0.4);
    float highest = chunk.y;
    int highestUpdate = 0, backUpdate = 0, landUpdate = 0;
    for (int update = 1; update <= 300 && landUpdate == 0; ++update) {
        updateGibs();
        if (chunk.y < highest) {
            highest = chunk.y;
            highestUpdate = update;
        }
        if (backUpdate == 0 && update > 1 && chunk.y >= 100.0f) backUpdate = update;
        if (chunk.y >= 111.0f) landUpdate = update;
    }
    EXPECT_EQ(highestUpdate, 50);
    EXPECT_NEAR(highest, 89.8, 0.01);
    EXPECT_EQ(backUpdate, 102);
    EXPECT_EQ(landUpdate, 124);
    EXPECT_NEAR(chunk.y, 111.41, 0.01);
}

TEST_F(Gibs, ThrownBodyTurnsToItsLyingImageOnItsFirstLandingOnly) {
    spawnGib(50, 100, thrownBodyGib, 50, 101, 1);
    Entity& body = gibs[1];
    body.vy = float(0.5);
    int landUpdate = 0;
    for (int update = 1; update <= 300 && landUpdate == 0; ++update) {
        EXPECT_EQ(body.imageIndex, 50);
        updateGibs();
        if (body.y >= 101.0f) landUpdate = update;
    }
    EXPECT_EQ(landUpdate, 128);
    EXPECT_EQ(body.imageIndex, 51);
    ASSERT_EQ(activeRecords(bloodDrops), 1) << "one splash per landing";
    const Entity& splash = bloodDrops[1];
    EXPECT_EQ(splash.kind, splashDrop);
    EXPECT_NEAR(splash.x, double(body.x) - double(body.vx) + 1, 1e-4) << "x before the landing frame's drift";
    EXPECT_EQ(splash.y, float(double(body.y) + 8));
    EXPECT_EQ(splash.groundY, int(std::nearbyint(double(body.y) + 10)));

    // A bomb throws it again: a second splash, but the image stays.
    body.flightMode = thrownByBomb;
    body.groundY = int(std::nearbyint(body.y));
    body.y -= 1;
    body.vy = float(0.2);
    for (int i = 0; i < 100; ++i) updateGibs();
    EXPECT_GE(body.y, float(body.groundY));
    EXPECT_EQ(body.imageIndex, 51);
    EXPECT_EQ(activeRecords(bloodDrops), 2);
}

TEST_F(Gibs, ChunkSplashStartsJustBelowIt) {
    spawnGib(30, 100, chunkGib, firstManKind, 100, 0);
    gibs[1].y = 99;
    gibs[1].vy = -1;  // reaches its ground exactly: that is a landing too
    updateGibs();
    ASSERT_EQ(activeRecords(bloodDrops), 1);
    EXPECT_EQ(bloodDrops[1].x, float(31.0));
    EXPECT_EQ(bloodDrops[1].y, 101.0f);
    EXPECT_EQ(bloodDrops[1].groundY, 103);
    EXPECT_GE(bloodDrops[1].imageIndex, 3) << "the first man's splash images, frames 18 to 21";
    EXPECT_LE(bloodDrops[1].imageIndex, 6);
}

TEST_F(Gibs, CorpsesLieUntilABombThrowsThem) {
    spawnGib(40, 100, corpseGib, 8, 0, 0);
    spawnGib(60, 100, thrownBodyGib, 42, 0, 0);  // a person who bled to death
    Entity& corpse = gibs[1];
    corpse.groundY = 150;  // whatever its ground, a corpse does not fly by itself
    for (int i = 0; i < 50; ++i) updateGibs();
    EXPECT_EQ(corpse.y, 100.0f);
    EXPECT_EQ(gibs[2].y, 100.0f);
    EXPECT_EQ(gibs[2].vx, 0.0f) << "direction 0 throws straight up";
    corpse.flightMode = thrownByBomb;
    corpse.groundY = 100;
    corpse.y = 99;
    corpse.vy = 0.1f;
    corpse.vx = -0.15f;
    int updates = 0;
    while (corpse.y < 100.0f && updates < 500) {
        updateGibs();
        ++updates;
    }
    EXPECT_LT(updates, 500);
    EXPECT_LT(corpse.x, 40.0f);
    EXPECT_EQ(corpse.imageIndex, 8) << "only a thrown body's own landing changes its image";
    EXPECT_EQ(activeRecords(bloodDrops), 1);
}

TEST_F(Gibs, RandomDrawsAndFullPool) {
    EXPECT_EQ(randomDrawsOf([] { spawnGib(0, 0, chunkGib, firstManKind, 10, 0); }), 3) << "chunk";
    EXPECT_EQ(randomDrawsOf([] { spawnGib(0, 0, thrownBodyGib, 50, 10, -1); }), 4) << "thrown body";
    EXPECT_EQ(randomDrawsOf([] { spawnGib(0, 0, corpseGib, 8, 0, 0); }), 0) << "corpse";
    const Entity& body = gibs[2];
    EXPECT_TRUE(body.vx == -0.15f || body.vx == -0.2f || body.vx == -0.25f);
    EXPECT_TRUE(body.vy == 0.5f || body.vy == 0.6f || body.vy == 0.7f);
    EXPECT_TRUE(gibs[1].vy == 0.4f || gibs[1].vy == 0.5f || gibs[1].vy == 0.6f);
    for (int i = 4; i <= 2000; ++i) spawnGib(0, 0, corpseGib, 8, 0, 0);
    EXPECT_EQ(randomDrawsOf([] { spawnGib(5, 5, chunkGib, firstManKind, 10, 0); }), 0);
    EXPECT_EQ(gibs[2000].x, 0.0f);
    EXPECT_EQ(gibs[0].active, 0);
}

TEST_F(Gibs, DrawnAtScrolledShakenPositionInIndexOrder) {
    paintImage(peopleBank, 8, 16, 13, 0x00123456);
    paintImage(peopleBank, 12, 16, 13, 0x00654321);
    spawnGib(120, 60, corpseGib, 8, 0, 0);
    spawnGib(130, 60, corpseGib, 12, 0, 0);
    game.scrollX = 100;
    game.shakeOffset = 2;
    updateGibs();
    int x = -1, y = -1;
    ASSERT_TRUE(findColour(0x00123456, x, y));
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 62);
    EXPECT_EQ(workPixel(32, 62), 0x00654321u) << "the higher record lies on top";
}

}  // namespace
