// The guitar preamps, the blues drive, the bass preamp and the power amp:
// knob laws, and the small-signal response of each chain against the model
// built from its circuit's stages (analogue prototypes through the bilinear
// transform, or the designers it names).
#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/drive/CORVBassPreampDSP.h"
#include "effects/drive/CORVBluesDriveGuitarDSP.h"
#include "effects/drive/CORVCleanPreampGuitarDSP.h"
#include "effects/drive/CORVCrunchPreampGuitarDSP.h"
#include "effects/drive/CORVHiGainPreampGuitarDSP.h"
#include "effects/drive/CORVPowerAmpGuitarDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <tuple>

using testing_support::AmplitudeAt;
using testing_support::Db;

namespace {

using Complex = std::complex<double>;

// Sets plain knob values by index and brings the coefficients up to date.
void SetKnobs(CORVDSPAlgInterface& effect, const std::vector<std::pair<int32_t, float>>& knobs)
{
    for (const auto& [index, value] : knobs)
        effect.GetParameter(index)->SetValue(value);
    effect.UpdateParameters(false);
}

// The complex gain at frequency f of a quiet sine through the effect, both
// channels alike, fitted over the second half of one second, after the
// coupling high-passes have settled.
Complex SmallSignalGain(CORVDSPAlgInterface& effect, double frequency, float amplitude)
{
    const double fs = effect.sampleRate;
    std::vector<float> left = testing_support::Sine(frequency, fs, size_t(fs), amplitude);
    left = testing_support::Play(effect, left);
    return testing_support::ComplexAmplitudeAt(left, frequency, fs, left.size() / 2) / double(amplitude);
}

// Within a relative tolerance, the complex gain that was expected.
void ExpectClose(Complex measured, Complex expected, double tolerance, const std::string& where)
{
    EXPECT_LT(std::abs(measured / expected - 1.0), tolerance) << where << ": " << measured << " vs " << expected;
}

} // namespace

using Clg = CORVCleanPreampGuitarDSP;

// A quiet tone sees the chain's linear part: input coupling, the first
// stage's slope, interstage coupling and bright shelf, the inverting drive,
// the second stage's slope, output coupling and the output gain.
TEST(CleanPreamp, SmallSignalChain)
{
    for (double fs : {22050.0, 96000.0}) {
        for (const char* preset : {"Default", "Low Hot", "High Bright"}) {
            for (double f : {150.0, 3000.0}) {
                Clg clg(fs, 256);
                clg.ApplyPreset(preset);
                clg.needsReinit = true;
                auto section = [fs](float hz, bool shelf, float db) {
                    BiquadSection s;
                    s.setSampleRate(fs);
                    shelf ? s.designHighShelf(hz, db, true) : s.designHighPass(hz, true);
                    return s.copyCoefficients();
                };
                const float p2 = clg.Value(Clg::kGain), p3 = clg.Value(Clg::kBright), p4 = clg.Value(Clg::kOutput);
                const double drive = 5.0 * std::pow(10.0, (0.6 * p2 - 40.0) / 20.0);
                const double output = std::pow(10.0, (0.6 * p4 - 40.0) / 20.0);
                const Complex expected = -drive * output * 0.2819329931 * 0.1555719892 *
                                         BiquadResponse(section(40, false, 0), f, fs) *
                                         BiquadResponse(section(40, false, 0), f, fs) *
                                         BiquadResponse(section(2000, true, p3), f, fs) *
                                         BiquadResponse(section(30, false, 0), f, fs);
                ExpectClose(SmallSignalGain(clg, f, 1e-5f), expected, 1e-3,
                           std::string(preset) + " at " + std::to_string(f) + " Hz, fs " + std::to_string(fs));
            }
        }
    }
}

using Cpg = CORVCrunchPreampGuitarDSP;
using Hgg = CORVHiGainPreampGuitarDSP;

// The coupling network against its analogue prototype at the frequency the
// plain bilinear transform maps there, the mid peak and the final high-pass
// against their designers, the two inversions against each other.
TEST(CrunchPreamp, SmallSignalChain)
{
    for (double fs : {22050.0, 96000.0}) {
        for (const char* preset : {"Default", "Clean", "High Drive"}) {
            for (double f : {300.0, 2500.0}) {
                Cpg cpg(fs, 256);
                cpg.ApplyPreset(preset);
                cpg.needsReinit = true;
                const double drive = 7.0 * std::pow(10.0, 0.3 * cpg.Value(Cpg::kGain) / 20.0);
                const double output = std::pow(10.0, (0.6 * cpg.Value(Cpg::kOutput) - 40.0) / 20.0);
                BiquadCoefs peak, highPass;
                DesignPeak(cpg.Value(Cpg::kMidBoost), 2000.0, 0.2, fs, peak);
                DesignHighPassUnnormalised(100.0, fs, highPass);
                const Complex s(0.0, 2.0 * float(fs) * std::tan(std::numbers::pi * f / fs));
                const Complex coupling = (s * s + 4526.935265 * s) / (s * s + 6700.049385 * s + 205769.7848);
                const Complex expected = output * 0.2274823 * (-drive) * 0.179489 * (-18.0) * 0.1964888 *
                                         BiquadResponse(peak, f, fs) * coupling * BiquadResponse(highPass, f, fs);
                ExpectClose(SmallSignalGain(cpg, f, 1e-5f), expected, 1e-3,
                           std::string(preset) + " at " + std::to_string(f) + " Hz, fs " + std::to_string(fs));
            }
        }
    }
}

// With the gain at 0 a quiet tone stays in the linear part of all four
// stages: −p0, the low cut, p1·d1, p2·d2, −p1·d3, the 50 Hz high-pass.
TEST(HiGainPreamp, SmallSignalChain)
{
    for (double fs : {22050.0, 96000.0}) {
        for (float lowCut : {50.0f, 620.0f}) {
            for (double f : {200.0, 2500.0}) {
                Hgg hgg(fs, 256);
                SetKnobs(hgg, {{Hgg::kGain, 0.0f}, {Hgg::kLowCut, lowCut}, {Hgg::kOutput, 80.0f}});
                BiquadCoefs lowCutSection, highPass;
                DesignHighPassUnnormalised(lowCut, fs, lowCutSection);
                DesignHighPassUnnormalised(50.0, fs, highPass);
                const double output = std::pow(10.0, 0.4);  // output 80: +8 dB
                const double p0 = 0.8689607381820679, p1 = 0.2506817877292633, p2 = 0.1629542;
                const Complex expected = output * (-p0) * p1 * p2 * std::pow(10.0, 0.85) * (-p1 * 10.0) *
                                         BiquadResponse(lowCutSection, f, fs) * BiquadResponse(highPass, f, fs);
                ExpectClose(SmallSignalGain(hgg, f, 1e-5f), expected, 1e-3,
                           std::to_string(lowCut) + " Hz low cut at " + std::to_string(f) + " Hz, fs " +
                               std::to_string(fs));
            }
        }
    }
}

using Blg = CORVBluesDriveGuitarDSP;

namespace {

// The analogue prototypes, evaluated from their polynomials in s.
Complex GainStage(double gain, Complex s)
{
    const double r = gain * 100000.0;
    const Complex n = (1.551e-9 + r * 8e-13) * s * s + (0.000127 + r * 1e-8) * s + 1.0;
    return n / (1.551e-9 * (s * s + 81882.65635074144 * s + 644745325.5963893));
}

Complex ToneStack(double color, Complex s)
{
    const double rt = color * 25000.0, rb = 25000.0 - rt;
    const double d0 = rt * 6.8e-8 + rt * rb * 1e-11 + rb * 6.8e-8 + 6.8e-5 + rt * 1e-8;
    const double d1 = rt * 6.8e-5 + rt * 1e-3 + 8.868 + 2.0 * rb * 1e-3 + rt * rb * 1e-8 + rb * 6.8e-5 + rt * 1e-5;
    return (rt * 1e-3 * s + 100000.0) / (d0 * s * s + d1 * s + 107800.0 + rb);
}

// The digital frequency f seen through s = 2·fs·(1 − z⁻¹)/(1 + z⁻¹).
Complex WarpedS(double f, double fs) { return {0.0, 2.0 * fs * std::tan(std::numbers::pi * f / fs)}; }

Complex OnePlusZInverse(double f, double fs) { return 1.0 + std::polar(1.0, -2.0 * std::numbers::pi * f / fs); }

CBluesDriveStage StageAt(float fs, float gain, float color)
{
    CBluesDriveStage stage;
    stage.SetSampleRate(fs);
    stage.SetGain(gain);
    stage.SetColor(color);
    return stage;
}

} // namespace

TEST(BluesDrive, ClipperIsContinuousAndApproachesMinusOne)
{
    for (float sign : {1.0f, -1.0f}) {
        const float knee = sign * 0.85193f;
        for (float x : {knee, std::nextafter(knee, 0.0f), std::nextafter(knee, 2.0f * knee)})
            EXPECT_NEAR(BluesDriveClip(x), -sign * 0.95336f, 2e-6f) << x;
        EXPECT_NEAR(BluesDriveClip(sign * 3.0f), -sign, 1e-9f);
        EXPECT_LT(std::fabs(BluesDriveClip(sign * 1.2f)), 1.0f);
    }
    EXPECT_FLOAT_EQ(BluesDriveClip(0.5f), -0.55953f);
    // Falling everywhere and never steeper than the linear part's 1.11906: a
    // knee anywhere but where the two pieces meet leaves a step.
    constexpr double kStep = 1e-4;
    for (int i = -40000; i < 40000; ++i) {
        const float x = float(i * kStep);
        const float next = float((i + 1) * kStep);
        const double fall = double(BluesDriveClip(x)) - double(BluesDriveClip(next));
        ASSERT_GE(fall, 0.0) << x;
        ASSERT_LE(fall, 1.11906 * (double(next) - double(x)) + 1e-6) << x;
    }
}

// The gain stage is the op-amp's transfer function through the plain
// bilinear transform; the tone stack likewise, except that its missing
// numerator factors (1 + z⁻¹) stand in by their DC value 2.
TEST(BluesDrive, SectionsFollowTheCircuit)
{
    for (float fs : {22050.0f, 48000.0f, 192000.0f}) {
        for (float setting : {0.0f, 0.25f, 1.0f}) {
            const CBluesDriveStage stage = StageAt(fs, setting, setting);
            for (double f : {0.0, 60.0, 700.0, 3000.0, 9000.0}) {
                const std::string where = std::to_string(fs) + " Hz, setting " + std::to_string(setting) + ", at " +
                                          std::to_string(f);
                const Complex s = WarpedS(f, fs);
                ExpectClose(BiquadResponse(stage.GainCoefs(), f, fs), GainStage(setting, s), 1e-4, "gain " + where);
                const Complex dcTerms = setting == 0.0f ? std::pow(OnePlusZInverse(f, fs) / 2.0, 2.0)
                                                        : OnePlusZInverse(f, fs) / 2.0;
                ExpectClose(BiquadResponse(stage.ToneCoefs(), f, fs) * dcTerms, ToneStack(setting, s), 1e-3,
                            "tone " + where);
            }
        }
        BiquadCoefs highPass;
        DesignHighPassUnnormalised(70.0, fs, highPass);
        const BiquadCoefs input = StageAt(fs, 0.3f, 0.3f).InputCoefs();
        EXPECT_EQ(std::tie(input.g, input.b1, input.b2, input.a1, input.a2),
                  std::tie(highPass.g, highPass.b1, highPass.b2, highPass.a1, highPass.a2));
    }
}

// A quiet tone stays on the clipper's straight part: the chain is input
// high-pass, 20·G, gain stage, −1.11906, tone stack and the output level.
TEST(BluesDrive, QuietToneThroughTheWholeChain)
{
    for (double fs : {44100.0, 96000.0}) {
        Blg blg(fs, 256);
        blg.GetParameter(Blg::kGain)->SetValue(70.0f);
        blg.GetParameter(Blg::kColor)->SetValue(20.0f);
        blg.GetParameter(Blg::kOutput)->SetValue(80.0f);
        const CBluesDriveStage stage = StageAt(float(fs), 0.7f, 0.2f);
        for (double f : {150.0, 2500.0}) {
            const Complex expected = BiquadResponse(stage.InputCoefs(), f, fs) * 20.0 * 0.7 *
                                     BiquadResponse(stage.GainCoefs(), f, fs) * -1.11906 *
                                     BiquadResponse(stage.ToneCoefs(), f, fs) * std::pow(10.0, 0.4);
            const std::string where = std::to_string(f) + " Hz, fs " + std::to_string(fs);
            ExpectClose(SmallSignalGain(blg, f, 1e-4f), expected, 1e-3, where);
        }
    }
}

using Prb = CORVBassPreampDSP;

namespace {

// The small-signal gain in dB at f with the knobs set by plain value.
double GainDb(const std::vector<std::pair<int32_t, float>>& knobs, double f, double fs = 48000.0)
{
    Prb prb(fs, 256);
    SetKnobs(prb, knobs);
    return Db(std::abs(SmallSignalGain(prb, f, 1e-4f)));
}

// How far the 2nd and 3rd harmonics of a 0.3 amplitude 110 Hz tone reach,
// relative to the fundamental.
std::array<double, 2> Harmonics(float gainKnob)
{
    constexpr double fs = 48000.0, f = 110.0;
    Prb prb(fs, 256);
    SetKnobs(prb, {{Prb::kGain, gainKnob}, {Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}});
    const std::vector<float> left = testing_support::Play(prb, testing_support::Sine(f, fs, 48000, 0.3f));
    const double fundamental = AmplitudeAt(left, f, fs, 24000);
    return {AmplitudeAt(left, 2 * f, fs, 24000) / fundamental, AmplitudeAt(left, 3 * f, fs, 24000) / fundamental};
}

} // namespace

// "Default" passes a quiet tone in the middle of the range at unity; each
// switch (0 = "On") lifts its own band by about 8 dB and leaves the other's
// alone; "Gain" before the tube stage and "Output" after everything span
// -20 to +20 dB each.
TEST(BassPreamp, SwitchesLiftTheirOwnBandAndTheKnobsSpan40Db)
{
    constexpr double low = 40.0, middle = 500.0, high = 12000.0;
    EXPECT_NEAR(GainDb({}, middle), 0.0, 0.3);
    const double bothOff[] = {GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}}, low),
                              GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}}, high)};
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 0.0f}, {Prb::kUltraHigh, 1.0f}}, low) - bothOff[0], 8.0, 0.2);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 0.0f}, {Prb::kUltraHigh, 1.0f}}, high) - bothOff[1], 0.0, 0.02);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 0.0f}}, high) - bothOff[1], 8.0, 0.5);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 0.0f}}, low) - bothOff[0], 0.0, 0.02);

    const double reference = GainDb({}, middle);
    EXPECT_NEAR(GainDb({{Prb::kGain, 0.0f}}, middle) - reference, -20.0, 0.05);
    EXPECT_NEAR(GainDb({{Prb::kOutput, 100.0f}}, middle) - reference, 20.0, 0.05);
    EXPECT_NEAR(GainDb({{Prb::kGain, 100.0f}, {Prb::kOutput, 0.0f}}, middle) - reference, 0.0, 0.1);
}

// More gain, more harmonics.  The curve starts as v − tanh(0.3)·v², so a
// gentle drive's second harmonic stands at tanh(0.3)·v/2 of the fundamental;
// the third grows with v², and hard drive raises both further.
TEST(BassPreamp, GainRaisesHarmonicContent)
{
    const std::array<double, 2> gentle = Harmonics(25.0f);
    const std::array<double, 2> middle = Harmonics(50.0f);
    const std::array<double, 2> hot = Harmonics(90.0f);
    const double gentleDrive = 0.3 * std::pow(10.0, -0.5);
    EXPECT_NEAR(gentle[0], std::tanh(0.3) / 2.0 * gentleDrive, 0.001);
    EXPECT_GT(middle[0], 2.5 * gentle[0]);
    EXPECT_GT(middle[1], 8.0 * gentle[1]);
    EXPECT_GT(hot[0], 2.0 * middle[0]);
    EXPECT_GT(hot[1], 10.0 * middle[1]);
}

using Pag = CORVPowerAmpGuitarDSP;

struct AmpTypeRow {
    const TubeCurve* tube;
    float driveScale;
    float outputGain;
    float differenceScale;
};

const AmpTypeRow kTypes[] = {
    {&kEl34Curve, 1.0f, 0.4615385f, 0.9944477f},
    {&kEl34Curve, 1.0f, 2.0f, 0.2133198f},
    {&k6L6Curve, 0.92f, 0.9411766f, 0.3866492f},
    {&k6L6Curve, 0.92f, 12.705883f, 0.0316751f},
};

// A quiet tone sees the slopes at rest: presence and the 20 Hz high-pass,
// the splitter's ±31.78, the half high-passes (B at 0.95), the tube's slope
// at 0, the difference scale, the transformer's 3.000191 and the output gain.
TEST(PowerAmp, SmallSignalChain)
{
    struct Case {
        int32_t type;
        float volume, presence;
    };
    for (double fs : {22050.0, 96000.0}) {
        for (const Case& c : {Case{0, 50, 50}, Case{1, 60, 0}, Case{2, 50, 100}, Case{3, 40, 75}}) {
            for (double f : {1000.0, 4100.0}) {
                Pag pag(fs, 256);
                SetKnobs(pag, {{Pag::kType, float(c.type)}, {Pag::kVolume, c.volume}, {Pag::kPresence, c.presence}});
                BiquadSection presence, highPass;
                presence.setSampleRate(fs);
                highPass.setSampleRate(fs);
                presence.designPeak(4100.0f, 13.0f * c.presence / 100.0f, 1.55f);
                highPass.designHighPass(20.0f, true);
                const Complex hp = BiquadResponse(highPass.copyCoefficients(), f, fs);
                const AmpTypeRow& row = kTypes[c.type];
                const double tubeSlope = (*row.tube->table)[14].c2;
                const double volume = 10.0 * row.driveScale * (1.0 - std::log10(101.0 - c.volume) / std::log10(101.0));
                const Complex expected = row.outputGain * 3.000191 * row.differenceScale * tubeSlope *
                                         (-31.784966 * 1.95) * volume *
                                         BiquadResponse(presence.copyCoefficients(), f, fs) * hp * hp;
                ExpectClose(SmallSignalGain(pag, f, 1e-4f), expected, 1e-3,
                           "type " + std::to_string(c.type) + " at " + std::to_string(f) + " Hz, fs " +
                               std::to_string(fs));
            }
        }
    }
}

// An input so loud that the sections overflow leaves a NaN in their state
// that the bounded tube curves would hide for good; the block it came in
// resets the amp, and what follows sounds as after a reset.
TEST(PowerAmp, OverflowingInputIsForgottenAfterItsBlock)
{
    std::vector<std::vector<float>> results;
    for (float spike : {0.0f, 3e38f}) {
        Pag pag(44100.0, 256);
        pag.Prepare(512); // the spike's block is one slice
        std::vector<float> left = testing_support::Sine(110.0, 44100.0, 512);
        left[100] = spike;
        std::vector<float> right = left;
        testing_support::ProcessInBlocks(pag, left, right, 512);
        if (spike == 0.0f)
            pag.Reset();
        left = right = testing_support::Sine(110.0, 44100.0, 8192);
        testing_support::ProcessInBlocks(pag, left, right, 512);
        results.push_back(left);
    }
    EXPECT_GT(testing_support::Peak(results[1]), 0.1f);
    EXPECT_EQ(results[1], results[0]);
}
