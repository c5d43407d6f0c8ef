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
Formants formantsOf(Vowel v, double tract) {
    struct Row {
        Vowel vowel;
        double man[3], woman[3];
    };
    static const Row table[] = {
        {Vowel::a, {730, 1090, 2440}, {850, 1220, 2810}},  {Vowel::ae, {660, 1720, 2410}, {860, 2050, 2850}},
        {Vowel::eh, {530, 1840, 2480}, {610, 2330, 2990}}, {Vowel::ee, {270, 2290, 3010}, {310, 2790, 3310}},
        {Vowel::oo, {300, 870, 2240}, {370, 950, 2670}},   {Vowel::aw, {570, 840, 2410}, {590, 920, 2710}},
        {Vowel::uh, {640, 1190, 2390}, {760, 1400, 2780}}, {Vowel::book, {440, 1020, 2240}, {470, 1160, 2680}},
        {Vowel::er, {490, 1350, 1690}, {500, 1640, 1960}},
    };
    const Row* row = &table[0];
    for (const Row& r : table)
        if (r.vowel == v) row = &r;
    auto blend = [tract](double man, double woman) { return man + tract * (woman - man); };
    Formants out{{blend(row->man[0], row->woman[0]), blend(row->man[1], row->woman[1]),
                  blend(row->man[2], row->woman[2]), blend(3500, 4100), blend(4500, 4950), blend(5500, 6200)},
                 {90, 110, 160, 250, 300, 500}};
    return out;
}

Formants formantsAt(const Cry& cry, double t) {
    double position = std::clamp(cry.vowelPath.at(t), 0.0, double(cry.vowels.size() - 1));
    size_t i = size_t(position);
    size_t j = std::min(i + 1, cry.vowels.size() - 1);
    double blend = position - double(i);
    Formants a = formantsOf(cry.vowels[i], cry.tract);
    Formants b = formantsOf(cry.vowels[j], cry.tract);
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
    Glottis(const Cry& cry, Noise& noise) : cry_(cry), noise_(noise), waver_(waverHz), drift_(driftHz) {}

    // The flow's slope this sample, and whether the glottis is open (breath flows then).
    double run(double t, bool& open) {
        wavering_ = waver_.run(noise_.white());
        drifting_ = drift_.run(noise_.white());
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
        // A voice in pain wavers unevenly: slow random drift, never a singer's steady vibrato,
        // and a slower wander of twice the spread that bends the whole line.
        double waver = 1 + cry_.tremble * std::clamp(wavering_ * waverScale, -3.0, 3.0);
        double wander = 1 + 2 * cry_.tremble * std::clamp(drifting_ * driftScale, -3.0, 3.0);
        double hz = cry_.pitch.at(t) * waver * wander * catchFactor();
        // As the breath runs out the voice frays: the periods alternate long and short and
        // vary more, the creak of a voice at its end.
        double spent = std::clamp(1 - cry_.loudness.at(t) / 0.4, 0.0, 1.0);
        if (t > 0.5 * cry_.seconds) hz *= 1 + (periods_ % 2 == 0 ? 0.12 : -0.1) * spent;
        pulseHz_ = hz * (1 + cry_.jitter * (1 + 2 * spent) * noise_.gaussian());
        strength_ = std::max(0.0, 1 + cry_.shimmer * noise_.gaussian());
        if (periods_ % 2 == 0) strength_ *= 1 - cry_.roughness;
    }

    // Now and then the voice catches: for 40 to 100 ms the pitch dips or cracks upward by
    // 5 to 15 % and comes back, about twice a second.
    double catchFactor() {
        if (catchLeft_ == 0 && noise_.uniform() < catchesPerSecond / std::max(pulseHz_, 80.0)) {
            double seconds = 0.04 + 0.06 * noise_.uniform();
            catchLength_ = catchLeft_ = std::max(2, int(seconds * std::max(pulseHz_, 80.0)));
            catchDepth_ = (noise_.uniform() < 0.7 ? -1 : 1) * (0.05 + 0.1 * noise_.uniform());
        }
        if (catchLeft_ == 0) return 1;
        --catchLeft_;
        return 1 + catchDepth_ * std::sin(pi * double(catchLength_ - catchLeft_) / double(catchLength_));
    }

    // Low-passed white noise has a small spread; these bring it back to about 1.
    static constexpr double waverHz = 7.0;
    static constexpr double driftHz = 1.5;
    static constexpr double catchesPerSecond = 2.0;
    const double waverScale = std::sqrt(3.0 / (1 - std::exp(-2 * pi * waverHz / sampleRate)) * 2);
    const double driftScale = std::sqrt(3.0 / (1 - std::exp(-2 * pi * driftHz / sampleRate)) * 2);

    const Cry& cry_;
    Noise& noise_;
    OnePoleLowPass waver_, drift_;
    double wavering_ = 0, drifting_ = 0;
    double phase_ = 0, pulseHz_ = 0, strength_ = 1;
    long periods_ = 0;
    int catchLeft_ = 0, catchLength_ = 0;
    double catchDepth_ = 0;
};

}  // namespace

Samples speakCry(const Cry& cry) {
    Noise noise(cry.seed);
    Glottis glottis(cry, noise);
    // The mouth never holds a vowel still: its formants wander by a few per cent.
    Noise mouthNoise(cry.seed + 1000);
    const double mouthHz = 3.0;
    const double mouthScale = std::sqrt(3.0 / (1 - std::exp(-2 * pi * mouthHz / sampleRate)) * 2);
    OnePoleLowPass mouthWander(mouthHz);
    double mouth = 0;
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
        mouth = mouthWander.run(mouthNoise.white());
        if (i % 32 == 0) {
            Formants f = formantsAt(cry, t);
            double wander = 1 + 0.03 * std::clamp(mouth * mouthScale, -2.5, 2.5);
            for (int k = 0; k < formantCount; ++k) tract[k].tune(f.hz[k] * (k < 3 ? wander : 1.0), f.bandwidth[k]);
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
