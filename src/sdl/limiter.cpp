// A peak limiter with an instant attack, a slow release and a soft knee, without look-ahead.
//
// Why this shape: the sixteen channels are summed in floating point, so the sum may stand
// far above full scale (a bomb on a group stacks five copies of each splat in phase). A
// static soft-clip curve alone would bend every such peak into distortion; a gain that is
// pulled down at once to what the curve allows for the loudest sample, and let back up
// slowly, turns the whole mix down instead, so the waveform keeps its shape. The knee is
// soft: at the threshold the curve leaves the straight line with the same slope, and above
// it bends towards the ceiling without ever reaching it. Below the threshold the gain is
// exactly 1, so quiet passages are never turned down, and with 150 ms of release the gain
// is back within a few tenths of a second after the loud moment has gone, without the
// audible breathing a compressor acting on quiet sound would have.
//
// Why it can never clip: the envelope is never below the current sample's level, and
// curve(e) / e falls as e grows, so |sample| * curve(e) / e <= curve(e) < the ceiling.
#include "sdl/limiter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double sampleRate = 44100;
constexpr double releaseSeconds = 0.15;
const double releasePerFrame = std::exp(-1.0 / (releaseSeconds * sampleRate));

// The static curve: the identity up to the threshold, then a tanh knee that meets the
// line with slope 1 and tends towards the ceiling.
double curve(double level) {
    if (level <= limiterThreshold) return level;
    constexpr double room = limiterCeiling - limiterThreshold;
    return limiterThreshold + room * std::tanh((level - limiterThreshold) / room);
}

}  // namespace

void limitStereo(LimiterState& state, float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        float& left = samples[2 * i];
        float& right = samples[2 * i + 1];
        // One gain for both sides keeps the picture where the sounds were placed.
        double level = std::max(std::fabs(double(left)), std::fabs(double(right)));
        state.envelope = std::max(level, state.envelope * releasePerFrame);
        if (state.envelope <= limiterThreshold) continue;
        double gain = curve(state.envelope) / state.envelope;
        left = float(left * gain);
        right = float(right * gain);
    }
}
