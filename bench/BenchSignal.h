#pragma once
#include <cstddef>
#include <vector>

namespace bench {

// Every benchmark runs at this rate, a studio's usual one.
inline constexpr double kSampleRate = 48000.0;

// A few seconds of guitar-like test signal: plucked, decaying partials with
// a little noise, so effects see realistic levels and spectra.
std::vector<float> GuitarLikeSignal(double sampleRate, size_t frames);

struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;
};

// A played stereo guitar part: six plucked strings that ring on, strummed
// chords, arpeggios and a single-note line at changing dynamics, with muted
// rests over a faint noise floor.  Effects that follow the envelope
// (dynamics, wah, gate) see attacks, decays and near-silence as in a real
// take.  Peaks reach -6 dBFS; the same duration always gives the same signal.
StereoSignal GuitarPerformance(double sampleRate, double seconds);

} // namespace bench
