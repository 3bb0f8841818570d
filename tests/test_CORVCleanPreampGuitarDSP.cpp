#include "effects/drive/CORVCleanPreampGuitarDSP.h"

#include "tests/AmpTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace amp_testing;
using Clg = CORVCleanPreampGuitarDSP;

TEST(CleanPreamp, IdentityParametersAndPresets)
{
    Clg clg(44100.0, 256);
    ExpectIdentity(clg, {"CLG - Guitar Clean Preamp", "CLG", "1glc",
                         {"Gain: 50.0 %", "Bright: 5.0 dB", "Output: 70.0 %"}, 0.0f, 15.0f, 0.1f,
                         {{"Default", {50, 5, 70}}, {"Low Hot", {45, 0, 100}}, {"Low Bright", {45, 15, 100}},
                          {"High Hot", {85, 0, 71}}, {"High Bright", {85, 15, 61}}}});
}

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

TEST(CleanPreamp, BrightZeroLeavesTheShelfFlat)
{
    Clg clg(44100.0, 256);
    clg.ApplyPreset("Low Hot");
    clg.UpdateParameters(false);
    for (double f : {50.0, 2000.0, 15000.0})
        EXPECT_NEAR(BiquadMagnitudeDb(clg.Stage(0).BrightShelf(), f), 0.0, 1e-5) << f;
    clg.ApplyPreset("High Bright");
    clg.UpdateParameters(false);
    EXPECT_NEAR(BiquadMagnitudeDb(clg.Stage(1).BrightShelf(), 20000.0), 15.0, 0.1);
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
