#include "effects/modulation/CORVPedalWahDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Output over input level of a steady sine, measured once the effect has
// settled on it.
double GainAt(CORVDSPAlgInterface& effect, double frequency)
{
    const auto input = Sine(frequency, effect.sampleRate, size_t(effect.sampleRate / 2));
    const auto output = Play(effect, input);
    return Rms(output, output.size() / 2) / Rms(input, input.size() / 2);
}

} // namespace
using Pw = CORVPedalWahDSP;

TEST(CORVPedalWahDSP, PolynomialTanAndCosHoldFloatPrecisionOverTheWahsAngles)
{
    // The widest band (Resonance 10, 2500 Hz) at 22050 Hz asks tan for 0.36
    // rad and cos for 0.71 rad; the polynomials are good to a quarter turn.
    for (double x = 0.0; x <= M_PI / 4; x += 1e-4) {
        ASSERT_NEAR(Pw::PolynomialTan(float(x)), std::tan(x), 2.5e-7) << x;
        ASSERT_NEAR(Pw::PolynomialCos(float(x)), std::cos(x), 1e-7) << x;
    }
    EXPECT_NEAR(Pw::PolynomialTan(0.5f), 0.5463025, 1e-7);
    EXPECT_NEAR(Pw::PolynomialCos(0.5f), 0.8775826, 1e-7);
}

TEST(CORVPedalWahDSP, PositionGlidesAcrossTheRangeInAbout198Samples)
{
    auto wah = Make<Pw>();
    Set(*wah, Pw::kPedal, 1.0f);
    Play(*wah, std::vector<float>(2000, 0.1f));
    // Settled on "Pedal" 1: the position hops around 0, the centre sits at
    // the "Range" frequency.
    EXPECT_NEAR(wah->Position(), 0.0f, 0.0051f);
    EXPECT_NEAR(wah->CentreFrequency(), 300.0f, 300.0f * 0.011f);

    wah->OnParameterChange(Pw::kPedal, 1.0f);
    int samples = 0;
    std::vector<float> one(1, 0.1f);
    while (wah->Position() < 0.99f - 0.0025f && samples < 1000) {
        Play(*wah, one, 1);
        ++samples;
    }
    EXPECT_NEAR(samples, 198, 2);
    Play(*wah, std::vector<float>(100, 0.1f));
    EXPECT_NEAR(wah->Position(), 0.99f, 0.0051f);
    // 300^0.015 · 2500^0.985 .. 2500: just below the top.
    EXPECT_LT(wah->CentreFrequency(), 2500.0f);
    EXPECT_GT(wah->CentreFrequency(), 2420.0f);
}

TEST(CORVPedalWahDSP, ResonanceSetsTheBandwidthAroundThePedalsCentre)
{
    struct Case {
        float pedal, resonance, range;
    };
    for (const Case c : {Case{1, 10, 440}, Case{1, 100, 440}, Case{100, 10, 200}, Case{100, 100, 200}}) {
        auto probe = Make<Pw>();
        Set(*probe, Pw::kPedal, c.pedal);
        Set(*probe, Pw::kResonance, c.resonance);
        Set(*probe, Pw::kRange, c.range);
        // The settled position alternates between two values; the filter sits
        // between their centres.
        Play(*probe, std::vector<float>(1000, 0.1f));
        const double before = probe->CentreFrequency();
        Play(*probe, std::vector<float>(1, 0.1f), 1);
        const double centre = std::sqrt(before * probe->CentreFrequency());
        // -3 dB points of this band-pass: bandwidth B apart in angle, placed so
        // that cos(centre) = cos(middle) / cos(B / 2).
        const double fs = probe->sampleRate;
        const double bandwidth = 2.0 * M_PI * centre * 10.0 / c.resonance / fs;
        const double middle = std::acos(std::cos(2.0 * M_PI * centre / fs) * std::cos(bandwidth / 2.0));
        const double lowEdge = (middle - bandwidth / 2.0) * fs / (2.0 * M_PI);
        const double highEdge = (middle + bandwidth / 2.0) * fs / (2.0 * M_PI);

        const auto gainAt = [&](double f) {
            auto wah = Make<Pw>();
            Set(*wah, Pw::kPedal, c.pedal);
            Set(*wah, Pw::kResonance, c.resonance);
            Set(*wah, Pw::kRange, c.range);
            return GainAt(*wah, f);
        };
        const double peak = gainAt(centre);
        EXPECT_NEAR(peak, 2.0 * 1.7, 0.15) << c.resonance << " " << centre;
        EXPECT_NEAR(gainAt(lowEdge) / peak, M_SQRT1_2, 0.05) << c.resonance << " " << lowEdge;
        EXPECT_NEAR(gainAt(highEdge) / peak, M_SQRT1_2, 0.05) << c.resonance << " " << highEdge;
    }
}

TEST(CORVPedalWahDSP, SilenceGivesOnlyATinyOutput)
{
    auto wah = Make<Pw>();
    EXPECT_LT(Peak(Play(*wah, std::vector<float>(22050, 0.0f))), 1e-6f);
}
