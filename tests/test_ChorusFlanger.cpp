// The chorus and the flanger, guitar and bass: delay geometry in samples,
// the sweep read back from a ramp, echoes and the comb of the feedback, the
// bass crossover against a model of the split, and what the whole family
// shares at its extremes.
#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"
#include "effects/modulation/CORVFlangerBassDSP.h"
#include "effects/modulation/CORVFlangerDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

using testing_support::Deviation;
using testing_support::Impulse;
using testing_support::IsSubnormal;
using testing_support::Make;
using testing_support::TapInterval;

namespace {

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Runs the effect over a stereo signal in place, in blocks of blockSize.
Stereo RunStereo(CORVDSPAlgInterface& effect, std::vector<float> left, std::vector<float> right,
                  int32_t blockSize = 512)
{
    testing_support::ProcessInBlocks(effect, left, right, blockSize);
    return {std::move(left), std::move(right)};
}

Stereo RunMono(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512)
{
    return RunStereo(effect, input, input, blockSize);
}

// in[t] = t: a delayed and linearly interpolated ramp is the ramp minus the
// delay, so the output reveals the delay it was read at, sample by sample.
std::vector<float> Ramp(size_t frames)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = float(i);
    return signal;
}

// The delay, in samples, at which each output sample read the line, given
// the output for the ramp input.  With feedback the line holds more than the
// input; it is rebuilt from the outputs (line = feedback x tap + input, tap =
// (output - dry x input) / wet), and the read position found on it.  Samples
// before `from` (the line still filling) come back as NaN.
std::vector<double> SweptDelays(const std::vector<float>& output, double dry, double wet, double feedback,
                                       size_t from)
{
    const size_t frames = output.size();
    std::vector<double> tap(frames);
    std::vector<double> line(frames);
    for (size_t t = 0; t < frames; ++t) {
        tap[t] = (double(output[t]) - dry * double(t)) / wet;
        line[t] = feedback * tap[t] + double(t);
    }
    std::vector<double> delays(frames, std::nan(""));
    for (size_t t = std::max<size_t>(from, 1); t < frames; ++t) {
        // The line rises with t, so the read position is found by bisection.
        const auto above = std::upper_bound(line.begin(), line.begin() + long(t), tap[t]);
        if (above == line.begin() || above == line.begin() + long(t))
            continue;
        const size_t k = size_t(above - line.begin()) - 1;
        const double position = double(k) + (tap[t] - line[k]) / (line[k + 1] - line[k]);
        delays[t] = double(t) - position;
    }
    return delays;
}

std::pair<double, double> Range(const std::vector<double>& values, size_t from = 0, size_t to = ~size_t(0))
{
    double low = INFINITY;
    double high = -INFINITY;
    for (size_t i = from; i < std::min(to, values.size()); ++i) {
        if (std::isnan(values[i]))
            continue;
        low = std::min(low, values[i]);
        high = std::max(high, values[i]);
    }
    return {low, high};
}

size_t ArgMax(const std::vector<double>& values, size_t from, size_t to)
{
    size_t best = from;
    for (size_t i = from; i < to; ++i)
        if (values[i] > values[best])
            best = i;
    return best;
}

// A bass chord: a low E under a mid and a high partial.
std::vector<float> Chord(size_t frames, float scale = 1.0f)
{
    std::vector<float> signal(frames);
    const std::vector<float> low = testing_support::Sine(41.2, 44100.0, frames, 0.4f * scale);
    const std::vector<float> mid = testing_support::Sine(330.0, 44100.0, frames, 0.2f * scale);
    const std::vector<float> high = testing_support::Sine(2500.0, 44100.0, frames, 0.1f * scale);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = low[i] + mid[i] + high[i];
    return signal;
}

// The normalised value of entry k of a list parameter with entries 0..last.
float ListEntry(int k, int last) { return float(k) / float(last); }

} // namespace

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
    TapInterval(*chorus, Ch::kTap, 500);
    EXPECT_FALSE(chorus->bypassed);
    EXPECT_EQ(chorus->Value(Ch::kRate), 2.0f);
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    EXPECT_EQ(chorus->Speed().increment, float(4.0 * 2.0 / 44100.0));
}

namespace {

using Fl = CORVFlangerDSP;

void SetWindow(Fl& flanger, float fxTune, float depth)
{
    flanger.GetParameter(Fl::kFxTune)->SetValue(fxTune);
    flanger.GetParameter(Fl::kDepth)->SetValue(depth);
    RunMono(flanger, std::vector<float>(1, 0.0f));
}

// The steady-state gain of a sine through the flanger.
double SineGain(Fl& flanger, double frequency)
{
    const std::vector<float> input = testing_support::Sine(frequency, 44100.0, 60000, 0.1f);
    const Stereo out = RunMono(flanger, input);
    return double(testing_support::Peak(out.left, 55000)) / 0.1;
}

} // namespace

TEST(FlangerGeometry, DelaysInSamplesAt44100)
{
    auto flanger = Make<Fl>();
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_EQ(flanger->LineLength(), 573);
    EXPECT_EQ(flanger->MaxDelay(), 529);
    EXPECT_EQ(flanger->MinDelay(), 49);
    // Fx Tune 50, Depth 50.
    EXPECT_EQ(flanger->LongDelay(), 289);
    EXPECT_EQ(flanger->ShortDelay(), 49);
    EXPECT_EQ(flanger->Centre(), 169);
    EXPECT_EQ(flanger->SweepDepth(), 120.0f);
    EXPECT_EQ(flanger->WetGain(), 0.5f);
    EXPECT_EQ(flanger->DryGain(), 0.58f);
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.49f);
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * double(0.692f) / 44100.0));
}

TEST(FlangerGeometry, FxTuneAndDepthPlaceTheWindow)
{
    struct Case {
        float fxTune, depth;
        int32_t longDelay, shortDelay, centre;
        float sweepDepth;
    };
    const Case cases[] = {
        {0, 0, 529, 529, 529, 0.0f},
        {100, 0, 49, 49, 49, 0.0f},
        {25, 50, 409, 169, 289, 120.0f},
        {1, 1, 524, 519, 521, 2.5f}, // an odd sum: the centre truncates
        // Reaching below the minimum lifts the sweep instead of cutting it.
        {0, 100, 529, 49, 289, 240.0f},
        {30, 80, 433, 49, 241, 192.0f},
        {100, 100, 529, 49, 289, 240.0f},
    };
    auto flanger = Make<Fl>();
    for (const Case& c : cases) {
        SetWindow(*flanger, c.fxTune, c.depth);
        EXPECT_EQ(flanger->LongDelay(), c.longDelay) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->ShortDelay(), c.shortDelay) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->Centre(), c.centre) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->SweepDepth(), c.sweepDepth) << c.fxTune << " " << c.depth;
    }
}

TEST(FlangerGeometry, OtherRates)
{
    struct Case {
        double rate;
        int32_t length, maxDelay, minDelay;
    };
    for (const Case& c : {Case{22050.0, 287, 265, 24}, Case{192000.0, 2496, 2304, 211}}) {
        auto flanger = Make<Fl>(c.rate);
        flanger->OnParameterChange(Fl::kFxTune, 0.0f);
        flanger->OnParameterChange(Fl::kDepth, 0.0f);
        const Stereo out = RunMono(*flanger, Impulse(3000));
        EXPECT_EQ(flanger->LineLength(), c.length) << c.rate;
        EXPECT_EQ(flanger->MinDelay(), c.minDelay) << c.rate;
        ASSERT_EQ(flanger->MaxDelay(), c.maxDelay) << c.rate;
        EXPECT_EQ(out.left[size_t(c.maxDelay)], 0.5f) << c.rate;
        EXPECT_EQ(out.right[size_t(c.maxDelay)], 0.5f) << c.rate;
    }
}

TEST(FlangerDelay, ImpulseEchoesDecayByTheFeedback)
{
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kFxTune, 0.0f);
    flanger->OnParameterChange(Fl::kDepth, 0.0f);
    flanger->OnParameterChange(Fl::kRegeneration, 0.0f);
    const Stereo out = RunMono(*flanger, Impulse(2000));
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        EXPECT_FLOAT_EQ((*channel)[0], 0.58f);
        EXPECT_FLOAT_EQ((*channel)[529], 0.5f);
        EXPECT_FLOAT_EQ((*channel)[1058], 0.05f);
        EXPECT_FLOAT_EQ((*channel)[1587], 0.005f);
        float elsewhere = 0.0f;
        for (size_t t = 1; t < channel->size(); ++t)
            if (t % 529 != 0)
                elsewhere = std::max(elsewhere, std::fabs((*channel)[t]));
        EXPECT_EQ(elsewhere, 0.0f);
    }
}

TEST(FlangerDelay, FullRegenerationPeaksAndNotchesOfTheComb)
{
    // A fixed 529-sample comb with feedback 0.88: a whole number of periods
    // in the delay adds up to 0.58 + 0.5 / (1 - 0.88); half a period more
    // subtracts to 0.58 - 0.5 / (1 + 0.88).  Bounded either way.
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kFxTune, 0.0f);
    flanger->OnParameterChange(Fl::kDepth, 0.0f);
    flanger->OnParameterChange(Fl::kRegeneration, 1.0f);
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.88f);
    EXPECT_NEAR(SineGain(*flanger, 10.0 * 44100.0 / 529.0), 0.58 + 0.5 / 0.12, 0.01);
    EXPECT_NEAR(SineGain(*flanger, 10.5 * 44100.0 / 529.0), 0.58 - 0.5 / 1.88, 0.01);

    flanger->OnParameterChange(Fl::kRegeneration, 0.0f);
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.10f);
    EXPECT_NEAR(SineGain(*flanger, 10.0 * 44100.0 / 529.0), 0.58 + 0.5 / 0.9, 0.01);
}

TEST(FlangerSweep, DelayMovesBetweenTheShortAndLongEnds)
{
    auto flanger = Make<Fl>();
    flanger->GetParameter(Fl::kRate)->SetValue(2.0f);
    const Stereo out = RunMono(*flanger, Ramp(30000));
    const std::vector<double> left = SweptDelays(out.left, 0.58, 0.5, 0.49, 300);
    const std::vector<double> right = SweptDelays(out.right, 0.58, 0.5, 0.49, 300);

    // 169 +- 120: the ends 49 and 289.  The right channel's triangle reaches
    // them exactly; the left channel's arc within a hair.
    for (const std::vector<double>* delays : {&left, &right}) {
        const auto [low, high] = Range(*delays);
        EXPECT_NEAR(low, 49.0, 0.1);
        EXPECT_NEAR(high, 289.0, 0.1);
    }
    // The right ramp starts at its middle, rising, a quarter period behind
    // the left one at its top; the left arc peaks where its ramp crosses the
    // middle.  So both sweeps peak a quarter period (5512.5 samples at 2 Hz)
    // in and bottom out three quarters in, the triangle sharply, the arc
    // roundly.
    EXPECT_NEAR(double(ArgMax(right, 300, 11025)), 5513.0, 2.0);
    EXPECT_NEAR(right[5513], 289.0, 0.1);
    EXPECT_NEAR(right[16538], 49.0, 0.1);
    EXPECT_NEAR(left[5514], 289.0, 0.1);
    EXPECT_NEAR(left[16539], 49.0, 0.1);
    // Half way up, the arc (a parabola of the ramp) is 3/4 of the way to its
    // peak where the triangle is only half way.
    EXPECT_NEAR(left[2757] - 169.0, 0.75 * 120.0, 0.5);
    EXPECT_NEAR(right[2757] - 169.0, 0.5 * 120.0, 0.5);
}

TEST(FlangerRate, SyncAndTap)
{
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kSyncCoeff, ListEntry(8, 8)); // "1/16 T": 12 Hz at 120 BPM
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * 12.0 / 44100.0));
    EXPECT_EQ(flanger->LeftLfo().SignedIncrement(), -flanger->Speed().increment);
    EXPECT_EQ(flanger->RightLfo().SignedIncrement(), flanger->Speed().increment);

    flanger->tempo = 100.0;
    flanger->OnParameterChange(Fl::kSyncCoeff, ListEntry(1, 8)); // "1/1": a quarter of 100 BPM
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * (100.0 * 0.25 / 60.0) / 44100.0));

    flanger->OnParameterChange(Fl::kSyncCoeff, 0.0f);
    TapInterval(*flanger, Fl::kTap, 500);
    EXPECT_EQ(flanger->Value(Fl::kRate), 2.0f);
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * 2.0 / 44100.0));
}

namespace {

// Full wet and no sweep: the low band passes as it is and the high band
// (input minus the first-order low-pass) comes out 265 samples late.
std::vector<float> SplitModel(const std::vector<float>& input, float crossover)
{
    BiquadSection lowPass;
    lowPass.setSampleRate(44100.0);
    lowPass.designLowPass(crossover, false);
    std::vector<float> low(input.size());
    std::vector<float> output(input.size());
    for (size_t t = 0; t < input.size(); ++t) {
        low[t] = lowPass.process(input[t]);
        const float delayedHigh = t >= 265 ? input[t - 265] - low[t - 265] : 0.0f;
        output[t] = low[t] + delayedHigh;
    }
    return output;
}

// A fixed 529-sample comb (Fx Tune 0, Depth 0) with feedback 0.1 on the band
// above a Butterworth high-pass; the band below passes as it is.
std::vector<float> SplitCombModel(const std::vector<float>& input, float crossover)
{
    constexpr size_t kDelay = 529;
    BiquadSection highPass;
    highPass.setSampleRate(44100.0);
    highPass.designHighPass(crossover, true);
    std::vector<float> line(input.size());
    std::vector<float> output(input.size());
    for (size_t t = 0; t < input.size(); ++t) {
        const float high = highPass.process(input[t]);
        const float low = input[t] - high;
        const float tap = t >= kDelay ? line[t - kDelay] : 0.0f;
        line[t] = 0.1f * tap + high;
        output[t] = 0.58f * high + low + 0.5f * tap;
    }
    return output;
}

void FixComb(CORVDSPAlgInterface& flanger)
{
    flanger.OnParameterChange(CORVFlangerBase::kFxTune, 0.0f);
    flanger.OnParameterChange(CORVFlangerBase::kDepth, 0.0f);
    flanger.OnParameterChange(CORVFlangerBase::kRegeneration, 0.0f);
}

// Each bass effect's crossover for each "Impact" entry: the frequency its
// sections get and whether the bands split ("Full" hands the sections a
// frequency they cannot use, or one below the split threshold).
struct CrossoverRow {
    float frequency;
    bool splits;
};

template <class Bass>
void ExpectCrossovers(double sampleRate, int32_t sectionType, const std::vector<CrossoverRow>& rows)
{
    auto effect = Make<Bass>(sampleRate);
    const BassCrossover& crossover = effect->Crossover();
    for (size_t entry = 0; entry < rows.size(); ++entry) {
        effect->OnParameterChange(Bass::kImpact, ListEntry(int(entry), int(rows.size()) - 1));
        RunMono(*effect, std::vector<float>(16, 0.0f));
        EXPECT_EQ(crossover.Frequency(), rows[entry].frequency) << entry;
        EXPECT_EQ(crossover.Splits(), rows[entry].splits) << entry;
    }
    // A new host rate redesigns the sections at the last usable frequency.
    effect->OnParameterChange(Bass::kImpact, ListEntry(1, int(rows.size()) - 1));
    effect->sampleRate = 22050.0;
    effect->needsReinit = true;
    RunMono(*effect, std::vector<float>(1, 0.0f));
    for (const BiquadSection* section : {&crossover.LeftSection(), &crossover.RightSection()}) {
        EXPECT_EQ(section->type(), sectionType);
        EXPECT_EQ(section->sampleRate(), 22050.0f);
        EXPECT_EQ(section->frequency(), rows[1].frequency);
    }
}

// At "Full" the bass effect is the guitar effect, sample for sample.
template <class Bass, class Guitar>
void ExpectFullImpactIsTheGuitarEffect(const char* preset, int32_t first, int32_t last)
{
    auto bass = Make<Bass>();
    auto guitar = Make<Guitar>();
    bass->ApplyPreset(preset);
    ASSERT_EQ(bass->Value(Bass::kImpact), 2.0f);
    for (int32_t index = first; index <= last; ++index)
        guitar->GetParameter(index)->SetValue(bass->Value(index));
    const std::vector<float> left = Chord(20000);
    const std::vector<float> right = Chord(20000, -0.7f);
    const Stereo fromBass = RunStereo(*bass, left, right);
    const Stereo fromGuitar = RunStereo(*guitar, left, right);
    EXPECT_EQ(fromBass.left, fromGuitar.left);
    EXPECT_EQ(fromBass.right, fromGuitar.right);
}

} // namespace

TEST(BassCrossover, ImpactPicksTheCrossover)
{
    ExpectCrossovers<CORVChorusBassDSP>(48000.0, BiquadLowPass1, {{400.0f, true}, {140.0f, true}, {0.0f, false}});
    // 120 Hz is the lowest crossover that still splits.
    ExpectCrossovers<CORVFlangerBassDSP>(96000.0, BiquadHighPass2, {{400.0f, true}, {120.0f, true}, {20.0f, false}});
}

TEST(BassCrossover, FullImpactIsTheGuitarEffect)
{
    ExpectFullImpactIsTheGuitarEffect<CORVChorusBassDSP, CORVChorusDSP>("Hard chorus", CORVChorusBase::kMix,
                                                                         CORVChorusBase::kStereo);
    ExpectFullImpactIsTheGuitarEffect<CORVFlangerBassDSP, CORVFlangerDSP>("Synth flange", CORVFlangerBase::kFxTune,
                                                                           CORVFlangerBase::kRegeneration);
}

TEST(BassCrossover, ChorusLowBandPassesDryAndTheHighBandIsDelayed)
{
    const std::vector<float> input = Chord(6000);
    for (const auto& [entry, crossover] : {std::pair{0, 400.0f}, std::pair{1, 140.0f}}) {
        auto chorus = Make<CORVChorusBassDSP>();
        chorus->OnParameterChange(CORVChorusBassDSP::kMix, 1.0f);
        chorus->OnParameterChange(CORVChorusBassDSP::kDepth, 0.0f);
        chorus->OnParameterChange(CORVChorusBassDSP::kImpact, ListEntry(entry, 2));
        const Stereo out = RunMono(*chorus, input);
        const std::vector<float> expected = SplitModel(input, crossover);
        for (size_t t = 0; t < input.size(); ++t) {
            ASSERT_NEAR(out.left[t], expected[t], 1e-6f) << crossover << " at " << t;
            ASSERT_NEAR(out.right[t], expected[t], 1e-6f) << crossover << " at " << t;
        }
    }

    // Measured: of a low E at 41 Hz only the tenth above the 400 Hz
    // crossover is delayed, where the guitar chorus, also fully wet, swaps
    // the whole note for its copy 6 ms late (a 78 degree phase shift).
    const std::vector<float> lowE = testing_support::Sine(41.2, 44100.0, 8820);
    auto bass = Make<CORVChorusBassDSP>();
    auto guitar = Make<CORVChorusDSP>();
    for (CORVDSPAlgInterface* chorus : std::initializer_list<CORVDSPAlgInterface*>{bass.get(), guitar.get()}) {
        chorus->OnParameterChange(CORVChorusBase::kMix, 1.0f);
        chorus->OnParameterChange(CORVChorusBase::kDepth, 0.0f);
    }
    EXPECT_LT(Deviation(RunMono(*bass, lowE).left, lowE, 4410), 0.2);
    EXPECT_GT(Deviation(RunMono(*guitar, lowE).left, lowE, 4410), 1.2);
}

TEST(BassCrossover, FlangerLowBandPassesDryAndTheHighBandIsFlanged)
{
    const std::vector<float> input = Chord(6000);
    for (const auto& [entry, crossover] : {std::pair{0, 400.0f}, std::pair{1, 120.0f}}) {
        auto flanger = Make<CORVFlangerBassDSP>();
        FixComb(*flanger);
        flanger->OnParameterChange(CORVFlangerBassDSP::kImpact, ListEntry(entry, 2));
        const Stereo out = RunMono(*flanger, input);
        const std::vector<float> expected = SplitCombModel(input, crossover);
        for (size_t t = 0; t < input.size(); ++t) {
            ASSERT_NEAR(out.left[t], expected[t], 1e-6f) << crossover << " at " << t;
            ASSERT_NEAR(out.right[t], expected[t], 1e-6f) << crossover << " at " << t;
        }
    }

    // Measured: a low E at 41 Hz, nearly half a period late after 529
    // samples, falls into a notch of the guitar flanger's comb; below the
    // bass flanger's 400 Hz crossover it passes almost untouched.
    const std::vector<float> lowE = testing_support::Sine(41.2, 44100.0, 13230);
    auto bass = Make<CORVFlangerBassDSP>();
    auto guitar = Make<CORVFlangerDSP>();
    FixComb(*bass);
    FixComb(*guitar);
    EXPECT_LT(Deviation(RunMono(*bass, lowE).left, lowE, 8820), 0.05);
    EXPECT_GT(Deviation(RunMono(*guitar, lowE).left, lowE, 8820), 0.5);
}


// Checks every chorus and flanger must pass alike: sample rates, block
// sizes, aliased buffers, silence, and values at and beyond the ends of the
// parameter ranges.




using testing_support::IsSubnormal;

namespace {

// Noise with a sine under it, different on the two sides.
Stereo Program(size_t frames, double sampleRate)
{
    Stereo signal{testing_support::Sine(110.0, sampleRate, frames, 0.4f),
                  testing_support::Sine(164.8, sampleRate, frames, 0.3f)};
    uint32_t seed = 2024;
    for (size_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = float(int32_t(seed >> 8) - (1 << 23)) / float(1 << 23);
        signal.left[i] += 0.4f * noise;
        signal.right[i] -= 0.3f * noise;
    }
    return signal;
}

// The deepest, most resonant setting each effect has.
void Deepest(CORVDSPAlgInterface& effect)
{
    for (const char* name : {"Mix", "Depth", "Stereo", "Regeneration"})
        if (int32_t index = 0; effect.FindParameter(name, &index))
            effect.OnParameterChange(index, 1.0f);
    if (int32_t index = 0; effect.FindParameter("Impact", &index))
        effect.OnParameterChange(index, 0.5f); // the lower crossover
}

// The loudest an output can get for inputs within +-1: dry and wet together,
// and for the flanger the wet path's resonance at feedback 0.88.
float OutputBound(const CORVDSPAlgInterface& effect)
{
    return effect.FindParameter("Regeneration") ? 0.58f + 0.5f / 0.12f + 0.01f : 2.01f;
}

// The ramp of the (left) sweep.
template <class Effect>
float SweepRamp(const Effect& effect)
{
    if constexpr (std::is_base_of_v<CORVChorusBase, Effect>)
        return effect.Lfo().Ramp();
    else
        return effect.LeftLfo().Ramp();
}

void ExpectFiniteWithin(const Stereo& out, float bound, const char* what)
{
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        for (size_t t = 0; t < channel->size(); ++t) {
            ASSERT_TRUE(std::isfinite((*channel)[t])) << what << " at " << t;
            ASSERT_LE(std::fabs((*channel)[t]), bound) << what << " at " << t;
        }
    }
}

template <class Effect>
class ChorusFlangerFamily : public ::testing::Test {};

using Effects = ::testing::Types<CORVChorusDSP, CORVChorusBassDSP, CORVFlangerDSP, CORVFlangerBassDSP>;
TYPED_TEST_SUITE(ChorusFlangerFamily, Effects);

} // namespace

TYPED_TEST(ChorusFlangerFamily, SilenceLeavesNoSubnormals)
{
    auto effect = Make<TypeParam>();
    Deepest(*effect);
    const Stereo loud = Program(44100, 44100.0);
    RunStereo(*effect, loud.left, loud.right);
    // Five seconds: the flanger's tail falls by 0.88 a pass, through the
    // subnormal range and on to zero.
    const Stereo tail = RunMono(*effect, std::vector<float>(5 * 44100, 0.0f));
    for (size_t t = 0; t < tail.left.size(); ++t) {
        ASSERT_FALSE(IsSubnormal(tail.left[t])) << t;
        ASSERT_FALSE(IsSubnormal(tail.right[t])) << t;
    }
    EXPECT_EQ(testing_support::Peak(tail.left, tail.left.size() - 1000), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().RightLine()), 0.0f);
    if constexpr (requires { effect->Crossover(); }) {
        const BassCrossover& crossover = effect->Crossover();
        for (const BiquadSection* section : {&crossover.LeftSection(), &crossover.RightSection()}) {
            EXPECT_EQ(section->state().state1, 0.0f);
            EXPECT_EQ(section->state().state2, 0.0f);
        }
    }
}

// At the ends of every range, beyond them and at wild tempos, the output
// stays finite and within what dry and wet together can reach.
TYPED_TEST(ChorusFlangerFamily, EveryRangeEndAndWildValueStaysBounded)
{
    const Stereo input = Program(20000, 44100.0);
    for (int pattern = 0; pattern < 4; ++pattern) {
        auto effect = Make<TypeParam>();
        // All at minimum, all at maximum, and the two alternations.
        int i = 0;
        for (const auto& [index, parameter] : effect->parameters) {
            if (parameter->name == "Tap")
                continue;
            const bool high = pattern == 1 || (pattern == 2 && i % 2 == 0) || (pattern == 3 && i % 2 == 1);
            effect->OnParameterChange(index, high ? 1.0f : 0.0f);
            ++i;
        }
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "range ends");
    }
    for (float wild : {1e6f, -1e6f, NAN, INFINITY}) {
        auto effect = Make<TypeParam>();
        for (const auto& [index, parameter] : effect->parameters)
            if (parameter->name != "Tap")
                parameter->SetValue(wild);
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "wild values");
    }
    for (double tempo : {0.0, 1e9, -120.0, double(NAN)}) {
        auto effect = Make<TypeParam>();
        Deepest(*effect);
        effect->tempo = tempo;
        int32_t sync = 0;
        ASSERT_NE(effect->FindParameter("Sync coeff", &sync), nullptr);
        effect->OnParameterChange(sync, 1.0f);
        ExpectFiniteWithin(RunStereo(*effect, input.left, input.right), OutputBound(*effect), "wild tempo");
    }
}

TYPED_TEST(ChorusFlangerFamily, ResetClearsTheLinesAndKeepsTheSweep)
{
    auto effect = Make<TypeParam>();
    RunMono(*effect, Program(3000, 44100.0).left);
    ASSERT_GT(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    const float ramp = SweepRamp(*effect);
    effect->Reset();
    EXPECT_EQ(testing_support::Peak(effect->Lines().LeftLine()), 0.0f);
    EXPECT_EQ(testing_support::Peak(effect->Lines().RightLine()), 0.0f);
    EXPECT_EQ(SweepRamp(*effect), ramp);
}
