// The biquad section and the free designers: coefficients against their
// formulas written out in double, magnitudes at the design points, and the
// kernel's rounding and flushing.
#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/common/BiquadSection.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFs = 48000.0;
constexpr double kDesignFs = 44100.0; // the free designers' tests
const double kCornerDb = 20.0 * std::log10(std::sqrt(0.5)); // −3.0103 dB

void ExpectCoefs(const BiquadCoefs& c, double g, double b1, double b2, double a1, double a2)
{
    EXPECT_FLOAT_EQ(c.g, float(g));
    EXPECT_FLOAT_EQ(c.b1, float(b1));
    EXPECT_FLOAT_EQ(c.b2, float(b2));
    EXPECT_FLOAT_EQ(c.a1, float(a1));
    EXPECT_FLOAT_EQ(c.a2, float(a2));
}

void ExpectSameCoefs(const BiquadCoefs& x, const BiquadCoefs& y)
{
    EXPECT_EQ(x.g, y.g);
    EXPECT_EQ(x.b1, y.b1);
    EXPECT_EQ(x.b2, y.b2);
    EXPECT_EQ(x.a1, y.a1);
    EXPECT_EQ(x.a2, y.a2);
}

BiquadSection At(double fs)
{
    BiquadSection s;
    s.setSampleRate(fs);
    return s;
}

// Leaves some non-zero state behind (state2 stays 0 in first-order designs).
void Excite(BiquadSection& s)
{
    for (float x : {1.0f, -0.5f, 0.25f, 0.75f})
        s.process(x);
    ASSERT_NE(s.state().state1, 0.0f);
}

// The type 1 design written out in double.  Evaluated in the same order as
// the section does, it must agree to the bit, which pins V going through float.
void ExpectPeak(const BiquadCoefs& c, double fs, double f, double gainDb, double q)
{
    const double v = float(std::pow(10.0, gainDb / 20.0));
    const double t = std::tan(kPi * (f / q) / fs);
    const double cc = gainDb < 0.0 ? (t - v) / (t + v) : (t - 1.0) / (t + 1.0);
    const double mix = (cc + 1.0) * (v - 1.0) / 2.0;
    const double a1 = -std::cos(2.0 * kPi * f / fs) * (1.0 - cc);
    ExpectSameCoefs(c, {float(1.0 + mix), float(a1 / (1.0 + mix)), float((-cc - mix) / (1.0 + mix)), float(a1),
                        float(-cc)});
}

} // namespace

// Redesigns keep the running state; unusable frequencies, rates and type
// codes change nothing; a new rate, a new type or a reset clears the state.
TEST(BiquadSection, RedesignsKeepStateAndUnusableSettingsChangeNothing)
{
    BiquadSection s; // 44.1 kHz
    for (float x : {0.5f, -1.0f, 1e5f, 1e-30f})
        EXPECT_EQ(s.process(x), x); // a new section passes its input through
    s.designLowPass(1000.0f, true);
    Excite(s);
    const BiquadCoefs before = s.copyCoefficients();
    const BiquadState state = s.state();
    for (float f : {0.0f, -100.0f, 22050.0f, std::numeric_limits<float>::quiet_NaN()})
        s.setFrequency(f);
    for (double rate : {44100.0, 0.0, -48000.0})
        s.setSampleRate(rate);
    for (int32_t code : {12, 40, -1})
        s.setType(code);
    s.setGain(6.0f); // a low-pass has no gain to redesign
    ExpectSameCoefs(s.copyCoefficients(), before);
    EXPECT_EQ(s.state().state1, state.state1);
    EXPECT_EQ(s.state().state2, state.state2);

    s.setFrequency(2000.0f);
    BiquadSection fresh;
    fresh.designLowPass(2000.0f, true);
    ExpectSameCoefs(s.copyCoefficients(), fresh.copyCoefficients());
    EXPECT_EQ(s.state().state1, state.state1);

    for (bool high : {false, true}) {
        BiquadSection shelf, expected;
        high ? shelf.designHighShelf(3000.0f, 3.0f, true) : shelf.designLowShelf(3000.0f, 3.0f, true);
        Excite(shelf);
        const float held = shelf.state().state1;
        shelf.setGain(-6.0f);
        high ? expected.designHighShelf(3000.0f, -6.0f, true) : expected.designLowShelf(3000.0f, -6.0f, true);
        ExpectSameCoefs(shelf.copyCoefficients(), expected.copyCoefficients());
        EXPECT_EQ(shelf.state().state1, held);
    }

    s.setSampleRate(48000.0);
    EXPECT_EQ(s.state().state1, 0.0f);
    BiquadSection at48 = At(48000.0);
    at48.designLowPass(2000.0f, true);
    ExpectSameCoefs(s.copyCoefficients(), at48.copyCoefficients());
    Excite(s);
    s.setType(BiquadHighPass2);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
    Excite(s);
    s.reset();
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
}

TEST(BiquadSection, RedesignedPeakTakesTheStoredQTruncated)
{
    BiquadSection s; // q 3.0 from construction
    s.designPeak(1000.0f, 6.0f, 0.7f);
    EXPECT_EQ(s.q(), 3.0f);
    ExpectPeak(s.copyCoefficients(), 44100.0, 1000.0, 6.0, double(0.7f));
    s.setSampleRate(48000.0);
    ExpectPeak(s.copyCoefficients(), 48000.0, 1000.0, 6.0, 3.0);

    BiquadSection n;
    n.designNotch(1000.0f, 2.9f);
    n.setType(BiquadPeak);
    ExpectPeak(n.copyCoefficients(), 44100.0, 1000.0, 0.0, 2.0);
    n.setGain(-4.0f);
    ExpectPeak(n.copyCoefficients(), 44100.0, 1000.0, -4.0, 2.0);
    n.setFrequency(1500.0f);
    ExpectPeak(n.copyCoefficients(), 44100.0, 1500.0, -4.0, 2.0);
}

TEST(BiquadSectionDesigns, CoefficientsMatchTheFormulas)
{
    BiquadSection s = At(kFs);
    s.designPeak(2000.0f, 9.0f, 1.5f);
    ExpectPeak(s.copyCoefficients(), kFs, 2000.0, 9.0, 1.5);
    s.designPeak(2000.0f, -9.0f, 1.5f);
    ExpectPeak(s.copyCoefficients(), kFs, 2000.0, -9.0, 1.5);

    const double k = std::tan(kPi * 1000.0 / kFs);
    const double c = (k - 1.0) / (k + 1.0);
    const double d = 1.0 + std::sqrt(2.0) * k + k * k;
    const double a1 = 2.0 * (k * k - 1.0) / d;
    const double a2 = (1.0 - std::sqrt(2.0) * k + k * k) / d;
    s.designLowPass(1000.0f, false);
    ExpectCoefs(s.copyCoefficients(), (1.0 + c) / 2.0, 1.0, 0.0, c, 0.0);
    s.designLowPass(1000.0f, true);
    ExpectCoefs(s.copyCoefficients(), k * k / d, 2.0, 1.0, a1, a2);
    s.designHighPass(1000.0f, false);
    ExpectCoefs(s.copyCoefficients(), (1.0 - c) / 2.0, -1.0, 0.0, c, 0.0);
    s.designHighPass(1000.0f, true);
    ExpectCoefs(s.copyCoefficients(), 1.0 / d, -2.0, 1.0, a1, a2);

    const double v = std::pow(10.0, 6.0 / 20.0);
    s.designLowShelf(1000.0f, 6.0f, false);
    const double mixUp = (c + 1.0) * (v - 1.0) / 2.0;
    ExpectCoefs(s.copyCoefficients(), 1.0 + mixUp, (mixUp + c) / (1.0 + mixUp), 0.0, c, 0.0);
    s.designLowShelf(1000.0f, -6.0f, false); // a cut moves the pole by V
    const double vd = std::pow(10.0, -6.0 / 20.0);
    const double cd = (k - vd) / (k + vd);
    const double mixDown = (cd + 1.0) * (vd - 1.0) / 2.0;
    ExpectCoefs(s.copyCoefficients(), 1.0 + mixDown, (mixDown + cd) / (1.0 + mixDown), 0.0, cd, 0.0);

    s.designHighShelf(1000.0f, -6.0f, false);
    const double ch = (vd * k - 1.0) / (vd * k + 1.0);
    const double h = (vd - 1.0) / 2.0;
    const double gh = (1.0 - ch) * h + 1.0;
    ExpectCoefs(s.copyCoefficients(), gh, ((ch - 1.0) * h + ch) / gh, 0.0, ch, 0.0);
    s.designHighShelf(1000.0f, 6.0f, true);
    const double r = std::sqrt(2.0 * v) * k;
    const double p0 = v + r + k * k;
    ExpectCoefs(s.copyCoefficients(), p0 / d, 2.0 * (k * k - v) / p0, (v - r + k * k) / p0, a1, a2);

    s.designBandPass(1000.0f, 200.0f);
    const double tb = std::tan(kPi * 200.0 / kFs);
    const double cb = (tb - 1.0) / (tb + 1.0);
    const double cosine = std::cos(2.0 * kPi * 1000.0 / kFs);
    ExpectCoefs(s.copyCoefficients(), (1.0 + cb) / 2.0, 0.0, -1.0, -cosine * (1.0 - cb), -cb);
    s.designNotch(1000.0f, 4.0f);
    const double tn = std::tan(kPi * 250.0 / kFs);
    const double pn = (1.0 - tn) / (1.0 + tn);
    ExpectCoefs(s.copyCoefficients(), (1.0 + pn) / 2.0, -2.0 * cosine, 1.0, -(1.0 + pn) * cosine, pn);
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

TEST(BiquadSectionDesigns, SecondOrderShelvesOfOppositeGainAreInverses)
{
    for (bool high : {true, false}) {
        BiquadSection up = At(kFs);
        BiquadSection down = At(kFs);
        if (high) {
            up.designHighShelf(3000.0f, 6.0f, true);
            down.designHighShelf(3000.0f, -6.0f, true);
        } else {
            up.designLowShelf(3000.0f, 6.0f, true);
            down.designLowShelf(3000.0f, -6.0f, true);
        }
        const BiquadCoefs u = up.copyCoefficients();
        const BiquadCoefs d = down.copyCoefficients();
        EXPECT_EQ(u.b1, d.a1);
        EXPECT_EQ(u.b2, d.a2);
        EXPECT_EQ(u.a1, d.b1);
        EXPECT_EQ(u.a2, d.b2);
        EXPECT_NEAR(double(u.g) * double(d.g), 1.0, 1e-7);
        for (double f : {20.0, 500.0, 3000.0, 9000.0, 23000.0})
            EXPECT_NEAR(BiquadMagnitudeDb(up, f) + BiquadMagnitudeDb(down, f), 0.0, 1e-5) << f;
    }
}

TEST(BiquadSectionDesigns, SecondOrderLowShelfMirrorsTheHighShelf)
{
    // Mirroring the analogue prototype s → 1/s maps the prewarped frequency
    // K to K0²/K, so the low shelf at f equals the high shelf at f'.
    BiquadSection low = At(kFs);
    BiquadSection high = At(kFs);
    low.designLowShelf(800.0f, 7.5f, true);
    high.designHighShelf(800.0f, 7.5f, true);
    const double k0 = std::tan(kPi * 800.0 / kFs);
    for (double f : {30.0, 200.0, 800.0, 2500.0, 12000.0}) {
        const double mirrored = std::atan(k0 * k0 / std::tan(kPi * f / kFs)) * kFs / kPi;
        EXPECT_NEAR(BiquadMagnitudeDb(low, f), BiquadMagnitudeDb(high, mirrored), 1e-3) << f;
    }
}

TEST(BiquadSectionKernel, ProcessFollowsTheTransferFunction)
{
    BiquadSection s = At(kFs);
    s.designPeak(3000.0f, 8.0f, 1.0f);
    std::vector<float> signal = testing_support::Sine(2000.0, kFs, 48000);
    const double in = testing_support::Rms(signal, 4800);
    for (float& x : signal)
        x = s.process(x);
    EXPECT_NEAR(20.0 * std::log10(testing_support::Rms(signal, 4800) / in), BiquadMagnitudeDb(s, 2000.0), 0.01);
}

TEST(BiquadSectionKernel, SubnormalsAndNegativeZeroBecomePositiveZero)
{
    BiquadSection s;
    s.designLowPass(1000.0f, true);
    const float out = s.process(1e-40f);
    EXPECT_EQ(out, 0.0f);
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
        const float y = s.process(0.0f);
        EXPECT_FALSE(testing_support::IsSubnormal(y));
        if (testing_support::IsSubnormal(s.state().state1) || testing_support::IsSubnormal(s.state().state2))
            ++subnormalSamples;
    }
    EXPECT_LE(subnormalSamples, 10);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
}

TEST(BiquadDesigners, CoefficientsMatchTheFormulas)
{
    BiquadCoefs c;
    const double k = std::tan(kPi * 1000.0 / kDesignFs);
    const double v = std::pow(10.0, 6.0 / 20.0);
    const double q = 0.7;
    const double plain0 = 1.0 + k / q + k * k, plain2 = 1.0 - k / q + k * k;
    const double wide0 = 1.0 + v * k / q + k * k, wide2 = 1.0 - v * k / q + k * k;
    const double middle = 2.0 * (k * k - 1.0);
    DesignPeak(6.0, 1000.0, q, kDesignFs, c);
    ExpectCoefs(c, wide0 / plain0, middle / wide0, wide2 / wide0, middle / plain0, plain2 / plain0);
    DesignPeak(-6.0, 1000.0, q, kDesignFs, c);
    ExpectCoefs(c, plain0 / wide0, middle / plain0, plain2 / plain0, middle / wide0, wide2 / wide0);

    const double s = 2.0 * std::sin(kPi * 200.0 / kDesignFs);
    DesignResonantHighPass(200.0, 0.3, kDesignFs, c);
    ExpectCoefs(c, 1.0, -2.0, 1.0, s * s - (1.0 - 0.6 * s) - 1.0, 1.0 - 0.6 * s);

    const double w = 2.0 * kPi * 1000.0;
    const double cc = w / k;
    const double d = cc * cc + w * w + std::sqrt(2.0) * cc * w;
    const double a1 = (2.0 * w * w - 2.0 * cc * cc) / d;
    const double a2 = (cc * cc + w * w - std::sqrt(2.0) * cc * w) / d;
    DesignButterworthLowPass(1000.0, kDesignFs, c);
    ExpectCoefs(c, w * w / d, 2.0, 1.0, a1, a2);
    DesignButterworthHighPass(1000.0, kDesignFs, c);
    ExpectCoefs(c, cc * cc / d, -2.0, 1.0, a1, a2);

    const double dk = 1.0 + std::sqrt(2.0) * k + k * k;
    DesignHighPassUnnormalised(1000.0, kDesignFs, c);
    ExpectCoefs(c, 1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / dk, (1.0 - std::sqrt(2.0) * k + k * k) / dk);
}

TEST(BiquadDesigners, PeakMeasuresItsGainAtTheCentreAndZeroIsTheIdentity)
{
    BiquadCoefs c;
    DesignPeak(0.0, 1000.0, 2.0, kDesignFs, c);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b1, c.a1);
    EXPECT_EQ(c.b2, c.a2);
    EXPECT_NE(c.a1, 0.0f); // an identity by equal polynomials, not a bypass

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

    // Same poles as the normalised high-pass, pass band lifted by
    // 1 + √2·K + K² = 0.8752 dB at 1 kHz.
    EXPECT_NEAR(lifted.a1, high.a1, 1e-6f);
    EXPECT_NEAR(lifted.a2, high.a2, 1e-6f);
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, kDesignFs / 2.0, kDesignFs), 0.8752, 1e-3);
    EXPECT_NEAR(BiquadMagnitudeDb(lifted, 1000.0, kDesignFs), kCornerDb + 0.8752, 1e-3);
    BiquadCoefs higher;
    DesignHighPassUnnormalised(4000.0, kDesignFs, higher);
    EXPECT_GT(BiquadMagnitudeDb(higher, kDesignFs / 2.0, kDesignFs), 3.0);
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
    DesignButterworthLowPass(1000.0, kDesignFs, c);

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
