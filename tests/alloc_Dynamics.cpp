#include "effects/modulation/CORVCompressorDSP.h"
#include "effects/modulation/CORVExpanderGateDSP.h"
#include "effects/modulation/CORVLevelControlDSP.h"
#include "effects/modulation/CORVNoiseGateDSP.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Thousands of blocks of varying size with control changes between them,
// a learn cycle of the noise gate among them.  Only Process is counted.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(330.0, effect.sampleRate, kMaxFrames);
    const int32_t firstIndex = effect.parameters.begin()->first;
    const int32_t count = int32_t(effect.parameters.size());
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;

    size_t allocations = 0;
    uint32_t seed = 4711;
    for (int block = 0; block < 4000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        effect.OnParameterChange(firstIndex + int32_t(seed >> 4) % count, float(seed >> 8) / float(1u << 24));
        const float level = (block / 100) % 2 ? 1.0f : 0.001f;
        for (int32_t i = 0; i < kMaxFrames; ++i)
            buffer.left[size_t(i)] = buffer.right[size_t(i)] = level * signal[size_t(i)];
        float* const* channels = buffer.Pointers();
        testing_support::AllocationCounter counter;
        effect.Process(channels, channels, inputPeaks, outputPeaks, frames);
        allocations += counter.Count();
    }
    return allocations;
}

} // namespace

TEST(DynamicsAllocation, CompressorProcessAllocatesNothing)
{
    auto compressor = std::make_unique<CORVCompressorDSP>(44100.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*compressor), 0u);
}

TEST(DynamicsAllocation, ExpanderGateProcessAllocatesNothing)
{
    auto expander = std::make_unique<CORVExpanderGateDSP>(48000.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*expander), 0u);
}

TEST(DynamicsAllocation, NoiseGateProcessAndLearnAllocateNothing)
{
    // A short rate makes the one-second learn cycles end inside the run.
    auto gate = std::make_unique<CORVNoiseGateDSP>(22050.0, 256);
    gate->OnParameterChange(CORVNoiseGateDSP::kLearn, 1.0f);
    EXPECT_EQ(AllocationsWhileProcessing(*gate), 0u);
}

TEST(DynamicsAllocation, LevelControlProcessAllocatesNothing)
{
    auto level = std::make_unique<CORVLevelControlDSP>(96000.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*level), 0u);
}
