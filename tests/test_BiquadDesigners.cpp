#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/common/BiquadSection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFs = 44100.0;
const double kCornerDb = 20.0 * std::log10(std::sqrt(0.5));

void ExpectCoefs(const BiquadCoefs& c, double g, double b1, double b2, double a1, double a2)
{
    EXPECT_FLOAT_EQ(c.g, float(g));
    EXPECT_FLOAT_EQ(c.b1, float(b1));
    EXPECT_FLOAT_EQ(c.b2, float(b2));
    EXPECT_FLOAT_EQ(c.a1, float(a1));
    EXPECT_FLOAT_EQ(c.a2, float(a2));
}

} // namespace

TEST(BiquadDesigners, CoefficientsMatchTheFormulas)
{
    BiquadCoefs c;
    const double k = std::tan(kPi * 1000.0 / kFs);
    const double v = std::pow(10.0, 6.0 / 20.0);
    const double q = 0.7;
    const double plain0 = 1.0 + k / q + k * k, plain2 = 1.0 - k / q + k * k;
    const double wide0 = 1.0 + v * k / q + k * k, wide2 = 1.0 - v * k / q + k * k;
    const double middle = 2.0 * (k * k - 1.0);
    DesignPeak(6.0, 1000.0, q, kFs, c);
    ExpectCoefs(c, wide0 / plain0, middle / wide0, wide2 / wide0, middle / plain0, plain2 / plain0);
    DesignPeak(-6.0, 1000.0, q, kFs, c);
    ExpectCoefs(c, plain0 / wide0, middle / plain0, plain2 / plain0, middle / wide0, wide2 / wide0);

    const double s = 2.0 * std::sin(kPi * 200.0 / kFs);
    DesignResonantHighPass(200.0, 0.3, kFs, c);
    ExpectCoefs(c, 1.0, -2.0, 1.0, s * s - (1.0 - 0.6 * s) - 1.0, 1.0 - 0.6 * s);

    const double w = 2.0 * kPi * 1000.0;
    const double cc = w / k;
    const double d = cc * cc + w * w + std::sqrt(2.0) * cc * w;
    const double a1 = (2.0 * w * w - 2.0 * cc * cc) / d;
    const double a2 = (cc * cc + w * w - std::sqrt(2.0) * cc * w) / d;
    DesignButterworthLowPass(1000.0, kFs, c);
    ExpectCoefs(c, w * w / d, 2.0, 1.0, a1, a2);
    DesignButterworthHighPass(1000.0, kFs, c);
    ExpectCoefs(c, cc * cc / d, -2.0, 1.0, a1, a2);

    const double dk = 1.0 + std::sqrt(2.0) * k + k * k;
    DesignHighPassUnnormalised(1000.0, kFs, c);
    ExpectCoefs(c, 1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / dk, (1.0 - std::sqrt(2.0) * k + k * k) / dk);
}

TEST(BiquadDesigners, PeakMeasuresItsGainAtTheCentreAndZeroIsTheIdentity)
{
    BiquadCoefs c;
    DesignPeak(0.0, 1000.0, 2.0, kFs, c);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b1, c.a1);
    EXPECT_EQ(c.b2, c.a2);
    EXPECT_NE(c.a1, 0.0f); // an identity by equal polynomials, not a bypass

    std::array<BiquadCoefs, 2> pair;
    DesignPeak(9.0, 2500.0, 1.4, kFs, pair[0]);
    DesignPeak(-9.0, 2500.0, 1.4, kFs, pair[1]);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[0], 2500.0, kFs), 9.0, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[1], 2500.0, kFs), -9.0, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[0], 20.0, kFs), 0.0, 1e-3);
    for (double f : {50.0, 1000.0, 2500.0, 6000.0, 20000.0})
        EXPECT_NEAR(CascadeMagnitudeDb(pair, f, kFs), 0.0, 1e-5) << f;
}

TEST(BiquadDesigners, ButterworthCornersAndPassBands)
{
    BiquadCoefs low, high, lifted;
    DesignButterworthLowPass(1000.0, kFs, low);
    DesignButterworthHighPass(1000.0, kFs, high);
    DesignHighPassUnnormalised(1000.0, kFs, lifted);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 1000.0, kFs), kCornerDb, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 0.0, kFs), 0.0, 1e-4);
    // Two octaves up: 1/(1 + Ω⁴) at the prewarped ratio Ω.
    const double ratio = std::tan(kPi * 4000.0 / kFs) / std::tan(kPi * 1000.0 / kFs);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 4000.0, kFs), -10.0 * std::log10(1.0 + std::pow(ratio, 4.0)), 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(high, 1000.0, kFs), kCornerDb, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(high, kFs / 2.0, kFs), 0.0, 1e-5);

    // Same poles as the normalised high-pass, pass band lifted by
    // 1 + √2·K + K² = 0.8752 dB at 1 kHz.
    EXPECT_NEAR(lifted.a1, high.a1, 1e-6f);
    EXPECT_NEAR(lifted.a2, high.a2, 1e-6f);
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, kFs / 2.0, kFs), 0.8752, 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, 1000.0, kFs), kCornerDb + 0.8752, 1e-3);
    BiquadCoefs higher;
    DesignHighPassUnnormalised(4000.0, kFs, higher);
    EXPECT_GT(BiquadMagnitudeDb(higher, kFs / 2.0, kFs), 3.0);
}

TEST(BiquadDesigners, ResonantHighPassPeaksByOneOverTwiceTheDamping)
{
    BiquadCoefs c;
    for (double damping : {0.1, 0.3, 0.5, 0.7071}) {
        DesignResonantHighPass(200.0, damping, kFs, c);
        EXPECT_EQ(BiquadMagnitude(c, 0.0, kFs), 0.0);
        EXPECT_NEAR(BiquadMagnitudeDb(c, 200.0, kFs), -20.0 * std::log10(2.0 * damping), 0.01) << damping;
        EXPECT_NEAR(BiquadMagnitudeDb(c, 50.0, kFs), -23.6, 0.6) << damping; // two octaves down
    }
}

TEST(BiquadKernel, CallerKeptStateRunsTheSameKernelAsASection)
{
    BiquadSection section;
    section.designPeak(800.0f, -5.0f, 2.0f);
    const BiquadCoefs coefs = section.copyCoefficients();
    BiquadState state;
    float x = 0.3f;
    for (int i = 0; i < 64; ++i, x = -0.9f * x + 0.11f)
        ASSERT_EQ(ProcessBiquad(coefs, state, x), section.process(x)) << i;
    EXPECT_EQ(state.state1, section.state().state1);
    state.Reset();
    EXPECT_EQ(state.state1, 0.0f);
    EXPECT_EQ(state.state2, 0.0f);
}

TEST(BiquadKernel, StateIsFormedInDoubleAndRoundedOnce)
{
    // b2·u = 1 + 2⁻¹¹ + 2⁻²⁴ is a tie in float; rounding it before the
    // subtraction would lose the 2⁻²⁴.
    const float e = std::ldexp(1.0f, -12);
    const BiquadCoefs c{1.0f + e, 0.0f, 1.0f + e, 0.0f, 1.0f};
    BiquadState s;
    EXPECT_EQ(ProcessBiquad(c, s, 1.0f), 1.0f + e);
    EXPECT_EQ(s.state1, 0.0f);
    EXPECT_EQ(s.state2, e + std::ldexp(1.0f, -24));
}

TEST(BiquadKernel, FlushesSubnormalsAndNegativeZero)
{
    BiquadCoefs c;
    DesignButterworthLowPass(1000.0, kFs, c);

    BiquadState fromState{1e-39f, 0.5f};
    EXPECT_EQ(ProcessBiquad(c, fromState, 0.0f), 0.0f);
    EXPECT_EQ(fromState.state1, 0.5f); // only state2 carried over
    EXPECT_EQ(fromState.state2, 0.0f);

    c.g = 1e-3f;
    BiquadState fromGain;
    EXPECT_EQ(ProcessBiquad(c, fromGain, 1e-36f), 0.0f); // g·x is subnormal
    EXPECT_EQ(fromGain.state1, 0.0f);
    EXPECT_EQ(fromGain.state2, 0.0f);

    BiquadState negative{-0.0f, 0.0f};
    EXPECT_FALSE(std::signbit(ProcessBiquad(c, negative, -0.0f)));
    EXPECT_EQ(FlushToZero(-0.0f), 0.0f);
    EXPECT_FALSE(std::signbit(FlushToZero(-0.0f)));
    EXPECT_EQ(FlushToZero(-1.2e-38f), -1.2e-38f); // smallest normals pass
}
