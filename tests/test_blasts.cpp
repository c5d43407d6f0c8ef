#include "game/blasts.h"

#include "test_fixtures.h"

namespace {

class Blasts : public WorldTest {
protected:
    static uint32_t colourOf(int slot) { return 0x00010101u * uint32_t(slot * 20); }
    void SetUp() override {
        WorldTest::SetUp();
        paintBlastImages();
    }
    static void paintBlastImages() {
        for (int slot = 3; slot <= 9; ++slot) paintImage(spriteBank, slot, 25, 26, colourOf(slot));
    }
    // The slot drawn this frame, 0 for none; slot 9, past the last image, must never show.
    static int slotShown() {
        for (int slot = 3; slot <= 9; ++slot)
            if (countPixels(colourOf(slot)) > 0) return slot;
        return 0;
    }
};

// Created during a frame whose cycle5 is `created`, a blast steps before drawing on
// every frame where cycle5 is 4: slot 3 shows for 0 to 4 frames, every later slot for
// 5, and the step to 7 frees it without a last draw.
TEST_F(Blasts, FirstImageLastsZeroToFourFramesThenFiveEach) {
    const int expectedFirst[6] = {0, 2, 1, 0, 4, 3};
    for (int created = 1; created <= 5; ++created) {
        resetGameMemory();
        paintBlastImages();
        game.cycle5 = created;
        spawnBlast(10, 10, explosionBlast);
        int framesShown[10] = {};
        int visible = 0;
        while (blasts[1].active == 1 && visible < 100) {
            game.cycle5 = game.cycle5 % 5 + 1;
            clearScreen();
            updateBlasts();
            const int slot = slotShown();
            if (slot == 0) break;
            ++framesShown[slot];
            ++visible;
        }
        EXPECT_EQ(blasts[1].active, 0);
        EXPECT_EQ(slotShown(), 0) << "the step to 7 draws nothing";
        EXPECT_EQ(framesShown[3], expectedFirst[created]) << created;
        for (int slot = 4; slot <= 8; ++slot) EXPECT_EQ(framesShown[slot], 5) << created;
        EXPECT_EQ(visible, 25 + expectedFirst[created]);
    }
}

TEST_F(Blasts, DrawnScrolledAndShakenAndPoolOfTwentyFive) {
    game.scrollX = 300;
    game.shakeOffset = -1;
    game.cycle5 = 1;
    spawnBlast(420, 100, explosionBlast);
    updateBlasts();
    int x = -1, y = -1;
    ASSERT_TRUE(findColour(colourOf(3), x, y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 99);
    for (int i = 0; i < 24; ++i) spawnBlast(float(i), 0, explosionBlast);
    blasts[25].animFrame = 5;
    spawnBlast(999, 999, explosionBlast);
    EXPECT_EQ(blasts[25].x, 23.0f);
    EXPECT_EQ(blasts[25].animFrame, 5) << "a full pool changes nothing";
    blasts[3].active = 0;
    spawnBlast(777, 7, explosionBlast);
    EXPECT_EQ(blasts[3].x, 777.0f) << "the lowest free record is taken";
    EXPECT_EQ(blasts[3].animFrame, 1);
}

}  // namespace
