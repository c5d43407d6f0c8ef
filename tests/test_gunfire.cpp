#include "game/gunfire.h"

#include "game/blood_drops.h"
#include "game/crowd.h"
#include "game/gibs.h"
#include "test_fixtures.h"

namespace {

class Gunfire : public WorldTest {
protected:
    static void shootAt(int mouseX, int mouseY) {
        game.mouseX = mouseX;
        game.mouseY = mouseY;
        fireGun();
    }
};

// Across, the shot must be strictly within 5 pixels of x + 6; down, each zone has its
// rows, and rows 99 and 112 miss.
TEST_F(Gunfire, HitRangesOfAWalkingPerson) {
    game.scrollX = 0;
    game.crowdCount = 1;
    for (float x : {100.0f, 100.3f}) {
        const int lastHit = x == 100.0f ? 110 : 111;
        for (int mouseX = 95; mouseX <= 116; ++mouseX) {
            placeWalker(1, x, 100);
            shootAt(mouseX, 106);
            EXPECT_EQ(people[1].alive == 0, mouseX >= 102 && mouseX <= lastHit) << x << " " << mouseX;
        }
    }
    // A row's outcome is the death kind it gives, or one of these two.
    constexpr int missed = -1, legWound = -2;
    struct Row {
        int mouseY;
        int outcome;
    };
    const Row rows[] = {{99, missed},     {100, headShot}, {104, headShot}, {105, torsoShot},
                        {109, torsoShot}, {110, legWound}, {111, legWound}, {112, missed}};
    for (const Row& row : rows) {
        placeWalker(1, 100, 100);
        shootAt(106, row.mouseY);
        if (row.outcome == missed) {
            EXPECT_EQ(people[1].alive, 1) << row.mouseY;
            EXPECT_EQ(people[1].gait, walking) << row.mouseY;
        } else if (row.outcome == legWound) {
            EXPECT_EQ(people[1].alive, 1) << row.mouseY;
            EXPECT_EQ(people[1].gait, wounded) << row.mouseY;
        } else {
            EXPECT_EQ(people[1].alive, 0) << row.mouseY;
            EXPECT_EQ(people[1].deathKind, row.outcome) << row.mouseY;
            EXPECT_EQ(people[1].deathFrame, 0);
        }
    }
    EXPECT_EQ(game.fireCooldown, 20);
}

TEST_F(Gunfire, ScrollCountsButShakeDoesNot) {
    game.crowdCount = 1;
    placeWalker(1, 300, 100);
    game.scrollX = 200;
    game.shakeOffset = 2;
    shootAt(106, 112);
    EXPECT_EQ(people[1].alive, 1) << "drawn 2 lower, but the legs end at row 111";
    shootAt(106, 111);
    EXPECT_EQ(people[1].gait, wounded);
}

TEST_F(Gunfire, HeadShotSpraysAndThrowsAChunk) {
    game.crowdCount = 1;
    placeWalker(1, 100, 100, womanKind);
    EXPECT_EQ(randomDrawsOf([] { shootAt(106, 102); }), 9 + 3) << "three sprays, one chunk";
    ASSERT_EQ(activeRecords(bloodDrops), 3);
    const float expected[3][2] = {{105, 102}, {106, 105}, {106, 104}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bloodDrops[i + 1].x, expected[i][0]);
        EXPECT_EQ(bloodDrops[i + 1].y, expected[i][1]);
        EXPECT_EQ(bloodDrops[i + 1].kind, sprayDrop);
        EXPECT_EQ(bloodDrops[i + 1].groundY, 111);
        EXPECT_GE(bloodDrops[i + 1].imageIndex, 172) << "the woman's blood images";
    }
    EXPECT_EQ(gibs[1].kind, chunkGib);
    EXPECT_EQ(gibs[1].x, 106.0f);
    EXPECT_EQ(gibs[1].y, 100.0f);
    EXPECT_EQ(gibs[1].groundY, 111);
    EXPECT_EQ(gibs[2].active, 0);
}

// The cry is chosen by a draw whether or not anybody hears it; the leg wound draws its
// hop and its drift.
TEST_F(Gunfire, TorsoAndLegShotsTakeTheirDraws) {
    game.crowdCount = 1;
    placeWalker(1, 100, 100);
    EXPECT_EQ(randomDrawsOf([] { shootAt(106, 107); }), 9 + 1);
    EXPECT_EQ(bloodDrops[1].x, 106.0f);
    EXPECT_EQ(bloodDrops[2].x, 107.0f);
    EXPECT_EQ(bloodDrops[3].x, 105.0f);
    EXPECT_EQ(gibs[1].active, 0) << "no chunk from a torso";

    resetGameMemory();
    game.crowdCount = 1;
    game.crowdDirection = -1;
    placeWalker(1, 100, 100.5f);
    EXPECT_EQ(randomDrawsOf([] { shootAt(106, 111); }), 9 + 2);
    const Entity& p = people[1];
    EXPECT_EQ(p.gait, wounded);
    EXPECT_EQ(p.bleedTimer, 2000);
    EXPECT_EQ(p.groundY, 106) << "100.5 + 6 rounds to even";
    EXPECT_EQ(bloodDrops[1].groundY, 112) << "111.5 rounds to even";
    EXPECT_TRUE(p.vy == 0.1f || p.vy == 0.2f);
    EXPECT_TRUE(p.vx == -0.1f || p.vx == -0.15f || p.vx == -0.2f) << "drifts the crowd's way";

    EXPECT_EQ(randomDrawsOf([] { shootAt(500, 500); }), 0) << "a miss draws nothing";
}

// A wounded person cannot be hit in the air; on the ground only rows 8 to 11 below y
// finish them.
TEST_F(Gunfire, FinishingShotHitsOnlyTheLyingBody) {
    game.crowdCount = 1;
    placeWalker(1, 100, 100);
    shootAt(106, 110);
    ASSERT_EQ(people[1].gait, wounded);
    EXPECT_EQ(people[1].alive, 1) << "the same shot does not finish the person";
    for (int row = 95; row <= 120; ++row) {
        shootAt(106, row);
        ASSERT_EQ(people[1].alive, 1) << "in the air, row " << row;
    }
    people[1].y = 106;  // landed on its ground, round(100 + 6)
    for (int row = 100; row <= 120; ++row) {
        people[1].alive = 1;
        shootAt(106, row);
        EXPECT_EQ(people[1].alive == 0, row >= 114 && row <= 117) << row;
    }
    people[1].alive = 1;
    const int before = activeRecords(bloodDrops);
    shootAt(106, 115);
    EXPECT_EQ(people[1].alive, 0);
    EXPECT_EQ(people[1].deathKind, finishedOff);
    EXPECT_EQ(activeRecords(bloodDrops), before + 3);
    EXPECT_EQ(bloodDrops[before + 1].x, 106.0f);
    EXPECT_EQ(bloodDrops[before + 1].y, 115.0f);
    EXPECT_EQ(bloodDrops[before + 3].y, 116.0f);
}

TEST_F(Gunfire, OneShotHitsEveryoneUnderItAndSkipsTheDead) {
    game.crowdCount = 3;
    placeWalker(1, 100, 100);
    placeWalker(2, 101, 98);
    placeWalker(3, 100, 100);
    people[3].alive = 0;  // already dying
    people[3].deathKind = torsoShot;
    shootAt(106, 103);
    EXPECT_EQ(people[1].deathKind, headShot);
    EXPECT_EQ(people[2].deathKind, torsoShot);
    EXPECT_EQ(people[3].deathKind, torsoShot) << "dying people are shot through";
    EXPECT_EQ(activeRecords(bloodDrops), 6);
    EXPECT_EQ(bloodDrops[1].x, 105.0f) << "person 1's head spray comes first";
    EXPECT_EQ(bloodDrops[4].x, 107.0f) << "then person 2's torso spray";
}

TEST_F(Gunfire, FullPoolsStillLetTheShotKill) {
    for (int i = 1; i <= bloodDropsLast; ++i) bloodDrops[i].active = 1;
    for (int i = 1; i <= gibsLast; ++i) gibs[i].active = 1;
    game.crowdCount = 1;
    placeWalker(1, 100, 100);
    EXPECT_EQ(randomDrawsOf([] { shootAt(106, 100); }), 0);
    EXPECT_EQ(people[1].alive, 0);
    EXPECT_EQ(people[1].deathKind, headShot);
}

}  // namespace
