// What every effect owes its host, whatever its algorithm: the block length
// never changes the sound, mono instances sharing one buffer work, every
// sample rate and every corner of the parameter space gives finite output,
// and silence leaves no subnormal numbers behind.
#include "tests/EffectContract.h"
#include "tests/TestSupport.h"

#include <random>

using testing_support::EveryEffectId;

namespace {

class EffectContract : public ::testing::TestWithParam<int32_t> {
protected:
    std::unique_ptr<CORVDSPAlgInterface> Make(double sampleRate) const
    {
        std::unique_ptr<CORVDSPAlgInterface> algorithm = CreateAlgorithm(GetParam(), sampleRate, 256);
        algorithm->needsReinit = true; // as the effect instance prepares it
        return algorithm;
    }

    static std::vector<float> Signal(double sampleRate, size_t frames, unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> noise(-0.1f, 0.1f);
        std::vector<float> signal = testing_support::Sine(196.0, sampleRate, frames, 0.4f);
        for (size_t i = 0; i < frames; ++i)
            signal[i] = signal[i] * float(i % 24000 < 16000) + noise(random);
        return signal;
    }

    static void SetAll(CORVDSPAlgInterface& algorithm, float normalized)
    {
        for (auto& [index, parameter] : algorithm.parameters)
            if (parameter->name != "Tap")
                algorithm.OnParameterChange(index, normalized);
    }
};

::testing::AssertionResult Normal(const std::vector<float>& samples)
{
    for (size_t i = 0; i < samples.size(); ++i)
        if (!std::isfinite(samples[i]) || std::fpclassify(samples[i]) == FP_SUBNORMAL)
            return ::testing::AssertionFailure() << "sample " << i << " is " << samples[i];
    return ::testing::AssertionSuccess();
}

} // namespace

// Neither the block length nor a mono instance's one shared buffer changes
// the sound.
TEST_P(EffectContract, HostBuffersNeverChangeTheSound)
{
    const std::vector<float> input = Signal(44100.0, 20000, 1);
    std::vector<std::vector<float>> results;
    for (int32_t block : {8192, 1, 7, 256}) {
        auto algorithm = Make(44100.0);
        std::vector<float> left = input;
        std::vector<float> right = Signal(44100.0, 20000, 2);
        testing_support::ProcessInBlocks(*algorithm, left, right, block);
        left.insert(left.end(), right.begin(), right.end());
        results.push_back(left);
    }
    for (size_t k = 1; k < results.size(); ++k)
        EXPECT_EQ(results[k], results[0]) << "block variant " << k;

    auto separate = Make(44100.0);
    auto shared = Make(44100.0);
    std::vector<float> left(input.size()), right(input.size()), buffer = input;
    float peaks[4];
    for (size_t start = 0; start + 500 <= input.size(); start += 500) {
        const float* in[2] = {input.data() + start, input.data() + start};
        float* out[2] = {left.data() + start, right.data() + start};
        separate->Process(in, out, peaks, peaks + 2, 500);
        float* both[2] = {buffer.data() + start, buffer.data() + start};
        shared->Process(both, both, peaks, peaks + 2, 500);
    }
    // The shared buffer holds whichever channel the effect wrote last.
    EXPECT_TRUE(buffer == right || buffer == left);
}

TEST_P(EffectContract, EveryRateAndParameterCornerStaysFinite)
{
    std::mt19937 random(GetParam());
    std::uniform_real_distribution<float> anyValue(0.0f, 1.0f);
    for (double rate : {22050.0, 44100.0, 96000.0, 192000.0}) {
        for (int corner = 0; corner < 4; ++corner) {
            auto algorithm = Make(rate);
            if (corner < 2) {
                SetAll(*algorithm, float(corner));
            } else {
                for (auto& [index, parameter] : algorithm->parameters)
                    if (parameter->name != "Tap")
                        algorithm->OnParameterChange(index, anyValue(random));
            }
            std::vector<float> left = Signal(rate, size_t(rate / 2), 4);
            std::vector<float> right = Signal(rate, size_t(rate / 2), 5);
            testing_support::ProcessInBlocks(*algorithm, left, right, 1000);
            EXPECT_TRUE(Normal(left)) << rate << " Hz, corner " << corner;
            EXPECT_TRUE(Normal(right)) << rate << " Hz, corner " << corner;
        }
    }
}

TEST_P(EffectContract, SilenceLeavesNoSubnormals)
{
    auto algorithm = Make(48000.0);
    std::vector<float> left = Signal(48000.0, 48000, 6);
    std::vector<float> right = Signal(48000.0, 48000, 7);
    left.resize(48000 * 8, 0.0f);
    right.resize(48000 * 8, 0.0f);
    testing_support::ProcessInBlocks(*algorithm, left, right, 256);
    EXPECT_TRUE(Normal(left));
    EXPECT_TRUE(Normal(right));
}

// A host may hand over garbage: not-a-number, infinities, absurd levels.
// Whatever that does to the sound, the effect must come through it alive
// and keep processing.
TEST_P(EffectContract, GarbageInputNeverCrashes)
{
    auto algorithm = Make(48000.0);
    const float garbage[] = {std::nanf(""), INFINITY, -INFINITY, 1e30f, -1e30f, 3e38f};
    std::vector<float> left(4096);
    std::vector<float> right(4096);
    for (int round = 0; round < 6; ++round) {
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = i % 5 == 0 ? garbage[(i / 5 + size_t(round)) % 6] : 0.3f;
            right[i] = garbage[(i + size_t(round)) % 6];
        }
        testing_support::ProcessInBlocks(*algorithm, left, right, 1024);
    }
    left.assign(4096, 0.1f);
    right.assign(4096, 0.1f);
    testing_support::ProcessInBlocks(*algorithm, left, right, 512); // and still runs
}

namespace {

// Runs a stereo pair through an algorithm in blocks, one signal on both sides.
std::vector<float> RunBoth(CORVDSPAlgInterface& algorithm, std::vector<float> signal, int32_t block)
{
    std::vector<float> right = signal;
    testing_support::ProcessInBlocks(algorithm, signal, right, block);
    signal.insert(signal.end(), right.begin(), right.end());
    return signal;
}

} // namespace

// Reset forgets everything the effect has heard: one instance that heard a
// loud signal and one that heard silence sound alike after it, at the
// defaults and with every control at 70 % (where the dynamics effects that
// are transparent at their defaults work).  Both run the same time first,
// so any free-running oscillator stands alike.
TEST_P(EffectContract, ResetForgetsEverythingHeard)
{
    const std::vector<float> probe = Signal(44100.0, 12000, 8);
    auto afterReset = [&](bool defaults, float historyLevel) {
        auto algorithm = Make(44100.0);
        if (!defaults)
            SetAll(*algorithm, 0.7f);
        std::vector<float> history = Signal(44100.0, 30000, 9);
        for (float& sample : history)
            sample *= historyLevel;
        RunBoth(*algorithm, history, 500);
        algorithm->Reset();
        return RunBoth(*algorithm, probe, 500);
    };
    for (bool defaults : {true, false})
        EXPECT_EQ(afterReset(defaults, 4.0f), afterReset(defaults, 0.0f)) << (defaults ? "defaults" : "at 70 %");
}

// One non-finite input sample poisons no more than its own block: the next
// blocks sound as if the effect had been reset after it.
TEST_P(EffectContract, NonFiniteInputIsForgottenAfterItsBlock)
{
    constexpr int32_t kBlock = 512;
    for (float poison : {std::nanf(""), INFINITY}) {
        std::vector<std::vector<float>> results;
        for (bool poisoned : {false, true}) {
            auto algorithm = Make(48000.0);
            std::vector<float> first = Signal(48000.0, kBlock, 10);
            first[100] = poisoned ? poison : 0.0f;
            RunBoth(*algorithm, first, kBlock);
            if (!poisoned)
                algorithm->Reset();
            results.push_back(RunBoth(*algorithm, Signal(48000.0, 24000, 11), kBlock));
        }
        EXPECT_TRUE(Normal(results[1])) << poison;
        EXPECT_EQ(results[0], results[1]) << poison;
    }
}

// A host's automation may throw any continuous parameter from one end of its
// range to the other every few frames.  The output must stay finite and no
// more than 12 dB above the louder of the two steady settings, with the
// other controls at their defaults and at 50, 70 and 100 %.
TEST_P(EffectContract, RangeAutomationStaysWithin12DecibelsOfItsEnds)
{
    constexpr double kRate = 44100.0;
    constexpr float kHeadroom = 3.9810717f; // 12 dB
    constexpr float kDefaults = -1.0f;
    // One instance toggles through every period in turn, each phase going
    // on from where the last left the filters, and the effects that take
    // long to construct (the delay's lines) are made three times a case.
    const std::vector<int32_t> periods = {7, 32, 256};
    constexpr size_t kPhase = 2756;
    constexpr size_t kHostBlock = 256;
    const std::vector<float> input = Signal(kRate, kPhase * periods.size(), 12);
    // The parameter index starts at its top (high) or bottom, the others
    // at their defaults or all at one normalised value.  Toggled, it
    // changes before every block of each phase's period; held, it stays in
    // a host's blocks, so that any glide over blocks (the blues drive's
    // output level) arrives.  The largest output peak of each phase,
    // infinite once non-finite.
    auto runAt = [&](float others, int32_t index, bool toggled, bool high) {
        auto algorithm = Make(kRate);
        if (others != kDefaults)
            SetAll(*algorithm, others);
        algorithm->OnParameterChange(index, high ? 1.0f : 0.0f);
        std::vector<float> left = input;
        std::vector<float> right = input;
        std::vector<float> largest(periods.size(), 0.0f);
        for (size_t phase = 0; phase < periods.size(); ++phase) {
            const size_t period = toggled ? size_t(periods[phase]) : kHostBlock;
            for (size_t start = phase * kPhase; start < (phase + 1) * kPhase; start += period) {
                if (toggled) {
                    algorithm->OnParameterChange(index, high ? 1.0f : 0.0f);
                    high = !high;
                }
                float* channels[2] = {left.data() + start, right.data() + start};
                float peaks[4];
                algorithm->Process(channels, channels, peaks, peaks + 2,
                                   int32_t(std::min(period, (phase + 1) * kPhase - start)));
                for (float peak : {peaks[2], peaks[3]})
                    largest[phase] = std::isfinite(peak) ? std::max(largest[phase], peak) : INFINITY;
            }
        }
        return largest;
    };
    const auto prototype = Make(kRate);
    for (const auto& [index, parameter] : prototype->parameters) {
        if (parameter->scaleType == ScaleList)
            continue;
        for (float others : {kDefaults, 0.5f, 0.7f, 1.0f}) {
            float steady = 0.0f;
            for (bool high : {false, true})
                for (float peak : runAt(others, index, false, high))
                    steady = std::max(steady, peak);
            const std::vector<float> toggled = runAt(others, index, true, false);
            for (size_t phase = 0; phase < periods.size(); ++phase) {
                const std::string where =
                    parameter->name + " every " + std::to_string(periods[phase]) +
                    (others == kDefaults ? "" : ", controls at " + std::to_string(std::lround(others * 100.0f)) + " %");
                EXPECT_TRUE(std::isfinite(toggled[phase])) << where;
                EXPECT_LE(toggled[phase], kHeadroom * steady) << where;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EffectContract, ::testing::ValuesIn(EveryEffectId()),
                         testing_support::EffectName());
