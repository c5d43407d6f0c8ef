// The AVX2 form: eight pixels at a time, four for rows of four to seven pixels. Every
// function here is compiled for AVX2 alone (the rest of the program keeps the x86-64
// baseline) and is only reached once processorHasAvx2() has said yes.
#include "gfx/pixel_forms.h"

#ifdef CROWDFIRE_AVX2_FORM

#include <immintrin.h>

#define AVX2_FUNCTION __attribute__((target("avx2")))

namespace {

// Eight pixels in a 256-bit register, or four in a 128-bit one.
template <int lanes>
AVX2_FUNCTION auto load(const uint32_t* pixels) {
    if constexpr (lanes == 8) return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels));
    else return _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
}
AVX2_FUNCTION void store(uint32_t* pixels, __m256i eight) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels), eight);
}
AVX2_FUNCTION void store(uint32_t* pixels, __m128i four) { _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), four); }

// The rules on eight pixels and on four. Key-coloured lanes keep the page: the compare
// gives all ones there, and blendv takes the page byte wherever the mask's top bit is set.
struct Transparent {
    AVX2_FUNCTION __m256i operator()(__m256i s, __m256i d) const {
        __m256i colour = _mm256_and_si256(s, _mm256_set1_epi32(int(colourBits)));
        __m256i keyed = _mm256_cmpeq_epi32(colour, _mm256_set1_epi32(int(keyColour)));
        return _mm256_blendv_epi8(colour, d, keyed);
    }
    AVX2_FUNCTION __m128i operator()(__m128i s, __m128i d) const {
        __m128i colour = _mm_and_si128(s, _mm_set1_epi32(int(colourBits)));
        __m128i keyed = _mm_cmpeq_epi32(colour, _mm_set1_epi32(int(keyColour)));
        return _mm_blendv_epi8(colour, d, keyed);
    }
    uint32_t pixel(uint32_t s, uint32_t d) const { return transparentPixel(d, s); }
};

// d + floor((s - d) * w / 256) equals (d * (256 - w) + s * w) >> 8: both products are
// non-negative and their sum stays below 65536, so 16-bit lanes hold it exactly. Unpacking
// and packing both work within each 128-bit half, so the pixels keep their order.
struct Blend {
    __m256i weight, inverse;
    uint32_t scalarWeight;

    AVX2_FUNCTION explicit Blend(int w)
        : weight(_mm256_set1_epi16(short(w))), inverse(_mm256_set1_epi16(short(256 - w))), scalarWeight(uint32_t(w)) {}

    AVX2_FUNCTION __m256i bytes(__m256i d16, __m256i s16) const {
        __m256i sum = _mm256_add_epi16(_mm256_mullo_epi16(d16, inverse), _mm256_mullo_epi16(s16, weight));
        return _mm256_srli_epi16(sum, 8);
    }
    AVX2_FUNCTION __m256i operator()(__m256i s, __m256i d) const {
        __m256i zero = _mm256_setzero_si256();
        __m256i low = bytes(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero));
        __m256i high = bytes(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero));
        __m256i mixed = _mm256_and_si256(_mm256_packus_epi16(low, high), _mm256_set1_epi32(int(colourBits)));
        __m256i colour = _mm256_and_si256(s, _mm256_set1_epi32(int(colourBits)));
        __m256i keyed = _mm256_cmpeq_epi32(colour, _mm256_set1_epi32(int(keyColour)));
        return _mm256_blendv_epi8(mixed, d, keyed);
    }
    // Four pixels: the same work in the low half of a 256-bit register.
    AVX2_FUNCTION __m128i operator()(__m128i s, __m128i d) const {
        return _mm256_castsi256_si128((*this)(_mm256_castsi128_si256(s), _mm256_castsi128_si256(d)));
    }
    uint32_t pixel(uint32_t s, uint32_t d) const { return blendKeyedPixel(d, s, scalarWeight); }
};

// A row of at least one vector's width has no scalar tail: its last vector is worked out
// first, from the page as it was, and stored last. Where it overlaps the vector before it
// both give the same value, since both read the untouched page. Rows of four to seven
// pixels take four at a time: one vector, or two that overlap.
template <int lanes, class Rule>
AVX2_FUNCTION void drawRowsOfWholeVectors(const PixelBlock& b, const Rule& rule) {
    const int last = b.count - lanes;
    uint32_t* page = b.page;
    const uint32_t* image = b.image;
    const int pageStride = b.pageStride, imageStride = b.imageStride, rows = b.rows;
    for (int r = 0; r < rows; ++r, page += pageStride, image += imageStride) {
        const auto tail = rule(load<lanes>(image + last), load<lanes>(page + last));
        for (int i = 0; i < last; i += lanes) store(page + i, rule(load<lanes>(image + i), load<lanes>(page + i)));
        store(page + last, tail);
    }
}

template <class Rule>
AVX2_FUNCTION void drawBlock(const PixelBlock& b, const Rule& rule) {
    if (b.count >= 8) drawRowsOfWholeVectors<8>(b, rule);
    else if (b.count >= 4) drawRowsOfWholeVectors<4>(b, rule);
    else drawRowsPixelByPixel(b, rule);
}

}  // namespace

bool processorHasAvx2() {
    // Also called from static initialisers, before the run-time library may have asked.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

AVX2_FUNCTION void fillAvx2(uint32_t* page, int count, uint32_t colour) {
    __m256i eight = _mm256_set1_epi32(int(colour));
    int i = 0;
    for (; i + 8 <= count; i += 8) store(page + i, eight);
    for (; i < count; ++i) page[i] = colour;
}

AVX2_FUNCTION void transparentAvx2(const PixelBlock& block) { drawBlock(block, Transparent{}); }
AVX2_FUNCTION void blendAvx2(const PixelBlock& block, int weight) { drawBlock(block, Blend(weight)); }

#endif
