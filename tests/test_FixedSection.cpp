#include "effects/drive/FixedSection.h"

#include "tests/DriveTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace drive_testing;

namespace {

// Rows of every kind, boosting and cutting, narrow and wide.
const std::vector<EqSectionSpec> kRows{
    {kEqPeak, 68, -240, 2},     {kEqPeak, 1625, -49, 10},     {kEqPeak, 5383, 136, 5},
    {kEqPeak, 11776, 203, 5},   {kEqPeak, 500, 60, 1},        {kEqLowShelf, 40, -240, 0},
    {kEqLowShelf, 300, 90, 0},  {kEqHighShelf, 3000, 60, 0},  {kEqHighShelf, 3000, -120, 0},
    {kEqSecondLowShelf, 100, 84, 0}, {kEqSecondLowShelf, 200, 85, 0},
};

FixedSection Designed(const EqSectionSpec& row, double fs)
{
    FixedSection section;
    DesignEqSection(row, section, fs);
    return section;
}

// The gain a sine of frequency f measures through the running kernel.
double MeasuredGain(FixedSection section, double frequency, double fs)
{
    const size_t frames = size_t(fs);
    std::vector<float> signal = testing_support::Sine(frequency, fs, frames, 0.25f);
    for (float& x : signal)
        x = ProcessFixedSection(section, x);
    return AmplitudeAt(signal, frequency, fs, frames / 2) / 0.25;
}

} // namespace

TEST(FixedSection, DesignsMeetTheirRowsAtSeveralRates)
{
    for (double fs : {44100.0, 48000.0, 96000.0})
        for (const EqSectionSpec& row : kRows)
            ExpectSectionShape(Designed(row, fs).coefs, row, fs, 0.01);
}

TEST(FixedSection, UnknownTypesAreTheIdentityAndDesignKeepsTheState)
{
    for (int32_t type : {0, 5, -1}) {
        const BiquadCoefs c = Designed({type, 1000, 120, 3}, 44100.0).coefs;
        EXPECT_TRUE(c.g == 1.0f && c.b1 == 0.0f && c.b2 == 0.0f && c.a1 == 0.0f && c.a2 == 0.0f) << type;
    }
    FixedSection section;
    section.state = {0.25f, -0.5f};
    DesignEqSection(kRows[0], section, 44100.0);
    EXPECT_EQ(section.state.state1, 0.25f);
    EXPECT_EQ(section.state.state2, -0.5f);
}

TEST(FixedSection, RunningKernelMeasuresTheTransferFunction)
{
    for (const EqSectionSpec& row : kRows) {
        const FixedSection section = Designed(row, 44100.0);
        for (double f : {60.0, 440.0, 1625.0, 5383.0, 12000.0})
            EXPECT_NEAR(Db(MeasuredGain(section, f, 44100.0)), BiquadMagnitudeDb(section.coefs, f, 44100.0), 2e-3)
                << row.type << " " << row.frequency << " at " << f;
    }
}

TEST(FixedSection, KernelAppliesTheGainLastAndFlushesTinyValues)
{
    FixedSection section;
    section.coefs = {0.5f, 0.25f, 0.125f, -0.5f, 0.25f};
    // Impulse response of g·(1 + b1 z⁻¹ + b2 z⁻²)/(1 + a1 z⁻¹ + a2 z⁻²).
    EXPECT_EQ(ProcessFixedSection(section, 1.0f), 0.5f);
    EXPECT_EQ(ProcessFixedSection(section, 0.0f), 0.5f * (0.25f + 0.5f));
    EXPECT_EQ(ProcessFixedSection(section, 0.0f), 0.5f * (0.125f + 0.5f * 0.75f - 0.25f));

    FixedSection quiet;
    const float tiny = std::numeric_limits<float>::denorm_min() * 1000.0f;
    EXPECT_EQ(ProcessFixedSection(quiet, tiny), 0.0f);  // a subnormal sum is flushed
    EXPECT_FALSE(std::signbit(ProcessFixedSection(quiet, -0.0f)));
    quiet.coefs.g = 1e-30f;
    EXPECT_EQ(ProcessFixedSection(quiet, 1e-10f), 0.0f);  // so is a subnormal output
}
