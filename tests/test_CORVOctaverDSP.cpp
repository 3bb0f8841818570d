#include "effects/modulation/CORVOctaverDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;
using Ot = CORVOctaverDSP;

namespace {

Stereo Through(Ot& octaver, Stereo signal) { return PlayStereo(octaver, std::move(signal), 256); }

std::unique_ptr<Ot> MakeOctaver(float clean, float lower, float upper, double rate = 48000.0)
{
    auto octaver = Make<Ot>(rate);
    Set(*octaver, Ot::kCleanLevel, clean);
    Set(*octaver, Ot::kLowerLevel, lower);
    Set(*octaver, Ot::kUpperLevel, upper);
    return octaver;
}

} // namespace

TEST(OctaverMix, DryPathIsScaledButNotDelayed)
{
    auto octaver = MakeOctaver(50.0f, 0.0f, 0.0f);
    const std::vector<float> tone = HarmonicTone(196.0, 48000.0, 6000, 5);
    const Stereo out = Through(*octaver, {tone, std::vector<float>(tone.size(), -0.25f)});
    for (size_t i = 0; i < tone.size(); ++i) {
        ASSERT_EQ(out.left[i], 0.5f * tone[i]) << i;
        ASSERT_EQ(out.right[i], -0.125f) << i;
    }
}

TEST(OctaverMix, UnderStandAndStandUpCarryOnlyTheirOctave)
{
    constexpr double kRate = 48000.0;
    constexpr double kTone = 220.0;
    constexpr float kAmplitude = 0.25f;
    const std::vector<float> tone = HarmonicTone(kTone, kRate, size_t(kRate), 1, kAmplitude);
    struct Case {
        const char* preset;
        double octave;
        float level; // of the octave voice
    };
    for (const Case& c : {Case{"Under Stand", kTone / 2.0, 1.0f}, Case{"Stand Up", kTone * 2.0, 0.56f}}) {
        auto octaver = Make<Ot>(kRate);
        octaver->ApplyPreset(c.preset);
        const Stereo out = Through(*octaver, {tone, tone});
        EXPECT_EQ(out.left, out.right);
        const size_t from = out.left.size() - 16384;
        EXPECT_NEAR(StrongestFrequency(out.left, from, 16384, kRate), c.octave, 0.002 * c.octave) << c.preset;
        EXPECT_LT(WindowedAmplitudeAt(out.left, from, 16384, kTone, kRate), 1e-3 * kAmplitude) << c.preset;
        // The voice alone at full level: the shifters hear the plain sum of
        // both channels, twice the tone, and pass it on at about its level.
        const bool lower = c.octave < kTone;
        auto full = MakeOctaver(0.0f, lower ? 100.0f : 0.0f, lower ? 0.0f : 100.0f, kRate);
        const std::vector<float> voice = Through(*full, {tone, tone}).left;
        const double level = WindowedAmplitudeAt(voice, from, 16384, c.octave, kRate);
        EXPECT_NEAR(20.0 * std::log10(level / (2.0 * kAmplitude)), 0.0, 1.5) << c.preset;
        for (size_t i = 0; i < voice.size(); ++i)
            ASSERT_NEAR(out.left[i], c.level * voice[i], 1e-6f) << c.preset << " at " << i;
    }
}

TEST(OctaverQuality, FollowsASweepFrom80To1000Hz)
{
    // An exponential sweep over four seconds; every 100 ms window of each
    // voice holds half or twice the frequency the input had a latency
    // earlier, within a quarter tone.
    constexpr double kRate = 48000.0;
    constexpr double kSeconds = 4.0;
    const double growth = std::log(1000.0 / 80.0) / kSeconds;
    std::vector<float> sweep(size_t(kSeconds * kRate));
    for (size_t i = 0; i < sweep.size(); ++i) {
        const double t = double(i) / kRate;
        sweep[i] = float(0.3 * std::sin(2.0 * std::numbers::pi * 80.0 * (std::exp(growth * t) - 1.0) / growth));
    }
    for (const double ratio : {0.5, 2.0}) {
        auto octaver = MakeOctaver(0.0f, ratio < 1.0 ? 100.0f : 0.0f, ratio > 1.0 ? 100.0f : 0.0f, kRate);
        const Stereo out = Through(*octaver, {sweep, sweep});
        const double latency = octaver->LowerShifter().Latency();
        constexpr size_t kWindow = 4800;
        for (size_t from = size_t(latency) + 2 * kWindow; from + kWindow <= out.left.size(); from += kWindow) {
            const double inputTime = (double(from) + kWindow / 2.0 - latency) / kRate;
            const double expected = ratio * 80.0 * std::exp(growth * inputTime);
            EXPECT_NEAR(Cents(StrongestFrequency(out.left, from, kWindow, kRate), expected), 0.0, 50.0)
                << ratio << " at " << inputTime << " s";
        }
    }
}

