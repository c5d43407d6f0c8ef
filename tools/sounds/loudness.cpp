#include "loudness.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "synth.h"

namespace synth {

namespace {

// A first-order section made by the bilinear transform with its corner pre-warped, so
// the corner lands where the analogue filter has it even close to the top of the band.
class FirstOrder {
public:
    static FirstOrder highPass(double hz) { return make(hz, true); }
    static FirstOrder lowPass(double hz) { return make(hz, false); }
    double run(double x) {
        double y = b0_ * x + b1_ * x1_ - a1_ * y1_;
        x1_ = x;
        y1_ = y;
        return y;
    }
    double gainAt(double hz) const {
        std::complex<double> z1 = std::polar(1.0, -2 * pi * hz / sampleRate);
        return std::abs((b0_ + b1_ * z1) / (1.0 + a1_ * z1));
    }

private:
    static FirstOrder make(double hz, bool high) {
        double k = 2.0 * sampleRate;
        double w = k * std::tan(pi * hz / sampleRate);
        FirstOrder f;
        f.b0_ = (high ? k : w) / (k + w);
        f.b1_ = high ? -f.b0_ : f.b0_;
        f.a1_ = (w - k) / (k + w);
        return f;
    }
    double b0_ = 1, b1_ = 0, a1_ = 0, x1_ = 0, y1_ = 0;
};

// The A-weighting curve: four zeros at 0 Hz, two poles at 20.6 Hz, one each at 107.7 and
// 737.9 Hz, two at 12194 Hz, scaled to 0 dB at 1 kHz. Within a dB of the standard curve
// up to 10 kHz, which is all a level reading needs.
std::vector<float> aWeighted(const std::vector<float>& s) {
    FirstOrder sections[] = {FirstOrder::highPass(20.598997), FirstOrder::highPass(20.598997),
                             FirstOrder::highPass(107.65265), FirstOrder::highPass(737.86223),
                             FirstOrder::lowPass(12194.217),  FirstOrder::lowPass(12194.217)};
    double atOneKilohertz = 1;
    for (const FirstOrder& f : sections) atOneKilohertz *= f.gainAt(1000);
    std::vector<float> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        double y = s[i];
        for (FirstOrder& f : sections) y = f.run(y);
        out[i] = float(y / atOneKilohertz);
    }
    return out;
}

// 48 dB per octave below 250 Hz: four two-pole sections with the Butterworth Qs.
std::vector<float> smallSpeaker(const std::vector<float>& s) {
    Biquad sections[] = {Biquad::highPass(250, 0.50980), Biquad::highPass(250, 0.60134), Biquad::highPass(250, 0.89998),
                         Biquad::highPass(250, 2.56292)};
    std::vector<float> out(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        double y = s[i];
        for (Biquad& f : sections) y = f.run(y);
        out[i] = float(y);
    }
    return out;
}

}  // namespace

std::vector<float> readOgg(const std::string& path) {
    std::vector<float> out;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return out;
    float** channels = nullptr;
    int section = 0;
    long frames;
    while ((frames = ov_read_float(&file, &channels, 1024, &section)) > 0)
        out.insert(out.end(), channels[0], channels[0] + frames);
    ov_clear(&file);
    return out;
}

double loudestWindowDb(const std::vector<float>& s, double seconds) {
    const size_t window = std::max<size_t>(1, size_t(seconds * sampleRate + 0.5));
    double sum = 0, best = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += double(s[i]) * s[i];
        if (i >= window) sum -= double(s[i - window]) * s[i - window];
        best = std::max(best, sum);
    }
    // A sound shorter than the window counts as padded with silence.
    double meanSquare = best / double(window);
    return meanSquare > 1e-20 ? 10 * std::log10(meanSquare) : -200.0;
}

namespace {

// Mean squares of consecutive 50 ms windows.
std::vector<double> windowPowers(const std::vector<float>& s) {
    const size_t window = size_t(0.05 * sampleRate);
    std::vector<double> powers;
    for (size_t at = 0; at < s.size(); at += window) {
        double sum = 0;
        size_t end = std::min(s.size(), at + window);
        for (size_t i = at; i < end; ++i) sum += double(s[i]) * s[i];
        powers.push_back(sum / double(window));
    }
    return powers;
}

}  // namespace

double loudestAt(const std::vector<float>& s) {
    std::vector<double> powers = windowPowers(s);
    if (powers.empty()) return 0;
    return 0.05 * double(std::max_element(powers.begin(), powers.end()) - powers.begin());
}

double fadedBy(const std::vector<float>& s, double dbBelowLoudest) {
    std::vector<double> powers = windowPowers(s);
    if (powers.empty()) return 0;
    double floor = *std::max_element(powers.begin(), powers.end()) * std::pow(10.0, -dbBelowLoudest / 10);
    size_t last = powers.size();
    while (last > 0 && powers[last - 1] < floor) --last;
    return 0.05 * double(last);
}

double loudestAWeightedDb(const std::vector<float>& s) { return loudestWindowDb(aWeighted(s), 0.4); }

double loudestSmallSpeakerDb(const std::vector<float>& s) { return loudestWindowDb(smallSpeaker(s), 0.05); }

}  // namespace synth
