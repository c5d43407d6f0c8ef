// The per-row pixel rules of the drawing operations, on spans already clipped to the page:
// no bounds tests and no allocation inside. Each has a scalar form and, on processors with
// SSE2, a form that handles four pixels at a time; useScalarDrawing chooses, and both give
// identical pixels for every input, top bytes and key colour included.
#pragma once

#include <cstdint>

constexpr uint32_t keyColour = 0x00FF00FF;
constexpr uint32_t colourBits = 0x00FFFFFF;

void fillSpan(uint32_t* page, int count, uint32_t colour);
void copySpan(uint32_t* page, const uint32_t* image, int count);
// Key colour (whatever its top byte) leaves the page; anything else is written without its top byte.
void transparentSpan(uint32_t* page, const uint32_t* image, int count);
// Each colour byte becomes d + floor((s - d) * weight / 256) with weight = opacity + 1 (1 to 255);
// key colour leaves the page, the top byte becomes 0.
void blendSpan(uint32_t* page, const uint32_t* image, int count, int weight);

// The single-pixel blend, the reference both forms are held to.
inline uint32_t blendPixel(uint32_t d, uint32_t s, uint32_t weight) {
    // Red and blue together, green alone: the products stay apart in 32 bits, and the
    // unsigned shift of a negative difference still leaves the floor in the kept bytes.
    uint32_t redBlue = d & 0x00FF00FF;
    uint32_t green = d & 0x0000FF00;
    redBlue = (redBlue + ((((s & 0x00FF00FF) - redBlue) * weight) >> 8)) & 0x00FF00FF;
    green = (green + ((((s & 0x0000FF00) - green) * weight) >> 8)) & 0x0000FF00;
    return redBlue | green;
}
