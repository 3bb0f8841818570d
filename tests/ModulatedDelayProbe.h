#pragma once
// Probes shared by the chorus and flanger tests.
#include "core/CORVDSPAlgInterface.h"
#include "platform/TickCount.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace modulated_delay_probe {

// Constructed the way the effect instance does it: a reinitialisation is due
// before the first block.
template <class Effect>
std::unique_ptr<Effect> Make(double sampleRate = 44100.0)
{
    auto effect = std::make_unique<Effect>(sampleRate, 256);
    effect->needsReinit = true;
    return effect;
}

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Runs the effect over a stereo signal in place, in blocks of blockSize.
inline Stereo RunStereo(CORVDSPAlgInterface& effect, std::vector<float> left, std::vector<float> right,
                  int32_t blockSize = 512)
{
    testing_support::ProcessInBlocks(effect, left, right, blockSize);
    return {std::move(left), std::move(right)};
}

inline Stereo RunMono(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512)
{
    return RunStereo(effect, input, input, blockSize);
}

inline std::vector<float> Impulse(size_t frames, size_t at = 0)
{
    std::vector<float> signal(frames, 0.0f);
    signal[at] = 1.0f;
    return signal;
}

// in[t] = t: a delayed and linearly interpolated ramp is the ramp minus the
// delay, so the output reveals the delay it was read at, sample by sample.
inline std::vector<float> Ramp(size_t frames)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = float(i);
    return signal;
}

// The delay, in samples, at which each output sample read the line, given
// the output for the ramp input.  With feedback the line holds more than the
// input; it is rebuilt from the outputs (line = feedback x tap + input, tap =
// (output - dry x input) / wet), and the read position found on it.  Samples
// before `from` (the line still filling) come back as NaN.
inline std::vector<double> SweptDelays(const std::vector<float>& output, double dry, double wet, double feedback,
                                       size_t from)
{
    const size_t frames = output.size();
    std::vector<double> tap(frames);
    std::vector<double> line(frames);
    for (size_t t = 0; t < frames; ++t) {
        tap[t] = (double(output[t]) - dry * double(t)) / wet;
        line[t] = feedback * tap[t] + double(t);
    }
    std::vector<double> delays(frames, std::nan(""));
    for (size_t t = std::max<size_t>(from, 1); t < frames; ++t) {
        // The line rises with t, so the read position is found by bisection.
        const auto above = std::upper_bound(line.begin(), line.begin() + long(t), tap[t]);
        if (above == line.begin() || above == line.begin() + long(t))
            continue;
        const size_t k = size_t(above - line.begin()) - 1;
        const double position = double(k) + (tap[t] - line[k]) / (line[k + 1] - line[k]);
        delays[t] = double(t) - position;
    }
    return delays;
}

inline std::pair<double, double> Range(const std::vector<double>& values, size_t from = 0, size_t to = ~size_t(0))
{
    double low = INFINITY;
    double high = -INFINITY;
    for (size_t i = from; i < std::min(to, values.size()); ++i) {
        if (std::isnan(values[i]))
            continue;
        low = std::min(low, values[i]);
        high = std::max(high, values[i]);
    }
    return {low, high};
}

inline size_t ArgMax(const std::vector<double>& values, size_t from, size_t to)
{
    size_t best = from;
    for (size_t i = from; i < to; ++i)
        if (values[i] > values[best])
            best = i;
    return best;
}

// Sets "Rate" (index rate) from two foot-switch presses 500 ms apart with tap
// mode on.
inline void TapTwoPressesHalfASecondApart(CORVDSPAlgInterface& effect, int32_t tapIndex)
{
    static uint32_t ticks = 0;
    platform::SetTickSource([] { return ticks; });
    effect.OnParameterChange(tapIndex, 1.0f);
    ticks = 10000;
    effect.OnParameterChange(1, 1.0f);
    ticks = 10500;
    effect.OnParameterChange(1, 1.0f);
    platform::SetTickSource(nullptr);
}

// The normalised value of entry k of a list parameter with entries 0..last.
inline float ListEntry(int k, int last) { return float(k) / float(last); }

} // namespace modulated_delay_probe
