// The one relation every effect's factory presets keep: the first,
// "Default", holds every parameter's default and is the current preset of a
// new instance.
#include "core/CORVEffectCatalogue.h"
#include "tests/EffectContract.h"

#include <gtest/gtest.h>


class DefaultPreset : public ::testing::TestWithParam<int32_t> {};

TEST_P(DefaultPreset, HoldsEveryParametersDefaultAndIsCurrent)
{
    const auto effect = CreateAlgorithm(GetParam(), 44100.0, 256);
    const CORVDSPPreset& preset = *effect->presets.at(0);
    ASSERT_EQ(preset.values.size(), effect->parameters.size());
    size_t k = 0;
    for (const auto& [index, parameter] : effect->parameters) {
        EXPECT_EQ(parameter->defaultValue, preset.values[k]) << parameter->name;
        EXPECT_EQ(parameter->value, preset.values[k]) << parameter->name;
        ++k;
    }
    EXPECT_EQ(effect->currentPreset, &preset);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, DefaultPreset, ::testing::ValuesIn(testing_support::EveryEffectId()),
                         testing_support::EffectName());
