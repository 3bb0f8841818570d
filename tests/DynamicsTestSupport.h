#pragma once
#include "dsp/CORVDSPAlgInterface.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dynamics_testing {

// Constructed the way the effect instance does it: a full reinitialisation
// is due before the first block.
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

// A piecewise constant signal: each piece is (frames, level).
inline std::vector<float> Steps(const std::vector<std::pair<size_t, float>>& pieces)
{
    std::vector<float> signal;
    for (const auto& [frames, level] : pieces)
        signal.insert(signal.end(), frames, level);
    return signal;
}

// The signal on both channels through the effect; the applied gain of every
// sample (output over input, 0 where the input is 0).
inline std::vector<float> GainCurve(CORVDSPAlgInterface& effect, const std::vector<float>& input,
                                    int32_t blockSize = 512)
{
    std::vector<float> left = input;
    std::vector<float> right = input;
    testing_support::ProcessInBlocks(effect, left, right, blockSize);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = input[i] != 0.0f ? left[i] / input[i] : 0.0f;
    return left;
}

// The first index at or after from whose value satisfies the predicate, or
// the size of the curve when none does.
template <class Predicate>
size_t FirstWhere(const std::vector<float>& curve, size_t from, Predicate predicate)
{
    for (size_t i = from; i < curve.size(); ++i)
        if (predicate(curve[i]))
            return i;
    return curve.size();
}

// The algorithm code as its bytes lie in memory ("1umc" for 'cmu1').
inline std::string CodeBytes(const CORVDSPAlgInterface& effect)
{
    char bytes[4];
    std::memcpy(bytes, &effect.fourCC, 4);
    return std::string(bytes, 4);
}

// The display text, with name and unit, of every parameter in index order.
inline std::vector<std::string> Texts(const CORVDSPAlgInterface& effect)
{
    std::vector<std::string> texts;
    for (const auto& entry : effect.parameters)
        texts.push_back(entry.second->GetText(true, true).str());
    return texts;
}

using PresetTable = std::vector<std::pair<std::string, std::vector<float>>>;

// Applies every factory preset in table order and compares its values.
inline void ExpectPresets(CORVDSPAlgInterface& effect, const PresetTable& expected)
{
    ASSERT_EQ(effect.presets.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        effect.ApplyPresetByIndex(int32_t(i));
        ASSERT_NE(effect.currentPreset, nullptr);
        EXPECT_EQ(effect.currentPreset->name, expected[i].first);
        std::vector<float> values;
        for (const auto& entry : effect.parameters)
            values.push_back(entry.second->value);
        EXPECT_EQ(values, expected[i].second) << expected[i].first;
    }
}

inline double Db(double gain) { return 20.0 * std::log10(gain); }
inline float FromDb(double db) { return float(std::pow(10.0, db / 20.0)); }

} // namespace dynamics_testing
