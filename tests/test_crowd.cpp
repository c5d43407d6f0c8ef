#include "game/crowd.h"

#include <cmath>

#include "game/blood_drops.h"
#include "game/frame_loop.h"
#include "game/gibs.h"
#include "test_fixtures.h"

namespace {

class Crowd : public WorldTest {
protected:
    // Ten people standing still far off the left edge keep the respawn from firing.
    void keepTenBystanders(int first) {
        game.crowdCount = first + 9;
        for (int i = first; i < first + 10; ++i) placeWalker(i, -200, 50, firstManKind, 0);
    }
    static void woundAt(int i, float x, float y, int kind) {
        placeWalker(i, x, y, kind, 0.1f);
        people[i].gait = wounded;
        people[i].bleedTimer = 2000;
        people[i].groundY = int(y);
    }
};

TEST_F(Crowd, WalkersMoveAreDrawnAndLeaveAfterPassing649) {
    keepTenBystanders(2);
    game.crowdCount = 12;
    for (int image = 1; image <= 4; ++image) paintImage(peopleBank, image, 16, 13, 0x00100000u * image);
    placeWalker(1, 648.8f, 100, firstManKind, 0.3f);
    placeWalker(12, 400, 100, firstManKind, 0.4f);
    game.scrollX = 320;
    game.shakeOffset = 1;
    game.cycle4 = 3;
    updateCrowd();
    EXPECT_EQ(people[1].alive, 1) << "at 649.1 after moving: still in play in this frame";
    EXPECT_FLOAT_EQ(people[1].x, 649.1f);
    int x = -1, y = -1;
    ASSERT_TRUE(findColour(0x00300000, x, y)) << "walking image b = cycle4";
    EXPECT_EQ(x, 80) << "400.4 - 320, rounded";
    EXPECT_EQ(y, 101);
    EXPECT_EQ(countPixels(0x00300000), 16 * 13);
    updateCrowd();
    EXPECT_EQ(people[1].alive, 0) << "taken out at the start of the next pass, before it moves";
    EXPECT_FLOAT_EQ(people[1].x, 649.1f);

    people[1].alive = 1;
    people[1].x = 649;
    people[1].vx = 0;
    updateCrowd();
    updateCrowd();
    EXPECT_EQ(people[1].alive, 1) << "exactly 649 stays in play";
}

TEST_F(Crowd, RespawnTopsUpTheLowestFreePeopleWhenFewerThanTenAreAlive) {
    game.crowdCount = 100;
    for (int i = 1; i <= 100; ++i) people[i].kind = firstManKind + i % personKindCount;
    for (int i = 60; i < 69; ++i) placeWalker(i, -300, 50, secondManKind, 0);
    people[5].bleedTimer = 77;
    people[5].groundY = 123;
    updateCrowd();
    int alive = 0;
    for (int i = 1; i <= 100; ++i) alive += people[i].alive;
    EXPECT_EQ(alive, 39);
    for (int i = 1; i <= 30; ++i) {
        const Entity& p = people[i];
        ASSERT_EQ(p.alive, 1) << i;
        EXPECT_EQ(p.kind, firstManKind + i % personKindCount) << "kind is kept";
        EXPECT_GE(p.x, -320.0f);
        EXPECT_LE(p.x, -21.0f);
        EXPECT_GE(p.y, 38.0f);
        EXPECT_LE(p.y, 217.0f);
        EXPECT_EQ(p.y, std::floor(p.y));
        EXPECT_TRUE(p.vx == 0.3f || p.vx == 0.4f);
        EXPECT_EQ(p.gait, walking);
    }
    EXPECT_EQ(people[31].alive, 0);
    EXPECT_EQ(people[5].bleedTimer, 77);
    EXPECT_EQ(people[5].groundY, 123);

    // Ten alive: nobody comes.
    resetGameMemory();
    game.crowdCount = 100;
    for (int i = 60; i < 70; ++i) placeWalker(i, -300, 50, secondManKind, 0);
    updateCrowd();
    EXPECT_EQ(people[1].alive, 0);

    // Fewer than thirty free: all of them come, and three draws each.
    resetGameMemory();
    game.crowdCount = 12;
    for (int i = 1; i <= 12; ++i) placeWalker(i, -300, 50, secondManKind, 0);
    people[3].alive = people[7].alive = 0;
    EXPECT_EQ(randomDrawsOf([] { spawnPeople(30); }), 6);
    EXPECT_EQ(people[3].alive + people[7].alive, 2);
    people[3].alive = people[7].alive = people[9].alive = 0;
    EXPECT_EQ(randomDrawsOf([] { spawnPeople(2); }), 6) << "stops at n";
    EXPECT_EQ(people[9].alive, 0);
}

// A head-shot person shows images 9, 10, 11 and the gibs pool gets body 12, 30 to 44
// frames later depending on where in the 15-frame cycle the shot falls.
TEST_F(Crowd, ShotBodyIsHandedOverThirtyToFortyFourFramesLater) {
    for (int shotCycle = 1; shotCycle <= 15; ++shotCycle) {
        resetGameMemory();
        keepTenBystanders(2);
        for (int frame = 1; frame <= 12; ++frame) paintImage(peopleBank, 57 + frame, 16, 13, 0x00000100u * frame);
        placeWalker(1, 100, 100, secondManKind, 0.3f);
        people[1].alive = 0;
        people[1].deathKind = headShot;
        game.cycle15 = shotCycle - 1;
        int framesAfterShot = -1;
        int lastImageSeen = 0;
        for (int frame = 0; frame <= 60 && framesAfterShot < 0; ++frame) {
            advanceCounters();
            clearScreen();
            updateCrowd();
            for (int image = 9; image <= 12; ++image)
                if (countPixels(0x00000100u * image) > 0) {
                    EXPECT_GE(image, lastImageSeen) << "falling images only go forward";
                    lastImageSeen = image;
                }
            if (activeRecords(gibs) > 0) framesAfterShot = frame;
        }
        EXPECT_EQ(framesAfterShot, shotCycle == 2 ? 30 : shotCycle < 2 ? 31 : 47 - shotCycle) << shotCycle;
        EXPECT_EQ(lastImageSeen, 11) << "the body image is drawn by the gibs pass only";
        EXPECT_EQ(gibs[1].kind, corpseGib);
        EXPECT_EQ(gibs[1].imageIndex, 57 + 12);
        EXPECT_EQ(gibs[1].x, 100.0f);
        EXPECT_EQ(people[1].deathFrame, 3);
    }
}

TEST_F(Crowd, FinishedOffPersonBecomesACorpseAtOnce) {
    keepTenBystanders(2);
    paintImage(peopleBank, 25, 16, 13, 0x00ABCDEF);
    paintImage(peopleBank, 26, 16, 13, 0x00ABCDEF);
    woundAt(1, 100, 100, firstManKind);
    people[1].alive = 0;
    people[1].deathKind = finishedOff;
    updateCrowd();
    EXPECT_EQ(people[1].deathFrame, 3);
    EXPECT_EQ(gibs[1].kind, corpseGib);
    EXPECT_EQ(gibs[1].imageIndex, 27);
    EXPECT_EQ(countPixels(0x00ABCDEF), 0) << "nothing drawn for the person itself";
}

TEST_F(Crowd, WoundedPersonBleedsToDeathInThe2001stUpdate) {
    keepTenBystanders(2);
    woundAt(1, 100, 100, thirdManKind);
    game.cycle400 = 1;  // no blood pools in this test
    int updates = 0;
    while (people[1].alive == 1 && updates < 3000) {
        if (updates == 2000) paintImage(peopleBank, 114 + 42, 16, 13, 0x00424242);
        updateCrowd();
        ++updates;
    }
    EXPECT_EQ(updates, 2001);
    EXPECT_EQ(people[1].bleedTimer, -1);
    EXPECT_EQ(people[1].deathFrame, 3);
    EXPECT_EQ(gibs[1].kind, thrownBodyGib);
    EXPECT_EQ(gibs[1].imageIndex, 114 + 42);
    EXPECT_EQ(gibs[1].groundY, 0) << "lies still until a bomb throws it";
    EXPECT_GT(countPixels(0x00424242), 0) << "image 42 is drawn in the frame of death";
    const float x = people[1].x;
    updateCrowd();
    EXPECT_EQ(people[1].x, x) << "the dead do not crawl";
}

TEST_F(Crowd, HopLandingAndCrawling) {
    keepTenBystanders(3);
    game.cycle2 = 2;
    paintImage(peopleBank, 57 + 25, 16, 13, 0x00252525);
    paintImage(peopleBank, 57 + 26, 16, 13, 0x00262626);
    woundAt(1, 100, 99.95f, secondManKind);
    people[1].groundY = 100;
    people[1].vy = -0.1f;
    people[1].vx = 0.15f;
    const float y = float(double(99.95f) - double(-0.1f));
    updateCrowd();
    EXPECT_EQ(people[1].y, y);
    EXPECT_NEAR(people[1].x, 100 + 0.15 + 0.03, 1e-4) << "the landing frame drifts and crawls";
    EXPECT_EQ(people[1].vy, float(double(-0.1f) - 0.008));
    EXPECT_GT(countPixels(0x00262626), 0) << "already crawling: image 24 + cycle2";
    EXPECT_EQ(countPixels(0x00252525), 0);
    ASSERT_EQ(activeRecords(bloodDrops), 2);
    EXPECT_EQ(bloodDrops[1].kind, splashDrop);
    EXPECT_EQ(bloodDrops[1].x, 102.0f);
    EXPECT_EQ(bloodDrops[2].x, 104.0f);
    EXPECT_EQ(bloodDrops[1].y, float(double(y) + 5));
    EXPECT_EQ(bloodDrops[1].groundY, 110);
    EXPECT_GE(bloodDrops[1].imageIndex, 57 + 3) << "the second man's splash images";
    EXPECT_LE(bloodDrops[1].imageIndex, 57 + 6);

    // In the air a wounded person shows image 25 and rises by vy.
    clearScreen();
    woundAt(2, 200, 90, secondManKind);
    people[2].groundY = 96;
    people[2].vy = 0.2f;
    updateCrowd();
    EXPECT_EQ(people[2].y, float(90 - 0.2f));
    EXPECT_GT(countPixels(0x00252525), 0);
}

TEST_F(Crowd, EveryWoundedPersonLeavesAPoolOnCycle50) {
    keepTenBystanders(4);
    woundAt(1, 100, 100, firstManKind);  // lying
    woundAt(2, 200, 90, womanKind);      // in the air
    people[2].groundY = 96;
    people[2].vy = 0.1f;
    placeWalker(3, 150, 80, firstManKind, 0.3f);
    game.cycle400 = 50;
    EXPECT_EQ(randomDrawsOf([] { updateCrowd(); }), 2) << "one image draw per pool mark";
    ASSERT_EQ(activeRecords(bloodDrops), 2);
    EXPECT_EQ(bloodDrops[1].kind, poolMarkDrop);
    EXPECT_EQ(bloodDrops[1].x, 105.0f);
    EXPECT_EQ(bloodDrops[1].y, 110.0f);
    EXPECT_GE(bloodDrops[2].imageIndex, 172) << "the woman's blood frames";
    game.cycle400 = 51;
    updateCrowd();
    EXPECT_EQ(activeRecords(bloodDrops), 2);
}

TEST_F(Crowd, RespawnTakesADyingPersonAndLeavesNoBody) {
    game.crowdCount = 20;
    placeWalker(1, 100, 100, firstManKind, 0.3f);
    people[1].alive = 0;
    people[1].deathKind = torsoShot;
    people[1].deathFrame = 2;
    game.cycle15 = 1;  // deathFrame does not advance this frame
    updateCrowd();
    EXPECT_EQ(people[1].alive, 1) << "nobody alive, so the dying person is placed again";
    EXPECT_LT(people[1].x, 0.0f);
    for (int i = 0; i < 60; ++i) {
        advanceCounters();
        updateCrowd();
    }
    EXPECT_EQ(activeRecords(gibs), 0);
    EXPECT_EQ(people[1].deathKind, notDying);
}

}  // namespace
