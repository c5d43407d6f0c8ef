// Opening the screen, the two pages, dirty rows and the screen lock.
#include <atomic>
#include <numeric>
#include <thread>

#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "test_fixtures.h"

using Pages = HeadlessScreen;

static int dirtyCount() {
    const uint8_t* dirty = dirtyFlags();
    return std::accumulate(dirty, dirty + 240, 0);
}

TEST_F(Pages, OpenGivesTwoBlackPagesShowingPageZero) {
    EXPECT_EQ(workPageIndex(), 0);
    EXPECT_EQ(visiblePageIndex(), 0);
    EXPECT_EQ(countNonZero(0) + countNonZero(1), 0);
    EXPECT_EQ(pagePixels(2), nullptr);
    EXPECT_EQ(pagePixels(-1), nullptr);
}

TEST_F(Pages, SwappingMarksRowsOnlyWhenTheVisiblePageChanges) {
    setPages(1, 0);
    EXPECT_EQ(dirtyCount(), 0) << "page 0 is already shown";
    EXPECT_EQ(workPageIndex(), 1);
    setPages(0, 1);
    EXPECT_EQ(dirtyCount(), 240);
    EXPECT_EQ(workPageIndex(), 0);
    EXPECT_EQ(visiblePageIndex(), 1);
}

TEST_F(Pages, OutOfRangeAndNegativeArguments) {
    setPages(1, 1);
    setPages(5, -3);
    EXPECT_EQ(workPageIndex(), 1);
    EXPECT_EQ(visiblePageIndex(), 1);
    setPages(-1, -1);
    EXPECT_EQ(workPageIndex(), 0) << "both negative mean page 0";
    EXPECT_EQ(visiblePageIndex(), 0);
    setPages(2, 2);
    EXPECT_EQ(workPageIndex(), 0);
    EXPECT_EQ(visiblePageIndex(), 0);
}

TEST_F(Pages, DrawingOnTheVisiblePageMarksItsRows) {
    auto image = solidImage(5, 3, 0x00FFFFFF);
    putImage(0, 100, image.data(), transparent, -1);  // work page 0 is also shown
    const uint8_t* dirty = dirtyFlags();
    EXPECT_EQ(dirtyCount(), 3);
    EXPECT_TRUE(dirty[100] && dirty[101] && dirty[102]);

    setPages(0, 1);
    std::fill(const_cast<uint8_t*>(dirty), const_cast<uint8_t*>(dirty) + 240, 0);
    putImage(0, 0, image.data(), transparent, -1);
    clearScreen();
    EXPECT_EQ(dirtyCount(), 0) << "the hidden page changes no dirty flag";
    setPages(1, 1);
    clearScreen();
    EXPECT_EQ(dirtyCount(), 240);
}

TEST_F(Pages, ClearScreenBlackensOnlyTheWorkPage) {
    auto image = solidImage(320, 240, 0x00203040);
    setPages(1, 0);
    putImage(0, 0, image.data(), opaque, -1);
    setPages(0, 1);
    putImage(0, 0, image.data(), opaque, -1);
    clearScreen();
    EXPECT_EQ(countNonZero(0), 0);
    EXPECT_EQ(countNonZero(1), 320 * 240);
}

TEST(OpenScreen, RefusesBadArgumentsAndReopensCleanly) {
    selectDisplay(headlessBackend);
    EXPECT_EQ(openScreen(0, 240, 24, 2, 1, 0), resultInvalid);
    EXPECT_EQ(openScreen(320, -1, 24, 2, 1, 0), resultInvalid);
    EXPECT_EQ(openScreen(320, 240, 12, 2, 1, 0), resultInvalid);
    EXPECT_STRNE(screenError(), "") << "a refusal says why";
    EXPECT_EQ(openScreen(1 << 20, 1 << 20, 32, 2, 1, 0), resultInvalid) << "refused, not a failed allocation";
    EXPECT_EQ(pagePixels(0), nullptr);

    ASSERT_EQ(openScreen(320, 240, 32, 0, 0, 0), resultOk);
    EXPECT_NE(pagePixels(0), nullptr);
    EXPECT_EQ(pagePixels(1), nullptr) << "a page count of 0 gives one page";
    ASSERT_EQ(openScreen(320, 240, 24, 2, 1, 0), resultOk) << "an open screen is closed first";
    EXPECT_NE(pagePixels(1), nullptr);
    closeScreen();
    closeScreen();
    EXPECT_EQ(pagePixels(0), nullptr);
}

// An operation inside a held lock neither waits for itself nor lets go early: another
// thread stays shut out until the holder unlocks.
TEST_F(Pages, HeldLockIsReenteredAndKeptByOperations) {
    auto image = solidImage(4, 4, 0x00FFFFFF);
    lockScreen();
    lockScreen();
    EXPECT_EQ(putImage(0, 0, image.data(), opaque, -1), resultOk);
    clearScreen();
    setPages(1, 1);
    std::atomic<bool> otherGotIn{false};
    std::thread other([&] {
        keyDown(scanEscape);  // takes the lock
        otherGotIn = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bool stillShutOut = !otherGotIn;
    unlockScreen();
    other.join();
    EXPECT_TRUE(stillShutOut);
    EXPECT_TRUE(otherGotIn);
}
