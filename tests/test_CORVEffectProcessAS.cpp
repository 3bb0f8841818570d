#include "core/CORVEffectProcessAS.h"
#include "core/CORVEffectProcessRTAS.h"
#include "effects/modulation/CORVAutoWahDSP.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr int32_t kTremolo = 180;
constexpr double kSampleRate = 48000.0;
constexpr int32_t kSelection = 5000;

template <class Adapter>
std::unique_ptr<Adapter> Make(int32_t channels = 2)
{
    SProcessContext context;
    context.sampleRate = kSampleRate;
    context.numChannels = channels;
    auto process = std::make_unique<Adapter>(kTremolo, context);
    process->Initialize();
    // Full depth, so every sample shows where the LFO stands.
    const CORVDSPParameter* depth = process->GetAlgorithm()->GetParameter(CORVTremoloDSP::kDepth);
    process->SetControlValue(CORVTremoloDSP::kDepth,
                             CORVEffectProcess::ToControlValue(depth->NormalizedFromPlain(100)));
    return process;
}

using ProgressCalls = std::vector<std::pair<int64_t, int64_t>>;

ProgressCalls RunInPlace(CORVEffectProcessAS& process, std::vector<float>& left, std::vector<float>* right)
{
    ProgressCalls calls;
    process.SetProgressFunction([&calls](int64_t done, int64_t total) { calls.emplace_back(done, total); });
    process.SetInputBuffer(0, {left.data(), int32_t(left.size())});
    process.SetOutputBuffer(0, {left.data(), int32_t(left.size())});
    if (right) {
        process.SetInputBuffer(1, {right->data(), int32_t(right->size())});
        process.SetOutputBuffer(1, {right->data(), int32_t(right->size())});
    }
    EXPECT_EQ(process.Run(), int32_t(left.size()));
    return calls;
}

} // namespace

TEST(OfflineAdapter, SelectionIsProcessedInSlicesOfAtMost2048Frames)
{
    auto process = Make<CORVEffectProcessAS>();
    std::vector<float> left = testing_support::Sine(440.0, kSampleRate, kSelection);
    std::vector<float> right = testing_support::Sine(660.0, kSampleRate, kSelection);
    const ProgressCalls calls = RunInPlace(*process, left, &right);
    // Slices of 2048, 2048 and 904 frames, one progress call after each.
    EXPECT_EQ(calls, (ProgressCalls{{2048, kSelection}, {4096, kSelection}, {5000, kSelection}}));
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(process->GetOutputBuffer(c).frameCount, kSelection);
}

TEST(OfflineAdapter, ShorterSlicesMatchARealTimeHostWithThatBlockLength)
{
    constexpr int32_t kBlock = 300;
    auto offline = Make<CORVEffectProcessAS>();
    auto realTime = Make<CORVEffectProcessRTAS>();
    offline->SetSliceFrames(kBlock);
    EXPECT_EQ(offline->GetSliceFrames(), kBlock);

    std::vector<float> left = testing_support::Sine(440.0, kSampleRate, kSelection);
    std::vector<float> right = testing_support::Sine(330.0, kSampleRate, kSelection);
    std::vector<float> hostLeft = left;
    std::vector<float> hostRight = right;
    const ProgressCalls calls = RunInPlace(*offline, left, &right);
    ASSERT_EQ(calls.size(), size_t((kSelection + kBlock - 1) / kBlock));
    for (size_t i = 0; i + 1 < calls.size(); ++i)
        EXPECT_EQ(calls[i].first, int64_t(i + 1) * kBlock);

    for (int32_t start = 0; start < kSelection; start += kBlock) {
        float* block[2] = {hostLeft.data() + start, hostRight.data() + start};
        realTime->Render(block, block, std::min(kBlock, kSelection - start));
    }
    EXPECT_EQ(left, hostLeft);
    EXPECT_EQ(right, hostRight);
    // The last slice, 200 frames, gives the same peaks as the host's last block.
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(offline->GetInputPeak(c), realTime->GetInputPeak(c));
        EXPECT_EQ(offline->GetOutputPeak(c), realTime->GetOutputPeak(c));
    }
}

TEST(OfflineAdapter, SliceLengthStaysWithinOneAnd2048Frames)
{
    auto process = Make<CORVEffectProcessAS>();
    process->SetSliceFrames(0);
    EXPECT_EQ(process->GetSliceFrames(), 1);
    process->SetSliceFrames(4096);
    EXPECT_EQ(process->GetSliceFrames(), CORVEffectProcessAS::kMaxSliceFrames);
}

TEST(OfflineAdapter, SelectionWithoutASecondChannelIsProcessedAsMono)
{
    auto mono = Make<CORVEffectProcessAS>();
    auto stereo = Make<CORVEffectProcessAS>();
    std::vector<float> alone = testing_support::Sine(440.0, kSampleRate, kSelection);
    std::vector<float> left = alone;
    std::vector<float> right = alone;
    RunInPlace(*mono, alone, nullptr);
    RunInPlace(*stereo, left, &right);
    EXPECT_EQ(alone, left);
    EXPECT_NE(alone, testing_support::Sine(440.0, kSampleRate, kSelection));
    EXPECT_EQ(mono->GetOutputPeak(0), mono->GetOutputPeak(1));
}

TEST(OfflineAdapter, PreparingBeforeTheFirstSliceChangesNothingItRenders)
{
    // Preparation does the reinitialisation the first slice would have done,
    // with the host's tempo taken first: an auto wah synced to a host tempo
    // sounds the same whether it was prepared or left to its first slice.
    constexpr int32_t kAutoWah = 15;
    constexpr float kSyncEighthTriplet = 6.0f;
    std::vector<std::vector<float>> outputs;
    for (const bool prepared : {false, true}) {
        SProcessContext context;
        context.sampleRate = kSampleRate;
        context.numChannels = 2;
        CORVEffectProcessAS process(kAutoWah, context);
        process.Initialize();
        const CORVDSPParameter* sync = process.GetAlgorithm()->GetParameter(CORVAutoWahDSP::kSyncCoeff);
        process.SetControlValue(CORVAutoWahDSP::kSyncCoeff,
                                CORVEffectProcess::ToControlValue(sync->NormalizedFromPlain(kSyncEighthTriplet)));
        process.SetHostTempo(90.0);
        if (prepared)
            process.SetSliceFrames(64);
        EXPECT_EQ(process.GetAlgorithm()->needsReinit, !prepared);
        std::vector<float> left = testing_support::Sine(440.0, kSampleRate, kSelection);
        std::vector<float> right = left;
        RunInPlace(process, left, &right);
        outputs.push_back(left);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}
