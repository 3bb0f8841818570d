#include "effects/modulation/CORVBPMDelayDSP.h"
#include "effects/modulation/CORVPhaserBassDSP.h"
#include "effects/modulation/CORVPhaserDSP.h"
#include "platform/TickCount.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

uint32_t fakeTicks = 0;
uint32_t FakeTickCount() { return fakeTicks; }

// Thousands of blocks of varying size with control changes, tap presses and
// host tempo changes between them.  The first block performs the
// reinitialisation, which is where the delay allocates its lines; every
// block after it is counted.  Texts returned by OnParameterChange belong to
// the control thread and are not counted.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect, int32_t lastIndex, int32_t tapIndex)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(330.0, effect.sampleRate, kMaxFrames);
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;
    effect.Process(buffer.Pointers(), buffer.Pointers(), inputPeaks, outputPeaks, 64);
    platform::SetTickSource(&FakeTickCount);

    size_t allocations = 0;
    uint32_t seed = 987654u;
    for (int block = 0; block < 4000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        const int32_t index = 2 + int32_t(seed >> 4) % (lastIndex - 1);
        effect.OnParameterChange(index, float(seed >> 8) / float(1u << 24));
        if (block % 100 == 10)
            effect.OnParameterChange(tapIndex, 1.0f); // tap mode on, then two presses
        if (block % 100 == 11 || block % 100 == 12 || block % 7 == 0) {
            fakeTicks += 300 + uint32_t(block % 13) * 97;
            effect.OnParameterChange(1, 1.0f);
        }
        if (block % 37 == 0)
            effect.tempo = 40.0 + double(seed % 200);
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

TEST(PhaserDelayAllocation, PhaserProcessAllocatesNothing)
{
    auto phaser = std::make_unique<CORVPhaserDSP>(44100.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*phaser, CORVPhaserDSP::kTap, CORVPhaserDSP::kTap), 0u);
}

TEST(PhaserDelayAllocation, BassPhaserProcessAllocatesNothing)
{
    auto phaser = std::make_unique<CORVPhaserBassDSP>(48000.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*phaser, CORVPhaserBassDSP::kTap, CORVPhaserBassDSP::kTap), 0u);
}

TEST(PhaserDelayAllocation, BPMDelayRebuildsAndHoldsWithoutAllocating)
{
    // Random decay values reach the maximum now and then, so the foot switch
    // also steps through the hold cycle; tempo and division changes rebuild
    // the lines.
    auto delay = std::make_unique<CORVBPMDelayDSP>(44100.0, 256);
    EXPECT_EQ(AllocationsWhileProcessing(*delay, CORVBPMDelayDSP::kTap, CORVBPMDelayDSP::kTap), 0u);
}

TEST(PhaserDelayAllocation, BPMDelayHoldCycleAllocatesNothing)
{
    auto delay = std::make_unique<CORVBPMDelayDSP>(96000.0, 256);
    testing_support::StereoBuffer buffer(4096);
    float peaks[2][2];
    delay->needsReinit = true;
    delay->Process(buffer.Pointers(), buffer.Pointers(), peaks[0], peaks[1], 64);
    delay->OnParameterChange(CORVBPMDelayDSP::kDecay, 1.0f);
    size_t allocations = 0;
    for (int block = 0; block < 400; ++block) {
        if (block % 10 == 0)
            delay->OnParameterChange(1, 1.0f);
        if (block % 45 == 0)
            delay->OnParameterChange(CORVBPMDelayDSP::kSyncCoeff, float(block % 9) / 8.0f);
        buffer.left.assign(4096, 0.25f);
        buffer.right.assign(4096, -0.25f);
        testing_support::AllocationCounter counter;
        delay->Process(buffer.Pointers(), buffer.Pointers(), peaks[0], peaks[1], 4096);
        allocations += counter.Count();
    }
    EXPECT_EQ(allocations, 0u);
}
