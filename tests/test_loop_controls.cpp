#include <gtest/gtest.h>

#include "game/frame_loop.h"
#include "game/game_state.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "test_fixtures.h"

namespace {

constexpr uint32_t crosshairColour = 0x00FFFFFF;
constexpr uint32_t overlayColour = 0x00FFC000;

// The frame on a headless screen, with the state start-up leaves and plain images whose
// pixels are easy to find: two backgrounds of different colours, a crosshair and its overlay.
class FrameLoop : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        headlessSetActive(true);
        headlessSetPointer(100, 100);
        headlessSetButtons(0);
        headlessSetKey(scanLeft, false);
        headlessSetKey(scanRight, false);
        game.targetFps = 70;
        game.scrollX = 160;
        paintImage(backgroundBank, 1, 320, 240, 0x00203040);
        paintImage(backgroundBank, 2, 320, 240, 0x00405060);
        paintImage(spriteBank, 1, 17, 18, crosshairColour);
        paintImage(spriteBank, 2, 17, 18, overlayColour);
    }
};

}  // namespace

TEST_F(FrameLoop, ArrowKeysScrollTwoPixelsAFrameWithinTheWorld) {
    headlessSetKey(scanLeft, true);
    for (int frame = 1; frame <= 80; ++frame) {
        runFrame();
        ASSERT_EQ(game.scrollX, 160 - 2 * frame);
    }
    runFrame();
    EXPECT_EQ(game.scrollX, 0) << "stays at the left edge";

    headlessSetKey(scanRight, true);
    runFrame();
    EXPECT_EQ(game.scrollX, 0) << "both arrows: no change";

    headlessSetKey(scanLeft, false);
    for (int frame = 0; frame < 200; ++frame) runFrame();
    EXPECT_EQ(game.scrollX, 320) << "stops where the second background meets the right edge";
    // World x 320 to 639 is shown: the second background fills the page.
    EXPECT_EQ(pixelAt(lastDrawnPage(), 0, 0), 0x00405060u);
    EXPECT_EQ(pixelAt(lastDrawnPage(), 319, 239), 0x00405060u);
}

TEST_F(FrameLoop, CentredViewShowsBothBackgroundHalves) {
    runFrame();
    EXPECT_EQ(pixelAt(lastDrawnPage(), 159, 120), 0x00203040u) << "world x 319";
    EXPECT_EQ(pixelAt(lastDrawnPage(), 160, 120), 0x00405060u) << "world x 320";
}

TEST_F(FrameLoop, CountersOverTheFirstFrames) {
    struct Expected {
        int frame, cycle5, cycle15, cycle4, cycle2;
    };
    // cycle4 steps where cycle5 becomes 2 (frames 2, 7, 12), cycle2 where cycle15 does
    // (frames 2, 17, 32); both are forced from 0 to 1 on the first frame.
    const Expected table[] = {{1, 1, 1, 1, 1},   {2, 2, 2, 2, 2},  {6, 1, 6, 2, 2},  {7, 2, 7, 3, 2},
                              {12, 2, 12, 4, 2}, {17, 2, 2, 1, 1}, {31, 1, 1, 3, 1}, {32, 2, 2, 4, 2}};
    int frame = 0;
    for (const Expected& e : table) {
        while (frame < e.frame) {
            runFrame();
            ++frame;
        }
        EXPECT_EQ(game.cycle5, e.cycle5) << "frame " << frame;
        EXPECT_EQ(game.cycle15, e.cycle15) << "frame " << frame;
        EXPECT_EQ(game.cycle4, e.cycle4) << "frame " << frame;
        EXPECT_EQ(game.cycle2, e.cycle2) << "frame " << frame;
        EXPECT_EQ(game.cycle400, frame);
    }
    while (frame < 401) {
        runFrame();
        ++frame;
    }
    EXPECT_EQ(game.cycle400, 1);
}

TEST_F(FrameLoop, PagesAlternateAndShowThePreviousFrame) {
    runFrame();
    EXPECT_EQ(game.workPage, 1);
    EXPECT_EQ(visiblePageIndex(), 1) << "frame 1 draws page 0 while page 1 is shown";
    runFrame();
    EXPECT_EQ(game.workPage, 0);
    EXPECT_EQ(visiblePageIndex(), 0) << "frame 2 shows what frame 1 drew";
}

TEST_F(FrameLoop, CrosshairRecoilsAndShowsTheOverlayAfterAShot) {
    const int expectedRecoil[] = {1, 2, 3, 2, 1, 0, 0};
    // As if a shot had just set the cooldown: the frame counts it down to 20 first.
    game.fireCooldown = 21;
    for (int frame = 0; frame < 7; ++frame) {
        runFrame();
        const uint32_t* page = lastDrawnPage();
        int recoil = expectedRecoil[frame];
        EXPECT_EQ(crosshairRecoil(game.fireCooldown), recoil);
        // Crosshair top-left at (92, 92 - recoil); the overlay, drawn over it for seven
        // frames, is not raised.
        bool overlay = game.fireCooldown > 13;
        uint32_t top = pixelAt(page, 95, 92 - recoil);
        EXPECT_EQ(top, recoil > 0 && overlay ? crosshairColour : (overlay ? overlayColour : crosshairColour))
            << "frame " << frame;
        EXPECT_EQ(pixelAt(page, 95, 100), overlay ? overlayColour : crosshairColour) << "frame " << frame;
        EXPECT_NE(pixelAt(page, 95, 91 - recoil), crosshairColour) << "nothing above the crosshair";
    }
}

TEST_F(FrameLoop, CooldownCountsDownToZeroAndStays) {
    game.fireCooldown = 3;
    runFrame();
    EXPECT_EQ(game.fireCooldown, 2);
    runFrame();
    runFrame();
    runFrame();
    EXPECT_EQ(game.fireCooldown, 0);
}

TEST_F(FrameLoop, UnreadableMouseLeavesOnlyTheCrosshairCorner) {
    headlessSetPointer(-1, -1);
    headlessSetButtons(leftButton);
    runFrame();
    EXPECT_EQ(game.mouseX, -1);
    EXPECT_EQ(game.mouseY, -1);
    EXPECT_EQ(game.mouseButtons, -1);
    EXPECT_EQ(game.fireCooldown, 0) << "nothing fires";
    const uint32_t* page = lastDrawnPage();
    // Drawn at (-9, -9): its 8 x 9 bottom-right corner lies on the page.
    EXPECT_EQ(pixelAt(page, 7, 8), crosshairColour);
    EXPECT_NE(pixelAt(page, 8, 8), crosshairColour);
    EXPECT_NE(pixelAt(page, 7, 9), crosshairColour);
}

TEST_F(FrameLoop, ShakeMovesTheSceneButNotTheCrosshair) {
    game.shakeFrames = 10;
    for (int frame = 1; frame <= 12; ++frame) {
        runFrame();
        int expected = frame <= 10 ? game.cycle5 - 3 : 0;
        ASSERT_EQ(game.shakeOffset, expected) << "frame " << frame;
        const uint32_t* page = lastDrawnPage();
        // Rows the shake uncovers stay black.
        if (expected > 0) {
            EXPECT_EQ(pixelAt(page, 10, expected - 1), 0u);
        }
        if (expected < 0) {
            EXPECT_EQ(pixelAt(page, 10, 240 + expected), 0u);
        }
        EXPECT_EQ(pixelAt(page, 10, 120), 0x00203040u);
        EXPECT_EQ(pixelAt(page, 95, 95), crosshairColour);
    }
    EXPECT_EQ(game.shakeFrames, 0);
}
