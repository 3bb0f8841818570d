#pragma once
// Checks shared by the tests of the guitar preamps and the power amp.
#include "dsp/CORVDSPAlgInterface.h"
#include "effects/common/BiquadResponse.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstring>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace amp_testing {

using Complex = std::complex<double>;

// The names, the code's bytes as they lie in memory, the parameters' texts at
// their defaults (which the "Default" preset sets), the tone knob's range and
// step, and the factory presets in order.
struct Identity {
    std::string longName;
    std::string shortName;
    std::string codeBytes;
    std::vector<std::string> defaultTexts;
    float toneMin, toneMax, toneStep;
    std::vector<std::pair<std::string, std::vector<float>>> presets;
};

inline void ExpectIdentity(const CORVDSPAlgInterface& effect, const Identity& expected)
{
    EXPECT_EQ(effect.longName, expected.longName);
    EXPECT_EQ(effect.shortName, expected.shortName);
    char bytes[4];
    std::memcpy(bytes, &effect.fourCC, 4);
    EXPECT_EQ(std::string(bytes, 4), expected.codeBytes);
    ASSERT_EQ(effect.parameters.size(), 3u);
    for (int32_t index = 2; index <= 4; ++index) {
        const CORVDSPParameter& p = *effect.GetParameter(index);
        EXPECT_EQ(p.GetText(true, true), expected.defaultTexts[size_t(index - 2)]);
        EXPECT_EQ(p.defaultValue, expected.presets[0].second[size_t(index - 2)]) << p.name;
    }
    const CORVDSPParameter& tone = *effect.GetParameter(3);
    EXPECT_EQ(tone.minValue, expected.toneMin);
    EXPECT_EQ(tone.maxValue, expected.toneMax);
    EXPECT_EQ(tone.step, expected.toneStep);
    ASSERT_EQ(effect.presets.size(), expected.presets.size());
    for (size_t i = 0; i < expected.presets.size(); ++i) {
        const CORVDSPPreset& preset = *effect.presets.at(int32_t(i));
        EXPECT_EQ(preset.name, expected.presets[i].first);
        EXPECT_EQ(preset.values, expected.presets[i].second) << preset.name;
    }
}

// Sets plain knob values by index and brings the coefficients up to date.
inline void SetKnobs(CORVDSPAlgInterface& effect, const std::vector<std::pair<int32_t, float>>& knobs)
{
    for (const auto& [index, value] : knobs)
        effect.GetParameter(index)->SetValue(value);
    effect.UpdateParameters(false);
}

// The complex gain at frequency f of a quiet sine through the effect, both
// channels alike, fitted over the second half of one second, after the
// coupling high-passes have settled.
inline Complex SmallSignalGain(CORVDSPAlgInterface& effect, double frequency, float amplitude)
{
    const double fs = effect.sampleRate;
    std::vector<float> left = testing_support::Sine(frequency, fs, size_t(fs), amplitude);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(effect, left, right, 512);
    EXPECT_EQ(left, right);
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (size_t n = left.size() / 2; n < left.size(); ++n) {
        const double phase = 2.0 * std::numbers::pi * frequency * double(n) / fs;
        const double s = std::sin(phase), c = std::cos(phase);
        ss += s * s, cc += c * c, sc += s * c, ys += left[n] * s, yc += left[n] * c;
    }
    // y = a·sin + b·cos is the sine shifted by arg(a + jb) and scaled by |a + jb|.
    const double det = ss * cc - sc * sc;
    return Complex((ys * cc - yc * sc) / det, (yc * ss - ys * sc) / det) / double(amplitude);
}

inline void ExpectGain(Complex measured, Complex expected, const std::string& where)
{
    EXPECT_LT(std::abs(measured / expected - 1.0), 1e-3)
        << where << ": measured " << measured << ", expected " << expected;
}

// Exact digital silence into a fresh effect: the chain starts from a tiny
// offset, so the output moves at first, and the coupling high-passes remove
// the offset again, so it settles to nothing.
inline void ExpectSilenceSettles(CORVDSPAlgInterface& effect)
{
    const size_t frames = size_t(effect.sampleRate) * 3;
    std::vector<float> left(frames, 0.0f);
    std::vector<float> right(frames, 0.0f);
    testing_support::ProcessInBlocks(effect, left, right, 1024);
    EXPECT_GT(testing_support::Peak(std::vector<float>(left.begin(), left.begin() + 256)), 0.0f);
    EXPECT_LT(testing_support::Peak(left, frames - frames / 6), 1e-12f);
    EXPECT_EQ(left, right);
}

} // namespace amp_testing
