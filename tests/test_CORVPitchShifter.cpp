#include "effects/modulation/CORVPitchShifter.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

constexpr int32_t kOversampling = 6;

std::vector<float> Shifted(CORVPitchShifter& shifter, const std::vector<float>& input, int32_t blockSize)
{
    std::vector<float> output(input.size());
    for (size_t start = 0; start < input.size(); start += size_t(blockSize)) {
        const int32_t count = int32_t(std::min(size_t(blockSize), input.size() - start));
        shifter.Process(&input[start], &output[start], count);
    }
    return output;
}

// Largest difference between output[i] and input[i - lag].
float LargestErrorAtLag(const std::vector<float>& input, const std::vector<float>& output, int32_t lag)
{
    float largest = 0.0f;
    for (size_t i = size_t(lag); i < output.size(); ++i)
        largest = std::max(largest, std::fabs(output[i] - input[i - size_t(lag)]));
    return largest;
}

} // namespace

TEST(PitchShifter, FrameLengthFollowsTheRateAndTheOutputLagsExactly)
{
    struct Case {
        int32_t rate;
        int32_t frameLength;
        int32_t latency;
    };
    const Case cases[] = {
        {8000, 256, 214},     {11025, 512, 427},    {22050, 1024, 854},   {44100, 2048, 1707},
        {48000, 2048, 1707},  {88200, 4096, 3414},  {96000, 4096, 3414},  {176400, 8192, 6827},
        {192000, 8192, 6827}, {32000, 2048, 1707},
    };
    for (const Case& c : cases) {
        // Without transposition the vocoder gives its input back, exactly
        // the latency later and from the very first frame on.
        CORVPitchShifter shifter(c.rate, 512, kOversampling, 0.0f);
        EXPECT_EQ(shifter.FrameLength(), c.frameLength) << c.rate;
        EXPECT_EQ(shifter.Latency(), c.latency) << c.rate;
        const std::vector<float> input = HarmonicTone(220.0, c.rate, size_t(5 * c.frameLength), 12);
        const std::vector<float> output = Shifted(shifter, input, 512);
        EXPECT_LT(LargestErrorAtLag(input, output, c.latency), 1e-4f) << c.rate;
        EXPECT_GT(LargestErrorAtLag(input, output, c.latency - 1), 1e-2f) << c.rate;
        EXPECT_GT(LargestErrorAtLag(input, output, c.latency + 1), 1e-2f) << c.rate;
    }
}

TEST(PitchShifter, OctavesLandOnHalfAndTwiceTheFrequencyAtTheInputLevel)
{
    constexpr float kAmplitude = 0.5f;
    for (double rate : {44100.0, 48000.0}) {
        for (float semitones : {-12.0f, 12.0f}) {
            for (double frequency : {82.4, 220.0, 1000.0}) {
                CORVPitchShifter shifter(int32_t(rate), 256, kOversampling, semitones);
                const std::vector<float> input = HarmonicTone(frequency, rate, size_t(rate), 1, kAmplitude);
                const std::vector<float> output = Shifted(shifter, input, 256);
                const double target = semitones < 0.0f ? frequency / 2.0 : frequency * 2.0;
                const size_t from = output.size() - 16384;
                EXPECT_NEAR(StrongestFrequency(output, from, 16384, rate), target, 0.002 * target)
                    << rate << " " << semitones << " " << frequency;
                // Within 1.5 dB of the input, nothing left at the input's pitch.
                const double level = WindowedAmplitudeAt(output, from, 16384, target, rate);
                EXPECT_NEAR(20.0 * std::log10(level / kAmplitude), 0.0, 1.5) << semitones << " " << frequency;
                EXPECT_LT(WindowedAmplitudeAt(output, from, 16384, frequency, rate), 1e-3 * kAmplitude);
            }
        }
    }
}

