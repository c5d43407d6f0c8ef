// One output row per page row is scaled across; the factor - 1 rows under it are copies
// of it, so the scaling work is the page's size whatever the factor.
#include "sdl/pixel_scaling.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void scaleRowScalar(const uint32_t* row, int width, int factor, uint32_t* out) {
    for (int x = 0; x < width; ++x)
        for (int k = 0; k < factor; ++k) *out++ = row[x];
}

#if defined(__SSE2__)
// Each pixel is stored four at a time from its own start; a store that runs past its
// square lands in the next pixel's, which that pixel then overwrites. The last pixel,
// with no neighbour after it, goes one at a time so nothing is written past the row
// (from a factor of 3 up, a store never reaches beyond the next pixel's square).
void scaleRowSse2(const uint32_t* row, int width, int factor, uint32_t* out) {
    if (width <= 0) return;
    if (factor == 1) {
        std::memcpy(out, row, size_t(width) * sizeof(uint32_t));
        return;
    }
    if (factor == 2) {
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi32(four, four));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 4), _mm_unpackhi_epi32(four, four));
        }
        scaleRowScalar(row + x, width - x, factor, out + 2 * x);
        return;
    }
    for (int x = 0; x + 1 < width; ++x) {
        __m128i pixel = _mm_set1_epi32(int(row[x]));
        uint32_t* square = out + size_t(x) * size_t(factor);
        for (int k = 0; k < factor; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(square + k), pixel);
    }
    scaleRowScalar(row + width - 1, 1, factor, out + size_t(width - 1) * size_t(factor));
}
#endif

}  // namespace

void scalePageRows(const uint32_t* page, int pageWidth, int first, int last, const ScaledPicture& picture,
                   DrawingForm form) {
    const int factor = picture.factor;
    const size_t outWidth = size_t(pageWidth) * size_t(factor);
    for (int y = first; y < last; ++y) {
        const uint32_t* row = page + size_t(y) * size_t(pageWidth);
        uint32_t* out = picture.topLeft + size_t(y) * size_t(factor) * size_t(picture.pitchWords);
#if defined(__SSE2__)
        if (form != DrawingForm::scalar) scaleRowSse2(row, pageWidth, factor, out);
        else scaleRowScalar(row, pageWidth, factor, out);
#else
        (void)form;
        scaleRowScalar(row, pageWidth, factor, out);
#endif
        for (int k = 1; k < factor; ++k)
            std::memcpy(out + size_t(k) * size_t(picture.pitchWords), out, outWidth * sizeof(uint32_t));
    }
}
