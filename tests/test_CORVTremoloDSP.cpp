#include "effects/modulation/CORVTremoloDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::ProcessInBlocks;

namespace {

using Tr = CORVTremoloDSP;

// The gain curve: a constant 1 through the effect.
std::vector<float> Gains(Tr& tremolo, size_t frames)
{
    return testing_support::Play(tremolo, std::vector<float>(frames, 1.0f));
}

// At full depth the gain is exactly 0 once per period (the ramp pinned at
// -1); the mean distance between those samples is the period.
double PeriodInSamples(Tr& tremolo, size_t frames)
{
    tremolo.GetParameter(Tr::kDepth)->SetValue(100.0f);
    const std::vector<float> gains = Gains(tremolo, frames);
    std::vector<size_t> zeros;
    for (size_t i = 0; i < gains.size(); ++i)
        if (gains[i] == 0.0f)
            zeros.push_back(i);
    if (zeros.size() < 3)
        return 0.0;
    return double(zeros.back() - zeros[1]) / double(zeros.size() - 2);
}

// Each half cycle ends on the first sample at or beyond an end of the ramp,
// and the ramp sums small float steps whose rounding adds up at slow rates,
// so a period may miss its ideal length by a couple of samples plus a few
// hundredths of a percent.
double PeriodTolerance(double period) { return 2.0 + period * 1e-3; }

} // namespace

TEST(TremoloRate, FreeTempoOf300BpmIs5HzAtEveryRate)
{
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        auto tremolo = testing_support::Make<Tr>(rate);
        EXPECT_NEAR(PeriodInSamples(*tremolo, size_t(rate)), rate / 5.0, PeriodTolerance(rate / 5.0)) << rate;
    }
}

TEST(TremoloRate, SyncFollowsTheHostTempo)
{
    auto tremolo = testing_support::Make<Tr>();
    tremolo->OnParameterChange(Tr::kSyncCoeff, 1.0f); // "1/16 T" at 120 BPM: 12 Hz
    EXPECT_NEAR(PeriodInSamples(*tremolo, 44100), 3675.0, PeriodTolerance(3675.0));
}

TEST(TremoloGain, DepthZeroIsExactlyUnityWhileTheLfoRuns)
{
    auto tremolo = testing_support::Make<Tr>();
    tremolo->OnParameterChange(Tr::kDepth, 0.0f);
    const std::vector<float> input = testing_support::Sine(440.0, 44100.0, 5000);
    std::vector<float> left = input;
    std::vector<float> right = input;
    ProcessInBlocks(*tremolo, left, right, 256);
    EXPECT_EQ(left, input);
    EXPECT_EQ(right, input);
    EXPECT_NE(tremolo->Lfo().Ramp(), 1.0f);
    EXPECT_NE(tremolo->Lfo().Ramp(), -1.0f);
}

TEST(TremoloGain, DepthSwingsDownFromPlus3dB)
{
    auto tremolo = testing_support::Make<Tr>();
    tremolo->OnParameterChange(Tr::kDepth, 1.0f);
    // The reinitialisation resets the phase: top, middle, bottom.
    const std::vector<float> gains = Gains(*tremolo, 20000);
    EXPECT_FLOAT_EQ(gains[0], 2.0f * 0.7071f);
    EXPECT_FLOAT_EQ(gains[1], 0.7071f);
    EXPECT_EQ(gains[2], 0.0f);
    EXPECT_EQ(*std::min_element(gains.begin(), gains.end()), 0.0f);
    EXPECT_FLOAT_EQ(*std::max_element(gains.begin() + 3, gains.end()), 2.0f * 0.7071f);

    // Depth 21 %: centre 0.7071 + 0.2929 * 0.79, swing 0.7071 * 0.21.
    const std::vector<float> defaults = Gains(*testing_support::Make<Tr>(), 20000);
    EXPECT_NEAR(*std::min_element(defaults.begin(), defaults.end()), 0.79, 1e-5);
    EXPECT_NEAR(*std::max_element(defaults.begin(), defaults.end()), 1.086982, 1e-5);
}

