#include "effects/modulation/CORVAutoTunerDSP.h"
#include "effects/modulation/CORVOctaverDSP.h"
#include "tests/AllocationCounter.h"
#include "tests/PitchTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Counts {
    size_t allocations = 0;
    size_t locks = 0;
};

// Thousands of blocks of varying length up to the largest one, with control
// changes between them.  One block of the largest length goes first: the
// octaver rebuilds its shifters for it, which is allowed to allocate.
Counts CountWhileProcessing(CORVDSPAlgInterface& effect)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = pitch_testing::HarmonicTone(110.0, effect.sampleRate, kMaxFrames, 8);
    const int32_t firstIndex = effect.parameters.begin()->first;
    const int32_t count = int32_t(effect.parameters.size());
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;
    effect.Process(buffer.Pointers(), buffer.Pointers(), inputPeaks, outputPeaks, kMaxFrames);

    Counts counts;
    uint32_t seed = 4711;
    for (int block = 0; block < 3000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 600);
        effect.OnParameterChange(firstIndex + int32_t(seed >> 4) % count, float(seed >> 8) / float(1u << 24));
        std::copy(signal.begin(), signal.end(), buffer.left.begin());
        std::copy(signal.begin(), signal.end(), buffer.right.begin());
        float* const* channels = buffer.Pointers();
        testing_support::AllocationCounter counter;
        effect.Process(channels, channels, inputPeaks, outputPeaks, frames);
        counts.allocations += counter.Count();
        counts.locks += counter.Locks();
    }
    return counts;
}

} // namespace

TEST(PitchAllocation, OctaverProcessAllocatesAndLocksNothing)
{
    auto octaver = std::make_unique<CORVOctaverDSP>(48000.0, 256);
    const Counts counts = CountWhileProcessing(*octaver);
    EXPECT_EQ(counts.allocations, 0u);
    EXPECT_EQ(counts.locks, 0u);
}

TEST(PitchAllocation, AutoTunerProcessAndAnalysisAllocateAndLockNothing)
{
    auto tuner = std::make_unique<CORVAutoTunerDSP>(44100.0, 256);
    const Counts counts = CountWhileProcessing(*tuner);
    EXPECT_EQ(counts.allocations, 0u);
    EXPECT_EQ(counts.locks, 0u);
    EXPECT_TRUE(tuner->HasReading());
}
