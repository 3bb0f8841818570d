#include "dsp/CORVParRelations.h"

#include "platform/TickCount.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

using testing_support::TempoTestAlgorithm;

namespace {

uint32_t fakeNow = 0;
uint32_t FakeTicks() { return fakeNow; }

// Drives the tap-tempo clock for one test and restores the real one after.
class TapTempo : public ::testing::Test {
protected:
    void SetUp() override { platform::SetTickSource(&FakeTicks); }
    void TearDown() override { platform::SetTickSource(nullptr); }

    static void PressAt(CORVDSPAlgInterface& algorithm, uint32_t milliseconds, float value = 1.0f)
    {
        fakeNow = milliseconds;
        algorithm.OnParameterChange(1, value);
    }
};

} // namespace

TEST_F(TapTempo, TwoPressesHalfASecondApartGive120BeatsPerMinute)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.5f);
    PressAt(algorithm, 10000);
    EXPECT_EQ(algorithm.tapTime, 10000u);
    EXPECT_EQ(algorithm.GetTapState(), 0.0f);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 300.0f); // first press only arms
    PressAt(algorithm, 10500);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 120.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.5f);
    EXPECT_EQ(algorithm.tapTime, 0u);
    EXPECT_FALSE(algorithm.bypassed);
    EXPECT_TRUE(algorithm.parametersChanged);
}

TEST_F(TapTempo, RateParameterGetsHertz)
{
    TempoTestAlgorithm algorithm(true);
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
    PressAt(algorithm, 2000);
    PressAt(algorithm, 2500);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 2.0f);
}

TEST_F(TapTempo, IntervalAcrossTheCounterWrap)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
    PressAt(algorithm, 0xFFFFFF00u);
    PressAt(algorithm, 0xFFFFFF00u + 250u); // wraps past zero
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 240.0f);
}

TEST_F(TapTempo, TempoOutsideTheRangeKeepsValueButClampsNormalised)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
    PressAt(algorithm, 100);
    PressAt(algorithm, 150); // 1200 BPM, above the 700 maximum
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 1200.0f);
    EXPECT_FLOAT_EQ(algorithm.GetParameter(TempoTestAlgorithm::kTempo)->normValue, 1.0f);
}

TEST_F(TapTempo, TurningTapOffRestoresTheFootSwitchBypass)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(1, 1.0f);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_TRUE(algorithm.savedBypass);
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
    algorithm.bypassed = false; // as the effect would while tapping
    PressAt(algorithm, 1000, 0.0f);
    PressAt(algorithm, 2000, 0.0f);
    EXPECT_TRUE(algorithm.savedBypass); // presses in tap mode leave the saved state
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 60.0f);
    algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 0.0f);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_EQ(algorithm.GetTapState(), 0.0f);
}

TEST(ParRelations, FootSwitchBypassesOnAnyNonZeroValue)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(1, 0.25f);
    EXPECT_TRUE(algorithm.bypassed);
    algorithm.OnParameterChange(1, 0.0f);
    EXPECT_FALSE(algorithm.bypassed);
    EXPECT_FALSE(algorithm.savedBypass);
}

TEST(ParRelations, TempoChangeTellsWhenSyncOverridesIt)
{
    TempoTestAlgorithm algorithm;
    const float norm120 = (120.0f - 1.0f) / 699.0f;
    EXPECT_TRUE(algorithm.OnParameterChange(TempoTestAlgorithm::kTempo, norm120).empty());
    algorithm.OnParameterChange(TempoTestAlgorithm::kSyncCoeff, 5.0f / 8.0f); // "1/8"
    EXPECT_EQ(algorithm.OnParameterChange(TempoTestAlgorithm::kTempo, norm120), "Tempo: 120.0 BPM (Sync !)");
    EXPECT_TRUE(algorithm.OnParameterChange(TempoTestAlgorithm::kGain, 0.5f).empty());
}

TEST(ParRelations, IndicesOutsideTheControlsAreIgnored)
{
    TempoTestAlgorithm algorithm;
    algorithm.parametersChanged = false;
    algorithm.OnParameterChange(0, 1.0f);
    algorithm.OnParameterChange(14, 1.0f);
    algorithm.OnParameterChange(9, 1.0f); // no such parameter
    EXPECT_FALSE(algorithm.parametersChanged);
    EXPECT_FALSE(algorithm.bypassed);
}

TEST(ParRelations, ChangeStoresTheValueAndRaisesTheFlag)
{
    TempoTestAlgorithm algorithm;
    algorithm.parametersChanged = false;
    algorithm.OnParameterChange(TempoTestAlgorithm::kGain, 0.25f);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kGain), 0.5f);
    EXPECT_TRUE(algorithm.parametersChanged);
}

TEST(AlgorithmTables, PresetsApplyOnlyWhenTheyFit)
{
    TempoTestAlgorithm algorithm;
    EXPECT_EQ(algorithm.currentPreset, algorithm.presets.at(0).get());
    algorithm.ApplyPreset("Slow");
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 60.0f);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kGain), 0.5f);
    EXPECT_EQ(algorithm.currentPreset->name, "Slow");

    algorithm.ApplyPresetByIndex(0);
    algorithm.ApplyPreset("Short"); // one value too few
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 300.0f);
    EXPECT_EQ(algorithm.currentPreset->name, "Default");
    algorithm.ApplyPreset("slow"); // names match exactly
    algorithm.ApplyPresetByIndex(7);
    EXPECT_EQ(algorithm.currentPreset->name, "Default");
}

TEST(AlgorithmTables, LookupsByIndexAndName)
{
    TempoTestAlgorithm algorithm;
    int32_t index = 0;
    ASSERT_NE(algorithm.FindParameter("Sync coeff", &index), nullptr);
    EXPECT_EQ(index, TempoTestAlgorithm::kSyncCoeff);
    EXPECT_EQ(algorithm.FindParameter("Sync"), nullptr);
    EXPECT_EQ(algorithm.FindParameter("sync coeff"), nullptr);
    EXPECT_EQ(algorithm.GetParameter(1), nullptr);
    EXPECT_EQ(algorithm.Value(1), 0.0f);

    algorithm.AddParameter(TempoTestAlgorithm::kGain,
                           std::make_unique<CORVDSPParameter>(&algorithm, "Other", "dB", 0, 1, 1, 0, ScaleLinear));
    EXPECT_EQ(algorithm.GetParameter(TempoTestAlgorithm::kGain)->name, "Gain"); // first record stays
}

TEST(AlgorithmBase, Defaults)
{
    TempoTestAlgorithm algorithm;
    EXPECT_EQ(algorithm.fourCC, 0x6F727631u); // 'orv1'
    EXPECT_EQ(algorithm.tempo, 120.0);
    EXPECT_EQ(algorithm.longName, "Orvanta Audio Plug-In");
    EXPECT_EQ(algorithm.shortName, "DSP");
    EXPECT_EQ(algorithm.inputPeaks, nullptr);
}
