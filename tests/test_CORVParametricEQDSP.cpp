#include "effects/drive/CORVParametricEQDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using testing_support::MakeAtHostRate;
using testing_support::MeasuredGainDb;

namespace {

using Pe = CORVParametricEQDSP;

Pe& Set(Pe& pe, Pe::FilterType type, float gain, float frequency = 1000.0f, float q = 1.0f)
{
    pe.GetParameter(Pe::kGain)->SetValue(gain);
    pe.GetParameter(Pe::kFrequency)->SetValue(frequency);
    pe.GetParameter(Pe::kQ)->SetValue(q);
    pe.GetParameter(Pe::kFilterType)->SetValue(float(type));
    pe.UpdateParameters(pe.needsReinit);
    return pe;
}

// The designed section's magnitude in dB, without the output gain.
double SectionDb(const Pe& pe, double f)
{
    const Pe::Coefficients& c = pe.Coefs();
    const std::complex<double> z = std::polar(1.0, -2.0 * M_PI * f / pe.sampleRate);
    return testing_support::Db(std::abs((c.b0 + (c.b1 + c.b2 * z) * z) / (c.a0 + (c.a1 + c.a2 * z) * z)));
}

// What a constant (DC) or an alternating (Nyquist) input of 0.25 settles to.
double SettledGainDb(Pe& pe, bool alternating)
{
    std::vector<float> left(44100);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = alternating && i % 2 ? -0.25f : 0.25f;
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(pe, left, right, 1024);
    return testing_support::Db(std::fabs(left.back()) / 0.25);
}

} // namespace

TEST(ParametricEQ, PresetsShapeAsNamed)
{
    // "Default": a high shelf raising the top by 12 dB and leaving 0 Hz alone.
    auto pe = MakeAtHostRate<Pe>();
    pe->UpdateParameters(true);
    EXPECT_EQ(pe->Type(), Pe::kHighShelf);
    EXPECT_NEAR(SectionDb(*pe, 0.0), 0.0, 1e-9);
    EXPECT_NEAR(SectionDb(*pe, 22050.0), 12.0, 1e-9);
    EXPECT_NEAR(SettledGainDb(*pe, false), 0.0, 1e-5);
    EXPECT_NEAR(SettledGainDb(*pe, true), 12.0, 1e-5);

    // "Low Pass": 800 Hz, Q 0.776 (a low-pass stands at Q at its corner), unity output.
    pe->ApplyPreset("Low Pass");
    pe->UpdateParameters(false);
    EXPECT_NEAR(SectionDb(*pe, 0.0), 0.0, 1e-9);
    EXPECT_NEAR(SectionDb(*pe, 800.0), testing_support::Db(0.776f), 1e-6);
    EXPECT_NEAR(MeasuredGainDb(*pe, 800.0, 44100.0), testing_support::Db(0.776f), 0.01);
}

TEST(ParametricEQ, OutputGainRules)
{
    // The pass shapes apply half of "Gain" at the output, the notch all of
    // it; shelves and peak keep it in the section.  Measured where each
    // section itself is exactly 0 dB or exactly its gain.
    struct Case {
        Pe::FilterType type;
        float gain;
        bool alternating;
        double expectedDb;
    };
    const Case cases[] = {
        {Pe::kLowPass, 12.0f, false, 6.0},    {Pe::kHighPass, 12.0f, true, 6.0}, {Pe::kHighPass, -12.0f, true, -6.0},
        {Pe::kNotch, 12.0f, false, 12.0},     {Pe::kNotch, -7.0f, true, -7.0},   {Pe::kLowShelf, 12.0f, false, 12.0},
        {Pe::kLowShelf, -12.0f, true, 0.0},   {Pe::kHighShelf, -9.0f, true, -9.0}, {Pe::kPeak, 12.0f, false, 0.0},
    };
    for (const Case& c : cases) {
        auto pe = MakeAtHostRate<Pe>();
        EXPECT_NEAR(SettledGainDb(Set(*pe, c.type, c.gain), c.alternating), c.expectedDb, 1e-4)
            << c.type << " " << c.gain;
    }
}

TEST(ParametricEQ, PeakReachesItsGainAtTheCentreWithTwiceQInOctaves)
{
    struct Case {
        double fs;
        float frequency, gain, q;
    };
    for (const Case& c : {Case{44100.0, 1000.0f, 12.0f, 1.0f}, Case{44100.0, 5000.0f, -8.0f, 0.3f},
                          Case{192000.0, 25.0f, 12.0f, 0.1f}, Case{22050.0, 9000.0f, -12.0f, 3.0f}}) {
        auto pe = MakeAtHostRate<Pe>(c.fs);
        Set(*pe, Pe::kPeak, c.gain, c.frequency, c.q);
        EXPECT_NEAR(SectionDb(*pe, c.frequency), c.gain, 1e-6);
        EXPECT_NEAR(MeasuredGainDb(*pe, c.frequency, c.fs, c.frequency < 100.0f ? 2.0 : 0.3), c.gain, 0.1)
            << c.frequency << " at " << c.fs;
    }
    // "Q" 1: the half-gain points lie an octave either side, 2 octaves apart.
    auto pe = MakeAtHostRate<Pe>();
    Set(*pe, Pe::kPeak, 12.0f, 1000.0f, 1.0f);
    EXPECT_NEAR(SectionDb(*pe, 500.0), 6.0, 0.1);
    EXPECT_NEAR(SectionDb(*pe, 2000.0), 6.0, 0.1);
}

