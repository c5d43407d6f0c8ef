// The vector forms of the pixel rules, private to pixel_spans.cpp, which chooses between
// them. Each exists only where the compiler can build it: SSE2 with the x86-64 baseline,
// AVX2 on any x86 GCC or Clang build, its functions compiled for AVX2 alone and called only
// after the processor says it has it.
#pragma once

#include <cstdint>

#include "gfx/pixel_spans.h"

// Rows narrower than a vector, one pixel at a time by the rule's scalar twin.
template <class Rule>
void drawRowsPixelByPixel(const PixelBlock& b, const Rule& rule) {
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows, count = b.count;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride)
        for (int i = 0; i < count; ++i) page[i] = rule.pixel(image[i], page[i]);
}

#if defined(__SSE2__)
#define CROWDFIRE_SSE2_FORM 1
void fillSse2(uint32_t* page, int count, uint32_t colour);
void transparentSse2(const PixelBlock& block);
void blendSse2(const PixelBlock& block, int weight);
void rgbaSse2(uint32_t* out, const uint32_t* page, int count);
#endif

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CROWDFIRE_AVX2_FORM 1
bool processorHasAvx2();
void fillAvx2(uint32_t* page, int count, uint32_t colour);
void transparentAvx2(const PixelBlock& block);
void blendAvx2(const PixelBlock& block, int weight);
#endif
