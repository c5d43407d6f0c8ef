// The cases every vector drawing form is held to the scalar form on, natively
// (tests/test_pixel_spans.cpp) and in the browser (tools/web/drawing_forms_web.cpp): one
// set, so both hold a form to the same inputs.
#pragma once

#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gfx/pixel_spans.h"
#include "gfx/screen.h"

// Mostly ordinary colours, often the key colour (with and without a top byte), and top
// bytes the game never makes, so every form is held to the rules on every bit.
inline uint32_t randomPixel(std::mt19937& random) {
    switch (random() % 6) {
        case 0: return keyColour;
        case 1: return keyColour | (random() & 0xFF000000u);
        case 2: return random() & colourBits;
        default: return uint32_t(random());
    }
}

inline std::vector<uint32_t> randomImage(std::mt19937& random, int width, int height) {
    std::vector<uint32_t> image(1 + size_t(width) * size_t(height));
    image[0] = imageHeader(width, height);
    for (size_t i = 1; i < image.size(); ++i) image[i] = randomPixel(random);
    return image;
}

// Draws one rectangle of every rule in `form`, the rows `count` long starting `offset`
// words in, on a page of three rows 48 words apart from an image of three rows 41 words
// apart: room for every length up to 40 at every offset up to 7, with guard words that
// must never change. Empty when the form cannot be used here.
inline std::vector<uint32_t> drawEveryRule(DrawingForm form, unsigned seed, int offset, int count, int weight) {
    constexpr int pageStride = 48, imageStride = 41, blockRows = 3;
    std::mt19937 random(seed);
    std::vector<uint32_t> image(imageStride * blockRows), page(pageStride * blockRows * 4);
    for (auto& p : image) p = randomPixel(random);
    for (auto& p : page) p = uint32_t(random());
    if (!useDrawingForm(form)) return {};
    uint32_t* blendArea = page.data() + offset;
    uint32_t* transparentArea = blendArea + pageStride * blockRows;
    uint32_t* copyArea = transparentArea + pageStride * blockRows;
    blendBlock({blendArea, image.data() + 1, pageStride, imageStride, count, blockRows}, weight);
    transparentBlock({transparentArea, image.data(), pageStride, imageStride, count, blockRows});
    copyBlock({copyArea, image.data() + 2, pageStride, imageStride, count, 1});
    fillSpan(copyArea + pageStride, count, 0x00ABCDEF);
    blendSpan(copyArea + 2 * pageStride, image.data() + 5, count, weight);
    rgbaSpan(copyArea + pageStride * blockRows, image.data() + 3, count);
    return page;
}

// The work page, in `form`, after a random background and 300 random draws in every mode,
// clipped every way, and a cut of the page grabbed and put back; then the page as a
// canvas gets it (rgbaSpan). Needs an open screen. Empty when the form cannot be used here.
inline std::vector<uint32_t> drawRandomPage(DrawingForm form, unsigned seed) {
    const int modes[] = {transparent, opaque, blend};
    const int opacities[] = {0, 1, 2, 100, 127, 160, 254, 255, 256, 300, 511};
    std::mt19937 random(seed);
    if (!useDrawingForm(form)) return {};
    clearScreen();
    putImage(0, 0, randomImage(random, 320, 240).data(), opaque, -1);
    for (int i = 0; i < 300; ++i) {
        const auto image = randomImage(random, 1 + int(random() % 45), 1 + int(random() % 30));
        const float x = float(int(random() % 420) - 60) + float(random() % 4) * 0.25f;
        const float y = float(int(random() % 320) - 50) + float(random() % 4) * 0.25f;
        const int mode = modes[random() % 3];
        putImage(x, y, image.data(), mode, mode == blend ? opacities[random() % std::size(opacities)] : -1);
    }
    std::vector<uint32_t> cut(1 + 200 * 100);
    grabImage(10, 20, 209, 119, cut.data(), cut.data() + cut.size());
    putImage(100, 130, cut.data(), opaque, -1);
    constexpr int pixels = 320 * 240;
    std::vector<uint32_t> drawn(pagePixels(workPageIndex()), pagePixels(workPageIndex()) + pixels);
    drawn.resize(2 * pixels);
    rgbaSpan(drawn.data() + pixels, drawn.data(), pixels);
    return drawn;
}

// Where `form` first draws a rule unlike the scalar form, over every weight, offset and
// length; empty when it never does. `cases` counts the cases tried.
inline std::string firstRuleDifference(DrawingForm form, int& cases) {
    unsigned seed = 1;
    for (int weight : {1, 2, 101, 128, 161, 255})
        for (int offset = 0; offset < 8; ++offset)
            for (int count = 0; count <= 40; ++count, ++seed, ++cases)
                if (drawEveryRule(DrawingForm::scalar, seed, offset, count, weight) !=
                    drawEveryRule(form, seed, offset, count, weight))
                    return "the rules at weight " + std::to_string(weight) + ", offset " + std::to_string(offset) +
                           ", " + std::to_string(count) + " pixels";
    return {};
}

// Where `form` first draws a random page unlike the scalar form; empty when it never
// does. Needs an open screen.
inline std::string firstPageDifference(DrawingForm form, int& cases) {
    for (unsigned seed = 1; seed <= 6; ++seed, ++cases)
        if (drawRandomPage(DrawingForm::scalar, seed) != drawRandomPage(form, seed))
            return "the page drawn at random with seed " + std::to_string(seed);
    return {};
}
