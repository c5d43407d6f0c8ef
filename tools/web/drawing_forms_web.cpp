// The drawing forms held against each other in the browser, as tests/test_pixel_spans.cpp
// holds them natively: the browser build draws with the SSE2 form compiled to
// WebAssembly's SIMD, and that must give the scalar form's pixels, and the scalar form's
// canvas bytes, for every input. The browser test calls webDrawingFormsAgree.
#include <emscripten.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gfx/display_headless.h"
#include "gfx/pixel_spans.h"
#include "gfx/screen.h"

namespace {

std::string lastAnswer;

// Ordinary colours, the key colour with and without a top byte, and top bytes the game
// never makes, so every bit of every rule is held to the scalar form.
uint32_t randomPixel(std::mt19937& random) {
    switch (random() % 6) {
        case 0: return keyColour;
        case 1: return keyColour | (random() & 0xFF000000u);
        case 2: return random() & colourBits;
        default: return uint32_t(random());
    }
}

// Every rule on rows `count` long starting `offset` words in, three rows of a block at a time.
std::vector<uint32_t> drawEveryRule(DrawingForm form, unsigned seed, int offset, int count, int weight) {
    constexpr int pageStride = 48, imageStride = 41, rows = 3;
    std::mt19937 random(seed);
    std::vector<uint32_t> image(imageStride * rows), page(pageStride * rows * 4);
    for (auto& p : image) p = randomPixel(random);
    for (auto& p : page) p = uint32_t(random());
    useDrawingForm(form);
    uint32_t* area = page.data() + offset;
    blendBlock({area, image.data() + 1, pageStride, imageStride, count, rows}, weight);
    transparentBlock({area + pageStride * rows, image.data(), pageStride, imageStride, count, rows});
    copyBlock({area + 2 * pageStride * rows, image.data() + 2, pageStride, imageStride, count, 1});
    fillSpan(area + 2 * pageStride * rows + pageStride, count, 0x00ABCDEF);
    rgbaSpan(area + 3 * pageStride * rows, image.data() + 3, count);
    return page;
}

std::vector<uint32_t> randomImage(std::mt19937& random, int width, int height) {
    std::vector<uint32_t> image(1 + size_t(width) * size_t(height));
    image[0] = imageHeader(width, height);
    for (size_t i = 1; i < image.size(); ++i) image[i] = randomPixel(random);
    return image;
}

// A full page after 300 random draws in every mode, clipped every way, then as the canvas
// gets it.
std::vector<uint32_t> drawRandomPage(DrawingForm form, unsigned seed) {
    std::mt19937 random(seed);
    useDrawingForm(form);
    clearScreen();
    putImage(0, 0, randomImage(random, 320, 240).data(), opaque, -1);
    const int modes[] = {transparent, opaque, blend};
    const int opacities[] = {0, 1, 2, 100, 127, 160, 254, 255, 256, 300, 511};
    for (int i = 0; i < 300; ++i) {
        auto image = randomImage(random, 1 + int(random() % 45), 1 + int(random() % 30));
        float x = float(int(random() % 420) - 60) + float(random() % 4) * 0.25f;
        float y = float(int(random() % 320) - 50) + float(random() % 4) * 0.25f;
        int mode = modes[random() % 3];
        putImage(x, y, image.data(), mode, mode == blend ? opacities[random() % std::size(opacities)] : -1);
    }
    std::vector<uint32_t> canvas(320 * 240);
    rgbaSpan(canvas.data(), pagePixels(workPageIndex()), int(canvas.size()));
    return canvas;
}

std::string compareForms(DrawingForm vector) {
    int cases = 0;
    unsigned seed = 1;
    for (int weight : {1, 2, 101, 128, 161, 255})
        for (int offset = 0; offset < 8; ++offset)
            for (int count = 0; count <= 40; ++count, ++seed, ++cases)
                if (drawEveryRule(DrawingForm::scalar, seed, offset, count, weight) !=
                    drawEveryRule(vector, seed, offset, count, weight))
                    return "differ in the rules at weight " + std::to_string(weight) + ", offset " +
                           std::to_string(offset) + ", " + std::to_string(count) + " pixels";
    for (unsigned pageSeed = 1; pageSeed <= 6; ++pageSeed, ++cases)
        if (drawRandomPage(DrawingForm::scalar, pageSeed) != drawRandomPage(vector, pageSeed))
            return "differ in the page drawn at random with seed " + std::to_string(pageSeed);
    return "agree in " + std::to_string(cases) + " cases";
}

}  // namespace

// "SSE2 and scalar agree in N cases", or where they first differ, or why nothing was held
// against the scalar form.
extern "C" EMSCRIPTEN_KEEPALIVE const char* webDrawingFormsAgree() {
    if (!drawingFormAvailable(DrawingForm::sse2)) {
        lastAnswer = "error: this build has no SSE2 (WebAssembly SIMD) form";
        return lastAnswer.c_str();
    }
    selectDisplay(headlessBackend);
    if (openScreen(320, 240, 24, 2, 1, 0) != resultOk) {
        lastAnswer = std::string("error: ") + screenError();
        return lastAnswer.c_str();
    }
    lastAnswer = std::string("SSE2 and scalar ") + compareForms(DrawingForm::sse2);
    useDrawingForm(bestDrawingForm());
    closeScreen();
    return lastAnswer.c_str();
}
