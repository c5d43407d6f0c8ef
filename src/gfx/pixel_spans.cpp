// The scalar rules, and the choice of form every drawing call goes through.
#include "gfx/pixel_spans.h"

#include <cstring>

#include "gfx/pixel_forms.h"

namespace {

void fillScalar(uint32_t* page, int count, uint32_t colour) {
    for (int i = 0; i < count; ++i) page[i] = colour;
}

void copyScalar(const PixelBlock& b) {
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows, count = b.count;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride)
        for (int i = 0; i < count; ++i) page[i] = image[i];
}

void transparentScalar(const PixelBlock& b) {
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows, count = b.count;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride)
        for (int i = 0; i < count; ++i) {
            uint32_t s = image[i] & colourBits;
            if (s != keyColour) page[i] = s;
        }
}

void blendScalar(const PixelBlock& b, int weight) {
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows, count = b.count;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride)
        for (int i = 0; i < count; ++i) {
            uint32_t s = image[i];
            if ((s & colourBits) != keyColour) page[i] = blendPixel(page[i], s, uint32_t(weight));
        }
}

// The C library's memmove already copies with the widest moves the processor has, and
// keeps a copy within one page correct too.
void copyRows(const PixelBlock& b) {
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows, count = b.count;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride)
        std::memmove(page, image, size_t(count) * sizeof(uint32_t));
}

DrawingForm fastestForm() {
#ifdef CROWDFIRE_AVX2_FORM
    if (processorHasAvx2()) return DrawingForm::avx2;
#endif
#ifdef CROWDFIRE_SSE2_FORM
    return DrawingForm::sse2;
#else
    return DrawingForm::scalar;
#endif
}

DrawingForm form = fastestForm();

PixelBlock rowOf(uint32_t* page, const uint32_t* image, int count) { return {page, image, 0, 0, count, 1}; }

}  // namespace

bool drawingFormAvailable(DrawingForm which) {
    switch (which) {
        case DrawingForm::scalar: return true;
#ifdef CROWDFIRE_SSE2_FORM
        case DrawingForm::sse2: return true;
#endif
#ifdef CROWDFIRE_AVX2_FORM
        case DrawingForm::avx2: return processorHasAvx2();
#endif
        default: return false;
    }
}

DrawingForm bestDrawingForm() { return fastestForm(); }

bool useDrawingForm(DrawingForm which) {
    if (!drawingFormAvailable(which)) return false;
    form = which;
    return true;
}

const char* drawingFormName(DrawingForm which) {
    switch (which) {
        case DrawingForm::sse2: return "SSE2";
        case DrawingForm::avx2: return "AVX2";
        default: return "scalar";
    }
}

// Each rule goes to the chosen form; a form not built here never becomes the chosen one.
void fillSpan(uint32_t* page, int count, uint32_t colour) {
    switch (form) {
#ifdef CROWDFIRE_AVX2_FORM
        case DrawingForm::avx2: return fillAvx2(page, count, colour);
#endif
#ifdef CROWDFIRE_SSE2_FORM
        case DrawingForm::sse2: return fillSse2(page, count, colour);
#endif
        default: return fillScalar(page, count, colour);
    }
}

void copyBlock(const PixelBlock& block) {
    if (form == DrawingForm::scalar) copyScalar(block);
    else copyRows(block);
}

void transparentBlock(const PixelBlock& block) {
    switch (form) {
#ifdef CROWDFIRE_AVX2_FORM
        case DrawingForm::avx2: return transparentAvx2(block);
#endif
#ifdef CROWDFIRE_SSE2_FORM
        case DrawingForm::sse2: return transparentSse2(block);
#endif
        default: return transparentScalar(block);
    }
}

// Only the browser shows pages this way; the AVX2 form takes the SSE2 one, as every
// processor with AVX2 has SSE2.
void rgbaSpan(uint32_t* out, const uint32_t* page, int count) {
#ifdef CROWDFIRE_SSE2_FORM
    if (form != DrawingForm::scalar) return rgbaSse2(out, page, count);
#endif
    for (int i = 0; i < count; ++i) out[i] = rgbaPixel(page[i]);
}

void blendBlock(const PixelBlock& block, int weight) {
    switch (form) {
#ifdef CROWDFIRE_AVX2_FORM
        case DrawingForm::avx2: return blendAvx2(block, weight);
#endif
#ifdef CROWDFIRE_SSE2_FORM
        case DrawingForm::sse2: return blendSse2(block, weight);
#endif
        default: return blendScalar(block, weight);
    }
}

void copySpan(uint32_t* page, const uint32_t* image, int count) { copyBlock(rowOf(page, image, count)); }
void blendSpan(uint32_t* page, const uint32_t* image, int count, int weight) {
    blendBlock(rowOf(page, image, count), weight);
}
