#include "effects/drive/CORVCrunchPreampGuitarDSP.h"

#include "effects/common/BiquadDesigners.h"
#include "tests/AmpTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace amp_testing;
using Cpg = CORVCrunchPreampGuitarDSP;

TEST(CrunchPreamp, IdentityParametersAndPresets)
{
    Cpg cpg(44100.0, 256);
    ExpectIdentity(cpg, {"CPG - Guitar Crunch Preamp", "CPG", "1gpc",
                         {"Gain: 50.0 %", "Mid Boost: 8.0 dB", "Output: 66.0 %"}, 0.0f, 15.0f, 0.1f,
                         {{"Default", {50, 8, 66}}, {"Clean", {0, 2, 66}}, {"Low Drive", {33, 8, 50}},
                          {"Mid Drive", {45, 8, 50}}, {"High Drive", {80, 12, 40}}}});
}

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
