#include "dsp/CORVBPMParRelations.h"
#include "dsp/CORVParRelations.h"

#include "platform/TickCount.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

using testing_support::HoldTestAlgorithm;
using testing_support::TempoTestAlgorithm;
using Hold = CORVBPMParRelations::Index;

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

// The interval between two presses of the foot switch in tap mode sets the
// tempo (or the rate in hertz), across the wrap of the millisecond counter
// and beyond the parameter's range, whose normalised value alone is clamped.
TEST_F(TapTempo, IntervalBetweenTwoPressesSetsTheTempo)
{
    struct Case {
        bool rateInHertz;
        uint32_t first, second;
        float expected, normalised;
    };
    const Case cases[] = {
        {false, 10000, 10500, 120.0f, 119.0f / 699.0f},
        {true, 2000, 2500, 2.0f, 1.0f / 699.0f},
        {false, 0xFFFFFF9Cu, 150u, 240.0f, 239.0f / 699.0f}, // 100 ms before the wrap, 150 ms after
        {false, 100, 150, 1200.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TempoTestAlgorithm algorithm(c.rateInHertz);
        algorithm.OnParameterChange(TempoTestAlgorithm::kTap, 1.0f);
        PressAt(algorithm, c.first);
        EXPECT_EQ(algorithm.GetTapState(), 0.0f);
        EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 300.0f); // the first press only arms
        algorithm.parametersChanged = false;
        PressAt(algorithm, c.second);
        EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), c.expected);
        EXPECT_NEAR(algorithm.GetParameter(TempoTestAlgorithm::kTempo)->normValue, c.normalised, 1e-6f);
        EXPECT_EQ(algorithm.GetTapState(), 0.5f);
        EXPECT_FALSE(algorithm.bypassed);
        EXPECT_TRUE(algorithm.parametersChanged);
    }
}

TEST_F(TapTempo, FootSwitchBypassesUnlessTappingAndTapOffRestoresIt)
{
    TempoTestAlgorithm algorithm;
    algorithm.OnParameterChange(1, 0.25f); // any value but zero
    EXPECT_TRUE(algorithm.bypassed);
    algorithm.OnParameterChange(1, 0.0f);
    EXPECT_FALSE(algorithm.bypassed);
    EXPECT_FALSE(algorithm.savedBypass);
    algorithm.OnParameterChange(1, 1.0f);
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

// The delay's hold: decay at its top holds (bypassing the input) and the
// foot switch then cycles the hold modes; tap stays off meanwhile; leaving
// the top ends the hold.  Otherwise the foot switch taps or bypasses.
TEST_F(TapTempo, DelayHoldsAtTopDecayAndOtherwiseTapsOrBypasses)
{
    HoldTestAlgorithm algorithm;
    algorithm.OnParameterChange(Hold::kTap, 1.0f);
    algorithm.OnParameterChange(Hold::kDecay, 1.0f);
    EXPECT_EQ(algorithm.GetHoldMode(), 1);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_EQ(algorithm.GetParameter(Hold::kTap)->normValue, 0.0f); // tap forced off
    algorithm.OnParameterChange(Hold::kTap, 1.0f);
    EXPECT_EQ(algorithm.GetParameter(Hold::kTap)->normValue, 0.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.0f);
    for (int32_t mode : {2, 3, 1, 2, 3, 1}) {
        algorithm.OnParameterChange(1, 1.0f);
        EXPECT_EQ(algorithm.GetHoldMode(), mode);
        EXPECT_EQ(algorithm.bypassed, mode == 1);
    }
    algorithm.OnParameterChange(Hold::kDecay, 0.99f);
    EXPECT_EQ(algorithm.GetHoldMode(), 0);
    EXPECT_FALSE(algorithm.bypassed);
    EXPECT_FLOAT_EQ(algorithm.Value(Hold::kDecay), 99.0f);

    algorithm.OnParameterChange(Hold::kTap, 1.0f);
    EXPECT_EQ(algorithm.GetTapState(), 0.5f);
    PressAt(algorithm, 5000);
    PressAt(algorithm, 5400);
    EXPECT_FLOAT_EQ(algorithm.Value(Hold::kTempo), 150.0f);
    EXPECT_FALSE(algorithm.bypassed);
    algorithm.OnParameterChange(Hold::kTap, 0.0f);
    algorithm.OnParameterChange(1, 1.0f);
    EXPECT_TRUE(algorithm.bypassed);
    EXPECT_TRUE(algorithm.savedBypass);
}

TEST(ParRelations, TempoChangeTellsWhenSyncOverridesItAndStrayIndicesAreIgnored)
{
    TempoTestAlgorithm algorithm;
    const float norm120 = (120.0f - 1.0f) / 699.0f;
    EXPECT_TRUE(algorithm.OnParameterChange(TempoTestAlgorithm::kTempo, norm120).empty());
    algorithm.OnParameterChange(TempoTestAlgorithm::kSyncCoeff, 5.0f / 8.0f); // "1/8"
    EXPECT_EQ(algorithm.OnParameterChange(TempoTestAlgorithm::kTempo, norm120), "Tempo: 120.0 BPM (Sync !)");
    EXPECT_TRUE(algorithm.OnParameterChange(TempoTestAlgorithm::kGain, 0.25f).empty());
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kGain), 0.5f);

    algorithm.parametersChanged = false;
    for (int32_t index : {0, 14, 9}) // before the controls, after them, and a gap
        algorithm.OnParameterChange(index, 1.0f);
    EXPECT_FALSE(algorithm.parametersChanged);
    EXPECT_FALSE(algorithm.bypassed);

    HoldTestAlgorithm delay;
    const float norm160 = (160.0f - 40.0f) / 1160.0f;
    EXPECT_TRUE(delay.OnParameterChange(Hold::kTempo, norm160).empty());
    delay.OnParameterChange(Hold::kSyncCoeff, 3.0f / 8.0f);
    EXPECT_EQ(delay.OnParameterChange(Hold::kTempo, norm160), "Tempo: 160.0 BPM (Sync !)");
    EXPECT_TRUE(delay.OnParameterChange(9, 1.0f).empty());
}

TEST(AlgorithmTables, PresetsApplyOnlyWhenTheyFitAndLookupsMatchExactly)
{
    TempoTestAlgorithm algorithm;
    algorithm.ApplyPreset("Slow");
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kGain), 0.5f);
    algorithm.ApplyPresetByIndex(0);
    for (const char* name : {"Short", "slow"}) // one value too few; names match exactly
        algorithm.ApplyPreset(name);
    algorithm.ApplyPresetByIndex(7);
    EXPECT_FLOAT_EQ(algorithm.Value(TempoTestAlgorithm::kTempo), 300.0f);
    EXPECT_EQ(algorithm.currentPreset->name, "Default");

    int32_t index = 0;
    ASSERT_NE(algorithm.FindParameter("Sync coeff", &index), nullptr);
    EXPECT_EQ(index, TempoTestAlgorithm::kSyncCoeff);
    EXPECT_EQ(algorithm.FindParameter("Sync"), nullptr);
    EXPECT_EQ(algorithm.FindParameter("sync coeff"), nullptr);
    EXPECT_EQ(algorithm.GetParameter(1), nullptr);
    algorithm.AddParameter(TempoTestAlgorithm::kGain,
                           std::make_unique<CORVDSPParameter>(&algorithm, "Other", "dB", 0, 1, 1, 0, ScaleLinear));
    EXPECT_EQ(algorithm.GetParameter(TempoTestAlgorithm::kGain)->name, "Gain"); // the first record stays
}
