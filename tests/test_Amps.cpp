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
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

void ExpectGain(Complex measured, Complex expected, const std::string& where)
{
    EXPECT_LT(std::abs(measured / expected - 1.0), 1e-3)
        << where << ": measured " << measured << ", expected " << expected;
}

// Exact digital silence into a fresh effect: the chain starts from a tiny
// offset, so the output moves at first, and the coupling high-passes remove
// the offset again, so it settles to nothing.
void ExpectSilenceSettles(CORVDSPAlgInterface& effect)
{
    const size_t frames = size_t(effect.sampleRate) * 3;
    std::vector<float> left(frames, 0.0f);
    std::vector<float> right(frames, 0.0f);
    testing_support::ProcessInBlocks(effect, left, right, 1024);
    EXPECT_GT(testing_support::Peak(std::vector<float>(left.begin(), left.begin() + 256)), 0.0f);
    EXPECT_LT(testing_support::Peak(left, frames - frames / 6), 1e-12f);
    EXPECT_EQ(left, right);
}

} // namespace

using Clg = CORVCleanPreampGuitarDSP;

TEST(CleanPreamp, DriveAndOutputFromMinus40ToPlus20Db)
{
    Clg clg(44100.0, 256);
    // Default: gain 50 (−10 dB, times 5), output 70 (+2 dB).
    EXPECT_NEAR(clg.Stage(0).Drive(), 1.5811388f, 1e-6f);
    EXPECT_NEAR(clg.Stage(1).OutputGain(), 1.2589254f, 1e-6f);
    SetKnobs(clg, {{Clg::kGain, 0.0f}, {Clg::kOutput, 100.0f}});
    EXPECT_NEAR(clg.Stage(1).Drive(), 0.05f, 1e-8f);
    EXPECT_NEAR(clg.Stage(0).OutputGain(), 10.0f, 1e-5f);
    SetKnobs(clg, {{Clg::kGain, 100.0f}, {Clg::kOutput, 0.0f}});
    EXPECT_NEAR(clg.Stage(0).Drive(), 50.0f, 1e-4f);
    EXPECT_NEAR(clg.Stage(0).OutputGain(), 0.01f, 1e-8f);
}

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
                ExpectGain(SmallSignalGain(clg, f, 1e-5f), expected,
                           std::string(preset) + " at " + std::to_string(f) + " Hz, fs " + std::to_string(fs));
            }
        }
    }
}

using Cpg = CORVCrunchPreampGuitarDSP;

TEST(CrunchPreamp, DriveFrom7TimesZeroToPlus30Db)
{
    Cpg cpg(44100.0, 256);
    EXPECT_NEAR(cpg.Stage(0).Drive(), 7.0f * 5.6234133f, 1e-5f);
    EXPECT_NEAR(cpg.Stage(1).OutputGain(), 0.9549926f, 1e-6f);
    EXPECT_EQ(cpg.Stage(0).PeakGainDb(), 8.0f);
    // Gain 0 still drives the second stage by 7 (and the third by 18).
    SetKnobs(cpg, {{Cpg::kGain, 0.0f}, {Cpg::kMidBoost, 12.5f}});
    EXPECT_EQ(cpg.Stage(1).Drive(), 7.0f);
    EXPECT_EQ(cpg.Stage(1).PeakGainDb(), 12.5f);
    SetKnobs(cpg, {{Cpg::kGain, 100.0f}});
    EXPECT_NEAR(cpg.Stage(0).Drive(), 7.0f * 31.622777f, 1e-4f);
}

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
                ExpectGain(SmallSignalGain(cpg, f, 1e-5f), expected,
                           std::string(preset) + " at " + std::to_string(f) + " Hz, fs " + std::to_string(fs));
            }
        }
    }
}

TEST(CrunchPreamp, SilenceSettlesToZero)
{
    Cpg cpg(44100.0, 256);
    ExpectSilenceSettles(cpg);
}

using Hgg = CORVHiGainPreampGuitarDSP;

TEST(HiGainPreamp, DrivesAndLowCut)
{
    Hgg hgg(44100.0, 256);
    const HiGainPreampStage& stage = hgg.Stage(1);
    EXPECT_NEAR(stage.Drive1(), 177.82794f, 1e-3f);  // gain 75: +45 dB
    EXPECT_NEAR(stage.Drive2(), 7.0794578f, 1e-6f);
    EXPECT_EQ(stage.Drive3(), 10.0f);
    EXPECT_NEAR(stage.OutputGain(), 0.31622777f, 1e-7f);
    EXPECT_EQ(stage.LowCutHz(), 200.0f);
    SetKnobs(hgg, {{Hgg::kGain, 0.0f}, {Hgg::kLowCut, 20.0f}});
    EXPECT_EQ(stage.Drive1(), 1.0f);
    EXPECT_EQ(stage.LowCutHz(), 50.0f);
    SetKnobs(hgg, {{Hgg::kGain, 100.0f}, {Hgg::kLowCut, 1000.0f}});
    EXPECT_NEAR(stage.Drive1(), 1000.0f, 1e-2f);
    EXPECT_EQ(stage.LowCutHz(), 1000.0f);
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
                ExpectGain(SmallSignalGain(hgg, f, 1e-5f), expected,
                           std::to_string(lowCut) + " Hz low cut at " + std::to_string(f) + " Hz, fs " +
                               std::to_string(fs));
            }
        }
    }
}

TEST(HiGainPreamp, SilenceSettlesToZero)
{
    Hgg hgg(44100.0, 256);
    ExpectSilenceSettles(hgg);
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

void ExpectClose(Complex digital, Complex analogue, double tolerance, const std::string& where)
{
    EXPECT_LT(std::abs(digital / analogue - 1.0), tolerance) << where << ": " << digital << " vs " << analogue;
}

CBluesDriveStage StageAt(float fs, float gain, float color)
{
    CBluesDriveStage stage;
    stage.SetSampleRate(fs);
    stage.SetGain(gain);
    stage.SetColor(color);
    return stage;
}

void RunBlock(Blg& blg, float value = 0.1f)
{
    std::vector<float> left(64, value), right(64, value);
    testing_support::ProcessInBlocks(blg, left, right, 64);
}

} // namespace

TEST(BluesDrive, ConstructionStartsTheOutputRamp)
{
    Blg blg(44100.0, 256);
    // The constructor's reinitialisation already ran: stages at the rate and
    // the knobs, and the first third of the ramp from 0 towards "Output".
    EXPECT_FALSE(blg.parametersChanged);
    for (int32_t channel : {0, 1}) {
        EXPECT_EQ(blg.Stage(channel).SampleRate(), 44100.0f);
        EXPECT_EQ(blg.Stage(channel).Gain(), 0.5f);
        EXPECT_EQ(blg.Stage(channel).Color(), 0.5f);
    }
    EXPECT_FLOAT_EQ(blg.RampValue(), 50.0f / 3.0f);
    EXPECT_TRUE(blg.Ramping());
}

TEST(BluesDrive, OutputRampsOverThreeBlocks)
{
    Blg blg(48000.0, 256);
    for (int block = 0; block < 4; ++block)
        RunBlock(blg);
    ASSERT_FALSE(blg.Ramping());
    EXPECT_EQ(blg.RampValue(), 50.0f);
    EXPECT_FLOAT_EQ(blg.Stage(0).OutputLevel(), float(std::pow(10.0, -0.5)));

    blg.OnParameterChange(Blg::kOutput, 1.0f);
    // One third, one half, then all of the way from 50 to 100: 0, +5 and +20 dB.
    const float ramp[] = {50.0f + 50.0f / 3.0f, 75.0f, 100.0f};
    const double levels[] = {1.0, std::pow(10.0, 0.25), 10.0};
    for (int block = 0; block < 3; ++block) {
        RunBlock(blg);
        EXPECT_FLOAT_EQ(blg.RampValue(), ramp[block]) << block;
        EXPECT_NEAR(blg.Stage(1).OutputLevel(), levels[block], 1e-5 * levels[block]) << block;
        EXPECT_TRUE(blg.Ramping());
    }
    RunBlock(blg);
    EXPECT_FALSE(blg.Ramping());
    EXPECT_EQ(blg.RampValue(), 100.0f);
}

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

TEST(BluesDrive, GainAtZeroIsSilent)
{
    Blg blg(44100.0, 256);
    blg.GetParameter(Blg::kGain)->SetValue(0.0f);
    std::vector<float> left = testing_support::Sine(220.0, 44100.0, 8192, 0.9f);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(blg, left, right, 512);
    EXPECT_EQ(testing_support::Peak(left), 0.0f);
    EXPECT_EQ(testing_support::Peak(right), 0.0f);
}

TEST(BluesDrive, SilenceEndsInExactZeros)
{
    // A tone, then ten seconds of silence: the exact recursion alone would
    // leave the sections circling in subnormal numbers.
    Blg blg(44100.0, 256);
    std::vector<float> left = testing_support::Sine(110.0, 44100.0, 4410, 0.5f);
    left.resize(441000, 0.0f);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(blg, left, right, 256);
    EXPECT_EQ(testing_support::Peak(left, left.size() - 256), 0.0f);
    for (int channel = 0; channel < 2; ++channel)
        for (const BiquadState& s : blg.Stage(channel).States()) {
            EXPECT_FALSE(testing_support::IsSubnormal(s.state1)) << s.state1;
            EXPECT_FALSE(testing_support::IsSubnormal(s.state2)) << s.state2;
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
            ExpectGain(SmallSignalGain(blg, f, 1e-4f), expected, std::to_string(f) + " Hz at " + std::to_string(fs));
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
    std::vector<float> left = testing_support::Sine(f, fs, 48000, 0.3f);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(prb, left, right, 512);
    const double fundamental = AmplitudeAt(left, f, fs, 24000);
    return {AmplitudeAt(left, 2 * f, fs, 24000) / fundamental, AmplitudeAt(left, 3 * f, fs, 24000) / fundamental};
}

} // namespace

// "Default" passes a quiet tone in the middle of the range at unity; each
// switch (0 = "On") lifts its own band by about 8 dB and leaves the other's
// alone.
TEST(BassPreamp, SwitchesLiftTheirOwnBand)
{
    constexpr double low = 40.0, middle = 500.0, high = 12000.0;
    EXPECT_NEAR(GainDb({}, middle), 0.0, 0.3);
    const double bothOff[] = {GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}}, low),
                              GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}}, high)};
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 0.0f}, {Prb::kUltraHigh, 1.0f}}, low) - bothOff[0], 8.0, 0.2);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 0.0f}, {Prb::kUltraHigh, 1.0f}}, high) - bothOff[1], 0.0, 0.02);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 0.0f}}, high) - bothOff[1], 8.0, 0.5);
    EXPECT_NEAR(GainDb({{Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 0.0f}}, low) - bothOff[0], 0.0, 0.02);
}

// The knobs span −20 dB to +20 dB each: "Gain" before the tube stage,
// "Output" after everything.
TEST(BassPreamp, GainAndOutputLaws)
{
    const double reference = GainDb({}, 500.0);
    EXPECT_NEAR(GainDb({{Prb::kGain, 0.0f}}, 500.0) - reference, -20.0, 0.05);
    EXPECT_NEAR(GainDb({{Prb::kOutput, 100.0f}}, 500.0) - reference, 20.0, 0.05);
    EXPECT_NEAR(GainDb({{Prb::kGain, 100.0f}, {Prb::kOutput, 0.0f}}, 500.0) - reference, 0.0, 0.1);
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

// However hard it is driven, the level stays within the tube curve's swing
// from −1/(1 − tanh 0.3) to 1/(1 + tanh 0.3), which the DC blocker and the
// roll-off can at most move around, not widen much; once the DC blocker
// has settled, 60 dB more input raises the peaks by less than 2 dB.
TEST(BassPreamp, OutputStaysBounded)
{
    const float swing = 1.0f / (1.0f + std::tanh(0.3f)) + 1.0f / (1.0f - std::tanh(0.3f));
    std::array<float, 2> peaks{};
    for (size_t k = 0; k < 2; ++k) {
        Prb prb(48000.0, 256);
        SetKnobs(prb, {{Prb::kGain, 100.0f}, {Prb::kUltraLow, 1.0f}, {Prb::kUltraHigh, 1.0f}});
        const float amplitude = k == 0 ? 1.0f : 1000.0f;
        std::vector<float> left = testing_support::Sine(80.0, 48000.0, 48000, amplitude);
        std::vector<float> right = testing_support::Sine(3000.0, 48000.0, 48000, amplitude);
        testing_support::ProcessInBlocks(prb, left, right, 4096);
        peaks[k] = testing_support::Peak(left, left.size() / 2);
        EXPECT_LT(peaks[k], swing) << amplitude;
        EXPECT_LT(testing_support::Peak(right), swing) << amplitude;
    }
    EXPECT_LT(Db(peaks[1] / peaks[0]), 2.0);
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

TEST(PowerAmp, TubeTypesAndVolume)
{
    Pag pag(44100.0, 256);
    for (int32_t type = 0; type < 4; ++type) {
        const AmpTypeRow& row = kTypes[type];
        for (float volume : {0.0f, 50.0f, 100.0f}) {
            SetKnobs(pag, {{Pag::kType, float(type)}, {Pag::kVolume, volume}});
            const PowerAmpStage& stage = pag.Stage(type % 2);
            EXPECT_EQ(stage.TubeType(), type);
            EXPECT_EQ(stage.Tube().table, row.tube->table);
            EXPECT_NEAR(stage.OutputGain() / row.outputGain, 1.0f, 1e-6f) << type;
            EXPECT_NEAR(stage.DifferenceScale() / row.differenceScale, 1.0f, 2e-6f) << type;
            const float expected = volume == 0.0f ? 0.0f : volume == 50.0f ? 1.4806f : 10.0f;
            EXPECT_NEAR(stage.InputGain(), row.driveScale * expected, 1e-4f) << type << " " << volume;
        }
        EXPECT_EQ(pag.Stage(0).InputGain(), row.driveScale * 10.0f);
    }
}

// Volume 0 shuts the input off: a loud input gives exactly what silence
// gives.  That is not quite zero: at rest the splitter's halves sit at
// 0.130448, which the half high-passes take a moment to absorb after their
// states are cleared and then hold at their float rounding floor.
TEST(PowerAmp, VolumeZeroIsSilent)
{
    std::vector<float> outputs[2];
    for (float amplitude : {1.0f, 0.0f}) {
        Pag pag(44100.0, 256);
        SetKnobs(pag, {{Pag::kVolume, 0.0f}, {Pag::kPresence, 100.0f}});
        EXPECT_EQ(pag.Stage(0).InputGain(), 0.0f);
        std::vector<float> left = testing_support::Sine(110.0, 44100.0, 44100, amplitude);
        std::vector<float> right = left;
        testing_support::ProcessInBlocks(pag, left, right, 512);
        outputs[amplitude == 0.0f] = left;
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_LT(testing_support::Peak(outputs[0]), 1e-4f);
    EXPECT_LT(testing_support::Peak(outputs[0], 22050), 1e-6f);
}

// Driven far past the splitter's table, every amp saturates below 1.3 times
// its output gain; the widest (type 0) drives its transformer close to it.
TEST(PowerAmp, OutputNeverAboveTransformerLimit)
{
    for (int32_t type = 0; type < 4; ++type) {
        Pag pag(44100.0, 256);
        SetKnobs(pag, {{Pag::kType, float(type)}, {Pag::kVolume, 100.0f}, {Pag::kPresence, 100.0f}});
        std::vector<float> left = testing_support::Sine(82.0, 44100.0, 44100, 8.0f);
        std::vector<float> right = testing_support::Sine(3000.0, 44100.0, 44100, 1.0f);
        testing_support::ProcessInBlocks(pag, left, right, 512);
        const float limit = 1.3f * pag.Stage(0).OutputGain();
        EXPECT_LE(testing_support::Peak(left), limit) << type;
        EXPECT_LE(testing_support::Peak(right), limit) << type;
        if (type == 0) {
            EXPECT_GT(testing_support::Peak(left), 0.9f * limit);
        }
    }
}

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
                ExpectGain(SmallSignalGain(pag, f, 1e-4f), expected,
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
