#include "effects/modulation/CORVAutoPanDSP.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "platform/TickCount.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

uint32_t fakeTicks = 0;
uint32_t FakeTickCount() { return fakeTicks; }

// Thousands of blocks of varying size, with control changes and tap presses
// between them.  Only Process is counted: the texts that OnParameterChange
// returns belong to the control thread and may allocate.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect, int32_t firstIndex, int32_t lastIndex,
                                  int32_t tapIndex)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(330.0, effect.sampleRate, kMaxFrames);
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;
    platform::SetTickSource(&FakeTickCount);

    size_t allocations = 0;
    uint32_t seed = 12345;
    for (int block = 0; block < 4000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        const int32_t index = firstIndex + int32_t(seed >> 4) % (lastIndex - firstIndex + 1);
        effect.OnParameterChange(index, float(seed >> 8) / float(1u << 24));
        if (block % 100 == 10)
            effect.OnParameterChange(tapIndex, 1.0f); // tap mode on, then two presses
        if (block % 100 == 11 || block % 100 == 12) {
            fakeTicks += 400 + uint32_t(block);
            effect.OnParameterChange(1, 1.0f);
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

TEST(ModulationAllocation, TremoloProcessAllocatesNothing)
{
    auto tremolo = std::make_unique<CORVTremoloDSP>(44100.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*tremolo, CORVTremoloDSP::kTempo, CORVTremoloDSP::kTap,
                                         CORVTremoloDSP::kTap),
              0u);
}

TEST(ModulationAllocation, AutoPanProcessAllocatesNothing)
{
    auto autoPan = std::make_unique<CORVAutoPanDSP>(96000.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*autoPan, CORVAutoPanDSP::kWaveShape, CORVAutoPanDSP::kTap,
                                         CORVAutoPanDSP::kTap),
              0u);
}
