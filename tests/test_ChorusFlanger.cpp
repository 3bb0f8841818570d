// The chorus and the flanger, guitar and bass: delays and echoes measured in
// samples, the sweep read back from a ramp, the bass crossover against a model
// of the split, and silence at the deepest settings.
#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"
#include "effects/modulation/CORVFlangerBassDSP.h"
#include "effects/modulation/CORVFlangerDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

Stereo RunMono(CORVDSPAlgInterface& effect, const std::vector<float>& input)
{
    return PlayStereo(effect, {input, input});
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
std::vector<double> SweptDelays(const std::vector<float>& output, double dry, double wet, double feedback, size_t from)
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
        delays[t] = double(t) - (double(k) + (tap[t] - line[k]) / (line[k + 1] - line[k]));
    }
    return delays;
}

std::pair<double, double> Range(const std::vector<double>& values)
{
    double low = INFINITY;
    double high = -INFINITY;
    for (double v : values) {
        if (!std::isnan(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    return {low, high};
}

// A bass chord: a low E under a mid and a high partial.
std::vector<float> Chord(size_t frames, float scale = 1.0f)
{
    std::vector<float> signal(frames);
    const std::vector<float> low = Sine(41.2, 44100.0, frames, 0.4f * scale);
    const std::vector<float> mid = Sine(330.0, 44100.0, frames, 0.2f * scale);
    const std::vector<float> high = Sine(2500.0, 44100.0, frames, 0.1f * scale);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = low[i] + mid[i] + high[i];
    return signal;
}

// The normalised value of entry k of a list parameter with entries 0..last.
float ListEntry(int k, int last) { return float(k) / float(last); }

using Ch = CORVChorusDSP;
using Fl = CORVFlangerDSP;

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

// After sample 0, only sample `at` carries anything, at the given level.
void ExpectOnlyEcho(const std::vector<float>& channel, size_t at, float level, const char* what)
{
    EXPECT_FLOAT_EQ(channel[at], level) << what << " at " << at;
    for (size_t t = 1; t < channel.size(); ++t) {
        if (t != at) {
            ASSERT_EQ(channel[t], 0.0f) << what << " at " << t;
        }
    }
}

} // namespace

TEST(ChorusDelay, ImpulseWithoutDepthArrivesAfterTheBaseDelayAtEveryRate)
{
    // 6 ms: 265 samples at 44.1 kHz.
    for (const auto& [rate, base] : {std::pair{22050.0, 132}, std::pair{44100.0, 265}, std::pair{192000.0, 1152}}) {
        auto chorus = Make<Ch>(rate);
        chorus->OnParameterChange(Ch::kDepth, 0.0f);
        chorus->OnParameterChange(Ch::kMix, 0.3f);
        const Stereo out = RunMono(*chorus, Impulse(2000));
        for (const std::vector<float>* channel : {&out.left, &out.right}) {
            EXPECT_FLOAT_EQ((*channel)[0], 0.7f) << rate;
            ExpectOnlyEcho(*channel, size_t(base), 0.3f, "chorus");
        }
    }
    // A new host rate rebuilds the lines at the new length, empty.
    auto chorus = Make<Ch>();
    chorus->OnParameterChange(Ch::kDepth, 0.0f);
    chorus->OnParameterChange(Ch::kMix, 1.0f);
    RunMono(*chorus, std::vector<float>(300, 1.0f));
    chorus->sampleRate = 96000.0;
    chorus->needsReinit = true;
    ExpectOnlyEcho(RunMono(*chorus, Impulse(1000)).left, 576, 1.0f, "after the rate change");
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

TEST(FlangerDelay, ImpulseEchoesDecayByTheFeedback)
{
    // Fx Tune 0 and Depth 0 fix the comb at its longest delay, 12 ms; the
    // echoes lose the feedback, 0.1 to 0.88 over "Regeneration", each pass.
    struct Case {
        double rate;
        size_t delay;
        float regeneration, feedback;
    };
    for (const Case& c : {Case{44100.0, 529, 0.0f, 0.1f}, Case{44100.0, 529, 1.0f, 0.88f},
                          Case{22050.0, 265, 0.0f, 0.1f}, Case{192000.0, 2304, 1.0f, 0.88f}}) {
        auto flanger = Make<Fl>(c.rate);
        flanger->OnParameterChange(Fl::kFxTune, 0.0f);
        flanger->OnParameterChange(Fl::kDepth, 0.0f);
        flanger->OnParameterChange(Fl::kRegeneration, c.regeneration);
        const Stereo out = RunMono(*flanger, Impulse(4 * c.delay));
        for (const std::vector<float>* channel : {&out.left, &out.right}) {
            EXPECT_FLOAT_EQ((*channel)[0], 0.58f);
            for (size_t t = 1; t < channel->size(); ++t) {
                const float expected = t % c.delay ? 0.0f : 0.5f * std::pow(c.feedback, float(t / c.delay - 1));
                ASSERT_NEAR((*channel)[t], expected, 1e-6f) << c.rate << " " << c.regeneration << " at " << t;
            }
        }
    }
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
    EXPECT_NEAR(double(std::max_element(right.begin() + 300, right.begin() + 11025) - right.begin()), 5513.0, 2.0);
    EXPECT_NEAR(right[5513], 289.0, 0.1);
    EXPECT_NEAR(right[16538], 49.0, 0.1);
    EXPECT_NEAR(left[5514], 289.0, 0.1);
    EXPECT_NEAR(left[16539], 49.0, 0.1);
    // Half way up, the arc (a parabola of the ramp) is 3/4 of the way to its
    // peak where the triangle is only half way.
    EXPECT_NEAR(left[2757] - 169.0, 0.75 * 120.0, 0.5);
    EXPECT_NEAR(right[2757] - 169.0, 0.5 * 120.0, 0.5);
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
        output[t] = low[t] + (t >= 265 ? input[t - 265] - low[t - 265] : 0.0f);
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
        const float tap = t >= kDelay ? line[t - kDelay] : 0.0f;
        line[t] = 0.1f * tap + high;
        output[t] = 0.58f * high + (input[t] - high) + 0.5f * tap;
    }
    return output;
}

void ExpectModel(const Stereo& out, const std::vector<float>& expected, float crossover)
{
    for (size_t t = 0; t < expected.size(); ++t) {
        ASSERT_NEAR(out.left[t], expected[t], 1e-6f) << crossover << " at " << t;
        ASSERT_NEAR(out.right[t], expected[t], 1e-6f) << crossover << " at " << t;
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
    const Stereo fromBass = PlayStereo(*bass, {Chord(20000), Chord(20000, -0.7f)});
    const Stereo fromGuitar = PlayStereo(*guitar, {Chord(20000), Chord(20000, -0.7f)});
    EXPECT_EQ(fromBass.left, fromGuitar.left);
    EXPECT_EQ(fromBass.right, fromGuitar.right);
}

} // namespace

TEST(BassCrossover, FullImpactIsTheGuitarEffect)
{
    ExpectFullImpactIsTheGuitarEffect<CORVChorusBassDSP, CORVChorusDSP>("Hard chorus", CORVChorusBase::kMix,
                                                                         CORVChorusBase::kStereo);
    ExpectFullImpactIsTheGuitarEffect<CORVFlangerBassDSP, CORVFlangerDSP>("Synth flange", CORVFlangerBase::kFxTune,
                                                                           CORVFlangerBase::kRegeneration);
}

TEST(BassCrossover, LowBandPassesDryAndTheHighBandIsDelayed)
{
    const std::vector<float> input = Chord(6000);
    for (const auto& [entry, crossover] : {std::pair{0, 400.0f}, std::pair{1, 140.0f}}) {
        auto chorus = Make<CORVChorusBassDSP>();
        chorus->OnParameterChange(CORVChorusBassDSP::kMix, 1.0f);
        chorus->OnParameterChange(CORVChorusBassDSP::kDepth, 0.0f);
        chorus->OnParameterChange(CORVChorusBassDSP::kImpact, ListEntry(entry, 2));
        ExpectModel(RunMono(*chorus, input), SplitModel(input, crossover), crossover);
    }
    // 120 Hz is the flanger's lowest crossover that still splits.
    for (const auto& [entry, crossover] : {std::pair{0, 400.0f}, std::pair{1, 120.0f}}) {
        auto flanger = Make<CORVFlangerBassDSP>();
        flanger->OnParameterChange(CORVFlangerBase::kFxTune, 0.0f);
        flanger->OnParameterChange(CORVFlangerBase::kDepth, 0.0f);
        flanger->OnParameterChange(CORVFlangerBase::kRegeneration, 0.0f);
        flanger->OnParameterChange(CORVFlangerBassDSP::kImpact, ListEntry(entry, 2));
        ExpectModel(RunMono(*flanger, input), SplitCombModel(input, crossover), crossover);
    }
}

namespace {

template <class Effect>
class ChorusFlangerFamily : public ::testing::Test {};

using Effects = ::testing::Types<CORVChorusDSP, CORVChorusBassDSP, CORVFlangerDSP, CORVFlangerBassDSP>;
TYPED_TEST_SUITE(ChorusFlangerFamily, Effects);

} // namespace

TYPED_TEST(ChorusFlangerFamily, SilenceLeavesNoSubnormals)
{
    auto effect = Make<TypeParam>();
    // The deepest, most resonant setting, and the lower bass crossover.
    for (const char* name : {"Mix", "Depth", "Stereo", "Regeneration"})
        if (int32_t index = 0; effect->FindParameter(name, &index))
            effect->OnParameterChange(index, 1.0f);
    if (int32_t index = 0; effect->FindParameter("Impact", &index))
        effect->OnParameterChange(index, 0.5f);
    PlayStereo(*effect, {Chord(44100), Chord(44100, -0.7f)});
    // Five seconds: the flanger's tail falls by 0.88 a pass, through the
    // subnormal range and on to zero.
    const Stereo tail = RunMono(*effect, std::vector<float>(5 * 44100, 0.0f));
    for (size_t t = 0; t < tail.left.size(); ++t) {
        ASSERT_FALSE(IsSubnormal(tail.left[t])) << t;
        ASSERT_FALSE(IsSubnormal(tail.right[t])) << t;
    }
    EXPECT_EQ(Peak(tail.left, tail.left.size() - 1000), 0.0f);
    EXPECT_EQ(Peak(effect->Lines().LeftLine()), 0.0f);
    EXPECT_EQ(Peak(effect->Lines().RightLine()), 0.0f);
    if constexpr (requires { effect->Crossover(); }) {
        const BassCrossover& crossover = effect->Crossover();
        for (const BiquadSection* section : {&crossover.LeftSection(), &crossover.RightSection()}) {
            EXPECT_EQ(section->state().state1, 0.0f);
            EXPECT_EQ(section->state().state2, 0.0f);
        }
    }
}
