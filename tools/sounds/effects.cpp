// The gun, the bomb, the splatter and the click of the weapon.
#include <cmath>
#include <utility>

#include "sounds.h"

namespace synth {

namespace {

// A sine whose frequency may change every sample without jumps in phase.
class Oscillator {
public:
    double run(double hz) {
        phase_ += 2 * pi * hz / sampleRate;
        if (phase_ > 2 * pi) phase_ -= 2 * pi;
        return std::sin(phase_);
    }

private:
    double phase_ = 0;
};

// A struck metal part: a few damped modes plus a tick of noise where it is hit.
struct Mode {
    double hz, tau, gain;
};

Samples strikeMetal(const Mode* modes, int count, double tickTau, uint64_t seed, double seconds) {
    Noise noise(seed);
    Biquad tickBand = Biquad::highPass(1500, 0.7);
    Samples s = silence(seconds);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        double v = tickBand.run(noise.white()) * strike(t, 0.0002, tickTau);
        for (int m = 0; m < count; ++m)
            v += modes[m].gain * std::sin(2 * pi * modes[m].hz * t) * strike(t, 0.0003, modes[m].tau);
        s[i] = float(v);
    }
    return s;
}

// The shot's room: a couple of soft, darker echoes off the buildings.
Samples darkCopy(const Samples& s, double cutoff) {
    Biquad lowPass = Biquad::lowPass(cutoff, 0.7);
    Samples out(s.size());
    for (size_t i = 0; i < s.size(); ++i) out[i] = float(lowPass.run(s[i]));
    return out;
}

// A clod of earth landing: a few milliseconds of noise, darkened and quickly damped.
Samples debrisKnock(Noise& noise, double cutoff) {
    Biquad band = Biquad::lowPass(cutoff, 0.9);
    Samples s = silence(0.05);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        s[i] = float(band.run(noise.white()) * strike(t, 0.002, 0.008));
    }
    return s;
}

// The gun's and the blast's last steps: driven into a soft clip, the top octave dropped
// (the encoder drops it anyway; doing it here keeps the crack's peak where we put it
// instead of overshooting once encoded), faded out, and made the loudest of the sounds.
Samples finishBang(Samples s, double drive, double fadeOutSeconds) {
    softClip(s, drive);
    s = darkCopy(s, 14000);
    fadeEnds(s, 0.0, fadeOutSeconds);
    normalizePeak(s, 0.9);
    return s;
}

}  // namespace

// The report of the gun: a hard, saturated crack of noise from 1 to 5 kHz that carries on
// any speaker, the bark of the muzzle blast in the low mids as its body, a short low punch
// under it, and a tail that darkens as it dies away between the buildings.
Samples makeShot() {
    Noise noise(1);
    Biquad crackLow = Biquad::highPass(1000, 0.7);
    Biquad crackHigh = Biquad::lowPass(5500, 0.7);
    Biquad barkBand = Biquad::bandPass(420, 1.1);
    Biquad tailBand = Biquad::lowPass(3000, 0.7);
    Oscillator punch;
    Samples s = silence(0.5);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        if (i % 64 == 0) tailBand.retune(Biquad::lowPass(400 + 2600 * std::exp(-t / 0.07), 0.7));
        double w = noise.white();
        // Driven hard into saturation, the noise becomes a dense crack rather than a hiss.
        double crack = std::tanh(6.0 * crackHigh.run(crackLow.run(w))) * strike(t, 0.0004, 0.028);
        double bark = barkBand.run(w) * strike(t, 0.0015, 0.045);
        double low = punch.run(75 + 90 * std::exp(-t / 0.012)) * strike(t, 0.001, 0.03);
        double tail = tailBand.run(w) * decay(t, 0.01, 0.11);
        s[i] = float(0.9 * crack + 2.6 * bark + 0.5 * low + 0.5 * tail);
    }
    Samples echo = darkCopy(s, 2000);
    mixInto(s, echo, 0.07, 0.25);
    mixInto(s, echo, 0.15, 0.12);
    return finishBang(std::move(s), 2.5, 0.1);
}

// A blast's crack, a deep boom that sweeps down under it, a roar of air and a crackle of
// fire and falling debris through the low mids and up (what small speakers give of an
// explosion), and a rumble that rolls on for well over a second.
Samples makeExplosion() {
    Noise noise(2);
    Biquad crackBand = Biquad::highPass(700, 0.7);
    Biquad roarBand = Biquad::lowPass(2500, 0.8);
    Biquad roarFloor = Biquad::highPass(90, 0.7);
    Biquad crackleBand = Biquad::bandPass(900, 0.8);
    Biquad rumbleBand = Biquad::lowPass(140, 1.0);
    OnePoleLowPass rumbleSwell(6);
    OnePoleLowPass crackleSwell(18);
    Oscillator boom;
    Samples s = silence(2.0);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        if (i % 64 == 0) roarBand.retune(Biquad::lowPass(250 + 2300 * std::exp(-t / 0.18), 0.8));
        double w = noise.white();
        double crack = std::tanh(4.0 * crackBand.run(w)) * strike(t, 0.0005, 0.03);
        double low = boom.run(38 + 70 * std::exp(-t / 0.2)) * strike(t, 0.004, 0.3);
        double roar = roarBand.run(roarFloor.run(w)) * strike(t, 0.003, 0.4);
        // Crackle: noise in bursts, gated by a fast random swell, thinning out over a second.
        double gate = std::max(0.0, 6.0 * crackleSwell.run(noise.white()) - 0.05);
        double crackle = crackleBand.run(w) * gate * strike(t, 0.02, 0.5);
        double swell = 0.55 + 4.0 * std::fabs(rumbleSwell.run(noise.white()));
        double rumble = rumbleBand.run(w) * swell * strike(t, 0.1, 0.85);
        s[i] = float(0.9 * crack + 0.8 * low + 2.8 * roar + 1.8 * crackle + 1.6 * rumble);
    }
    // Debris: knocks of falling earth, thick at first and thinning out as the dust settles.
    for (int k = 0; k < 40; ++k) {
        double at = 0.08 + 1.2 * std::pow(noise.uniform(), 1.5);
        mixInto(s, debrisKnock(noise, 500 + 1500 * noise.uniform()), at, 0.5 * (1.4 - at));
    }
    return finishBang(std::move(s), 3.0, 0.4);
}

// A whistle that falls from high to low with the rush of air around it. Falls last from
// 0.3 to 1.2 s, but the sample is played as the bomb leaves: so it is loud at once, at its
// loudest in its first half, and gone by 0.8 s, so that neither a short nor a long fall
// has it ringing on over the blast.
Samples makeBombFall() {
    Noise noise(3);
    Biquad airBand = Biquad::bandPass(1500, 6);
    Oscillator whistle, overtone;
    const double seconds = 0.85;
    const Contour level = {{0, 0.7}, {0.06, 0.95}, {0.2, 1.0}, {0.45, 0.55}, {0.7, 0.12}, {0.8, 0.02}, {0.85, 0}};
    Samples s = silence(seconds);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        double hz = 1700 * std::pow(420.0 / 1700.0, t / seconds) * (1 + 0.004 * std::sin(2 * pi * 7 * t));
        if (i % 32 == 0) airBand.retune(Biquad::bandPass(hz, 6));
        double tone = whistle.run(hz) + 0.12 * overtone.run(2 * hz);
        double air = airBand.run(noise.white());
        s[i] = float(level.at(t) * (tone + 0.9 * air));
    }
    fadeEnds(s, 0.02, 0.02);
    // A steady tone carries further than a scream: kept well below the cries.
    normalizePeak(s, 0.25);
    return s;
}

// A wet splat: a thick, quickly darkening slap, a squelch that sinks in pitch, and a
// few drops that pop as they land. Variant 2 is heavier and lands twice.
Samples makeSplat(int variant) {
    Noise noise(variant == 1 ? 5 : 6);
    const bool heavy = variant != 1;
    Biquad slapBand = Biquad::lowPass(3000, 0.8);
    Biquad squelchBand = Biquad::bandPass(900, 3);
    Samples s = silence(heavy ? 0.42 : 0.32);
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / sampleRate;
        if (i % 32 == 0) {
            slapBand.retune(Biquad::lowPass(350 + 2600 * std::exp(-t / 0.03), 0.8));
            squelchBand.retune(Biquad::bandPass((heavy ? 220 : 300) + 700 * std::exp(-t / 0.05), 3));
        }
        double w = noise.white();
        double hits = strike(t, 0.002, 0.035) + (heavy ? 0.7 * strike(t - 0.05, 0.002, 0.04) : 0.0);
        double slap = slapBand.run(w) * hits;
        double squelch = squelchBand.run(w) * strike(t, 0.004, heavy ? 0.1 : 0.07);
        s[i] = float(slap + 2.2 * squelch);
    }
    for (int k = 0; k < 7; ++k) {
        double at = 0.03 + 0.2 * noise.uniform();
        double hz = 700 + 1100 * noise.uniform();
        Samples drop = silence(0.03);
        Oscillator pop;
        for (size_t i = 0; i < drop.size(); ++i) {
            double t = double(i) / sampleRate;
            drop[i] = float(pop.run(hz * (1 + 0.6 * t / 0.03)) * strike(t, 0.0005, 0.006));
        }
        mixInto(s, drop, at, 0.15 + 0.2 * noise.uniform());
    }
    // Rounded off and kept about 10 dB under the explosion, in peak and in loudness: a bomb
    // on a group starts five of each at once, and they add up in phase.
    softClip(s, 3.0);
    fadeEnds(s, 0.001, 0.05);
    normalizePeak(s, heavy ? 0.26 : 0.27);
    return s;
}

// The weapon's action: a light, bright click as the catch lets go, then the heavier
// clack of the slide coming home.
Samples makeEquip() {
    const Mode click[] = {{2300, 0.012, 1.0}, {3700, 0.008, 0.7}, {5100, 0.006, 0.5}, {7400, 0.004, 0.3}};
    const Mode clack[] = {{180, 0.03, 0.8}, {850, 0.04, 1.0}, {1450, 0.03, 0.8}, {2350, 0.02, 0.6}, {3300, 0.015, 0.4}};
    Samples s = silence(0.38);
    mixInto(s, strikeMetal(click, 4, 0.002, 7, 0.08), 0.01, 0.6);
    mixInto(s, strikeMetal(clack, 5, 0.004, 8, 0.2), 0.15, 1.0);
    fadeEnds(s, 0.0, 0.03);
    normalizePeak(s, 0.8);
    return s;
}

}  // namespace synth
