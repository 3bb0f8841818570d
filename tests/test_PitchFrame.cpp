// What every effect must survive, for the octaver and the tuner: the rates
// at the ends of the range, any block length, a mono instance's shared
// buffer, silence and the ends of every control.
#include "effects/modulation/CORVAutoTunerDSP.h"
#include "effects/modulation/CORVOctaverDSP.h"

#include "tests/DynamicsTestSupport.h"
#include "tests/PitchTestSupport.h"

#include <gtest/gtest.h>

using namespace dynamics_testing;

namespace {

// A chord of two harmonic tones that stops half-way.
std::vector<float> Program(double rate, double seconds)
{
    const size_t frames = size_t(rate * seconds);
    std::vector<float> signal = pitch_testing::HarmonicTone(196.0, rate, frames, 6);
    const std::vector<float> fifth = pitch_testing::HarmonicTone(293.7, rate, frames, 3);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = i < frames / 2 ? signal[i] + fifth[i] : 0.0f;
    return signal;
}

// The signal on both channels through one shared buffer, as a mono
// instance passes it.
template <class Effect>
std::vector<float> MonoInPlace(Effect& effect, std::vector<float> signal, int32_t blockSize)
{
    float peaks[2][2];
    for (size_t start = 0; start < signal.size(); start += size_t(blockSize)) {
        float* channels[2] = {&signal[start], &signal[start]};
        const int32_t count = int32_t(std::min(size_t(blockSize), signal.size() - start));
        effect.Process(channels, channels, peaks[0], peaks[1], count);
    }
    return signal;
}

// What each effect produces besides its audio.
float ReadingOf(const CORVOctaverDSP&) { return 0.0f; }
float ReadingOf(const CORVAutoTunerDSP& tuner) { return tuner.DetectedFrequency(); }

} // namespace

template <class Effect>
class PitchFrame : public ::testing::Test {};

using PitchEffects = ::testing::Types<CORVOctaverDSP, CORVAutoTunerDSP>;
TYPED_TEST_SUITE(PitchFrame, PitchEffects);

TYPED_TEST(PitchFrame, AnyRateBlockAndBufferLayoutGiveTheSameResult)
{
    for (double rate : {22050.0, 192000.0}) {
        const std::vector<float> program = Program(rate, 0.8);
        std::vector<float> left = program;
        std::vector<float> right = program;
        auto reference = Make<TypeParam>(rate);
        testing_support::ProcessInBlocks(*reference, left, right, 512);
        EXPECT_EQ(left, right);
        EXPECT_GT(testing_support::Peak(left), 0.1f);
        for (int32_t blockSize : {1, 8192}) {
            auto effect = Make<TypeParam>(rate);
            EXPECT_EQ(MonoInPlace(*effect, program, blockSize), left) << rate << " " << blockSize;
            EXPECT_EQ(ReadingOf(*effect), ReadingOf(*reference));
        }
    }
}

TYPED_TEST(PitchFrame, SilenceEndsInZerosAndEveryControlStaysFinite)
{
    for (double rate : {22050.0, 192000.0}) {
        const size_t count = Make<TypeParam>(rate)->parameters.size();
        for (uint32_t corners = 0; corners < (1u << count); ++corners) {
            auto effect = Make<TypeParam>(rate);
            int32_t bit = 0;
            for (const auto& entry : effect->parameters)
                effect->OnParameterChange(entry.first, float((corners >> bit++) & 1u));
            std::vector<float> signal = Program(rate, 0.6);
            signal.resize(signal.size() + size_t(rate * 0.3), 0.0f);
            const std::vector<float> out = MonoInPlace(*effect, signal, 1024);
            for (float v : out)
                ASSERT_TRUE(std::isfinite(v) && !testing_support::IsSubnormal(v)) << rate << " " << corners;
            // The octave voices have left the shifters by the end.
            EXPECT_EQ(testing_support::Peak(out, out.size() - 1000), 0.0f) << rate << " " << corners;
            EXPECT_TRUE(std::isfinite(ReadingOf(*effect)));
        }
    }
}
