// A small source-filter voice for the crowd's cries: a glottal pulse train with a
// pitch contour, jitter and shimmer, plus breath noise, through six vowel formants. No
// pitch line is smooth: it drifts, catches and breaks, and frays as the breath runs out.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"

namespace synth {

enum class Vowel { a, ae, eh, ee, oo, aw, uh, book, er };

struct Cry {
    uint64_t seed;
    double tract;  // 0 a man's vocal tract, 1 a woman's (formants higher), or between
    double seconds;
    Contour pitch;              // fundamental in Hz
    Contour loudness;           // 0 to 1, shapes the breath pressure
    std::vector<Vowel> vowels;  // the mouth moves along this list ...
    Contour vowelPath;          // ... at this position (0 = first, 1.5 = between 2nd and 3rd)
    Contour breath;             // 0 to 1: aspiration noise beside the voice
    double jitter;              // random period change, as a fraction of the period
    double shimmer;             // random pulse-strength change, as a fraction
    double tremble;             // spread of a slow random pitch waver, as a fraction
    double openQuotient;        // share of each period the glottis is open: low = pressed
    double roughness;           // 0 to 1: every other pulse weakened, a strained rasp
    double brightness;          // Hz where the source's tilt starts: higher = harsher
};

// Renders the cry, unnormalised.
Samples speakCry(const Cry& cry);

}  // namespace synth
