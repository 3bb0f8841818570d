#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"
#include "effects/modulation/CORVFlangerBassDSP.h"
#include "effects/modulation/CORVFlangerDSP.h"
#include "platform/TickCount.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

uint32_t fakeTicks = 0;
uint32_t FakeTickCount() { return fakeTicks; }

// Thousands of blocks of varying size, with control changes, host tempo
// changes and tap presses between them.  The first block, which builds the
// lines, runs before counting; after it only Process is counted, since the
// texts OnParameterChange returns belong to the control thread.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(330.0, effect.sampleRate, kMaxFrames);
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;
    effect.Process(buffer.Pointers(), buffer.Pointers(), inputPeaks, outputPeaks, 64);

    int32_t tapIndex = 0;
    int32_t syncIndex = 0;
    effect.FindParameter("Tap", &tapIndex);
    effect.FindParameter("Sync coeff", &syncIndex);
    const int32_t lastIndex = effect.parameters.rbegin()->first;
    platform::SetTickSource(&FakeTickCount);

    size_t allocations = 0;
    uint32_t seed = 777;
    for (int block = 0; block < 4000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        const int32_t index = 2 + int32_t(seed >> 4) % (lastIndex - 1);
        effect.OnParameterChange(index, float(seed >> 8) / float(1u << 24));
        if (block % 100 == 10)
            effect.OnParameterChange(tapIndex, 1.0f); // tap mode on, then two presses
        if (block % 100 == 11 || block % 100 == 12) {
            fakeTicks += 400 + uint32_t(block);
            effect.OnParameterChange(1, 1.0f);
        }
        if (block % 100 == 13) {
            effect.tempo = 60.0 + double(block % 7) * 20.0;
            effect.OnParameterChange(syncIndex, 0.5f);
        }
        buffer.left.assign(signal.begin(), signal.end());
        buffer.right.assign(signal.begin(), signal.end());
        float* const* channels = buffer.Pointers();
        testing_support::AllocationCounter counter;
        effect.Process(channels, channels, inputPeaks, outputPeaks, frames);
        allocations += counter.Count();
    }
    platform::SetTickSource(nullptr);
    return allocations;
}

} // namespace

TEST(ChorusFlangerAllocation, ChorusProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVChorusDSP>(44100.0, 256)), 0u);
}

TEST(ChorusFlangerAllocation, BassChorusProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVChorusBassDSP>(48000.0, 256)), 0u);
}

TEST(ChorusFlangerAllocation, FlangerProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVFlangerDSP>(96000.0, 256)), 0u);
}

TEST(ChorusFlangerAllocation, BassFlangerProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVFlangerBassDSP>(22050.0, 256)), 0u);
}
