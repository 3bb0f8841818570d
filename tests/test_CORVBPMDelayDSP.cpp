#include "effects/modulation/CORVBPMDelayDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

using namespace testing_support;

namespace {

using Bd = CORVBPMDelayDSP;

// The same signal on both channels; the left result (both are equal).
std::vector<float> RunBoth(Bd& delay, const std::vector<float>& input, int32_t blockSize = 512)
{
    Stereo out = PlayStereo(delay, {input, input}, blockSize);
    EXPECT_EQ(out.left, out.right);
    return out.left;
}

std::vector<float> Silence(size_t frames) { return std::vector<float>(frames, 0.0f); }

// Positions of the non-zero samples from index `from` on.
std::vector<size_t> NonZero(const std::vector<float>& signal, size_t from = 1)
{
    std::vector<size_t> positions;
    for (size_t i = from; i < signal.size(); ++i)
        if (signal[i] != 0.0f)
            positions.push_back(i);
    return positions;
}

// Something that never repeats within a few beats.
std::vector<float> Recording(size_t frames)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = 0.4f * float(std::sin(0.0123 * double(i) + 1e-6 * double(i * i)));
    return signal;
}

void PressFootSwitch(Bd& delay) { delay.OnParameterChange(1, 1.0f); }

// Two foot-switch presses ms apart with the tap on.
void Tap(Bd& delay, uint32_t ms) { TapInterval(delay, Bd::kTap, ms); }

// 60 dB over the decay time, per two-beat pass.
double ExpectedFeedback(double decaySeconds, int32_t delay2, double sampleRate)
{
    const double passes = decaySeconds / (double(delay2) / sampleRate);
    return passes < 1.0 ? 0.0 : std::pow(10.0, -3.0 / passes);
}

} // namespace

TEST(BPMDelayTiming, TheTopTempoDoublesAt20Milliseconds)
{
    // 1200 BPM would be a 50 ms beat; the top of the range doubles instead.
    for (const auto& [rate, doubling] : {std::pair{22050.0, 441}, std::pair{44100.0, 882}, std::pair{192000.0, 3840}}) {
        auto delay = Make<Bd>(rate);
        delay->OnParameterChange(Bd::kTempo, 1.0f);
        const std::vector<float> out = RunBoth(*delay, Impulse(3 * size_t(doubling)));
        EXPECT_EQ(delay->Value(Bd::kTempo), 1200.0f);
        EXPECT_EQ(NonZero(out), (std::vector<size_t>{size_t(doubling), 2 * size_t(doubling)})) << rate;
    }
}

TEST(BPMDelayTiming, MeasuredEchoesOfAnImpulse)
{
    // Left-only impulse, mono mode at "Stereo" 50: both sides get g = 0.5 of
    // the wet level 0.25.  Odd and even repeats arrive one and two beats
    // later at full level, then lose the feedback once per two beats.
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        auto delay = Make<Bd>(rate);
        delay->GetParameter(Bd::kDecay)->SetValue(10.0f);
        const size_t beat = size_t(rate * 60.0 / 160.0);
        const std::vector<float> impulse = Impulse(5 * beat + 10);
        const Stereo out = PlayStereo(*delay, {impulse, Silence(impulse.size())}, 4096);
        const float feedback = delay->Feedback();
        EXPECT_NEAR(feedback, ExpectedFeedback(10.0, int32_t(2 * beat), rate), 1e-6) << rate;
        EXPECT_EQ(out.left[0], 1.0f);
        EXPECT_EQ(NonZero(out.left), (std::vector<size_t>{beat, 2 * beat, 3 * beat, 4 * beat, 5 * beat})) << rate;
        const float expected[] = {0.125f, 0.125f, 0.125f * feedback, 0.125f * feedback,
                                  0.125f * feedback * feedback};
        for (size_t k = 1; k <= 5; ++k) {
            EXPECT_NEAR(out.left[k * beat], expected[k - 1], 1e-6) << rate << " repeat " << k;
            EXPECT_NEAR(out.right[k * beat], expected[k - 1], 1e-6) << rate << " repeat " << k;
        }
    }
}

TEST(BPMDelayFeedback, DecayTimeAgainstTwoBeatPasses)
{
    auto delay = Make<Bd>();
    RunBoth(*delay, Silence(16));
    // 1.62 s over 33074 / 44100 s: about 2.16 passes.
    EXPECT_NEAR(delay->Feedback(), ExpectedFeedback(1.62f, 33074, 44100.0), 1e-7);
    EXPECT_NEAR(delay->Feedback(), 0.041, 5e-4);

    // Shorter than one pass: one odd and one even repeat, nothing after.
    delay->GetParameter(Bd::kDecay)->SetValue(0.5f);
    const std::vector<float> out = RunBoth(*delay, Impulse(7 * 16537));
    EXPECT_EQ(delay->Feedback(), 0.0f);
    EXPECT_EQ(NonZero(out), (std::vector<size_t>{16537, 33074}));
}

TEST(BPMDelayTaps, MonoModeSplitsAllRepeats)
{
    // Near the middle of "Stereo" both sides get half of the wet level.
    for (float stereo : {47.0f, 53.0f}) {
        auto delay = Make<Bd>();
        delay->GetParameter(Bd::kStereo)->SetValue(stereo);
        const Stereo out = PlayStereo(*delay, {Impulse(16538), Silence(16538)});
        EXPECT_EQ(out.left[16537], 0.125f) << stereo;
        EXPECT_EQ(out.right[16537], 0.125f) << stereo;
    }
    // Both repeats of a left impulse on both sides, in the proportions of
    // "Stereo" 80: a fifth left, four fifths right.
    auto delay = Make<Bd>();
    delay->GetParameter(Bd::kStereo)->SetValue(80.0f);
    delay->GetParameter(Bd::kEffectLevel)->SetValue(100.0f);
    const Stereo out = PlayStereo(*delay, {Impulse(2 * 16537 + 1), Silence(2 * 16537 + 1)});
    EXPECT_FLOAT_EQ(out.left[16537], 0.1f);
    EXPECT_FLOAT_EQ(out.right[16537], 0.4f);
    EXPECT_FLOAT_EQ(out.left[33074], 0.1f);
    EXPECT_FLOAT_EQ(out.right[33074], 0.4f);
}

TEST(BPMDelayTaps, StereoModePlacesOddAndEvenRepeats)
{
    auto delay = Make<Bd>();
    delay->OnParameterChange(Bd::kMode, 1.0f);
    delay->OnParameterChange(Bd::kStereo, 1.0f);
    const Stereo out = PlayStereo(*delay, {Impulse(2 * 16537 + 1), Silence(2 * 16537 + 1)});
    // Odd repeats right only, even repeats left only.
    EXPECT_EQ(out.left[16537], 0.0f);
    EXPECT_EQ(out.right[16537], 0.25f);
    EXPECT_EQ(out.left[33074], 0.25f);
    EXPECT_EQ(out.right[33074], 0.0f);
}

TEST(BPMDelayLines, SyncedDivisionsRebuildOnlyWhenTheClassChanges)
{
    auto delay = Make<Bd>();
    delay->tempo = 120.0;
    // "Off" to "1/4": the lines are rebuilt for longer delays and the
    // pending echo of the impulse is gone.
    RunBoth(*delay, Impulse(100));
    delay->OnParameterChange(Bd::kSyncCoeff, 3.0f / 8.0f);
    EXPECT_TRUE(NonZero(RunBoth(*delay, Silence(22050)), 0).empty());
    EXPECT_EQ(delay->Delay1(), 22050);

    // "1/4" to "1/8": within the same lines, so the impulse recorded before
    // the switch comes round at the new spacing.  Its slot is 0 and the
    // index stands at 100, so it is read 11025 - 100 samples later.
    RunBoth(*delay, Impulse(100));
    delay->OnParameterChange(Bd::kSyncCoeff, 5.0f / 8.0f);
    const std::vector<float> out = RunBoth(*delay, Silence(12000));
    EXPECT_EQ(delay->Delay1(), 11025);
    ASSERT_EQ(NonZero(out, 0), std::vector<size_t>{10925});
    EXPECT_EQ(out[10925], 0.25f);
}

TEST(BPMDelayLines, ARebuildEmptiesWhatALaterDoublingReads)
{
    // "1/16 T" of a 1200 BPM host builds lines of 734 samples; a host tempo
    // of 200 then lands on the top tempo, whose doubling reads 882.
    auto delay = Make<Bd>();
    delay->OnParameterChange(Bd::kTempo, 1.0f);
    RunBoth(*delay, Recording(5000));
    delay->tempo = 1200.0;
    delay->OnParameterChange(Bd::kSyncCoeff, 1.0f);
    EXPECT_TRUE(NonZero(RunBoth(*delay, Silence(5000)), 0).empty());
    EXPECT_EQ(delay->Capacity(), 734);
    delay->tempo = 200.0;
    delay->OnParameterChange(Bd::kSyncCoeff, 1.0f);
    EXPECT_TRUE(NonZero(RunBoth(*delay, Silence(5000)), 0).empty());
    EXPECT_EQ(delay->Delay1(), 882);
}

TEST(BPMDelayHold, FootSwitchCyclesBypassingSamplingPlaying)
{
    auto delay = Make<Bd>();
    delay->GetParameter(Bd::kTempo)->SetValue(600.0f); // one beat: 4410 samples
    constexpr size_t kBeat = 4410;
    RunBoth(*delay, Recording(1000));

    delay->OnParameterChange(Bd::kDecay, 1.0f);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kBypassing);
    EXPECT_TRUE(delay->bypassed);
    const std::vector<float> passing = Sine(440.0, 44100.0, 3000);
    EXPECT_EQ(RunBoth(*delay, passing), passing);

    // Sampling records the input over empty lines; what it plays meanwhile
    // are the repeats of the recording so far, at full level.
    PressFootSwitch(*delay);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kSampling);
    EXPECT_FALSE(delay->bypassed);
    const std::vector<float> recording = Recording(3 * kBeat);
    const std::vector<float> sampled = RunBoth(*delay, recording);
    EXPECT_EQ(delay->Feedback(), 1.0f);
    const auto at = [&](long t) { return t >= 0 ? recording[size_t(t)] : 0.0f; };
    for (size_t t = 0; t < recording.size(); ++t)
        ASSERT_NEAR(sampled[t], recording[t] + 0.25f * (at(long(t - kBeat)) + at(long(t - 2 * kBeat))), 1e-6) << t;

    // Playing loops the last two beats of the recording, undiminished, with
    // the odd repeat one beat behind the even one.
    PressFootSwitch(*delay);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kPlaying);
    const std::vector<float> played = RunBoth(*delay, Silence(4 * kBeat));
    const size_t end = recording.size();
    const auto loop = [&](size_t t) { return recording[end - 2 * kBeat + (t % (2 * kBeat))]; };
    for (size_t t = 0; t < played.size(); ++t)
        ASSERT_NEAR(played[t], 0.25f * (loop(t + kBeat) + loop(t)), 1e-6) << t;
    // The live input passes over the loop.
    const std::vector<float> live = Sine(300.0, 44100.0, 2 * kBeat);
    const std::vector<float> over = RunBoth(*delay, live);
    for (size_t t = 0; t < over.size(); ++t)
        ASSERT_NEAR(over[t], live[t] + played[t], 1e-6) << t;

    // Back to bypassing and on to sampling between two blocks: the next
    // sampling starts from empty lines even without a bypassed block.
    PressFootSwitch(*delay);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kBypassing);
    PressFootSwitch(*delay);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kSampling);
    EXPECT_TRUE(NonZero(RunBoth(*delay, Silence(3 * kBeat)), 0).empty());

    // Leaving the maximum ends the hold.
    delay->OnParameterChange(Bd::kDecay, 0.5f);
    EXPECT_EQ(delay->GetHoldMode(), Bd::kNormal);
    EXPECT_FALSE(delay->bypassed);
}

TEST(BPMDelayTempo, TapsOutsideTheRangeAreHeldToIt)
{
    const std::vector<float> input = Sine(440.0, 44100.0, 30000);
    // Two presses in the same millisecond: infinity, held to the doubling.
    // 10 ms is 6000 BPM, also the doubling; 5 s is 12 BPM, held to 20 BPM.
    for (const auto& [ms, delay1] : {std::pair{0u, 882}, std::pair{10u, 882}, std::pair{5000u, 132300}}) {
        auto delay = Make<Bd>();
        Tap(*delay, ms);
        const std::vector<float> out = RunBoth(*delay, input);
        EXPECT_EQ(delay->Delay1(), delay1) << ms;
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v)) << ms;
    }
}

TEST(BPMDelayTempo, HostTempoTimesTheDivision)
{
    auto delay = Make<Bd>();
    delay->tempo = 100.0;
    delay->OnParameterChange(Bd::kSyncCoeff, 5.0f / 8.0f); // "1/8": 200 BPM
    const std::vector<float> out = RunBoth(*delay, Impulse(13231));
    EXPECT_EQ(delay->Delay1(), 13230);
    EXPECT_EQ(NonZero(out), std::vector<size_t>{13230});

    // The instance passes a new host tempo on by re-setting "Sync coeff".
    delay->tempo = 90.0;
    delay->OnParameterChange(Bd::kSyncCoeff, 3.0f / 8.0f); // "1/4"
    RunBoth(*delay, Silence(16));
    EXPECT_EQ(delay->Delay1(), 29400);
    delay->tempo = 400.0;
    delay->OnParameterChange(Bd::kSyncCoeff, 6.0f / 8.0f); // "1/8 T": exactly the top
    RunBoth(*delay, Silence(16));
    EXPECT_EQ(delay->Delay1(), 882);
}

TEST(BPMDelayTempo, UnusableHostTemposAreHeld)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Slowest: the knob's 20 BPM; fastest: "1/16 T" of its 1200 BPM.
    for (const auto& [host, delay1] : {std::pair{0.0, 132300}, std::pair{nan, 132300}, std::pair{-50.0, 132300},
                                        std::pair{inf, 367}}) {
        auto delay = Make<Bd>();
        delay->tempo = host;
        delay->OnParameterChange(Bd::kSyncCoeff, 3.0f / 8.0f);
        const std::vector<float> out = RunBoth(*delay, Sine(440.0, 44100.0, 20000));
        EXPECT_EQ(delay->Delay1(), delay1) << host;
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v)) << host;
    }
}

TEST(BPMDelayFrame, LeavingBypassStartsFromEmptyLines)
{
    auto delay = Make<Bd>();
    RunBoth(*delay, Impulse(100));
    delay->OnParameterChange(1, 1.0f);
    const std::vector<float> input = Sine(440.0, 44100.0, 512);
    EXPECT_EQ(RunBoth(*delay, input), input);
    delay->OnParameterChange(1, 0.0f);
    EXPECT_TRUE(NonZero(RunBoth(*delay, Silence(3 * 16537)), 0).empty());
}

TEST(BPMDelayFrame, FadingRepeatsLeaveNoSubnormals)
{
    auto delay = Make<Bd>();
    delay->OnParameterChange(Bd::kTempo, 1.0f);
    delay->GetParameter(Bd::kDecay)->SetValue(0.5f);
    const std::vector<float> out = RunBoth(*delay, Impulse(400000), 4096);
    ASSERT_GT(delay->Feedback(), 0.5f);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_FALSE(IsSubnormal(out[i])) << i;
    EXPECT_EQ(out.back(), 0.0f);
}

