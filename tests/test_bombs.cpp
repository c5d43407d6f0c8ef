#include "game/blood_drops.h"
#include "game/bombs.h"
#include "game/crowd.h"
#include "game/gibs.h"

#include <cmath>

#include "test_fixtures.h"

namespace {

class Bombs : public WorldTest {
protected:
    static void dropAt(float x, int targetRow) {
        game.mouseY = targetRow;
        spawnBomb(x, -100, fallingBomb);
    }
    // Updates until the bomb in record i explodes; the number of updates it took.
    static int updatesUntilExplosion(int i) {
        for (int update = 1; update <= 200; ++update) {
            updateBombs();
            if (bombs[i].active == 0) return update;
        }
        return -1;
    }
};

TEST_F(Bombs, FallsOntoItsRowAndExplodesOnTime) {
    dropAt(100, 0);
    EXPECT_EQ(bombs[1].targetY, 0.0f);
    EXPECT_EQ(updatesUntilExplosion(1), 22);
    EXPECT_EQ(bombs[1].y, -12.0f);
    dropAt(100, 239);
    EXPECT_EQ(updatesUntilExplosion(1), 82);
    EXPECT_EQ(bombs[1].y, 228.0f);
    for (int row = 0; row < 240; ++row) {
        dropAt(100, row);
        ASSERT_EQ(updatesUntilExplosion(1), int(std::ceil((row + 87) / 4.0))) << row;
    }
}

// Shadows are blended at opacity 100: pure red becomes 100 red, pure green 100 green.
TEST_F(Bombs, ShadowTightensWithinFiftyPixelsAndTheBombIsDrawnLast) {
    paintImage(spriteBank, 13, 8, 3, 0x00FF0000);
    paintImage(spriteBank, 12, 7, 4, 0x0000FF00);
    paintImage(spriteBank, 9, 9, 11, 0x000000FF);
    game.scrollX = 50;
    dropAt(150, 120);
    for (int update = 1; bombs[1].active; ++update) {
        clearScreen();
        updateBombs();
        const bool near = bombs[1].y > 120 - 50;
        int x = -1, y = -1;
        ASSERT_TRUE(findColour(near ? 0x00006400 : 0x00640000, x, y)) << update;
        EXPECT_EQ(x, 101);
        EXPECT_EQ(y, 122);
        EXPECT_EQ(countPixels(near ? 0x00640000 : 0x00006400), 0);
        if (bombs[1].y >= 0) {
            ASSERT_TRUE(findColour(0x000000FF, x, y)) << "the bomb, also in the frame it explodes";
            EXPECT_EQ(x, 100);
            EXPECT_EQ(y, int(bombs[1].y));
        }
    }
}

TEST_F(Bombs, ExplosionMakesBlastsScorchAndShake) {
    dropAt(100, 50);
    updatesUntilExplosion(1);
    const float y = bombs[1].y;
    ASSERT_EQ(y, 40.0f);
    const float expected[5][2] = {{102, y - 9}, {82, y - 9}, {102, y + 11}, {82, y + 11}, {92, y + 1}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(blasts[i + 1].active, 1);
        EXPECT_EQ(blasts[i + 1].x, expected[i][0]);
        EXPECT_EQ(blasts[i + 1].y, expected[i][1]);
        EXPECT_EQ(blasts[i + 1].animFrame, 1);
    }
    EXPECT_EQ(blasts[6].active, 0);
    EXPECT_EQ(bloodDrops[1].kind, scorchMarkDrop);
    EXPECT_EQ(bloodDrops[1].imageIndex, 11);
    EXPECT_EQ(bloodDrops[1].x, 96.0f);
    EXPECT_EQ(bloodDrops[1].y, 48.0f);
    EXPECT_EQ(game.shakeFrames, 10);
}

// The square reach: |bx - ox - 2| < 30 and |by - oy + 3| < 30, edges outside.
TEST_F(Bombs, ReachIsASquareWithStrictEdges) {
    game.crowdCount = 8;
    const float bx = 200, by = 100;
    placeWalker(1, bx + 28, by);
    placeWalker(2, bx + 27, by);
    placeWalker(3, bx - 32, by);
    placeWalker(4, bx - 31, by);
    placeWalker(5, bx, by + 33);
    placeWalker(6, bx, by + 32);
    placeWalker(7, bx, by - 27);
    placeWalker(8, bx, by - 26);
    bombs[1] = Entity{};
    bombs[1].active = 1;
    bombs[1].kind = fallingBomb;
    bombs[1].x = bx;
    bombs[1].y = by - 4;  // falls to by, then explodes
    bombs[1].targetY = by + 9;
    updateBombs();
    ASSERT_EQ(bombs[1].active, 0);
    const int expectedAlive[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(people[i].alive, expectedAlive[i]) << i;
}

TEST_F(Bombs, VictimsAreBlownApartAndLooseGibsThrownFirst) {
    game.crowdCount = 3;
    placeWalker(1, 90, 100, thirdManKind);
    placeWalker(2, 95, 100);
    people[2].alive = 0;  // already dead: left alone
    people[2].deathFrame = 3;
    placeWalker(3, 110, 102, secondManKind);
    people[3].gait = wounded;  // still alive: killed
    spawnGib(105, 95.5f, corpseGib, 27, 0, 0);
    bombs[1] = Entity{};
    bombs[1].active = 1;
    bombs[1].kind = fallingBomb;
    bombs[1].x = 100;
    bombs[1].y = 92;  // falls to 96 and explodes there
    bombs[1].targetY = 105;
    // One scorch mark (no draw), the gib (two), two victims (6 sprays x 3 + body 4 each).
    EXPECT_EQ(randomDrawsOf([] { updateBombs(); }), 2 + 2 * (18 + 4));

    const Entity& old = gibs[1];
    EXPECT_EQ(old.flightMode, thrownByBomb);
    EXPECT_EQ(old.groundY, 96) << "95.5 rounds to even";
    EXPECT_EQ(old.y, 94.5f);
    EXPECT_TRUE(old.vy == 0.1f || old.vy == 0.2f || old.vy == 0.3f);
    EXPECT_TRUE(old.vx == 0.15f || old.vx == 0.2f || old.vx == 0.25f) << "103 < 111: thrown right";

    EXPECT_EQ(people[1].alive, 0);
    EXPECT_EQ(people[1].deathKind, blownUp);
    EXPECT_EQ(people[1].deathFrame, 3);
    EXPECT_EQ(people[2].deathKind, notDying);
    EXPECT_EQ(people[3].deathKind, blownUp);

    const float sprays[6][2] = {{95, 103}, {94, 105}, {96, 104}, {97, 107}, {93, 108}, {95, 107}};
    for (int i = 0; i < 6; ++i) {
        const Entity& drop = bloodDrops[2 + i];
        EXPECT_EQ(drop.kind, sprayDrop);
        EXPECT_EQ(drop.x, sprays[i][0]);
        EXPECT_EQ(drop.y, sprays[i][1]);
        EXPECT_EQ(drop.groundY, 111);
        EXPECT_GE(drop.imageIndex, 115) << "the third man's blood";
    }
    const Entity& body = gibs[2];
    EXPECT_EQ(body.kind, thrownBodyGib);
    EXPECT_EQ(body.imageIndex, 57 * 3 - 7);
    EXPECT_EQ(body.groundY, 101);
    EXPECT_EQ(body.flightMode, ownFlight) << "not thrown by the bomb that made it";
    EXPECT_TRUE(body.vx == -0.15f || body.vx == -0.2f || body.vx == -0.25f) << "103 > 96: thrown left";
    EXPECT_EQ(gibs[3].imageIndex, 57 * 2 - 7);
    EXPECT_TRUE(gibs[3].vx > 0.0f) << "103 < 116: thrown right";
}

TEST_F(Bombs, TwoBombsInOneFrameKillOnceButThrowTwice) {
    game.crowdCount = 1;
    placeWalker(1, 100, 100);
    spawnGib(101, 99, corpseGib, 8, 0, 0);
    for (int i = 1; i <= 2; ++i) {
        bombs[i] = Entity{};
        bombs[i].active = 1;
        bombs[i].kind = fallingBomb;
        bombs[i].x = 100;
        bombs[i].y = 96;
        bombs[i].targetY = 105;
    }
    updateBombs();
    int bodies = 0;
    for (int i = 1; i <= gibsLast; ++i) bodies += gibs[i].kind == thrownBodyGib && gibs[i].active;
    EXPECT_EQ(bodies, 1);
    EXPECT_EQ(gibs[1].y, 97.0f) << "lifted one pixel by each bomb";
    EXPECT_EQ(gibs[1].groundY, 98);
    EXPECT_EQ(gibs[2].flightMode, thrownByBomb) << "the first bomb's body is thrown by the second";
}

TEST_F(Bombs, FullPoolsIgnoreNewBombsAndEffects) {
    for (int i = 0; i < 20; ++i) dropAt(float(i * 10), 200);
    const Entity last = bombs[20];
    dropAt(500, 10);
    for (int i = 1; i <= 20; ++i) EXPECT_NE(bombs[i].x, 500.0f);
    EXPECT_EQ(bombs[20].targetY, last.targetY);
    for (int i = 1; i <= blastsLast; ++i) blasts[i].active = 1;
    for (int i = 1; i <= bloodDropsLast; ++i) bloodDrops[i].active = 1;
    EXPECT_EQ(updatesUntilExplosion(1), 72);
    EXPECT_EQ(game.shakeFrames, 10) << "the shake comes even with nothing left to show";
}

}  // namespace
