// Keys and the mouse as the game reads them, driven through the headless display.
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "gfx/screen_state.h"
#include "test_fixtures.h"

using Input = HeadlessScreen;

TEST_F(Input, KeyTableRangeAndState) {
    EXPECT_EQ(keyDown(scanLeft), 0);
    headlessSetKey(scanLeft, true);
    EXPECT_EQ(keyDown(scanLeft), -1);
    EXPECT_EQ(keyDown(scanRight), 0);
    headlessSetKey(scanLeft, false);
    EXPECT_EQ(keyDown(scanLeft), 0);
    headlessSetKey(127, true);
    EXPECT_EQ(keyDown(127), -1);
    headlessSetKey(128, true);
    headlessSetKey(-1, true);
    EXPECT_EQ(keyDown(128), 0);
    EXPECT_EQ(keyDown(-1), 0);
    EXPECT_EQ(keyDown(1 << 30), 0);
}

TEST_F(Input, MouseReportsPositionWheelAndButtons) {
    headlessSetPointer(100, 200);
    headlessSetButtons(rightButton);
    int x = 0, y = 0, wheel = 9, buttons = 0;
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(wheel, 0);
    EXPECT_EQ(buttons, rightButton);
    headlessSetPointer(319, 239);
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(x, 319);
}

TEST_F(Input, MouseFailsOutsideAndWhileInactive) {
    int x = 0, y = 0, wheel = 0, buttons = 0;
    for (auto [px, py] : {std::pair{320, 10}, {10, 240}, {-1, 10}, {10, -1}}) {
        headlessSetPointer(px, py);
        EXPECT_NE(getMouse(x, y, wheel, buttons), 0);
        EXPECT_EQ(x, -1);
        EXPECT_EQ(y, -1);
        EXPECT_EQ(wheel, -1);
        EXPECT_EQ(buttons, -1);
    }
    headlessSetPointer(10, 10);
    headlessSetButtons(leftButton);
    headlessSetKey(scanEscape, true);
    headlessSetActive(false);
    EXPECT_NE(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, -1);
    EXPECT_EQ(keyDown(scanEscape), 0) << "an inactive display reads every key as up";
    headlessSetKey(scanEscape, true);
    EXPECT_EQ(keyDown(scanEscape), 0) << "and hears no key meanwhile";
    headlessSetActive(true);
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, 0) << "buttons held through deactivation read as up";
    closeScreen();
    EXPECT_NE(getMouse(x, y, wheel, buttons), 0) << "no screen, no pointer";
}

TEST_F(Input, SetMouseClampsMovesAndHides) {
    int px = 0, py = 0;
    EXPECT_TRUE(headlessPointerVisible());
    setMouse(50, 50, 0);
    headlessPointer(px, py);
    EXPECT_EQ(px, 50);
    EXPECT_EQ(py, 50);
    EXPECT_FALSE(headlessPointerVisible());
    int x = 0, y = 0, wheel = 0, buttons = 0;
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(x, 50) << "the moved pointer is what getMouse sees";

    setMouse(1000, -20, -1);
    headlessPointer(px, py);
    EXPECT_EQ(px, 319);
    EXPECT_EQ(py, 0);
    EXPECT_FALSE(headlessPointerVisible()) << "a negative cursor leaves it hidden";
    setMouse(-1, 100, 1);
    headlessPointer(px, py);
    EXPECT_EQ(px, 319) << "a negative x leaves the pointer where it is";
    EXPECT_EQ(py, 0);
    EXPECT_TRUE(headlessPointerVisible());
    setMouse(10, 500, 5);
    headlessPointer(px, py);
    EXPECT_EQ(py, 239);
}

// A press noted by the display but not yet read counts once, even after the release;
// (de)activation forgets it like everything else held.
TEST_F(Input, UnreadPressesAreSeenOnceAndForgottenOnFocusChange) {
    headlessSetPointer(10, 10);
    {
        ScreenLockScope lock;
        input.keysPressedUnread[scanRight] = 1;
        input.buttonsPressedUnread = leftButton;
    }
    int x = 0, y = 0, wheel = 0, buttons = 0;
    EXPECT_EQ(keyDown(scanRight), -1);
    EXPECT_EQ(keyDown(scanRight), 0);
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, leftButton);
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, 0);
    {
        ScreenLockScope lock;
        input.keysPressedUnread[scanEscape] = 1;
        input.buttonsPressedUnread = rightButton;
    }
    headlessSetActive(false);
    headlessSetActive(true);
    EXPECT_EQ(keyDown(scanEscape), 0);
    EXPECT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, 0);
}
