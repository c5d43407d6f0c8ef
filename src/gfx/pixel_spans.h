// The pixel rules of the drawing operations, on rows already clipped to the page, and the
// page's conversion to the bytes a browser's canvas takes: no bounds tests and no
// allocation inside. Each rule has a scalar form, the reference; on x86 an SSE2 form (four
// pixels at a time) and an AVX2 form (eight), the best one the processor has chosen at
// start-up. The browser build compiles the SSE2 form to WebAssembly's 128-bit SIMD. Every
// form gives identical pixels for every input, top bytes and key colour included.
#pragma once

#include <cstdint>

constexpr uint32_t keyColour = 0x00FF00FF;
constexpr uint32_t colourBits = 0x00FFFFFF;

// A rectangle of an image over the page: `rows` rows of `count` pixels, each row's start
// `pageStride` words below the last on the page and `imageStride` in the image. Page and
// image never overlap.
struct PixelBlock {
    uint32_t* page;
    const uint32_t* image;
    int pageStride, imageStride;
    int count, rows;
};

// The rules on a whole rectangle: the form and the row loop are chosen once per image.
void copyBlock(const PixelBlock& block);
// Key colour (whatever its top byte) leaves the page; anything else is written without its top byte.
void transparentBlock(const PixelBlock& block);
// Each colour byte becomes d + floor((s - d) * weight / 256) with weight = opacity + 1 (1 to 255);
// key colour leaves the page, the top byte becomes 0.
void blendBlock(const PixelBlock& block, int weight);

// The same rules on one row.
void fillSpan(uint32_t* page, int count, uint32_t colour);
void copySpan(uint32_t* page, const uint32_t* image, int count);
void blendSpan(uint32_t* page, const uint32_t* image, int count, int weight);
// The page's pixels as a browser's ImageData holds them: bytes red, green, blue and 255,
// one little-endian word a pixel; the page's top byte is dropped.
void rgbaSpan(uint32_t* out, const uint32_t* page, int count);

enum class DrawingForm { scalar, sse2, avx2 };
// Built into this program and supported by the processor running it.
bool drawingFormAvailable(DrawingForm form);
// The fastest available form: what the game draws with unless told otherwise.
DrawingForm bestDrawingForm();
// Draws with `form` from now on: every form gives identical pages, so tests and benchmarks
// hold them against each other. false, changing nothing, if it is not available;
// useDrawingForm(bestDrawingForm()) goes back to the fastest.
bool useDrawingForm(DrawingForm form);
const char* drawingFormName(DrawingForm form);

// The single-pixel rules, the reference every form is held to.
inline uint32_t transparentPixel(uint32_t d, uint32_t s) {
    s &= colourBits;
    return s == keyColour ? d : s;
}

inline uint32_t blendPixel(uint32_t d, uint32_t s, uint32_t weight) {
    // Red and blue together, green alone: the products stay apart in 32 bits, and the
    // unsigned shift of a negative difference still leaves the floor in the kept bytes.
    uint32_t redBlue = d & 0x00FF00FF;
    uint32_t green = d & 0x0000FF00;
    redBlue = (redBlue + ((((s & 0x00FF00FF) - redBlue) * weight) >> 8)) & 0x00FF00FF;
    green = (green + ((((s & 0x0000FF00) - green) * weight) >> 8)) & 0x0000FF00;
    return redBlue | green;
}

inline uint32_t rgbaPixel(uint32_t p) {
    return 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
}

inline uint32_t blendKeyedPixel(uint32_t d, uint32_t s, uint32_t weight) {
    return (s & colourBits) == keyColour ? d : blendPixel(d, s, weight);
}
