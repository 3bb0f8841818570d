#include "effects/drive/CORVDistortionBassDSP.h"
#include "effects/drive/CORVDistortionDSP.h"
#include "effects/drive/CORVOverDriveBassDSP.h"
#include "effects/drive/CORVOverDriveDSP.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Thousands of blocks of varying size with a knob moved before each; every
// few hundred blocks a new sample rate arrives as a reinitialisation.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(110.0, 44100.0, kMaxFrames, 0.9f);
    float inputPeaks[2];
    float outputPeaks[2];
    effect.needsReinit = true;

    size_t allocations = 0;
    uint32_t seed = 4321;
    for (int block = 0; block < 3000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        effect.OnParameterChange(2 + int32_t(seed >> 4) % 3, float(seed >> 8) / float(1u << 24));
        if (block % 300 == 299) {
            effect.sampleRate = block % 600 == 299 ? 192000.0 : 22050.0;
            effect.needsReinit = true;
        }
        buffer.left.assign(signal.begin(), signal.end());
        buffer.right.assign(signal.begin(), signal.end());
        float* const* channels = buffer.Pointers();
        testing_support::AllocationCounter counter;
        effect.Process(channels, channels, inputPeaks, outputPeaks, frames);
        allocations += counter.Count();
    }
    return allocations;
}

} // namespace

TEST(DriveAllocation, ProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVOverDriveDSP>(44100.0, 256)), 0u);
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVOverDriveBassDSP>(44100.0, 256)), 0u);
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVDistortionDSP>(44100.0, 256)), 0u);
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVDistortionBassDSP>(44100.0, 256)), 0u);
}
