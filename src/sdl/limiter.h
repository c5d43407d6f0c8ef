// The soft limiter on the mixed output: whatever plays at once, no sample reaches full
// scale, and anything that stays under the threshold passes untouched.
#pragma once

// The loudest sample the limiter lets out, and where it starts to act (of full scale 1).
constexpr double limiterCeiling = 0.97;
constexpr double limiterThreshold = 0.5;

// The gain computer's memory: the peak it is holding the gain down for.
struct LimiterState {
    double envelope = 0;
};

// Limits `frames` interleaved stereo frames of 32-bit float samples in place.
void limitStereo(LimiterState& state, float* samples, int frames);
