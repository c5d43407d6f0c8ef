// How loud a sound is heard to be, two ways: over the loudest 400 ms A-weighted (roughly
// how a listener rates its level on good speakers) and over the loudest 50 ms after a
// steep 250 Hz high-pass (roughly what a laptop's small speakers make of its punch).
// Mono samples at 44100 Hz from -1 to 1; levels in dB against a full-scale square wave.
#pragma once

#include <string>
#include <vector>

namespace synth {

// The first channel of an Ogg Vorbis file, decoded as floats without clipping; empty
// when the file cannot be read.
std::vector<float> readOgg(const std::string& path);

// Loudest 400 ms window, A-weighted, in dB.
double loudestAWeightedDb(const std::vector<float>& samples);
// Loudest 50 ms window after an eighth-order Butterworth high-pass at 250 Hz, in dB.
double loudestSmallSpeakerDb(const std::vector<float>& samples);
// Loudest window of the given length, unweighted, in dB; -200 for silence.
double loudestWindowDb(const std::vector<float>& samples, double seconds);
// Where the loudest 50 ms window starts, in seconds.
double loudestAt(const std::vector<float>& samples);
// When the sound has faded for good: the start of the first 50 ms window after which no
// window is within `dbBelowLoudest` dB of the loudest one, in seconds.
double fadedBy(const std::vector<float>& samples, double dbBelowLoudest);

}  // namespace synth
