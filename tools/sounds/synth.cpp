#include "synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

Samples silence(double seconds) { return Samples(size_t(framesOf(seconds)), 0.0f); }

Noise::Noise(uint64_t seed) {
    // splitmix64 spreads even a small seed over all 64 bits; xorshift must not start at 0.
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state_ = (z ^ (z >> 31)) | 1;
}

double Noise::uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return double(state_ >> 11) / double(1ull << 53);
}

double Noise::white() { return 2.0 * uniform() - 1.0; }

double Noise::gaussian() {
    // The sum of twelve uniforms is close enough to normal for jitter and shimmer.
    double sum = 0;
    for (int i = 0; i < 12; ++i) sum += uniform();
    return sum - 6.0;
}

namespace {

struct Recipe {
    double cosw, alpha;
};

Recipe recipe(double hz, double q) {
    double w = 2 * pi * std::min(hz, sampleRate * 0.45) / sampleRate;
    return {std::cos(w), std::sin(w) / (2 * q)};
}

}  // namespace

Biquad Biquad::normalised(double cosw, double alpha, double b0, double b1, double b2) {
    const double a0 = 1 + alpha;
    Biquad f;
    f.b0_ = b0 / a0;
    f.b1_ = b1 / a0;
    f.b2_ = b2 / a0;
    f.a1_ = -2 * cosw / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

Biquad Biquad::lowPass(double hz, double q) {
    const Recipe r = recipe(hz, q);
    return normalised(r.cosw, r.alpha, (1 - r.cosw) / 2, 1 - r.cosw, (1 - r.cosw) / 2);
}

Biquad Biquad::highPass(double hz, double q) {
    const Recipe r = recipe(hz, q);
    return normalised(r.cosw, r.alpha, (1 + r.cosw) / 2, -(1 + r.cosw), (1 + r.cosw) / 2);
}

Biquad Biquad::bandPass(double hz, double q) {
    const Recipe r = recipe(hz, q);
    return normalised(r.cosw, r.alpha, r.alpha, 0, -r.alpha);
}

void Biquad::retune(const Biquad& other) {
    b0_ = other.b0_;
    b1_ = other.b1_;
    b2_ = other.b2_;
    a1_ = other.a1_;
    a2_ = other.a2_;
}

double Biquad::run(double x) {
    double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

OnePoleLowPass::OnePoleLowPass(double hz) { retune(hz); }

void OnePoleLowPass::retune(double hz) { a_ = 1 - std::exp(-2 * pi * hz / sampleRate); }

double OnePoleLowPass::run(double x) {
    y_ += a_ * (x - y_);
    return y_;
}

Contour::Contour(std::initializer_list<std::pair<double, double>> points) : points_(points) {}

double Contour::at(double seconds) const {
    if (points_.empty()) return 0;
    if (seconds <= points_.front().first) return points_.front().second;
    for (size_t i = 1; i < points_.size(); ++i) {
        const auto& [t1, v1] = points_[i];
        if (seconds <= t1) {
            const auto& [t0, v0] = points_[i - 1];
            double span = t1 - t0;
            return span <= 0 ? v1 : v0 + (v1 - v0) * (seconds - t0) / span;
        }
    }
    return points_.back().second;
}

double Contour::end() const { return points_.empty() ? 0 : points_.back().first; }

double decay(double t, double start, double tau) { return t < start ? 0.0 : std::exp(-(t - start) / tau); }

double strike(double t, double attack, double tau) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

void mixInto(Samples& mix, const Samples& part, double atSeconds, double gain) {
    size_t start = size_t(framesOf(atSeconds));
    if (mix.size() < start + part.size()) mix.resize(start + part.size(), 0.0f);
    for (size_t i = 0; i < part.size(); ++i) mix[start + i] += float(gain * part[i]);
}

double peakOf(const Samples& s) {
    double peak = 0;
    for (float v : s) peak = std::max(peak, double(std::fabs(v)));
    return peak;
}

double rmsOf(const Samples& s) {
    if (s.empty()) return 0;
    double sum = 0;
    for (float v : s) sum += double(v) * v;
    return std::sqrt(sum / double(s.size()));
}

void normalizePeak(Samples& s, double peak) {
    double current = peakOf(s);
    if (current <= 0) return;
    double gain = peak / current;
    for (float& v : s) v = float(v * gain);
}

void softClip(Samples& s, double drive) {
    double scale = std::tanh(drive);
    for (float& v : s) v = float(std::tanh(drive * v) / scale);
}

void fadeEnds(Samples& s, double fadeIn, double fadeOut) {
    size_t in = std::min(s.size(), size_t(framesOf(fadeIn)));
    size_t out = std::min(s.size(), size_t(framesOf(fadeOut)));
    for (size_t i = 0; i < in; ++i) s[i] = float(s[i] * double(i) / double(in));
    for (size_t i = 0; i < out; ++i) s[s.size() - 1 - i] = float(s[s.size() - 1 - i] * double(i) / double(out));
}

}  // namespace synth
