#include "gfx/pixel_spans.h"

#include <cstring>

#include "gfx/screen.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

bool scalarOnly = false;

void fillScalar(uint32_t* page, int count, uint32_t colour) {
    for (int i = 0; i < count; ++i) page[i] = colour;
}

void copyScalar(uint32_t* page, const uint32_t* image, int count) {
    for (int i = 0; i < count; ++i) page[i] = image[i];
}

void transparentScalar(uint32_t* page, const uint32_t* image, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t s = image[i] & colourBits;
        if (s != keyColour) page[i] = s;
    }
}

void blendScalar(uint32_t* page, const uint32_t* image, int count, int weight) {
    for (int i = 0; i < count; ++i) {
        uint32_t s = image[i];
        if ((s & colourBits) != keyColour) page[i] = blendPixel(page[i], s, uint32_t(weight));
    }
}

#ifdef __SSE2__

void fillWide(uint32_t* page, int count, uint32_t colour) {
    __m128i four = _mm_set1_epi32(int(colour));
    int i = 0;
    for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(page + i), four);
    fillScalar(page + i, count - i, colour);
}

// Page and image may not overlap in any use (images live in the game's banks), but
// memmove keeps a copy within one page correct too.
void copyWide(uint32_t* page, const uint32_t* image, int count) {
    std::memmove(page, image, size_t(count) * sizeof(uint32_t));
}

__m128i keyMask(__m128i source) {
    __m128i colour = _mm_and_si128(source, _mm_set1_epi32(int(colourBits)));
    return _mm_cmpeq_epi32(colour, _mm_set1_epi32(int(keyColour)));
}

// Where the image has the key colour keep the page, elsewhere take the new pixels.
__m128i keepKeyed(__m128i source, __m128i page, __m128i fresh) {
    __m128i keyed = keyMask(source);
    return _mm_or_si128(_mm_and_si128(keyed, page), _mm_andnot_si128(keyed, fresh));
}

void transparentWide(uint32_t* page, const uint32_t* image, int count) {
    __m128i colourMask = _mm_set1_epi32(int(colourBits));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(image + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page + i));
        __m128i result = keepKeyed(s, d, _mm_and_si128(s, colourMask));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(page + i), result);
    }
    transparentScalar(page + i, image + i, count - i);
}

// d + floor((s - d) * w / 256) equals (d * (256 - w) + s * w) >> 8: both products are
// non-negative and their sum stays below 65536, so 16-bit lanes hold it exactly.
__m128i blendBytes(__m128i d16, __m128i s16, __m128i weight, __m128i inverse) {
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(d16, inverse), _mm_mullo_epi16(s16, weight));
    return _mm_srli_epi16(sum, 8);
}

__m128i blendFour(__m128i d, __m128i s, __m128i weight, __m128i inverse) {
    __m128i zero = _mm_setzero_si128();
    __m128i low = blendBytes(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), weight, inverse);
    __m128i high = blendBytes(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), weight, inverse);
    __m128i mixed = _mm_packus_epi16(low, high);
    return _mm_and_si128(mixed, _mm_set1_epi32(int(colourBits)));
}

void blendWide(uint32_t* page, const uint32_t* image, int count, int weight) {
    __m128i w = _mm_set1_epi16(short(weight));
    __m128i inverse = _mm_set1_epi16(short(256 - weight));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(image + i));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page + i));
        __m128i result = keepKeyed(s, d, blendFour(d, s, w, inverse));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(page + i), result);
    }
    blendScalar(page + i, image + i, count - i, weight);
}

#endif

}  // namespace

void useScalarDrawing(bool scalar) { scalarOnly = scalar; }

#ifdef __SSE2__

void fillSpan(uint32_t* page, int count, uint32_t colour) {
    scalarOnly ? fillScalar(page, count, colour) : fillWide(page, count, colour);
}
void copySpan(uint32_t* page, const uint32_t* image, int count) {
    scalarOnly ? copyScalar(page, image, count) : copyWide(page, image, count);
}
void transparentSpan(uint32_t* page, const uint32_t* image, int count) {
    scalarOnly ? transparentScalar(page, image, count) : transparentWide(page, image, count);
}
void blendSpan(uint32_t* page, const uint32_t* image, int count, int weight) {
    scalarOnly ? blendScalar(page, image, count, weight) : blendWide(page, image, count, weight);
}

#else

void fillSpan(uint32_t* page, int count, uint32_t colour) { fillScalar(page, count, colour); }
void copySpan(uint32_t* page, const uint32_t* image, int count) { copyScalar(page, image, count); }
void transparentSpan(uint32_t* page, const uint32_t* image, int count) {
    transparentScalar(page, image, count);
}
void blendSpan(uint32_t* page, const uint32_t* image, int count, int weight) {
    blendScalar(page, image, count, weight);
}

#endif
