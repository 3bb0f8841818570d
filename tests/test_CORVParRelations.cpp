#include "dsp/CORVBPMParRelations.h"
#include "dsp/CORVDSPParameter.h"
#include "dsp/CORVParRelations.h"

#include "platform/TickCount.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

#include <cmath>

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
// the top ends the hold, and the foot switch taps again.
TEST_F(TapTempo, DelayHoldsAtTopDecayAndOtherwiseTaps)
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
    PressAt(algorithm, 5000);
    PressAt(algorithm, 5400);
    EXPECT_FLOAT_EQ(algorithm.Value(Hold::kTempo), 150.0f);
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
}

namespace {

CORVDSPParameter Make(int32_t scale, float minValue, float maxValue, std::vector<std::string> texts,
                      float defaultValue = 0.0f, const char* name = "Gain")
{
    return CORVDSPParameter(nullptr, name, std::move(texts), minValue, maxValue, 1.0f, defaultValue, scale);
}

} // namespace

// Plain value from a normalised one and back, per scale: the ends exact,
// out-of-range values kept as they are with the normalised value clamped
// (the square scale alone is not clamped).
TEST(ParameterScale, EachScaleMapsBothWays)
{
    struct Case {
        int32_t scale;
        float minValue, maxValue;
        float normalised, plain;       // SetNormalized(normalised) gives plain
        float setPlain, normalisedOut; // SetValue(setPlain) gives normalisedOut
    };
    const Case cases[] = {
        {ScaleLinear, 10.0f, 700.0f, 0.5f, 355.0f, 800.0f, 1.0f},
        {ScaleLog, 20.0f, 20000.0f, 1.0f, 20000.0f, 1e9f, 1.0f},
        {ScaleLog, 20.0f, 20000.0f, 0.5f, std::sqrt(20.0f * 20000.0f), 632.455532f, 0.5f},
        {ScaleSquare, 0.0f, 100.0f, 0.5f, 25.0f, 64.0f, 0.8f},
        {ScaleTwoSided, -40.0f, 40.0f, 0.5f, 0.0f, -10.0f, 0.375f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << " at " << c.normalised);
        CORVDSPParameter p = Make(c.scale, c.minValue, c.maxValue, {"u", "v"});
        p.SetNormalized(c.normalised);
        if (c.normalised == 1.0f)
            EXPECT_EQ(p.value, c.plain); // the maximum exactly, not exp(ln max) rounded
        else
            EXPECT_NEAR(p.value, c.plain, std::fabs(c.plain) * 1e-6f);
        p.SetValue(c.setPlain);
        EXPECT_EQ(p.value, c.setPlain);
        EXPECT_NEAR(p.normValue, c.normalisedOut, 1e-6f);
    }
    const CORVDSPParameter tempo = Make(ScaleLinear, 10.0f, 700.0f, {"BPM"}, 300.0f);
    EXPECT_FLOAT_EQ(tempo.defaultNorm, 290.0f / 690.0f);
    EXPECT_EQ(tempo.value, 10.0f); // a new record starts at the minimum
}

// The text a parameter shows for its value (or a given one; negative means
// the current value), with or without its name and its unit.
TEST(ParameterText, EveryScaleShowsItsValueItsOwnWay)
{
    struct Case {
        int32_t scale;
        float minValue, maxValue;
        std::vector<std::string> texts;
        float value;
        bool withName, withUnit;
        float shown;
        const char* expected;
    };
    const std::vector<std::string> sync = {"Off", "1/1", "1/2"};
    const std::vector<std::string> sides = {"% Left", "% Right"};
    const Case cases[] = {
        {ScaleLinear, 10, 700, {"BPM"}, 120, true, true, -1, "Gain: 120.0 BPM"},
        {ScaleLinear, 10, 700, {"BPM"}, 120, true, true, 98.44f, "Gain: 98.4 BPM"},
        {ScaleLinearNoUnit, 0, 10, {"x"}, 2, false, true, -1, "2.0 "},
        {ScaleList, 0, 2, sync, 1, true, true, -1, "Gain:  1/1"},
        {ScaleList, 0, 2, sync, 1, false, false, 1.5f, "1/2"}, // halves round upward
        {ScaleList, 0, 2, sync, 1, false, false, 1.49f, "1/1"},
        {ScaleList, 0, 2, sync, 1, false, false, 7.0f, ""}, // no such entry
        {ScaleTwoSided, -40, 40, sides, 0, false, true, 10.0f, "10.0 % Right"},
        {ScaleDecibel, -60, 12, {"dB"}, -60, false, true, -1, "-Inf "},
        {ScaleDecibel, -60, 12, {"dB"}, -60, false, true, 0.0f, "0.0 dB"},
        {ScaleOffAtMax, 0, 10, {"ms"}, 10, false, true, 9.5f, "9.5 ms"},
    };
    for (const Case& c : cases) {
        CORVDSPParameter p = Make(c.scale, c.minValue, c.maxValue, c.texts);
        p.SetValue(c.value);
        EXPECT_EQ(p.GetText(c.withName, c.withUnit, c.shown), c.expected)
            << "scale " << c.scale << " value " << c.value << " shown " << c.shown;
    }
}
