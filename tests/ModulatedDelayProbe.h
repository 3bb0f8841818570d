#pragma once
// Probes shared by the chorus and flanger tests.
#include "dsp/CORVDSPAlgInterface.h"
#include "platform/TickCount.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
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

// The algorithm code as its four bytes lie in memory.
inline std::string CodeBytes(const CORVDSPAlgInterface& effect)
{
    char bytes[4];
    std::memcpy(bytes, &effect.fourCC, 4);
    return std::string(bytes, 4);
}

// A factory preset: its name and the values from parameter 2 on, without the
// trailing "Sync coeff" and "Tap", which are 0 in every preset.
using PresetRow = std::pair<std::string, std::vector<float>>;

inline void ExpectPresets(CORVDSPAlgInterface& effect, const std::vector<PresetRow>& expected)
{
    ASSERT_EQ(effect.presets.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        effect.ApplyPresetByIndex(int32_t(i));
        ASSERT_NE(effect.currentPreset, nullptr);
        EXPECT_EQ(effect.currentPreset->name, expected[i].first);
        const std::vector<float>& values = expected[i].second;
        for (size_t p = 0; p < values.size(); ++p)
            EXPECT_EQ(effect.Value(int32_t(2 + p)), values[p]) << expected[i].first << " " << p;
        EXPECT_EQ(effect.Value(int32_t(2 + values.size())), 0.0f) << expected[i].first;
        EXPECT_EQ(effect.Value(int32_t(3 + values.size())), 0.0f) << expected[i].first;
    }
}

// A bass chord: a low E under a mid and a high partial.
inline std::vector<float> Chord(size_t frames, float scale = 1.0f)
{
    std::vector<float> signal(frames);
    const std::vector<float> low = testing_support::Sine(41.2, 44100.0, frames, 0.4f * scale);
    const std::vector<float> mid = testing_support::Sine(330.0, 44100.0, frames, 0.2f * scale);
    const std::vector<float> high = testing_support::Sine(2500.0, 44100.0, frames, 0.1f * scale);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = low[i] + mid[i] + high[i];
    return signal;
}

// How far the output strays from the input, relative to the input, after
// the first `from` samples.
inline double Deviation(const std::vector<float>& output, const std::vector<float>& input, size_t from)
{
    std::vector<float> difference(input.size());
    for (size_t t = 0; t < input.size(); ++t)
        difference[t] = output[t] - input[t];
    return testing_support::Rms(difference, from) / testing_support::Rms(input, from);
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
