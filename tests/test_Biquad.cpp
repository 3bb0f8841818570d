// The biquad section and the free designers: magnitudes at the design points
// and the shapes' symmetries, redesigns and their state, and the kernel's
// rounding and flushing.
#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/common/BiquadSection.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFs = 48000.0;
constexpr double kDesignFs = 44100.0; // the free designers' tests
const double kCornerDb = 20.0 * std::log10(std::sqrt(0.5)); // −3.0103 dB

bool SameCoefs(const BiquadCoefs& x, const BiquadCoefs& y)
{
    return x.g == y.g && x.b1 == y.b1 && x.b2 == y.b2 && x.a1 == y.a1 && x.a2 == y.a2;
}

BiquadSection At(double fs)
{
    BiquadSection s;
    s.setSampleRate(fs);
    return s;
}

} // namespace

// Redesigns keep the running state; unusable frequencies, rates and type
// codes change nothing; a new rate redesigns and clears the state.
TEST(BiquadSection, RedesignsKeepStateAndUnusableSettingsChangeNothing)
{
    BiquadSection s; // 44.1 kHz
    s.designLowPass(1000.0f, true);
    for (float x : {1.0f, -0.5f, 0.25f, 0.75f})
        s.process(x);
    const BiquadCoefs before = s.copyCoefficients();
    const float state = s.state().state1;
    ASSERT_NE(state, 0.0f);
    for (float f : {0.0f, -100.0f, 22050.0f, std::numeric_limits<float>::quiet_NaN()})
        s.setFrequency(f);
    for (double rate : {44100.0, 0.0, -48000.0})
        s.setSampleRate(rate);
    for (int32_t code : {12, 40, -1})
        s.setType(code);
    EXPECT_TRUE(SameCoefs(s.copyCoefficients(), before));
    s.setFrequency(2000.0f);
    EXPECT_EQ(s.state().state1, state);
    s.setSampleRate(48000.0);
    BiquadSection fresh = At(48000.0);
    fresh.designLowPass(2000.0f, true);
    EXPECT_TRUE(SameCoefs(s.copyCoefficients(), fresh.copyCoefficients()));
    EXPECT_EQ(s.state().state1, 0.0f);
}

TEST(BiquadSectionDesigns, MagnitudesAtTheDesignPoints)
{
    BiquadSection s = At(kFs);
    const double nyquist = kFs / 2.0;
    for (bool secondOrder : {false, true}) {
        s.designLowPass(1000.0f, secondOrder);
        EXPECT_NEAR(BiquadMagnitudeDb(s, 1000.0), kCornerDb, 1e-4);
        EXPECT_NEAR(BiquadMagnitudeDb(s, 0.0), 0.0, 1e-4);
        s.designHighPass(1000.0f, secondOrder);
        EXPECT_NEAR(BiquadMagnitudeDb(s, 1000.0), kCornerDb, 1e-4);
        EXPECT_NEAR(BiquadMagnitudeDb(s, nyquist), 0.0, 1e-5);
        for (float gain : {9.0f, -9.0f}) {
            s.designLowShelf(400.0f, gain, secondOrder);
            EXPECT_NEAR(BiquadMagnitudeDb(s, 0.0), gain, 1e-3);
            EXPECT_NEAR(BiquadMagnitudeDb(s, nyquist), 0.0, 1e-3);
            s.designHighShelf(4000.0f, gain, secondOrder);
            EXPECT_NEAR(BiquadMagnitudeDb(s, nyquist), gain, 1e-3);
            EXPECT_NEAR(BiquadMagnitudeDb(s, 0.0), 0.0, 1e-3);
        }
    }
    for (float gain : {12.0f, -12.0f, 3.0f}) {
        s.designPeak(2500.0f, gain, 2.0f);
        EXPECT_NEAR(BiquadMagnitudeDb(s, 2500.0), gain, 1e-4);
        EXPECT_NEAR(BiquadMagnitudeDb(s, 0.0), 0.0, 1e-4);
    }
    s.designBandPass(1000.0f, 100.0f);
    EXPECT_NEAR(BiquadMagnitudeDb(s, 1000.0), 0.0, 1e-4);
    // The −3 dB edges lie 100 Hz apart, centred so that
    // cos(ω0) = cos(mid)/cos(half width).
    const double half = kPi * 100.0 / kFs;
    const double mid = std::acos(std::cos(2.0 * kPi * 1000.0 / kFs) * std::cos(half));
    EXPECT_NEAR(BiquadMagnitudeDb(s, (mid - half) * kFs / (2.0 * kPi)), kCornerDb, 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(s, (mid + half) * kFs / (2.0 * kPi)), kCornerDb, 1e-3);
    s.designNotch(1000.0f, 4.0f);
    EXPECT_LT(BiquadMagnitudeDb(s, 1000.0), -70.0);
    EXPECT_NEAR(BiquadMagnitudeDb(s, 100.0), 0.0, 0.01);
}

TEST(BiquadSectionDesigns, ShelvesOfOppositeGainAreInverses)
{
    for (bool secondOrder : {false, true}) {
        for (bool high : {true, false}) {
            BiquadSection up = At(kFs);
            BiquadSection down = At(kFs);
            high ? up.designHighShelf(3000.0f, 6.0f, secondOrder) : up.designLowShelf(3000.0f, 6.0f, secondOrder);
            high ? down.designHighShelf(3000.0f, -6.0f, secondOrder) : down.designLowShelf(3000.0f, -6.0f, secondOrder);
            for (double f : {20.0, 500.0, 3000.0, 9000.0, 23000.0})
                EXPECT_NEAR(BiquadMagnitudeDb(up, f) + BiquadMagnitudeDb(down, f), 0.0, 1e-5)
                    << secondOrder << " " << high << " " << f;
        }
    }
}

TEST(BiquadSectionKernel, SubnormalsAndNegativeZeroBecomePositiveZero)
{
    BiquadSection s;
    s.designLowPass(1000.0f, true);
    EXPECT_EQ(s.process(1e-40f), 0.0f);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
    EXPECT_FALSE(std::signbit(s.process(-0.0f)));

    // A decaying impulse response reaches exact zero.  Cancellation can leave
    // a subnormal in the state for a sample now and then on the way down, but
    // without the flush this section sits in subnormal state for nearly all
    // of the 20000 samples.
    s.process(1.0f);
    int subnormalSamples = 0;
    for (int i = 0; i < 20000; ++i) {
        EXPECT_FALSE(testing_support::IsSubnormal(s.process(0.0f)));
        if (testing_support::IsSubnormal(s.state().state1) || testing_support::IsSubnormal(s.state().state2))
            ++subnormalSamples;
    }
    EXPECT_LE(subnormalSamples, 10);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);

    // The kernel flushes a subnormal carried over from state2 or made by g·x.
    BiquadCoefs c = s.copyCoefficients();
    BiquadState fromState{1e-39f, 0.5f};
    EXPECT_EQ(ProcessBiquad(c, fromState, 0.0f), 0.0f);
    EXPECT_EQ(fromState.state1, 0.5f); // only state2 carried over
    EXPECT_EQ(fromState.state2, 0.0f);
    c.g = 1e-3f;
    BiquadState fromGain;
    EXPECT_EQ(ProcessBiquad(c, fromGain, 1e-36f), 0.0f);
    EXPECT_EQ(fromGain.state1, 0.0f);
    EXPECT_EQ(FlushToZero(-1.2e-38f), -1.2e-38f); // smallest normals pass
}

TEST(BiquadDesigners, PeakMeasuresItsGainAtTheCentreAndOppositeGainsCancel)
{
    std::array<BiquadCoefs, 2> pair;
    DesignPeak(9.0, 2500.0, 1.4, kDesignFs, pair[0]);
    DesignPeak(-9.0, 2500.0, 1.4, kDesignFs, pair[1]);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[0], 2500.0, kDesignFs), 9.0, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[1], 2500.0, kDesignFs), -9.0, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(pair[0], 20.0, kDesignFs), 0.0, 1e-3);
    for (double f : {50.0, 1000.0, 2500.0, 6000.0, 20000.0})
        EXPECT_NEAR(CascadeMagnitudeDb(pair, f, kDesignFs), 0.0, 1e-5) << f;
}

TEST(BiquadDesigners, ButterworthCornersAndPassBands)
{
    BiquadCoefs low, high, lifted;
    DesignButterworthLowPass(1000.0, kDesignFs, low);
    DesignButterworthHighPass(1000.0, kDesignFs, high);
    DesignHighPassUnnormalised(1000.0, kDesignFs, lifted);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 1000.0, kDesignFs), kCornerDb, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 0.0, kDesignFs), 0.0, 1e-4);
    // Two octaves up: 1/(1 + Ω⁴) at the prewarped ratio Ω.
    const double ratio = std::tan(kPi * 4000.0 / kDesignFs) / std::tan(kPi * 1000.0 / kDesignFs);
    EXPECT_NEAR(BiquadMagnitudeDb(low, 4000.0, kDesignFs), -10.0 * std::log10(1.0 + std::pow(ratio, 4.0)), 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(high, 1000.0, kDesignFs), kCornerDb, 1e-4);
    EXPECT_NEAR(BiquadMagnitudeDb(high, kDesignFs / 2.0, kDesignFs), 0.0, 1e-5);
    // The unnormalised high-pass lifts the same shape by 1 + √2·K + K²,
    // 0.8752 dB at 1 kHz.
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, kDesignFs / 2.0, kDesignFs), 0.8752, 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, 1000.0, kDesignFs), kCornerDb + 0.8752, 1e-3);
}

TEST(BiquadDesigners, ResonantHighPassPeaksByOneOverTwiceTheDamping)
{
    BiquadCoefs c;
    for (double damping : {0.1, 0.3, 0.5, 0.7071}) {
        DesignResonantHighPass(200.0, damping, kDesignFs, c);
        EXPECT_EQ(BiquadMagnitude(c, 0.0, kDesignFs), 0.0);
        EXPECT_NEAR(BiquadMagnitudeDb(c, 200.0, kDesignFs), -20.0 * std::log10(2.0 * damping), 0.01) << damping;
        EXPECT_NEAR(BiquadMagnitudeDb(c, 50.0, kDesignFs), -23.6, 0.6) << damping; // two octaves down
    }
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

