// The SSE2 form: four pixels at a time, for x86 processors without AVX2.
#include "gfx/pixel_forms.h"

#ifdef CROWDFIRE_SSE2_FORM

#include <emmintrin.h>

namespace {

__m128i load(const uint32_t* pixels) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)); }
void store(uint32_t* pixels, __m128i four) { _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), four); }

// All ones in the lanes where the image has the key colour, whatever its top byte.
__m128i keyMask(__m128i source) {
    __m128i colour = _mm_and_si128(source, _mm_set1_epi32(int(colourBits)));
    return _mm_cmpeq_epi32(colour, _mm_set1_epi32(int(keyColour)));
}

// Where the image has the key colour keep the page, elsewhere take the new pixels.
__m128i keepKeyed(__m128i source, __m128i page, __m128i fresh) {
    __m128i keyed = keyMask(source);
    return _mm_or_si128(_mm_and_si128(keyed, page), _mm_andnot_si128(keyed, fresh));
}

struct Transparent {
    __m128i operator()(__m128i s, __m128i d) const {
        return keepKeyed(s, d, _mm_and_si128(s, _mm_set1_epi32(int(colourBits))));
    }
    uint32_t pixel(uint32_t s, uint32_t d) const { return transparentPixel(d, s); }
};

// d + floor((s - d) * w / 256) equals (d * (256 - w) + s * w) >> 8: both products are
// non-negative and their sum stays below 65536, so 16-bit lanes hold it exactly.
struct Blend {
    __m128i weight, inverse;
    uint32_t scalarWeight;

    explicit Blend(int w)
        : weight(_mm_set1_epi16(short(w))), inverse(_mm_set1_epi16(short(256 - w))), scalarWeight(uint32_t(w)) {}

    __m128i bytes(__m128i d16, __m128i s16) const {
        __m128i sum = _mm_add_epi16(_mm_mullo_epi16(d16, inverse), _mm_mullo_epi16(s16, weight));
        return _mm_srli_epi16(sum, 8);
    }
    __m128i operator()(__m128i s, __m128i d) const {
        __m128i zero = _mm_setzero_si128();
        __m128i low = bytes(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
        __m128i high = bytes(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
        __m128i mixed = _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(int(colourBits)));
        return keepKeyed(s, d, mixed);
    }
    uint32_t pixel(uint32_t s, uint32_t d) const { return blendKeyedPixel(d, s, scalarWeight); }
};

// A row of four or more pixels has no scalar tail: its last four are worked out first,
// from the page as it was, and stored last. Where they overlap the four before them both
// give the same value, since both read the untouched page.
template <class Rule>
void drawRowsOfFourOrMore(const PixelBlock& b, const Rule& rule) {
    const int last = b.count - 4;
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride) {
        __m128i tail = rule(load(image + last), load(page + last));
        for (int i = 0; i < last; i += 4) store(page + i, rule(load(image + i), load(page + i)));
        store(page + last, tail);
    }
}

template <class Rule>
void drawBlock(const PixelBlock& b, const Rule& rule) {
    if (b.count >= 4) drawRowsOfFourOrMore(b, rule);
    else drawRowsPixelByPixel(b, rule);
}

}  // namespace

void fillSse2(uint32_t* page, int count, uint32_t colour) {
    __m128i four = _mm_set1_epi32(int(colour));
    int i = 0;
    for (; i + 4 <= count; i += 4) store(page + i, four);
    for (; i < count; ++i) page[i] = colour;
}

// Red and blue change places, green stays, alpha comes in: shifts and masks on whole
// words, which WebAssembly's SIMD has as they are.
void rgbaSse2(uint32_t* out, const uint32_t* page, int count) {
    const __m128i lowByte = _mm_set1_epi32(0xFF), green = _mm_set1_epi32(0xFF00);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i p = load(page + i);
        __m128i red = _mm_and_si128(_mm_srli_epi32(p, 16), lowByte);
        __m128i blue = _mm_slli_epi32(_mm_and_si128(p, lowByte), 16);
        store(out + i, _mm_or_si128(_mm_or_si128(red, blue), _mm_or_si128(_mm_and_si128(p, green), alpha)));
    }
    for (; i < count; ++i) out[i] = rgbaPixel(page[i]);
}

void transparentSse2(const PixelBlock& block) { drawBlock(block, Transparent{}); }
void blendSse2(const PixelBlock& block, int weight) { drawBlock(block, Blend(weight)); }

#endif
