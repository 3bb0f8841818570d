#include "dsp/CORVDSPParameter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CORVDSPParameter Make(int32_t scale, float minValue, float maxValue, std::vector<std::string> texts = {"dB"})
{
    return CORVDSPParameter(nullptr, "Gain", std::move(texts), minValue, maxValue, 1.0f, minValue, scale);
}

} // namespace

TEST(ParameterScale, LinearMapsAndClamps)
{
    CORVDSPParameter p = Make(ScaleLinear, 10.0f, 700.0f, {"BPM"});
    p.SetNormalized(0.5f);
    EXPECT_FLOAT_EQ(p.value, 355.0f);
    p.SetValue(800.0f); // above the range: value kept, normalised clamped
    EXPECT_FLOAT_EQ(p.value, 800.0f);
    EXPECT_FLOAT_EQ(p.normValue, 1.0f);
    p.SetValue(-5.0f);
    EXPECT_FLOAT_EQ(p.normValue, 0.0f);
}

TEST(ParameterScale, LogarithmicEndsAndClamps)
{
    CORVDSPParameter p = Make(ScaleLog, 20.0f, 20000.0f, {"Hz"});
    p.SetNormalized(1.0f);
    EXPECT_EQ(p.value, 20000.0f); // exactly the maximum, not exp(ln max) rounded
    p.SetNormalized(0.5f);
    EXPECT_NEAR(p.value, std::sqrt(20.0f * 20000.0f), 0.01f);
    p.SetValue(10.0f);
    EXPECT_EQ(p.normValue, 0.0f);
    p.SetValue(0.0f);
    EXPECT_EQ(p.normValue, 0.0f);
    p.SetValue(1e9f);
    EXPECT_EQ(p.normValue, 1.0f);
    p.SetValue(632.455532f);
    EXPECT_NEAR(p.normValue, 0.5f, 1e-6f);
}

TEST(ParameterScale, SquareIsQuadraticAndUnclamped)
{
    CORVDSPParameter p = Make(ScaleSquare, 0.0f, 100.0f, {"%"});
    p.SetNormalized(0.5f);
    EXPECT_FLOAT_EQ(p.value, 25.0f);
    p.SetValue(64.0f);
    EXPECT_FLOAT_EQ(p.normValue, 0.8f);
    p.SetValue(400.0f);
    EXPECT_FLOAT_EQ(p.normValue, 2.0f);
}

TEST(ParameterScale, DefaultNormIsComputedFromDefault)
{
    CORVDSPParameter p(nullptr, "Tempo", "BPM", 10.0f, 700.0f, 1.0f, 300.0f, ScaleLinear);
    EXPECT_FLOAT_EQ(p.defaultNorm, 290.0f / 690.0f);
    EXPECT_EQ(p.value, 10.0f); // a new record starts at the minimum
    EXPECT_EQ(p.normValue, 0.0f);
    ASSERT_EQ(p.valueTexts.size(), 1u);
    EXPECT_EQ(p.valueTexts[0], "BPM");
}

TEST(ParameterText, NumberAndUnitForms)
{
    CORVDSPParameter p(nullptr, "Tempo", "BPM", 10.0f, 700.0f, 1.0f, 300.0f, ScaleLinear);
    p.SetValue(120.0f);
    EXPECT_EQ(p.GetText(true, true), "Tempo: 120.0 BPM");
    EXPECT_EQ(p.GetText(false, true), "120.0 BPM");
    EXPECT_EQ(p.GetText(false, false), "120.0");
    EXPECT_EQ(p.GetText(true, false), "120.0");
    EXPECT_EQ(p.GetText(true, true, 98.44f), "Tempo: 98.4 BPM");
    EXPECT_EQ(p.GetText(true, true, -3.0f), "Tempo: 120.0 BPM"); // negative means current
}

TEST(ParameterText, NoUnitScaleDropsTheUnit)
{
    CORVDSPParameter p = Make(ScaleLinearNoUnit, 0.0f, 10.0f, {"x"});
    p.SetValue(2.0f);
    EXPECT_EQ(p.GetText(false, true), "2.0 ");
}

TEST(ParameterText, ListShowsEntryWithBlanks)
{
    CORVDSPParameter p(nullptr, "Sync coeff", std::vector<std::string>{"Off", "1/1", "1/2"}, 0.0f, 2.0f, 1.0f,
                       0.0f, ScaleList);
    p.SetValue(1.0f);
    EXPECT_EQ(p.GetText(true, true), "Sync coeff:  1/1");
    EXPECT_EQ(p.GetText(false, true), " 1/1");
    EXPECT_EQ(p.GetText(false, false), "1/1");
    EXPECT_EQ(p.GetText(false, false, 1.5f), "1/2"); // halves round upward
    EXPECT_EQ(p.GetText(false, false, 1.49f), "1/1");
    EXPECT_EQ(p.GetText(false, false, 7.0f), ""); // no such entry
}

TEST(ParameterText, TwoSidedUnitsFollowTheMidpoint)
{
    CORVDSPParameter p(nullptr, "Center", std::vector<std::string>{"% Left", "% Right"}, -40.0f, 40.0f, 1.0f,
                       0.0f, ScaleTwoSided);
    EXPECT_EQ(p.GetText(false, true, 10.0f), "10.0 % Right");
    p.SetValue(0.0f);
    EXPECT_EQ(p.GetText(true, true), "Center: 0.0 ");
    p.SetValue(-10.0f);
    EXPECT_FLOAT_EQ(p.normValue, 0.375f);
}

TEST(ParameterText, DecibelMinimumShowsMinusInfinity)
{
    CORVDSPParameter p = Make(ScaleDecibel, -60.0f, 12.0f);
    p.SetValue(-60.0f);
    EXPECT_EQ(p.GetText(false, true), "-Inf ");
    EXPECT_EQ(p.GetText(true, true), "Gain: -Inf ");
    EXPECT_EQ(p.GetText(false, false), "-Inf");
    EXPECT_EQ(p.GetText(false, true, 0.0f), "0.0 dB");
}

TEST(ParameterText, OffAtEitherEnd)
{
    CORVDSPParameter low = Make(ScaleOffAtMin, 0.0f, 10.0f, {"ms"});
    low.SetValue(0.0f);
    EXPECT_EQ(low.GetText(false, true), "Off ");
    EXPECT_EQ(low.GetText(false, true, 5.0f), "5.0 ms");
    CORVDSPParameter high = Make(ScaleOffAtMax, 0.0f, 10.0f, {"ms"});
    high.SetValue(10.0f);
    EXPECT_EQ(high.GetText(false, true), "Off ");
    EXPECT_EQ(high.GetText(false, true, 9.5f), "9.5 ms");
}
