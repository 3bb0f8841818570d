#include "effects/modulation/CORVTremoloDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using testing_support::ProcessInBlocks;

namespace {

using Tr = CORVTremoloDSP;

// Constructed the way the effect instance does it: a reinitialisation is
// due before the first block.
std::unique_ptr<Tr> MakeTremolo(double sampleRate = 44100.0)
{
    auto tremolo = std::make_unique<Tr>(sampleRate, 256);
    tremolo->needsReinit = true;
    return tremolo;
}

// The gain curve: a constant 1 through the effect.
std::vector<float> Gains(Tr& tremolo, size_t frames, int32_t blockSize = 512)
{
    std::vector<float> left(frames, 1.0f);
    std::vector<float> right(frames, 1.0f);
    ProcessInBlocks(tremolo, left, right, blockSize);
    EXPECT_EQ(left, right);
    return left;
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

TEST(TremoloRate, FreeTempoOf300BpmIs5Hz)
{
    auto tremolo = MakeTremolo();
    EXPECT_NEAR(PeriodInSamples(*tremolo, 44100 * 3), 8820.0, PeriodTolerance(8820.0));
    EXPECT_EQ(tremolo->Lfo().Frequency(), 5.0f);
    EXPECT_EQ(tremolo->Lfo().Increment(), 4.0f * 5.0f / 44100.0f);
}

TEST(TremoloRate, SyncFollowsTheHostTempo)
{
    auto tremolo = MakeTremolo();
    tremolo->OnParameterChange(Tr::kSyncCoeff, 1.0f); // "1/16 T"
    EXPECT_NEAR(PeriodInSamples(*tremolo, 44100), 3675.0, PeriodTolerance(3675.0));
    EXPECT_EQ(tremolo->Lfo().Frequency(), 12.0f);

    // The instance passes a new host tempo on by re-setting "Sync coeff".
    tremolo->tempo = 90.0;
    tremolo->OnParameterChange(Tr::kSyncCoeff, 3.0f / 8.0f); // "1/4"
    Gains(*tremolo, 16);
    EXPECT_EQ(tremolo->Lfo().Frequency(), 1.5f);
}

TEST(TremoloRate, OtherSampleRates)
{
    for (double rate : {22050.0, 192000.0}) {
        auto tremolo = MakeTremolo(rate);
        EXPECT_NEAR(PeriodInSamples(*tremolo, size_t(rate)), rate / 5.0, PeriodTolerance(rate / 5.0)) << rate;
        EXPECT_EQ(tremolo->Lfo().Increment(), float(4.0 * 5.0 / rate));
    }
}

TEST(TremoloRate, TapTempoSetsTheTempo)
{
    auto tremolo = MakeTremolo();
    testing_support::TapInterval(*tremolo, Tr::kTap, 500);

    EXPECT_FALSE(tremolo->bypassed);
    EXPECT_EQ(tremolo->Value(Tr::kTempo), 120.0f);
    Gains(*tremolo, 16);
    EXPECT_EQ(tremolo->Lfo().Frequency(), 2.0f);
}

TEST(TremoloGain, DepthZeroIsExactlyUnityWhileTheLfoRuns)
{
    auto tremolo = MakeTremolo();
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

TEST(TremoloGain, FullDepthSwingsFromSilenceToPlus3dB)
{
    auto tremolo = MakeTremolo();
    tremolo->OnParameterChange(Tr::kDepth, 1.0f);
    // The reinitialisation resets the phase: top, middle, bottom.
    const std::vector<float> gains = Gains(*tremolo, 20000);
    EXPECT_FLOAT_EQ(gains[0], 2.0f * 0.7071f);
    EXPECT_FLOAT_EQ(gains[1], 0.7071f);
    EXPECT_EQ(gains[2], 0.0f);
    EXPECT_EQ(*std::min_element(gains.begin(), gains.end()), 0.0f);
    EXPECT_FLOAT_EQ(*std::max_element(gains.begin() + 3, gains.end()), 2.0f * 0.7071f);
}

TEST(TremoloGain, DefaultDepthRange)
{
    auto tremolo = MakeTremolo();
    const std::vector<float> gains = Gains(*tremolo, 20000);
    // Depth 21 %: centre 0.7071 + 0.2929 * 0.79, swing 0.7071 * 0.21.
    EXPECT_NEAR(*std::min_element(gains.begin(), gains.end()), 0.79, 1e-5);
    EXPECT_NEAR(*std::max_element(gains.begin(), gains.end()), 1.086982, 1e-5);
}

TEST(TremoloFrame, BypassCopiesAndHoldsTheLfo)
{
    auto tremolo = MakeTremolo();
    Gains(*tremolo, 1000);
    const float ramp = tremolo->Lfo().Ramp();
    tremolo->OnParameterChange(1, 1.0f);
    tremolo->OnParameterChange(Tr::kDepth, 1.0f);
    const std::vector<float> input = testing_support::Sine(100.0, 44100.0, 3000);
    std::vector<float> left = input;
    std::vector<float> right = input;
    float* channels[2] = {left.data(), right.data()};
    float peaks[2][2];
    tremolo->Process(channels, channels, peaks[0], peaks[1], int32_t(input.size()));
    EXPECT_EQ(left, input);
    EXPECT_EQ(right, input);
    EXPECT_EQ(tremolo->Lfo().Ramp(), ramp);
    EXPECT_GT(peaks[0][0], 0.49f);
    EXPECT_EQ(peaks[1][0], peaks[0][0]);
    EXPECT_TRUE(tremolo->parametersChanged); // the update waits for the first live block
}

