#include "effects/drive/CORVHiGainPreampGuitarDSP.h"

#include "effects/common/BiquadDesigners.h"
#include "tests/AmpTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace amp_testing;
using Hgg = CORVHiGainPreampGuitarDSP;

TEST(HiGainPreamp, IdentityParametersAndPresets)
{
    Hgg hgg(44100.0, 256);
    ExpectIdentity(hgg, {"HGG - Guitar HiGain Preamp", "HGG", "1ggh",
                         {"Gain: 75.0 %", "Low Cut: 200.0 Hz", "Output: 50.0 %"}, 50.0f, 1000.0f, 1.0f,
                         {{"Default", {75, 200, 50}}, {"CA/CD", {53, 460, 50}}, {"Dark Gain", {77, 50, 50}},
                          {"Bright Gain", {77, 620, 50}}, {"Ultra Gain", {100, 340, 50}}}});
}

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
