#include "voice.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace synth {

namespace {

constexpr int formantCount = 6;
constexpr double upperGain = 0.6;

struct Formants {
    std::array<double, formantCount> hz;
    std::array<double, formantCount> bandwidth;
};

// Average adult formant frequencies for each vowel; the upper three are nearly fixed by
// the length of the vocal tract and keep a cry from sounding muffled.
Formants formantsOf(Vowel v, bool woman) {
    struct Row {
        Vowel vowel;
        double man[3], woman[3];
    };
    static const Row table[] = {
        {Vowel::a, {730, 1090, 2440}, {850, 1220, 2810}},
        {Vowel::ae, {660, 1720, 2410}, {860, 2050, 2850}},
        {Vowel::eh, {530, 1840, 2480}, {610, 2330, 2990}},
        {Vowel::ee, {270, 2290, 3010}, {310, 2790, 3310}},
        {Vowel::oo, {300, 870, 2240}, {370, 950, 2670}},
        {Vowel::aw, {570, 840, 2410}, {590, 920, 2710}},
        {Vowel::uh, {640, 1190, 2390}, {760, 1400, 2780}},
        {Vowel::book, {440, 1020, 2240}, {470, 1160, 2680}},
        {Vowel::er, {490, 1350, 1690}, {500, 1640, 1960}},
    };
    const Row* row = &table[0];
    for (const Row& r : table)
        if (r.vowel == v) row = &r;
    const double* f = woman ? row->woman : row->man;
    Formants out{{f[0], f[1], f[2], woman ? 4100.0 : 3500.0, woman ? 4950.0 : 4500.0, woman ? 6200.0 : 5500.0},
                 {90, 110, 160, 250, 300, 500}};
    return out;
}

Formants formantsAt(const Cry& cry, double t) {
    double position = std::clamp(cry.vowelPath.at(t), 0.0, double(cry.vowels.size() - 1));
    size_t i = size_t(position);
    size_t j = std::min(i + 1, cry.vowels.size() - 1);
    double blend = position - double(i);
    Formants a = formantsOf(cry.vowels[i], cry.woman);
    Formants b = formantsOf(cry.vowels[j], cry.woman);
    for (int k = 0; k < formantCount; ++k) {
        a.hz[k] += blend * (b.hz[k] - a.hz[k]);
        a.bandwidth[k] += blend * (b.bandwidth[k] - a.bandwidth[k]);
    }
    return a;
}

// One formant as a two-pole resonator with unit gain at 0 Hz, so a cascade of them
// keeps the relative heights of the formants that a real vocal tract gives.
class Resonator {
public:
    void tune(double hz, double bandwidth) {
        double r = std::exp(-pi * bandwidth / sampleRate);
        c_ = -r * r;
        b_ = 2 * r * std::cos(2 * pi * hz / sampleRate);
        a_ = 1 - b_ - c_;
    }
    double run(double x) {
        double y = a_ * x + b_ * y1_ + c_ * y2_;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double a_ = 1, b_ = 0, c_ = 0, y1_ = 0, y2_ = 0;
};

// The glottis: one pulse per period; jitter, shimmer, waver and rasp are drawn once
// per period, as the vocal folds would vary from one cycle to the next.
class Glottis {
public:
    Glottis(const Cry& cry, Noise& noise) : cry_(cry), noise_(noise), waver_(waverHz) {}

    // The flow's slope this sample, and whether the glottis is open (breath flows then).
    double run(double t, bool& open) {
        wavering_ = waver_.run(noise_.white());
        phase_ += pulseHz_ / sampleRate;
        if (phase_ >= 1.0 || pulseHz_ == 0) startPeriod(t);
        double x = phase_ / cry_.openQuotient;
        open = x < 1.0;
        // Slope of the flow x^2 - x^3: a smooth opening and a sudden closure, which is
        // what rings the formants.
        return open ? strength_ * (2 * x - 3 * x * x) : 0.0;
    }

private:
    void startPeriod(double t) {
        phase_ = pulseHz_ == 0 ? 0.0 : phase_ - 1.0;
        ++periods_;
        // A voice in pain wavers unevenly: slow random drift, never a singer's steady vibrato.
        double waver = 1 + cry_.tremble * std::clamp(wavering_ * waverScale, -3.0, 3.0);
        pulseHz_ = cry_.pitch.at(t) * waver * (1 + cry_.jitter * noise_.gaussian());
        strength_ = std::max(0.0, 1 + cry_.shimmer * noise_.gaussian());
        if (periods_ % 2 == 0) strength_ *= 1 - cry_.roughness;
    }

    // Low-passed white noise has a small spread; this brings it back to about 1.
    static constexpr double waverHz = 7.0;
    const double waverScale = std::sqrt(3.0 / (1 - std::exp(-2 * pi * waverHz / sampleRate)) * 2);

    const Cry& cry_;
    Noise& noise_;
    OnePoleLowPass waver_;
    double wavering_ = 0;
    double phase_ = 0, pulseHz_ = 0, strength_ = 1;
    long periods_ = 0;
};

}  // namespace

Samples speakCry(const Cry& cry) {
    Noise noise(cry.seed);
    Glottis glottis(cry, noise);
    OnePoleLowPass tilt(cry.brightness);
    Biquad breathBand = Biquad::highPass(700, 0.7);
    Biquad hoarseBand = Biquad::highPass(2500, 0.7);
    std::array<Resonator, formantCount> tract;
    // The upper formants again, side by side: a cascade of resonators alone loses the
    // edge a shouting voice has above 4 kHz.
    std::array<Biquad, 3> upper = {Biquad::bandPass(3500, 6), Biquad::bandPass(4500, 5), Biquad::bandPass(5500, 4)};
    Samples out = silence(cry.seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / sampleRate;
        if (i % 32 == 0) {
            Formants f = formantsAt(cry, t);
            for (int k = 0; k < formantCount; ++k) tract[k].tune(f.hz[k], f.bandwidth[k]);
            for (int k = 0; k < 3; ++k) upper[k].retune(Biquad::bandPass(f.hz[k + 3], 6 - k));
        }
        bool open = false;
        double voice = tilt.run(glottis.run(t, open));
        // Breath rushes through mostly while the glottis is open, and alone when the
        // voice falls silent at the end of a cry.
        double hiss = breathBand.run(noise.white()) * (open ? 1.0 : 0.45);
        double source = cry.loudness.at(t) * (voice + 0.35 * cry.breath.at(t) * hiss);
        double y = source;
        for (Resonator& r : tract) y = r.run(y);
        for (Biquad& b : upper) y += upperGain * b.run(source);
        // A strained throat hisses past the mouth as well as through it.
        double hoarse = hoarseBand.run(noise.white()) * cry.loudness.at(t) * cry.breath.at(t);
        out[i] = float(y + 0.06 * hoarse);
    }
    return out;
}

}  // namespace synth
