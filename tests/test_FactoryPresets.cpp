// The one relation every effect's factory presets keep: the first,
// "Default", holds every parameter's default and is the current preset of a
// new instance.
#include "core/CORVEffectCatalogue.h"
#include "tests/EffectContract.h"

#include <gtest/gtest.h>

TEST(FactoryPresets, DefaultHoldsEveryParametersDefaultAndIsCurrent)
{
    for (int32_t id : testing_support::EveryEffectId()) {
        const auto effect = CreateAlgorithm(id, 44100.0, 256);
        const char* name = FindCatalogueEntry(id)->shortName;
        const CORVDSPPreset& preset = *effect->presets.at(0);
        ASSERT_EQ(preset.values.size(), effect->parameters.size()) << name;
        size_t k = 0;
        for (const auto& [index, parameter] : effect->parameters) {
            EXPECT_EQ(parameter->defaultValue, preset.values[k]) << name << " " << parameter->name;
            EXPECT_EQ(parameter->value, preset.values[k]) << name << " " << parameter->name;
            ++k;
        }
        EXPECT_EQ(effect->currentPreset, &preset) << name;
    }
}
