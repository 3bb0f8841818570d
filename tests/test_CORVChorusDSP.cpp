#include "effects/modulation/CORVChorusDSP.h"

#include "dsp/FourCC.h"
#include "tests/ModulatedDelayProbe.h"

#include <gtest/gtest.h>

using namespace modulated_delay_probe;

namespace {

using Ch = CORVChorusDSP;

// Full wet, so the output is the tap alone and the ramp probe reads the
// delay directly.
std::vector<double> WetDelays(Ch& chorus, size_t frames, std::vector<double>* right = nullptr)
{
    chorus.OnParameterChange(Ch::kMix, 1.0f);
    const Stereo out = RunMono(chorus, Ramp(frames));
    if (right)
        *right = SweptDelays(out.right, 0.0, 1.0, 0.0, 400);
    return SweptDelays(out.left, 0.0, 1.0, 0.0, 400);
}

// Samples where the arc sits pinned at zero, one at each end of the ramp:
// the tap is then exactly the base delay.  A neighbour whose offset is too
// small to show in the float output counts with it.
std::vector<size_t> RampEnds(const std::vector<double>& delays, double baseDelay)
{
    std::vector<size_t> ends;
    for (size_t t = 0; t < delays.size(); ++t)
        if (delays[t] == baseDelay && (ends.empty() || t > ends.back() + 10))
            ends.push_back(t);
    return ends;
}

} // namespace

TEST(ChorusTables, IdentityAndParameters)
{
    const auto chorus = Make<Ch>();
    EXPECT_EQ(chorus->longName, "CH - Chorus");
    EXPECT_EQ(chorus->shortName, "CH");
    EXPECT_EQ(CodeBytes(*chorus), "1uhc");

    ASSERT_EQ(chorus->parameters.size(), 6u);
    EXPECT_EQ(chorus->GetParameter(Ch::kMix)->GetText(true, true), "Mix: 50.0 %");
    EXPECT_EQ(chorus->GetParameter(Ch::kRate)->GetText(true, true), "Rate: 1.0 Hz");
    EXPECT_EQ(chorus->GetParameter(Ch::kDepth)->GetText(true, true), "Depth: 50.0 %");
    EXPECT_EQ(chorus->GetParameter(Ch::kStereo)->GetText(true, true), "Stereo: 10.0 %");
    EXPECT_EQ(chorus->GetParameter(Ch::kSyncCoeff)->GetText(true, true), "Sync coeff:  Off");
    EXPECT_EQ(chorus->GetParameter(Ch::kSyncCoeff)->GetText(false, false, 4.0f), "1/4 T");
    EXPECT_EQ(chorus->GetParameter(Ch::kTap)->GetText(true, true), "Tap:  Canceled");

    const CORVDSPParameter& rate = *chorus->GetParameter(Ch::kRate);
    EXPECT_EQ(rate.minValue, 0.1f);
    EXPECT_EQ(rate.maxValue, 10.0f);
    EXPECT_EQ(rate.step, 0.1f);
    EXPECT_EQ(rate.scaleType, ScaleLog);
    EXPECT_EQ(rate.PlainFromNormalized(1.0f), 10.0f);
    EXPECT_EQ(chorus->GetParameter(Ch::kMix)->scaleType, ScaleLinear);

    EXPECT_EQ(chorus->OnParameterChange(Ch::kRate, 0.5f), "");
    chorus->OnParameterChange(Ch::kSyncCoeff, ListEntry(5, 8));
    EXPECT_EQ(chorus->OnParameterChange(Ch::kRate, 0.5f), "Rate: 1.0 Hz (Sync !)");
}

TEST(ChorusTables, FactoryPresets)
{
    // Mix, Rate, Depth, Stereo.
    ExpectPresets(*Make<Ch>(), {
        {"Default", {50, 1.0f, 50, 10}},        {"Light", {50, 0.603f, 50, 100}},
        {"Slow", {50, 0.162f, 100, 100}},       {"Speed", {34, 6.166f, 48, 100}},
        {"Clean G", {50, 0.372f, 100, 100}},    {"12 th", {50, 0.871f, 100, 100}},
        {"Vibrato 1", {100, 5.129f, 83, 100}}, {"Vibrato 2", {65, 7.244f, 72, 85}},
    });
}

TEST(ChorusGeometry, DelaysInSamplesAt44100)
{
    auto chorus = Make<Ch>();
    RunMono(*chorus, std::vector<float>(64, 0.0f));
    EXPECT_EQ(chorus->LineLength(), 357);
    EXPECT_EQ(chorus->BaseDelay(), 265);
    EXPECT_EQ(chorus->MaxDepth(), 44);
    // Depth 50 % of 44 samples, spread 0.74 x 10 %.
    EXPECT_FLOAT_EQ(chorus->LeftDepth(), 22.0f * 1.074f);
    EXPECT_FLOAT_EQ(chorus->RightDepth(), 22.0f * 0.926f);
    EXPECT_EQ(chorus->WetGain(), 0.5f);
    EXPECT_EQ(chorus->DryGain(), 0.5f);
    EXPECT_EQ(chorus->Speed().increment, float(4.0 / 44100.0));
    EXPECT_EQ(chorus->Speed().arcGain, 2.0f * chorus->Speed().increment);
}

TEST(ChorusGeometry, OtherRatesAndARateChange)
{
    struct Case {
        double rate;
        int32_t length, base, depth;
    };
    for (const Case& c : {Case{22050.0, 179, 132, 22}, Case{48000.0, 389, 288, 48}, Case{192000.0, 1555, 1152, 192}}) {
        auto chorus = Make<Ch>(c.rate);
        chorus->OnParameterChange(Ch::kDepth, 0.0f);
        const Stereo out = RunMono(*chorus, Impulse(2000));
        EXPECT_EQ(chorus->LineLength(), c.length) << c.rate;
        EXPECT_EQ(chorus->MaxDepth(), c.depth) << c.rate;
        ASSERT_EQ(chorus->BaseDelay(), c.base) << c.rate;
        EXPECT_EQ(out.left[size_t(c.base)], 0.5f) << c.rate;
        EXPECT_EQ(out.right[size_t(c.base)], 0.5f) << c.rate;
    }

    // A new host rate rebuilds the lines at the new length, empty.
    auto chorus = Make<Ch>();
    RunMono(*chorus, std::vector<float>(300, 1.0f));
    chorus->sampleRate = 96000.0;
    chorus->needsReinit = true;
    const Stereo out = RunMono(*chorus, std::vector<float>(1, 0.0f));
    EXPECT_EQ(chorus->LineLength(), 778);
    EXPECT_EQ(chorus->BaseDelay(), 576);
    EXPECT_EQ(out.left[0], 0.0f);
    EXPECT_EQ(testing_support::Peak(chorus->Lines().LeftLine()), 0.0f);
}

TEST(ChorusDelay, ImpulseWithoutDepthArrivesAfterTheBaseDelay)
{
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kDepth, 0.0f);
    chorus->OnParameterChange(Ch::kMix, 0.3f);
    const Stereo out = RunMono(*chorus, Impulse(1000));
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        EXPECT_FLOAT_EQ((*channel)[0], 0.7f);
        EXPECT_FLOAT_EQ((*channel)[265], 0.3f);
        EXPECT_EQ(testing_support::Peak(std::vector<float>(channel->begin() + 1, channel->begin() + 265)), 0.0f);
        EXPECT_EQ(testing_support::Peak(*channel, 266), 0.0f);
    }
}

TEST(ChorusDelay, MixZeroIsTheInputUnchanged)
{
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kMix, 0.0f);
    chorus->OnParameterChange(Ch::kDepth, 1.0f);
    const std::vector<float> left = testing_support::Sine(440.0, 44100.0, 5000);
    const std::vector<float> right = testing_support::Sine(660.0, 44100.0, 5000, 0.25f);
    const Stereo out = RunStereo(*chorus, left, right);
    EXPECT_EQ(out.left, left);
    EXPECT_EQ(out.right, right);
}

TEST(ChorusSweep, DelayMovesWithinTheStereoDepths)
{
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kDepth, 1.0f);
    chorus->OnParameterChange(Ch::kStereo, 1.0f);
    std::vector<double> right;
    const std::vector<double> left = WetDelays(*chorus, 50000, &right);
    // 44 samples of depth; the left swing stretched by 74 %, the right
    // shrunk by as much.  At 1 Hz the arc peaks within 1e-4 of 1.
    const double leftDepth = 44.0 * 1.74;
    const double rightDepth = 44.0 * 0.26;
    const auto [leftLow, leftHigh] = Range(left);
    EXPECT_NEAR(leftLow, 265.0 - leftDepth, 0.05);
    EXPECT_NEAR(leftHigh, 265.0 + leftDepth, 0.05);
    const auto [rightLow, rightHigh] = Range(right);
    EXPECT_NEAR(rightLow, 265.0 - rightDepth, 0.05);
    EXPECT_NEAR(rightHigh, 265.0 + rightDepth, 0.05);

    // The sweep starts at the top of the ramp heading down: the delay grows
    // first and is longest a quarter period in, shortest three quarters in.
    EXPECT_NEAR(left[11026], 265.0 + leftDepth, 0.05);
    EXPECT_NEAR(left[33076], 265.0 - leftDepth, 0.05);
    // Both channels follow the one oscillator.
    for (size_t t = 1000; t < left.size(); t += 997)
        EXPECT_NEAR(left[t] - 265.0, (right[t] - 265.0) * leftDepth / rightDepth, 0.25) << t;
}

TEST(ChorusSweep, RateChangeKeepsTheDirection)
{
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kMix, 1.0f);
    chorus->OnParameterChange(Ch::kDepth, 1.0f);
    // 5000 samples at 1 Hz: the ramp has fallen from 1 to 1 - 5000 x 4/44100.
    std::vector<float> first = Ramp(5001);
    std::vector<float> firstRight = first;
    testing_support::ProcessInBlocks(*chorus, first, firstRight, 5001);
    EXPECT_EQ(chorus->Lfo().Direction(), -1);
    const float rampAtChange = chorus->Lfo().Ramp();

    chorus->GetParameter(Ch::kRate)->SetValue(3.0f);
    std::vector<float> rest(10000);
    for (size_t i = 0; i < rest.size(); ++i)
        rest[i] = float(5001 + i);
    std::vector<float> restRight = rest;
    testing_support::ProcessInBlocks(*chorus, rest, restRight, 512);
    EXPECT_EQ(chorus->Lfo().Direction(), 1);

    // Still falling after the change: the ramp reaches -1, where the arc is
    // pinned and the tap is exactly the base delay, after the remaining
    // distance at the new speed.
    const float increment = float(4.0 * 3.0 / 44100.0);
    const double expected = (double(rampAtChange) + 1.0) / double(increment);
    size_t end = 0;
    while (end < rest.size() && double(5001 + end) - double(rest[end]) != 265.0)
        ++end;
    EXPECT_NEAR(double(end), expected, 2.0);
    // No jump in the delay where the speed changed.
    EXPECT_NEAR(double(rest[0]) - double(first[5000]), 1.0, 0.05);
}

TEST(ChorusRate, SyncFollowsTheHostTempo)
{
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kDepth, 1.0f);
    chorus->OnParameterChange(Ch::kSyncCoeff, ListEntry(3, 8)); // "1/4": 2 Hz at 120 BPM
    const std::vector<double> delays = WetDelays(*chorus, 60000);
    EXPECT_EQ(chorus->Speed().increment, float(4.0 * 2.0 / 44100.0));
    const std::vector<size_t> ends = RampEnds(delays, 265.0);
    ASSERT_GE(ends.size(), 4u);
    const double halfPeriod = double(ends.back() - ends.front()) / double(ends.size() - 1);
    // The ramp sums float steps, so the period may drift by a few hundredths
    // of a percent.
    EXPECT_NEAR(halfPeriod, 44100.0 / 2.0 / 2.0, 2.0 + 11025.0 * 1e-3);

    // The instance passes a new host tempo on by re-setting "Sync coeff".
    chorus->tempo = 90.0;
    chorus->OnParameterChange(Ch::kSyncCoeff, ListEntry(8, 8)); // "1/16 T": 9 Hz
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    EXPECT_EQ(chorus->Speed().increment, float(4.0 * 9.0 / 44100.0));
    EXPECT_EQ(chorus->Speed().arcGain, 2.0f * chorus->Speed().increment);
}

TEST(ChorusRate, TapTempoSetsTheRate)
{
    auto chorus = Make<Ch>();
    TapTwoPressesHalfASecondApart(*chorus, Ch::kTap);
    EXPECT_FALSE(chorus->bypassed);
    EXPECT_EQ(chorus->Value(Ch::kRate), 2.0f);
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    EXPECT_EQ(chorus->Speed().increment, float(4.0 * 2.0 / 44100.0));
}
