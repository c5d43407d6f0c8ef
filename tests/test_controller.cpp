// The one mapping from game controllers to the pointer, buttons and keys (gfx/controller.h),
// frame by frame, and the same mapping as getMouse and keyDown apply it on the headless display.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "gfx/controller.h"
#include "gfx/display_headless.h"
#include "gfx/input.h"
#include "gfx/keys.h"
#include "test_fixtures.h"

namespace {

constexpr int pageWidth = 320, pageHeight = 240;

// The mapping on its own: a mouse resting at one spot unless a test moves it.
struct Pads {
    ControllerMemory memory;
    ControllerReading reading;
    MouseSpot mouse{true, 50, 50};

    ControllerFrame frame() { return stepController(memory, reading, mouse, pageWidth, pageHeight); }
    ControllerFrame frames(int count) {
        ControllerFrame last;
        for (int i = 0; i < count; ++i) last = frame();
        return last;
    }
    void stick(float x, float y) {
        reading.leftX = x;
        reading.leftY = y;
    }
};

}  // namespace

TEST(ControllerMapping, DeadZoneFineAimAndFullTilt) {
    Pads pads;
    pads.frame();
    pads.stick(0.19f, 0);
    EXPECT_FALSE(pads.frames(100).aims) << "inside the dead zone the stick does nothing";
    pads.stick(0.14f, -0.14f);
    EXPECT_FALSE(pads.frames(100).aims) << "the dead zone is round: a diagonal of 0.198 is inside too";

    // A small tilt creeps a pixel at a time: 320/35 * (0.1/0.75)^2 = 0.1625 px a frame.
    pads.stick(0.3f, 0);
    int x = 50;
    for (int i = 0; i < 70; ++i) {
        ControllerFrame f = pads.frame();
        ASSERT_TRUE(f.aims);
        EXPECT_LE(f.x - x, 1) << "frame " << i;
        EXPECT_GE(f.x, x);
        x = f.x;
        EXPECT_EQ(f.y, 50);
    }
    EXPECT_EQ(x, 50 + 11) << "70 frames at 0.1625 px: the fraction carries from frame to frame";

    // Full tilt crosses the page's width in 35 frames, half a second, from 0.95 of the way.
    for (float full : {1.0f, 0.95f}) {
        pads.stick(-1, 0);
        pads.frames(40);
        ASSERT_EQ(pads.frame().x, 0);
        pads.stick(full, 0);
        EXPECT_LT(pads.frames(34).x, 319) << full;
        EXPECT_EQ(pads.frame().x, 319) << full;
    }
    // A diagonal at full tilt is no faster than a straight push: 9.14 px a frame along it.
    pads.stick(-1, 0);
    pads.frames(40);
    pads.reading.leftY = -1;
    pads.frames(40);
    pads.stick(1, 1);
    ControllerFrame f = pads.frames(10);
    EXPECT_NEAR(std::hypot(f.x, f.y), 320.0 / 35 * 10, 1.0);
}

TEST(ControllerMapping, EdgesHoldTheCrosshairAndEitherStickAims) {
    Pads pads;
    pads.frame();
    pads.stick(0, 1);
    ControllerFrame f = pads.frames(60);
    EXPECT_EQ(f.y, 239) << "held at the page's bottom edge";
    pads.stick(0, -0.5f);
    EXPECT_LT(pads.frame().y, 239) << "pushing back moves it at once: nothing piled up beyond the edge";

    pads.stick(0, 0);
    pads.frames(2);
    pads.reading.rightX = -1;
    f = pads.frames(2);
    EXPECT_LT(f.x, 50 - 16) << "the right stick aims as well";
    pads.stick(0.5f, 0);
    EXPECT_LT(pads.frame().x, f.x) << "with both pushed, the one pushed further";
}

// Last mover has the crosshair; the system pointer is left where the stick put it.
TEST(ControllerMapping, MouseTakesOverWhenItMoves) {
    Pads pads;
    EXPECT_FALSE(pads.frame().aims);
    pads.stick(1, 0);
    ControllerFrame f = pads.frames(3);
    EXPECT_TRUE(f.aims);
    EXPECT_EQ(f.x, 50 + 27) << "starts from the mouse's crosshair: 3 frames of 9.14 px";
    EXPECT_FALSE(f.placePointer);
    pads.stick(0, 0);
    f = pads.frame();
    EXPECT_TRUE(f.aims) << "the crosshair stays where the stick left it";
    EXPECT_TRUE(f.placePointer) << "and the system pointer is put there, once";
    EXPECT_FALSE(pads.frame().placePointer);

    pads.mouse = MouseSpot{true, f.x, f.y};  // the pointer arrives where it was put
    EXPECT_TRUE(pads.frame().aims) << "the mapping's own pointer move is not the player's";
    pads.mouse = MouseSpot{true, 200, 100};
    pads.stick(1, 0);
    f = pads.frame();
    EXPECT_FALSE(f.aims) << "the mouse moved: it has the crosshair, even with the stick pushed";
    f = pads.frame();
    EXPECT_TRUE(f.aims) << "the mouse at rest again: the stick takes over from the mouse";
    EXPECT_EQ(f.x, 209);
    pads.mouse = MouseSpot{};
    EXPECT_FALSE(pads.frame().aims) << "a mouse leaving the window is moving too";
}

TEST(ControllerMapping, TriggersAndButtonsPressTheMouseButtons) {
    Pads pads;
    pads.reading.rightTrigger = 0.29f;
    EXPECT_EQ(pads.frame().buttons, 0);
    pads.reading.rightTrigger = 0.3f;
    EXPECT_EQ(pads.frame().buttons, leftButton);
    pads.reading.rightTrigger = 0.2f;
    EXPECT_EQ(pads.frame().buttons, leftButton) << "a pulled trigger holds until below 0.2";
    pads.reading.rightTrigger = 0.19f;
    EXPECT_EQ(pads.frame().buttons, 0);
    pads.reading.rightTrigger = 0.25f;
    EXPECT_EQ(pads.frame().buttons, 0) << "and does not fire again until past 0.3";
    pads.reading.rightTrigger = 0;

    pads.reading.leftTrigger = 1;
    EXPECT_EQ(pads.frame().buttons, rightButton);
    pads.reading.leftTrigger = 0;
    for (uint32_t bomb : {padWest, padEast}) {
        pads.reading.buttons = bomb;
        EXPECT_EQ(pads.frame().buttons, rightButton);
    }
    pads.reading.buttons = padSouth | padWest;
    EXPECT_EQ(pads.frame().buttons, leftButton | rightButton) << "both: the game then does neither";
    pads.reading.buttons = padNorth | padStart | padGuide | padLeftStick | padUp | padDown;
    EXPECT_EQ(pads.frame().buttons, 0);

    pads.reading.buttons = 0;
    pads.reading.buttonsPressedUnread = padSouth;  // a tap let go before the frame
    EXPECT_EQ(pads.frame().buttons, leftButton);

    for (auto [held, left, right] : {std::tuple{padLeft, true, false},
                                     {padLeftShoulder, true, false},
                                     {padRight, false, true},
                                     {padRightShoulder, false, true}}) {
        pads.reading.buttonsPressedUnread = 0;
        pads.reading.buttons = held;
        ControllerFrame f = pads.frame();
        EXPECT_EQ(f.scrollLeft, left);
        EXPECT_EQ(f.scrollRight, right);
    }
}

TEST(ControllerMapping, EndingTheGameTakesASecondOfBackOrBackWithStart) {
    Pads pads;
    pads.reading.buttons = padBack;
    EXPECT_FALSE(pads.frames(69).quit);
    pads.reading.buttons = 0;
    EXPECT_FALSE(pads.frame().quit);
    pads.reading.buttons = padBack;
    EXPECT_FALSE(pads.frames(69).quit) << "letting go starts the second again";
    EXPECT_TRUE(pads.frame().quit) << "70 frames held: one second";
    EXPECT_TRUE(pads.frame().quit);

    Pads chord;
    chord.reading.buttons = padStart;
    EXPECT_FALSE(chord.frames(100).quit) << "Start alone never ends it";
    chord.reading.buttonsPressedUnread = padBack;
    EXPECT_FALSE(chord.frame().quit) << "nor a tap of Back";
    chord.reading.backAndStartOnOnePad = true;
    EXPECT_TRUE(chord.frame().quit);
}

// Pads folded as the platforms fold them, each with its own memory, then mapped.
struct FoldedPads {
    Pads pads;
    PadMemory first, second;
    ControllerFrame frames(int count, uint32_t firstHeld, uint32_t secondHeld = 0) {
        ControllerFrame last;
        for (int i = 0; i < count; ++i) {
            ControllerReading a, b;
            a.buttons = firstHeld;
            b.buttons = secondHeld;
            pads.reading = ControllerReading{};
            addPadReading(pads.reading, a, first);
            addPadReading(pads.reading, b, second);
            last = pads.frame();
        }
        return last;
    }
};

TEST(ControllerMapping, BackHeldSinceThePadOpenedNeverEndsTheGame) {
    FoldedPads stuck;
    EXPECT_FALSE(stuck.frames(500, padBack).quit) << "a Back that reads as held from the start";
    EXPECT_FALSE(stuck.frames(1, padBack | padStart).quit) << "is no half of the chord either";
    EXPECT_FALSE(stuck.frames(1, 0).quit);
    EXPECT_FALSE(stuck.frames(69, padBack).quit) << "once let go, a press counts from the press";
    EXPECT_TRUE(stuck.frames(1, padBack).quit);
}

TEST(ControllerMapping, BackAndStartEndTheGameOnlyOnOnePad) {
    FoldedPads two;
    two.frames(1, 0, 0);
    EXPECT_FALSE(two.frames(1, padBack, padStart).quit) << "Back on one pad and Start on another";
    EXPECT_FALSE(two.frames(1, padStart, padBack).quit);
    EXPECT_TRUE(two.frames(1, 0, padBack | padStart).quit);
}

TEST(ControllerMapping, PadsFoldIntoOneReading) {
    ControllerReading all, first, second;
    first.leftX = 0.5f;
    first.rightTrigger = 0.4f;
    first.buttons = padSouth;
    second.leftX = -0.2f;
    second.leftY = -0.7f;
    second.rightTrigger = 0.1f;
    second.buttons = padNorth;
    second.buttonsPressedUnread = padEast;
    PadMemory firstMemory, secondMemory;
    addPadReading(all, first, firstMemory);
    addPadReading(all, second, secondMemory);
    EXPECT_EQ(all.leftX, -0.2f) << "the stick pushed furthest, whole";
    EXPECT_EQ(all.leftY, -0.7f);
    EXPECT_EQ(all.rightTrigger, 0.4f);
    EXPECT_EQ(all.buttons, padSouth | padNorth);
    EXPECT_EQ(all.buttonsPressedUnread, padEast);
}

// The same mapping where the game reads it: getMouse once a frame, keyDown after it.
using ControllerInput = HeadlessScreen;

TEST_F(ControllerInput, PadsSetThePointerButtonsAndKeysTheGameReads) {
    headlessSetActive(true);
    headlessSetPointer(100, 100);
    int x = 0, y = 0, wheel = 0, buttons = 0;
    getMouse(x, y, wheel, buttons);  // a frame with the mouse at rest
    ControllerReading pads;
    pads.leftX = 1;
    pads.rightTrigger = 1;
    pads.buttons = padLeft;
    headlessSetController(pads);
    ASSERT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(x, 109);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(buttons, leftButton);
    EXPECT_EQ(keyDown(scanLeft), -1) << "the d-pad holds the arrow's entry";
    EXPECT_EQ(keyDown(scanLeft), -1) << "for as long as it is held";

    headlessSetPointer(-1, -1);  // the mouse leaves the window: it moved, and has the pointer
    EXPECT_NE(getMouse(x, y, wheel, buttons), 0);
    ASSERT_EQ(getMouse(x, y, wheel, buttons), 0) << "the stick, still pushed, takes the crosshair back";
    EXPECT_EQ(x, 118) << "from where it last was, a frame further";

    pads = ControllerReading{};
    headlessSetController(pads);
    ASSERT_EQ(getMouse(x, y, wheel, buttons), 0);
    EXPECT_EQ(buttons, 0);
    EXPECT_EQ(keyDown(scanLeft), 0);
    int placedX = 0, placedY = 0;
    headlessPointer(placedX, placedY);
    EXPECT_EQ(placedX, x) << "the stick at rest left the system pointer at the crosshair";
    EXPECT_EQ(placedY, y);

    pads.buttons = padBack;
    headlessSetController(pads);
    for (int frame = 0; frame < quitHoldFrames - 1; ++frame) getMouse(x, y, wheel, buttons);
    EXPECT_EQ(keyDown(scanEscape), 0);
    getMouse(x, y, wheel, buttons);
    EXPECT_EQ(keyDown(scanEscape), -1) << "Back held for a second is Escape";

    headlessSetActive(false);
    EXPECT_EQ(keyDown(scanEscape), 0) << "an inactive display forgets the pads' keys too";
    EXPECT_NE(getMouse(x, y, wheel, buttons), 0);
    headlessSetActive(true);
    getMouse(x, y, wheel, buttons);
    EXPECT_EQ(keyDown(scanEscape), 0) << "and Back's second starts again";
}
