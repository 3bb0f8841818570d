#include "effects/common/BiquadResponse.h"
#include "effects/common/BiquadSection.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kFs = 48000.0;
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

TEST(BiquadSection, NewSectionHasTheDefaultsAndPassesInputUnchanged)
{
    BiquadSection s;
    EXPECT_EQ(s.sampleRate(), 44100.0f);
    EXPECT_EQ(s.frequency(), 4410.0f);
    EXPECT_EQ(s.q(), 3.0f);
    EXPECT_EQ(s.gainDb(), 0.0f);
    EXPECT_EQ(s.type(), BiquadPassThrough);
    for (float x : {0.5f, -1.0f, 3.25e-3f, 1e5f, -7.5f, 1e-30f, 0.1f})
        EXPECT_EQ(s.process(x), x);
}

TEST(BiquadSection, SetFrequencyOutsideTheOpenBandChangesNothing)
{
    BiquadSection s; // 44.1 kHz
    s.designLowPass(1000.0f, true);
    Excite(s);
    const BiquadCoefs before = s.copyCoefficients();
    const BiquadState state = s.state();
    for (float f : {0.0f, -100.0f, 22050.0f, 30000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        s.setFrequency(f);
        EXPECT_EQ(s.frequency(), 1000.0f) << f;
        ExpectSameCoefs(s.copyCoefficients(), before);
    }
    EXPECT_EQ(s.state().state1, state.state1);

    s.setFrequency(2000.0f); // redesigns, state kept
    BiquadSection fresh;
    fresh.designLowPass(2000.0f, true);
    ExpectSameCoefs(s.copyCoefficients(), fresh.copyCoefficients());
    EXPECT_EQ(s.state().state1, state.state1);
    EXPECT_EQ(s.state().state2, state.state2);

    BiquadSection through;
    through.setFrequency(800.0f); // type 0 only stores
    EXPECT_EQ(through.frequency(), 800.0f);
    ExpectSameCoefs(through.copyCoefficients(), BiquadCoefs{});
}

TEST(BiquadSection, SetGainRedesignsOnlyPeakAndShelfTypes)
{
    BiquadSection lowPass;
    lowPass.designLowPass(1000.0f, true);
    const BiquadCoefs before = lowPass.copyCoefficients();
    lowPass.setGain(6.0f);
    EXPECT_EQ(lowPass.gainDb(), 6.0f);
    ExpectSameCoefs(lowPass.copyCoefficients(), before);

    const auto design = [](BiquadSection& s, bool high, bool secondOrder, float gainDb) {
        if (high)
            s.designHighShelf(3000.0f, gainDb, secondOrder);
        else
            s.designLowShelf(3000.0f, gainDb, secondOrder);
    };
    for (bool high : {false, true}) {
        for (bool secondOrder : {false, true}) {
            BiquadSection shelf;
            design(shelf, high, secondOrder, 3.0f);
            Excite(shelf);
            const BiquadState state = shelf.state();
            shelf.setGain(-6.0f);
            BiquadSection fresh;
            design(fresh, high, secondOrder, -6.0f);
            ExpectSameCoefs(shelf.copyCoefficients(), fresh.copyCoefficients());
            EXPECT_EQ(shelf.state().state1, state.state1);
        }
    }
}

TEST(BiquadSection, SetSampleRateKeepsStateForTheSameRateAndRedesignsForANewOne)
{
    BiquadSection s;
    s.designLowPass(1000.0f, true);
    Excite(s);
    const BiquadCoefs before = s.copyCoefficients();
    const BiquadState state = s.state();
    for (double rate : {44100.0, 0.0, -48000.0}) {
        s.setSampleRate(rate);
        EXPECT_EQ(s.sampleRate(), 44100.0f);
        EXPECT_EQ(s.state().state1, state.state1);
        ExpectSameCoefs(s.copyCoefficients(), before);
    }

    s.setSampleRate(48000.0);
    EXPECT_EQ(s.sampleRate(), 48000.0f);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
    BiquadSection fresh = At(48000.0);
    fresh.designLowPass(1000.0f, true);
    ExpectSameCoefs(s.copyCoefficients(), fresh.copyCoefficients());
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

TEST(BiquadSection, SetTypeIgnoresUnknownCodesAndOtherwiseClearsState)
{
    BiquadSection s;
    s.designLowPass(1000.0f, false);
    Excite(s);
    const BiquadCoefs before = s.copyCoefficients();
    for (int32_t code : {12, 40, -1}) {
        s.setType(code);
        EXPECT_EQ(s.type(), BiquadLowPass1);
        ExpectSameCoefs(s.copyCoefficients(), before);
        EXPECT_NE(s.state().state1, 0.0f);
    }
    s.setType(BiquadHighPass2);
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
    BiquadSection fresh;
    fresh.designHighPass(1000.0f, true);
    ExpectSameCoefs(s.copyCoefficients(), fresh.copyCoefficients());
    s.setType(BiquadPassThrough);
    ExpectSameCoefs(s.copyCoefficients(), BiquadCoefs{});
}

TEST(BiquadSection, DesignOperationsKeepStateAndResetClearsIt)
{
    BiquadSection s;
    s.designLowPass(1000.0f, true);
    Excite(s);
    const BiquadState state = s.state();
    s.designBandPass(1200.0f, 150.0f);
    EXPECT_EQ(s.q(), 150.0f);
    s.designNotch(900.0f, 5.0f);
    EXPECT_EQ(s.q(), 5.0f);
    s.designLowShelf(200.0f, 3.0f, true);
    EXPECT_EQ(s.type(), BiquadLowShelf2);
    EXPECT_EQ(s.frequency(), 200.0f);
    EXPECT_EQ(s.gainDb(), 3.0f);
    EXPECT_EQ(s.state().state1, state.state1);
    EXPECT_EQ(s.state().state2, state.state2);
    s.reset();
    EXPECT_EQ(s.state().state1, 0.0f);
    EXPECT_EQ(s.state().state2, 0.0f);
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
