#include "effects/modulation/CORVAutoWahDSP.h"
#include "effects/modulation/CORVPedalWahDSP.h"
#include "effects/modulation/CORVReverbDSP.h"
#include "tests/AllocationCounter.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Thousands of blocks of varying size with control changes, bypass toggles
// and tempo changes between them; the first block's reinitialisation, where
// the reverb sizes its lines, is not counted.  Texts that OnParameterChange
// returns belong to the control thread and are not counted either.
size_t AllocationsWhileProcessing(CORVDSPAlgInterface& effect)
{
    constexpr int32_t kMaxFrames = 8192;
    testing_support::StereoBuffer buffer(kMaxFrames);
    const std::vector<float> signal = testing_support::Sine(330.0, effect.sampleRate, kMaxFrames);
    float peaks[2][2];
    effect.needsReinit = true;
    effect.Process(buffer.Pointers(), buffer.Pointers(), peaks[0], peaks[1], 64);
    const int32_t parameterCount = int32_t(effect.parameters.size());

    size_t allocations = 0;
    uint32_t seed = 424242u;
    for (int block = 0; block < 3000; ++block) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t frames = 1 + int32_t(seed >> 8) % (block % 50 == 0 ? kMaxFrames : 300);
        effect.OnParameterChange(2 + int32_t(seed >> 4) % parameterCount, float(seed >> 8) / float(1u << 24));
        if (block % 40 == 0)
            effect.OnParameterChange(1, float(block % 80 == 0));
        if (block % 37 == 0)
            effect.tempo = 40.0 + double(seed % 200);
        buffer.left.assign(signal.begin(), signal.end());
        buffer.right.assign(signal.begin(), signal.end());
        testing_support::AllocationCounter counter;
        effect.Process(buffer.Pointers(), buffer.Pointers(), peaks[0], peaks[1], frames);
        allocations += counter.Count();
    }
    return allocations;
}

} // namespace

TEST(WahReverbAllocation, ProcessAllocatesNothing)
{
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVPedalWahDSP>(44100.0, 256)), 0u);
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVAutoWahDSP>(48000.0, 256)), 0u);
    // Mode changes move the reflection lines' length within their storage.
    EXPECT_EQ(AllocationsWhileProcessing(*std::make_unique<CORVReverbDSP>(96000.0, 256)), 0u);
}
