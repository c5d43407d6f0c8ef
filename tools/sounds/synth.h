// Building blocks for the game's sound effects: a seeded noise source, filters,
// keyframed contours and level helpers. Everything is mono at 44100 Hz, in floats
// from -1 to 1, and the same seed always gives the same samples.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace synth {

constexpr int sampleRate = 44100;
constexpr double pi = 3.14159265358979323846;

using Samples = std::vector<float>;

Samples silence(double seconds);
inline double secondsOf(const Samples& s) { return double(s.size()) / sampleRate; }
inline int framesOf(double seconds) { return int(seconds * sampleRate + 0.5); }

// Our own generator (xorshift with a splitmix start), so every build writes the same sounds
// whatever the C library's rand does.
class Noise {
public:
    explicit Noise(uint64_t seed);
    double uniform();   // [0, 1)
    double white();     // [-1, 1)
    double gaussian();  // mean 0, deviation 1
private:
    uint64_t state_;
};

// Two-pole filter in direct form; coefficients from the usual audio recipes.
class Biquad {
public:
    static Biquad lowPass(double hz, double q);
    static Biquad highPass(double hz, double q);
    static Biquad bandPass(double hz, double q);  // 0 dB at the centre
    void retune(const Biquad& other);             // new coefficients, same history
    double run(double x);

private:
    // The recipes differ only in their numerator: all share the denominator
    // 1 + alpha, -2 cos w, 1 - alpha, and are divided through by its first term.
    static Biquad normalised(double cosw, double alpha, double b0, double b1, double b2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class OnePoleLowPass {
public:
    explicit OnePoleLowPass(double hz);
    void retune(double hz);
    double run(double x);

private:
    double a_ = 0, y_ = 0;
};

// A value that moves between keyframes (seconds, value) in straight lines and holds
// beyond the first and last one.
class Contour {
public:
    Contour(std::initializer_list<std::pair<double, double>> points);
    double at(double seconds) const;
    double end() const;

private:
    std::vector<std::pair<double, double>> points_;
};

// exp(-t / tau) from time `start`, 0 before it.
double decay(double t, double start, double tau);
// Rises linearly over `attack` seconds, then decays with time constant `tau`.
double strike(double t, double attack, double tau);

// Adds `part` into `mix` from `atSeconds` on, scaled by `gain`, growing `mix` if needed.
void mixInto(Samples& mix, const Samples& part, double atSeconds, double gain);
// Scales to the given peak (0 to 1); a silent buffer stays silent.
void normalizePeak(Samples& s, double peak);
// Gentle saturation that rounds off the loudest peaks without hard clipping.
void softClip(Samples& s, double drive);
// Short linear fades at both ends, so no sound starts or stops with a click.
void fadeEnds(Samples& s, double fadeIn, double fadeOut);
double peakOf(const Samples& s);
double rmsOf(const Samples& s);

}  // namespace synth
