// putImage and grabImage on the numbers the game relies on: rounding, clipping, the three
// drawing modes, image headers and the refusals that keep the page intact.
#include <cmath>
#include <limits>

#include "gfx/pixel_spans.h"
#include "gfx/screen_state.h"
#include "test_fixtures.h"

using Images = HeadlessScreen;

TEST(Rounding, HalvesGoAwayFromZero) {
    const struct {
        float value;
        int pixel;
    } cases[] = {{2.5f, 3}, {-2.5f, -3}, {0.5f, 1}, {-0.5f, -1}, {-0.4f, 0}, {10.49f, 10}, {319.5f, 320}, {0.0f, 0}};
    for (const auto& c : cases) {
        int pixel = 12345;
        ASSERT_TRUE(roundToPixel(c.value, pixel));
        EXPECT_EQ(pixel, c.pixel) << c.value;
    }
    int pixel = 0;
    EXPECT_FALSE(roundToPixel(std::numeric_limits<float>::quiet_NaN(), pixel));
    ASSERT_TRUE(roundToPixel(std::numeric_limits<float>::infinity(), pixel));
    EXPECT_GT(pixel, 100000000);
    ASSERT_TRUE(roundToPixel(-3e38f, pixel));
    EXPECT_LT(pixel, -100000000);
}

TEST_F(Images, ClippingAtEveryEdge) {
    auto image = numberedImage(17, 17);
    setPages(0, 1);
    ASSERT_EQ(putImage(-5, 10, image.data(), opaque, -1), resultOk);
    EXPECT_EQ(workPixel(0, 10), 5u + 1) << "x = -5 starts at image column 5";
    EXPECT_EQ(workPixel(11, 10), 16u + 1);
    EXPECT_EQ(workPixel(12, 10), 0u);
    EXPECT_EQ(workPixel(0, 26), 5u + 16000 + 1);

    clearScreen();
    ASSERT_EQ(putImage(100, 238, image.data(), opaque, -1), resultOk);
    EXPECT_EQ(workPixel(100, 238), 1u);
    EXPECT_EQ(workPixel(100, 239), 1001u);
    EXPECT_EQ(countNonZero(0), 2 * 17) << "y = 238 draws only the first two rows";

    clearScreen();
    ASSERT_EQ(putImage(310, -16, image.data(), opaque, -1), resultOk);
    EXPECT_EQ(countNonZero(0), 10) << "one row, ten columns remain";
    EXPECT_EQ(workPixel(319, 0), 9u + 16000 + 1);
}

TEST_F(Images, BackgroundAtFractionalOffsets) {
    auto background = solidImage(320, 240, 0x123456);
    setPages(0, 1);
    ASSERT_EQ(putImage(-319.6f, 0, background.data(), opaque, -1), resultOk);
    EXPECT_EQ(countNonZero(0), 0) << "-319.6 rounds to -320: nothing left";
    ASSERT_EQ(putImage(-0.4f, 0, background.data(), opaque, -1), resultOk);
    EXPECT_EQ(countNonZero(0), 320 * 240) << "-0.4 rounds to 0: the whole width";
    clearScreen();
    ASSERT_EQ(putImage(-319.5f, 0, background.data(), opaque, -1), resultOk);
    EXPECT_EQ(countNonZero(0), 0) << "-319.5 is a half: away from zero, to -320";
}

TEST_F(Images, AbsurdCoordinatesDrawNothingAndNeverTouchMemory) {
    auto image = solidImage(8, 8, 0xFFFFFF);
    const float far[] = {1e30f,
                         -1e30f,
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         2147483648.0f,
                         -2147483648.0f,
                         1e9f};
    for (float v : far) {
        EXPECT_EQ(putImage(v, 10, image.data(), opaque, -1), resultOk) << v;
        EXPECT_EQ(putImage(10, v, image.data(), transparent, -1), resultOk) << v;
    }
    float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(putImage(nan, 0, image.data(), opaque, -1), resultInvalid);
    EXPECT_EQ(countNonZero(0) + countNonZero(1), 0);
    std::vector<uint32_t> out(100, 7);
    EXPECT_EQ(grabImage(nan, 0, 5, 5, out.data(), out.data() + out.size()), resultInvalid);
    EXPECT_EQ(grabImage(0, 0, 1e30f, 5, out.data(), out.data() + out.size()), resultInvalid);
    EXPECT_EQ(grabImage(-1e30f, 0, 5, 5, out.data(), out.data() + out.size()), resultInvalid);
    EXPECT_EQ(out[0], 7u) << "a refused grab writes nothing";
}

TEST_F(Images, KeyColourAndTopBytePerMode) {
    uint32_t pixels[] = {0x00FF00FF, 0xFFFF00FF, 0x7F123456};
    auto image = solidImage(3, 1, 0);
    std::copy(std::begin(pixels), std::end(pixels), image.begin() + 1);
    setPages(0, 1);
    auto background = solidImage(3, 1, 0x00ABCDEF);
    putImage(0, 0, background.data(), opaque, -1);
    putImage(0, 0, image.data(), transparent, -1);
    EXPECT_EQ(workPixel(0, 0), 0x00ABCDEFu) << "magenta is skipped";
    EXPECT_EQ(workPixel(1, 0), 0x00ABCDEFu) << "magenta with a top byte is skipped too";
    EXPECT_EQ(workPixel(2, 0), 0x00123456u) << "the top byte is cleared";
    putImage(0, 0, image.data(), opaque, -1);
    EXPECT_EQ(workPixel(0, 0), 0x00FF00FFu);
    EXPECT_EQ(workPixel(1, 0), 0xFFFF00FFu);
    EXPECT_EQ(workPixel(2, 0), 0x7F123456u) << "opaque copies all 32 bits";
    putImage(0, 0, background.data(), opaque, -1);
    putImage(0, 0, image.data(), blend, 100);
    EXPECT_EQ(workPixel(0, 0), 0x00ABCDEFu);
    EXPECT_EQ(workPixel(1, 0), 0x00ABCDEFu);
    EXPECT_EQ(workPixel(2, 0) >> 24, 0u) << "blend clears the top byte";
    putImage(0, 0, image.data(), 9, -1);
    EXPECT_EQ(workPixel(1, 0), 0xFFFF00FFu) << "modes above 7 draw as opaque";
}

TEST_F(Images, BlendArithmetic) {
    setPages(0, 1);
    auto red = solidImage(1, 1, 0x00FF0000);
    putImage(0, 0, red.data(), blend, 160);
    EXPECT_EQ(workPixel(0, 0), 0x00A00000u) << "red 255 over black at 160";

    auto blue = solidImage(1, 1, 0x000000FF);
    auto black = solidImage(1, 1, 0);
    putImage(1, 0, blue.data(), opaque, -1);
    putImage(1, 0, black.data(), blend, 160);
    EXPECT_EQ(workPixel(1, 0), 94u) << "black over blue: 255 + floor(-255 * 161 / 256)";

    auto white = solidImage(1, 1, 0x00FFFFFF);
    putImage(2, 0, white.data(), blend, 100);
    EXPECT_EQ(workPixel(2, 0), 0x00646464u) << "white over black at 100";

    auto grey = solidImage(1, 1, 0x00808080);
    putImage(3, 0, grey.data(), opaque, -1);
    putImage(3, 0, white.data(), blend, 0);
    EXPECT_EQ(workPixel(3, 0), 0x00808080u) << "opacity 0 leaves the page";
    putImage(3, 0, white.data(), blend, 255);
    EXPECT_EQ(workPixel(3, 0), 0x00FFFFFFu) << "opacity 255 is transparent";
    EXPECT_EQ(putImage(3, 0, white.data(), blend, -1), resultInvalid);
}

// The red-blue pair trick against the per-byte formula, over every source and page byte.
TEST(BlendPixel, PairTrickEqualsPerByteFloor) {
    for (int weight : {1, 2, 101, 128, 161, 255}) {
        for (int s = 0; s < 256; ++s) {
            for (int d = 0; d < 256; ++d) {
                int expected = d + int(std::floor(double(s - d) * weight / 256.0));
                uint32_t page = uint32_t(d) << 16 | uint32_t(255 - d) << 8 | uint32_t(d ^ 0x5A);
                uint32_t image = uint32_t(s) << 16 | uint32_t(s) << 8 | uint32_t(s);
                uint32_t out = blendPixel(page, image, uint32_t(weight));
                ASSERT_EQ(int(out >> 16), expected) << "red s=" << s << " d=" << d << " w=" << weight;
                int greenD = 255 - d, blueD = d ^ 0x5A;
                ASSERT_EQ(int(out >> 8 & 0xFF), greenD + int(std::floor(double(s - greenD) * weight / 256.0)));
                ASSERT_EQ(int(out & 0xFF), blueD + int(std::floor(double(s - blueD) * weight / 256.0)));
            }
        }
    }
}

TEST_F(Images, GrabHeadersCornersAndRefusals) {
    std::vector<uint32_t> bank(1 + 320 * 240 + 10, 0xDEAD);
    const uint32_t* end = bank.data() + bank.size();
    ASSERT_EQ(grabImage(0, 0, 319, 239, bank.data(), end), resultOk);
    EXPECT_EQ(bank[0] & 0xFFFF, 2564u);
    EXPECT_EQ(bank[0] >> 16, 240u);
    ASSERT_EQ(grabImage(0, 0, 16, 17, bank.data(), end), resultOk);
    EXPECT_EQ(bank[0] & 0xFFFF, 140u);
    EXPECT_EQ(bank[0] >> 16, 18u);

    std::fill(bank.begin(), bank.end(), 0xDEAD);
    EXPECT_EQ(grabImage(0, 0, 320, 239, bank.data(), end), resultInvalid);
    EXPECT_EQ(grabImage(-1, 0, 10, 10, bank.data(), end), resultInvalid);
    EXPECT_EQ(grabImage(0, 0, 10, 240, bank.data(), end), resultInvalid);
    EXPECT_EQ(grabImage(0, 0, 9, 9, bank.data(), bank.data() + 100), resultInvalid) << "needs 101 words";
    EXPECT_EQ(grabImage(0, 0, 9, 9, bank.data() + 5, bank.data()), resultInvalid) << "end before start";
    EXPECT_EQ(bank[0], 0xDEADu);
    EXPECT_EQ(bank[5], 0xDEADu);
    EXPECT_EQ(grabImage(0, 0, 9, 9, bank.data(), bank.data() + 101), resultOk) << "exactly enough room";

    // Cut a numbered picture both ways round and compare.
    auto picture = numberedImage(40, 40);
    putImage(0, 0, picture.data(), opaque, -1);
    std::vector<uint32_t> forward(1 + 17 * 18), backward(1 + 17 * 18);
    ASSERT_EQ(grabImage(0, 0, 16, 17, forward.data(), forward.data() + forward.size()), resultOk);
    ASSERT_EQ(grabImage(16, 17, 0, 0, backward.data(), backward.data() + backward.size()), resultOk);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward[1 + 17 * 17 + 16], 16u + 17000 + 1) << "last pixel is page (16, 17)";
}

TEST_F(Images, GrabThenPutGivesBackThePicture) {
    auto picture = numberedImage(30, 20);
    putImage(5, 7, picture.data(), opaque, -1);
    std::vector<uint32_t> cut(1 + 30 * 20);
    ASSERT_EQ(grabImage(5, 7, 34, 26, cut.data(), cut.data() + cut.size()), resultOk);
    EXPECT_EQ(cut, picture);
}

TEST_F(Images, RefusedFormatsAndNoScreen) {
    auto image = solidImage(4, 4, 0xFFFFFF);
    image[0] = (image[0] & ~7u) | 2u;
    EXPECT_EQ(putImage(0, 0, image.data(), opaque, -1), resultInvalid) << "two bytes per pixel";
    image[0] &= ~7u;
    EXPECT_EQ(putImage(0, 0, image.data(), opaque, -1), resultOk) << "0 bytes per pixel is taken as the page's";
    EXPECT_EQ(putImage(0, 0, image.data(), 3, -1), resultInvalid) << "XOR is not built";
    EXPECT_EQ(putImage(0, 0, nullptr, opaque, -1), resultInvalid);
    auto empty = solidImage(0, 5, 0);
    EXPECT_EQ(putImage(0, 0, empty.data(), opaque, -1), resultOk);

    closeScreen();
    std::vector<uint32_t> out(20);
    EXPECT_EQ(putImage(0, 0, image.data(), opaque, -1), resultInvalid);
    EXPECT_EQ(grabImage(0, 0, 1, 1, out.data(), out.data() + out.size()), resultInvalid);
    EXPECT_EQ(loadBitmap("nothing.bmp"), resultInvalid);
    setPages(1, 1);
    clearScreen();
    EXPECT_EQ(pagePixels(0), nullptr);
    EXPECT_EQ(workPageIndex(), -1);
}
