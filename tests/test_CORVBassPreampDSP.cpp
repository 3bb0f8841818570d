#include "effects/drive/CORVBassPreampDSP.h"

#include "tests/AmpTestSupport.h"
#include "tests/DriveTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

using namespace amp_testing;
using drive_testing::AmplitudeAt;
using drive_testing::Db;
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

TEST(BassPreamp, IdentityPresetsAndSwitchTexts)
{
    Prb prb(44100.0, 256);
    EXPECT_EQ(prb.longName, "PRB - Bass Preamp");
    EXPECT_EQ(prb.shortName, "PRB");
    EXPECT_EQ(std::memcmp(&prb.fourCC, "1brp", 4), 0);
    const std::vector<std::pair<std::string, std::vector<float>>> presets{
        {"Default", {50, 0, 0, 50}}, {"Low Bass", {50, 0, 1, 50}}, {"Hi Bass", {50, 1, 0, 64}},
        {"Loudness", {53, 0, 0, 50}}, {"UltrAmp", {80, 0, 0, 25}}};
    ASSERT_EQ(prb.presets.size(), presets.size());
    for (size_t i = 0; i < presets.size(); ++i) {
        EXPECT_EQ(prb.presets.at(int32_t(i))->name, presets[i].first);
        EXPECT_EQ(prb.presets.at(int32_t(i))->values, presets[i].second);
    }
    const char* texts[] = {"Gain: 50.0 %", "Ultra Low:  On", "Ultra High:  On", "Output: 50.0 %"};
    for (int32_t index = Prb::kGain; index <= Prb::kOutput; ++index)
        EXPECT_EQ(prb.GetParameter(index)->GetText(true, true), texts[index - Prb::kGain]);
    EXPECT_EQ(prb.GetParameter(Prb::kUltraLow)->GetText(false, false, 1.0f), "Off");
    EXPECT_FALSE(prb.parametersChanged);
}

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
