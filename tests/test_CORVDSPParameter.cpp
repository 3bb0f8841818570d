#include "dsp/CORVDSPParameter.h"

#include <gtest/gtest.h>

#include <cmath>

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
        {ScaleLinear, 10.0f, 700.0f, 0.0f, 10.0f, -5.0f, 0.0f},
        {ScaleLog, 20.0f, 20000.0f, 1.0f, 20000.0f, 1e9f, 1.0f},
        {ScaleLog, 20.0f, 20000.0f, 0.5f, std::sqrt(20.0f * 20000.0f), 632.455532f, 0.5f},
        {ScaleSquare, 0.0f, 100.0f, 0.5f, 25.0f, 64.0f, 0.8f},
        {ScaleSquare, 0.0f, 100.0f, 1.0f, 100.0f, 400.0f, 2.0f},
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
        {ScaleLinear, 10, 700, {"BPM"}, 120, false, true, -1, "120.0 BPM"},
        {ScaleLinear, 10, 700, {"BPM"}, 120, false, false, -1, "120.0"},
        {ScaleLinear, 10, 700, {"BPM"}, 120, true, true, 98.44f, "Gain: 98.4 BPM"},
        {ScaleLinearNoUnit, 0, 10, {"x"}, 2, false, true, -1, "2.0 "},
        {ScaleList, 0, 2, sync, 1, true, true, -1, "Gain:  1/1"},
        {ScaleList, 0, 2, sync, 1, false, false, -1, "1/1"},
        {ScaleList, 0, 2, sync, 1, false, false, 1.5f, "1/2"}, // halves round upward
        {ScaleList, 0, 2, sync, 1, false, false, 1.49f, "1/1"},
        {ScaleList, 0, 2, sync, 1, false, false, 7.0f, ""}, // no such entry
        {ScaleTwoSided, -40, 40, sides, 0, false, true, 10.0f, "10.0 % Right"},
        {ScaleTwoSided, -40, 40, sides, 0, true, true, -1, "Gain: 0.0 "},
        {ScaleDecibel, -60, 12, {"dB"}, -60, false, true, -1, "-Inf "},
        {ScaleDecibel, -60, 12, {"dB"}, -60, false, false, -1, "-Inf"},
        {ScaleDecibel, -60, 12, {"dB"}, -60, false, true, 0.0f, "0.0 dB"},
        {ScaleOffAtMin, 0, 10, {"ms"}, 0, false, true, -1, "Off "},
        {ScaleOffAtMax, 0, 10, {"ms"}, 10, false, true, -1, "Off "},
        {ScaleOffAtMax, 0, 10, {"ms"}, 10, false, true, 9.5f, "9.5 ms"},
    };
    for (const Case& c : cases) {
        CORVDSPParameter p = Make(c.scale, c.minValue, c.maxValue, c.texts);
        p.SetValue(c.value);
        EXPECT_EQ(p.GetText(c.withName, c.withUnit, c.shown), c.expected)
            << "scale " << c.scale << " value " << c.value << " shown " << c.shown;
    }
}
