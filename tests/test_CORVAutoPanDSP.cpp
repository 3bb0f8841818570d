#include "effects/modulation/CORVAutoPanDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::PlayStereo;
using testing_support::Stereo;

namespace {

using Ap = CORVAutoPanDSP;

// A constant 1 on both inputs: the outputs are the two pan gains.
Stereo Gains(Ap& autoPan, size_t frames)
{
    return PlayStereo(autoPan, {std::vector<float>(frames, 1.0f), std::vector<float>(frames, 1.0f)});
}

float Min(const std::vector<float>& v) { return *std::min_element(v.begin(), v.end()); }
float Max(const std::vector<float>& v) { return *std::max_element(v.begin(), v.end()); }

} // namespace

TEST(AutoPanRate, FreeSyncedAndTapped)
{
    auto autoPan = testing_support::Make<Ap>(48000.0);
    Gains(*autoPan, 16);
    EXPECT_EQ(autoPan->Lfo().Frequency(), 100.0f / 60.0f);
    autoPan->OnParameterChange(Ap::kSyncCoeff, 4.0f / 8.0f); // "1/4 T" at 120 BPM
    Gains(*autoPan, 16);
    EXPECT_EQ(autoPan->Lfo().Frequency(), 3.0f);

    autoPan->OnParameterChange(Ap::kSyncCoeff, 0.0f);
    // The pair of presses straddles the tick counter's wrap.
    testing_support::TapInterval(*autoPan, Ap::kTap, 250, 4294967196u);
    EXPECT_EQ(autoPan->Value(Ap::kTempo), 240.0f);
    Gains(*autoPan, 16);
    EXPECT_EQ(autoPan->Lfo().Frequency(), 4.0f);
}

TEST(AutoPanRate, OtherSampleRates)
{
    for (double rate : {22050.0, 192000.0}) {
        auto autoPan = testing_support::Make<Ap>(rate);
        // 100 BPM: the left gain touches 0 every 0.6 s.
        const Stereo gains = Gains(*autoPan, size_t(rate * 2.0));
        std::vector<size_t> zeros;
        for (size_t i = 0; i < gains.left.size(); ++i)
            if (gains.left[i] == 0.0f)
                zeros.push_back(i);
        ASSERT_EQ(zeros.size(), 3u) << rate;
        // The ramp sums float steps: at slow rates their rounding shifts the
        // period by a few hundredths of a percent.
        EXPECT_NEAR(double(zeros[2] - zeros[0]) / 2.0, rate * 0.6, 2.0 + rate * 0.6 * 1e-3) << rate;
        EXPECT_EQ(autoPan->Lfo().Increment(), float(4.0 * (100.0f / 60.0f) / rate));
    }
}

TEST(AutoPanGain, NoStereoAndCentredGivesTheMonoSum)
{
    auto autoPan = testing_support::Make<Ap>();
    autoPan->OnParameterChange(Ap::kStereo, 0.0f);
    const std::vector<float> left = testing_support::Sine(220.0, 44100.0, 6000);
    const std::vector<float> right = testing_support::Sine(500.0, 44100.0, 6000, 0.25f);
    const Stereo out = PlayStereo(*autoPan, {left, right});
    for (size_t i = 0; i < left.size(); ++i) {
        const float mono = (left[i] + right[i]) * 0.5f;
        ASSERT_EQ(out.left[i], mono) << i;
        ASSERT_EQ(out.right[i], mono) << i;
    }
}

TEST(AutoPanGain, OffCentreInvertsTheFarSide)
{
    auto autoPan = testing_support::Make<Ap>();
    autoPan->GetParameter(Ap::kCenter)->SetValue(-40.0f); // gains 0.4..2.4 and 1.6..-0.4
    Stereo gains = Gains(*autoPan, 60000);
    EXPECT_NEAR(Min(gains.left), 0.4f, 1e-6f);
    EXPECT_NEAR(Max(gains.left), 2.4f, 1e-6f);
    EXPECT_NEAR(Min(gains.right), -0.4f, 1e-6f);

    autoPan->GetParameter(Ap::kCenter)->SetValue(40.0f);
    gains = Gains(*autoPan, 60000);
    EXPECT_NEAR(Min(gains.left), -0.4f, 1e-6f);
    EXPECT_NEAR(Max(gains.right), 2.4f, 1e-6f);
}

TEST(AutoPanGain, SeparateModeScalesEachSide)
{
    const std::vector<float> left = testing_support::Sine(220.0, 44100.0, 6000);
    const std::vector<float> right = testing_support::Sine(500.0, 44100.0, 6000, 0.25f);
    auto reference = testing_support::Make<Ap>();
    const Stereo gains = Gains(*reference, left.size());

    auto autoPan = testing_support::Make<Ap>();
    autoPan->panMode = true;
    const Stereo out = PlayStereo(*autoPan, {left, right});
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(out.left[i], left[i] * gains.left[i]) << i;
        ASSERT_EQ(out.right[i], right[i] * gains.right[i]) << i;
    }
}

