// Every vector drawing form against the scalar rules, the browser's RGBA conversion
// included: identical pixels for every input, key colour with and without a top byte, any
// top byte, every row length around the vector widths and their overlapping last vector,
// every alignment, several rows at once, and every way an image can be clipped. A form
// this processor lacks is skipped.
#include <atomic>
#include <chrono>
#include <ostream>
#include <random>
#include <thread>

#include "drawing_cases.h"
#include "gfx/pixel_spans.h"
#include "test_fixtures.h"

// Failure messages name the form.
void PrintTo(DrawingForm form, std::ostream* out) { *out << drawingFormName(form); }

class VectorForm : public HeadlessScreen, public ::testing::WithParamInterface<DrawingForm> {
protected:
    void SetUp() override {
        HeadlessScreen::SetUp();
        if (!drawingFormAvailable(GetParam()))
            GTEST_SKIP() << drawingFormName(GetParam()) << " is not built here or this processor lacks it";
    }
};

INSTANTIATE_TEST_SUITE_P(EveryForm, VectorForm, ::testing::Values(DrawingForm::sse2, DrawingForm::avx2),
                         [](const auto& info) { return std::string(drawingFormName(info.param)); });

TEST_P(VectorForm, RectanglesAgreeForEveryLengthAlignmentAndWeight) {
    int cases = 0;
    EXPECT_EQ(firstRuleDifference(GetParam(), cases), "") << "differ in";
}

TEST_P(VectorForm, PagesAndTheirCanvasAgreeAfterRandomDrawing) {
    int cases = 0;
    EXPECT_EQ(firstPageDifference(GetParam(), cases), "") << "differ in";
}

TEST_P(VectorForm, ClearingFillsEveryPixel) {
    std::mt19937 random(3);
    auto start = randomImage(random, 320, 240);
    ASSERT_TRUE(useDrawingForm(GetParam()));
    putImage(0, 0, start.data(), opaque, -1);
    clearScreen();
    EXPECT_EQ(countNonZero(workPageIndex()), 0);
}

TEST(DrawingForms, ChoiceFollowsWhatIsAvailable) {
    EXPECT_TRUE(drawingFormAvailable(DrawingForm::scalar));
    EXPECT_TRUE(drawingFormAvailable(bestDrawingForm()));
    for (DrawingForm form : {DrawingForm::scalar, DrawingForm::sse2, DrawingForm::avx2})
        EXPECT_EQ(useDrawingForm(form), drawingFormAvailable(form)) << drawingFormName(form);
    useDrawingForm(bestDrawingForm());
}

// Drawing on the shown page still waits for whoever holds the screen lock (there, the
// refresh thread reads the same page); only a page not shown is drawn on without it.
TEST_F(HeadlessScreen, DrawingOnTheShownPageWaitsForTheLock) {
    auto image = solidImage(8, 8, 0x00123456);
    setPages(1, 1);
    std::atomic<bool> locked{false}, release{false};
    std::thread holder([&] {
        lockScreen();
        locked = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        unlockScreen();
    });
    while (!locked) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::atomic<bool> drawn{false};
    std::thread drawer([&] {
        putImage(10, 10, image.data(), transparent, -1);
        drawn = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bool waited = !drawn;
    release = true;
    holder.join();
    drawer.join();
    EXPECT_TRUE(waited);
    EXPECT_EQ(workPixel(10, 10), 0x00123456u);
}
