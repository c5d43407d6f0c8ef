// Every vector drawing form against the scalar rules, the browser's RGBA conversion
// included: identical pixels for every input, key colour with and without a top byte, any
// top byte, every row length around the vector widths and their overlapping last vector,
// every alignment, several rows at once, and every way an image can be clipped. A form
// this processor lacks is skipped.
#include <array>
#include <atomic>
#include <chrono>
#include <ostream>
#include <random>
#include <thread>

#include "gfx/pixel_spans.h"
#include "test_fixtures.h"

namespace {

// Mostly ordinary colours, often the key colour (with and without a top byte), and top
// bytes the game never makes, so every form is held to the rules on every bit.
uint32_t randomPixel(std::mt19937& random) {
    switch (random() % 6) {
        case 0: return keyColour;
        case 1: return keyColour | (random() & 0xFF000000u);
        case 2: return random() & colourBits;
        default: return uint32_t(random());
    }
}

std::vector<uint32_t> randomImage(std::mt19937& random, int width, int height) {
    std::vector<uint32_t> image(1 + size_t(width) * size_t(height));
    image[0] = imageHeader(width, height);
    for (size_t i = 1; i < image.size(); ++i) image[i] = randomPixel(random);
    return image;
}

struct Draw {
    std::vector<uint32_t> image;
    float x, y;
    int mode, opacity;
};

std::vector<Draw> randomDraws(std::mt19937& random, int count) {
    const int opacities[] = {0, 1, 2, 100, 127, 160, 254, 255, 256, 300, 511};
    std::vector<Draw> draws;
    for (int i = 0; i < count; ++i) {
        int width = 1 + int(random() % 45), height = 1 + int(random() % 30);
        float x = float(int(random() % 420) - 60) + float(random() % 4) * 0.25f;
        float y = float(int(random() % 320) - 50) + float(random() % 4) * 0.25f;
        int mode = std::array{transparent, opaque, blend}[random() % 3];
        int opacity = mode == blend ? opacities[random() % std::size(opacities)] : -1;
        draws.push_back({randomImage(random, width, height), x, y, mode, opacity});
    }
    return draws;
}

// A page of three rows, 48 words apart, and an image of three rows, 41 words apart: room
// for every length tried at every offset, with guard words that must never change.
constexpr int pageStride = 48, imageStride = 41, blockRows = 3;

// Draws one rectangle of every rule, the rows `count` long starting `offset` words in.
std::vector<uint32_t> drawEveryRule(DrawingForm form, unsigned seed, int offset, int count, int weight) {
    std::mt19937 random(seed);
    std::vector<uint32_t> image(imageStride * blockRows), page(pageStride * blockRows * 4);
    for (auto& p : image) p = randomPixel(random);
    for (auto& p : page) p = uint32_t(random());
    EXPECT_TRUE(useDrawingForm(form));
    uint32_t* blendArea = page.data() + offset;
    uint32_t* transparentArea = blendArea + pageStride * blockRows;
    uint32_t* copyArea = transparentArea + pageStride * blockRows;
    blendBlock({blendArea, image.data() + 1, pageStride, imageStride, count, blockRows}, weight);
    transparentBlock({transparentArea, image.data(), pageStride, imageStride, count, blockRows});
    copyBlock({copyArea, image.data() + 2, pageStride, imageStride, count, 1});
    fillSpan(copyArea + pageStride, count, 0x00ABCDEF);
    blendSpan(copyArea + 2 * pageStride, image.data() + 5, count, weight);
    rgbaSpan(copyArea + pageStride * blockRows, image.data() + 3, count);
    useDrawingForm(bestDrawingForm());
    return page;
}

}  // namespace

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
    unsigned seed = 1;
    for (int weight : {1, 2, 101, 128, 161, 255}) {
        for (int offset = 0; offset < 8; ++offset) {
            for (int count = 0; count <= 40; ++count, ++seed) {
                auto reference = drawEveryRule(DrawingForm::scalar, seed, offset, count, weight);
                auto vector = drawEveryRule(GetParam(), seed, offset, count, weight);
                ASSERT_EQ(reference, vector) << "weight " << weight << " offset " << offset << " count " << count;
            }
        }
    }
}

TEST_P(VectorForm, PagesAgreeAfterRandomDrawing) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto start = randomImage(random, 320, 240);
        auto draws = randomDraws(random, 300);
        std::vector<uint32_t> pages[2];
        for (DrawingForm form : {DrawingForm::scalar, GetParam()}) {
            ASSERT_TRUE(useDrawingForm(form));
            clearScreen();
            putImage(0, 0, start.data(), opaque, -1);
            for (const Draw& d : draws) putImage(d.x, d.y, d.image.data(), d.mode, d.opacity);
            std::vector<uint32_t> cut(1 + 200 * 100);
            grabImage(10, 20, 209, 119, cut.data(), cut.data() + cut.size());
            putImage(100, 130, cut.data(), opaque, -1);
            const uint32_t* page = pagePixels(workPageIndex());
            pages[form != DrawingForm::scalar].assign(page, page + 320 * 240);
        }
        ASSERT_EQ(pages[0], pages[1]) << "seed " << seed;
    }
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
