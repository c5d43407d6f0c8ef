// The SSE2 drawing rules against their scalar twins: identical pixels for every input,
// key colour with and without a top byte, any top byte, every span length and alignment,
// and every way an image can be clipped.
#include <random>

#include "gfx/pixel_spans.h"
#include "screen_fixture.h"

namespace {

// Mostly ordinary colours, often the key colour (with and without a top byte), and top
// bytes the game never makes, so both forms are held to the rules on every bit.
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
    image[0] = uint32_t(height) << 16 | uint32_t(width * 8 + 4);
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

}  // namespace

using DrawingForms = HeadlessScreen;

TEST_F(DrawingForms, SpansAgreeForEveryLengthAndAlignment) {
    std::mt19937 random(7);
    for (int weight : {1, 2, 101, 161, 255}) {
        for (int offset = 0; offset < 4; ++offset) {
            for (int count = 0; count <= 19; ++count) {
                std::vector<uint32_t> image(32), page(32);
                for (auto& p : image) p = randomPixel(random);
                for (auto& p : page) p = uint32_t(random());
                auto scalarPage = page, widePage = page;
                useScalarDrawing(true);
                blendSpan(scalarPage.data() + offset, image.data() + 3, count, weight);
                transparentSpan(scalarPage.data() + offset + 1, image.data(), count);
                fillSpan(scalarPage.data() + 20 + offset, count % 9, 0x00ABCDEF);
                useScalarDrawing(false);
                blendSpan(widePage.data() + offset, image.data() + 3, count, weight);
                transparentSpan(widePage.data() + offset + 1, image.data(), count);
                fillSpan(widePage.data() + 20 + offset, count % 9, 0x00ABCDEF);
                ASSERT_EQ(scalarPage, widePage) << "weight " << weight << " offset " << offset << " count " << count;
            }
        }
    }
}

TEST_F(DrawingForms, PagesAgreeAfterRandomDrawing) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto start = randomImage(random, 320, 240);
        auto draws = randomDraws(random, 300);
        std::vector<uint32_t> pages[2];
        for (bool scalar : {true, false}) {
            useScalarDrawing(scalar);
            clearScreen();
            putImage(0, 0, start.data(), opaque, -1);
            for (const Draw& d : draws) putImage(d.x, d.y, d.image.data(), d.mode, d.opacity);
            std::vector<uint32_t> cut(1 + 200 * 100);
            grabImage(10, 20, 209, 119, cut.data(), cut.data() + cut.size());
            putImage(100, 130, cut.data(), opaque, -1);
            const uint32_t* page = pagePixels(workPageIndex());
            pages[scalar].assign(page, page + 320 * 240);
        }
        ASSERT_EQ(pages[0], pages[1]) << "seed " << seed;
    }
}

TEST_F(DrawingForms, ClearingAgrees) {
    std::mt19937 random(3);
    auto start = randomImage(random, 320, 240);
    for (bool scalar : {true, false}) {
        useScalarDrawing(scalar);
        putImage(0, 0, start.data(), opaque, -1);
        clearScreen();
        EXPECT_EQ(countNonZero(workPageIndex()), 0) << (scalar ? "scalar" : "SSE2");
    }
}
