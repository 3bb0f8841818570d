#include "effects/drive/CORVBluesDriveGuitarDSP.h"

#include "effects/common/BiquadDesigners.h"
#include "tests/AmpTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>

using namespace amp_testing;
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

TEST(BluesDrive, IdentityPresetsAndConstruction)
{
    Blg blg(44100.0, 256);
    ExpectIdentity(blg, {"BLG - Guitar Blues Drive", "BLG", "1glb", {"Gain: 50.0 %", "Color: 50.0 %", "Output: 50.0 %"},
                         0.0f, 100.0f, 1.0f,
                         {{"Default", {50, 50, 50}}, {"Light Blues", {33, 12, 50}}, {"Overdrive", {45, 8, 50}},
                          {"Full Drive", {85, 12, 45}}, {"Kick the Amp", {5, 90, 85}}}});
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
    float previous = BluesDriveClip(-4.0f);
    for (float x = -4.0f; x <= 4.0f; x += 0.01f) {
        EXPECT_LE(BluesDriveClip(x), previous) << x;
        previous = BluesDriveClip(x);
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
