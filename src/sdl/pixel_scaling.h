// Whole-factor nearest-neighbour scaling of page rows into a display's 32-bit pixels, for
// the SDL display's window-surface path. Every page pixel becomes a square of factor x
// factor identical pixels, so the picture stays sharp. A scalar form (the reference) and,
// on x86, an SSE2 form with identical pixels. No allocation, no SDL.
#pragma once

#include <cstdint>

#include "gfx/pixel_spans.h"

// Where scaled rows go: the picture's top-left output pixel and the words from one
// output row to the next (at least pageWidth * factor).
struct ScaledPicture {
    uint32_t* topLeft;
    int pitchWords;
    int factor;
};

// Writes page rows first to last - 1 (each pageWidth pixels, rows pageWidth apart) into
// output rows first * factor to last * factor - 1 of the picture. `form` picks the row
// loop; the SSE2 form (and AVX2, which uses it) gives the same pixels as scalar.
void scalePageRows(const uint32_t* page, int pageWidth, int first, int last, const ScaledPicture& picture,
                   DrawingForm form);
