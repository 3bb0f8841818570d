#pragma once
#include "dsp/CORVDSPAlgInterface.h"
#include "tests/TestSupport.h"

#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace wah_reverb_testing {

// Constructed the way the effect instance does it: a reinitialisation is due
// before the first block.
template <class Effect>
std::unique_ptr<Effect> Make(double sampleRate = 44100.0)
{
    auto effect = std::make_unique<Effect>(sampleRate, 256);
    effect->needsReinit = true;
    return effect;
}

inline void Set(CORVDSPAlgInterface& effect, int32_t index, float plain)
{
    effect.GetParameter(index)->SetValue(plain);
}

// The same signal into both channels; the left output.
inline std::vector<float> Play(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512)
{
    std::vector<float> left = input;
    std::vector<float> right = input;
    testing_support::ProcessInBlocks(effect, left, right, blockSize);
    return left;
}

inline std::vector<float> Impulse(size_t frames)
{
    std::vector<float> signal(frames, 0.0f);
    signal[0] = 1.0f;
    return signal;
}

// Output over input level of a steady sine, measured once the effect has
// settled on it.
inline double GainAt(CORVDSPAlgInterface& effect, double frequency, double seconds = 0.5)
{
    const auto input = testing_support::Sine(frequency, effect.sampleRate, size_t(effect.sampleRate * seconds));
    const auto output = Play(effect, input);
    return testing_support::Rms(output, output.size() / 2) / testing_support::Rms(input, input.size() / 2);
}

// |DTFT| of a response at one frequency.
inline double Magnitude(const std::vector<float>& response, double frequency, double sampleRate)
{
    std::complex<double> sum = 0.0;
    const std::complex<double> step = std::polar(1.0, -2.0 * M_PI * frequency / sampleRate);
    std::complex<double> phasor = 1.0;
    for (float v : response) {
        sum += double(v) * phasor;
        phasor *= step;
    }
    return std::abs(sum);
}

} // namespace wah_reverb_testing
