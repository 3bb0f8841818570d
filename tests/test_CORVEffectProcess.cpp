#include "core/CORVEffectProcessAS.h"
#include "core/CORVEffectProcessRTAS.h"

#include "core/CORVEffectGroupSpecific.h"
#include "core/CORVPresetDocument.h"
#include "dsp/FourCC.h"
#include "effects/modulation/CORVAutoWahDSP.h"
#include "host/PlugInLibrary.h"
#include "tests/RecordingBridge.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using testing_support::RecordingBridge;

namespace {

constexpr int32_t kTremolo = 180;
constexpr int32_t kTempo = 2;
constexpr int32_t kDepth = 4;
constexpr int32_t kSyncCoeff = 5;
constexpr int32_t kTop = std::numeric_limits<int32_t>::max();
constexpr int32_t kBottom = std::numeric_limits<int32_t>::min();
constexpr double kRate = 48000.0;

template <class Adapter = CORVEffectProcessRTAS>
std::unique_ptr<Adapter> Make(int32_t effectId = kTremolo, int32_t channels = 2, double sampleRate = kRate)
{
    SProcessContext context;
    context.sampleRate = sampleRate;
    context.numChannels = channels;
    auto process = std::make_unique<Adapter>(effectId, context);
    process->Initialize();
    return process;
}

} // namespace

TEST(ControlValues, FullRangeMapsToTheUnitIntervalAndNamesToIdentifiers)
{
    const std::pair<float, int32_t> cases[] = {
        {0.0f, kBottom}, {1.0f, kTop}, {-0.5f, kBottom}, {2.0f, kTop}, {std::nanf(""), kBottom},
        {0.5f, 0},            // floor(0.5 * (2^32 - 1) - 2^31 + 0.5)
        {0.25f, -1073741824}, // floor(-2^30 - 0.25 + 0.5)
    };
    for (const auto& [normalised, control] : cases)
        EXPECT_EQ(CORVEffectProcess::ToControlValue(normalised), control) << normalised;
    EXPECT_EQ(CORVEffectProcess::ToNormalized(kBottom), 0.0f);
    EXPECT_EQ(CORVEffectProcess::ToNormalized(kTop), 1.0f);
    for (float n : {0.1f, 0.7071f, 0.999f}) // and back, exactly
        EXPECT_EQ(CORVEffectProcess::ToNormalized(CORVEffectProcess::ToControlValue(n)), n);
    // A control's identifier: the first four characters of its name.
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Gain 50 Hz"), FourCC("niaG"));
}

// An instance made for a host: the algorithm at the host's rate, a control
// per parameter after the foot switch, and the user preset file of the
// documents folder read (made, when missing).
TEST(EffectInstance, ControlsFollowTheParameterTableAtTheHostRate)
{
    testing_support::ScopedDocumentsFolder documents;
    auto process = Make(kTremolo, 2, 96000.0);
    EXPECT_EQ(testing_support::ReadFile(documents.PresetFilePath()), CORVPresetDocument().Text());
    EXPECT_EQ(process->GetAlgorithm()->sampleRate, 96000.0);
    ASSERT_EQ(process->GetNumControls(), 6);
    EXPECT_EQ(process->GetControl(1)->GetNames(), "TR Bypass\nTRBypass");
    const CPluginControl* tempo = process->GetControl(kTempo);
    EXPECT_EQ(tempo->GetNames(), "TR Tempo");
    EXPECT_NEAR(CORVEffectProcess::ToNormalized(tempo->GetDefaultValue()), 290.0f / 690.0f, 1e-7f);
    EXPECT_EQ(process->GetControl(7), nullptr);

    const int32_t half = CORVEffectProcess::ToControlValue(0.5f);
    EXPECT_EQ(process->SetControlValue(kDepth, half), kNoErr);
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(kDepth), 50.0f);
    EXPECT_EQ(process->GetControl(kDepth)->GetValue(), half);
    EXPECT_EQ(process->SetControlValue(40, 0), kErrBadControlIndex);
}

TEST(EffectInstance, EditorHearsEachChangeInOrderOnlyWhenAttached)
{
    auto process = Make();
    RecordingBridge bridge;
    process->SetControlValue(kDepth, 0); // nobody to tell
    process->EditorInterface().AttachEditor(&bridge);
    process->SetParameterValue(kSyncCoeff, 5.0f / 8.0f);
    process->SetParameterValue(kTempo, 0.5f);
    const std::vector<std::string> expected = {
        "BeginChange", "SetMessage()", "SetControl 5", "NotifyHostValue 5",
        "BeginChange", "SetMessage(Tempo: 355.0 BPM (Sync !))", "SetControl 2",
        "ShowMessage(Tempo: 355.0 BPM (Sync !))", "NotifyHostValue 2",
    };
    EXPECT_EQ(bridge.calls, expected);

    bridge.calls.clear();
    process->ApplyPresetFromEditor(2); // "Fast tremolo"
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(kTempo), 671.0f);
    EXPECT_NEAR(process->GetParameterValue(kTempo), (671.0f - 10.0f) / 690.0f, 1e-6f);
    EXPECT_NEAR(process->GetParameterValue(kDepth), 0.31f, 1e-6f);
    ASSERT_GE(bridge.calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(bridge.calls.end() - 2, bridge.calls.end()),
              (std::vector<std::string>{"RefreshBegin", "RefreshEnd"}));
}

TEST(EffectInstance, MetersHoldDecayAndClip)
{
    auto process = Make();
    process->SetControlValue(1, kTop); // bypassed: output = input
    std::vector<float> left(64, 0.0f);
    std::vector<float> right(64, 0.0f);
    left[10] = 0.5f;
    right[20] = -1.2f;
    float* channels[2] = {left.data(), right.data()};
    process->Render(channels, channels, 64);
    // -60 dBFS at 0, 0 dBFS at 1: 0.5 is -6.02 dBFS.
    EXPECT_NEAR(process->GetOutputPeak(0), (-6.0206f + 60.0f) / 60.0f, 1e-5f);
    EXPECT_NEAR(process->GetInputPeak(1), (1.5836f + 60.0f) / 60.0f, 1e-5f);

    int32_t meters[2];
    process->ReadMeters(meters, 2);
    EXPECT_EQ(meters[0], 1 << 30);
    EXPECT_EQ(meters[1], -1);
    EXPECT_TRUE(process->ChannelClipped(1));
    EXPECT_FALSE(process->ChannelClipped(0));
    EXPECT_TRUE(process->IsClipped());

    process->ReadMeters(meters, 2); // no new block: the held peak decays by 0.7
    EXPECT_EQ(meters[0], int32_t(double(0.5f * 0.7f) * 2147483648.0));
    EXPECT_EQ(meters[1], int32_t(double(1.2f * 0.7f) * 2147483648.0));
    EXPECT_FALSE(process->ChannelClipped(1));
}

namespace {

using ProgressCalls = std::vector<std::pair<int64_t, int64_t>>;

// Runs an offline adapter in place over two channels.
ProgressCalls RunInPlace(CORVEffectProcessAS& process, std::vector<float>& left, std::vector<float>& right)
{
    ProgressCalls calls;
    process.SetProgressFunction([&calls](int64_t done, int64_t total) { calls.emplace_back(done, total); });
    for (int c = 0; c < 2; ++c) {
        const SAudioBuffer buffer{(c == 0 ? left : right).data(), int32_t(left.size())};
        process.SetInputBuffer(c, buffer);
        process.SetOutputBuffer(c, buffer);
    }
    EXPECT_EQ(process.Run(), int32_t(left.size()));
    return calls;
}

constexpr int32_t kSelection = 5000;

// Full depth, so every sample shows where the LFO stands.
template <class Adapter>
std::unique_ptr<Adapter> FullDepthTremolo()
{
    auto process = Make<Adapter>();
    process->SetControlValue(kDepth, kTop);
    return process;
}

} // namespace

// The offline adapter walks the selection in slices of at most 2048 frames
// (or the length asked for), the last one shorter, and sounds like a
// real-time host with blocks of that length, peaks included.
TEST(OfflineAdapter, SlicesMatchARealTimeHostWithThatBlockLength)
{
    const std::pair<int32_t, ProgressCalls> cases[] = {
        {4096, {{2048, kSelection}, {4096, kSelection}, {5000, kSelection}}},
        {1300, {{1300, kSelection}, {2600, kSelection}, {3900, kSelection}, {5000, kSelection}}},
    };
    for (const auto& [slice, progress] : cases) {
        SCOPED_TRACE(slice);
        auto offline = FullDepthTremolo<CORVEffectProcessAS>();
        auto realTime = FullDepthTremolo<CORVEffectProcessRTAS>();
        offline->SetSliceFrames(slice);
        const int32_t block = std::clamp(slice, 1, 2048);
        EXPECT_EQ(offline->GetSliceFrames(), block);
        std::vector<float> left = testing_support::Sine(440.0, kRate, kSelection);
        std::vector<float> right = testing_support::Sine(330.0, kRate, kSelection);
        std::vector<float> hostLeft = left;
        std::vector<float> hostRight = right;
        const ProgressCalls calls = RunInPlace(*offline, left, right);
        EXPECT_EQ(calls, progress);
        for (int32_t start = 0; start < kSelection; start += block) {
            float* channels[2] = {hostLeft.data() + start, hostRight.data() + start};
            realTime->Render(channels, channels, std::min(block, kSelection - start));
        }
        EXPECT_EQ(left, hostLeft);
        EXPECT_EQ(right, hostRight);
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(offline->GetOutputBuffer(c).frameCount, kSelection);
            EXPECT_EQ(offline->GetInputPeak(c), realTime->GetInputPeak(c));
            EXPECT_EQ(offline->GetOutputPeak(c), realTime->GetOutputPeak(c));
        }
    }
}

// Preparation does the reinitialisation the first slice would have done,
// with the host's tempo taken first: an auto wah synced to a host tempo
// sounds the same whether it was prepared or left to its first slice.
TEST(OfflineAdapter, PreparingBeforeTheFirstSliceChangesNothingItRenders)
{
    std::vector<std::vector<float>> outputs;
    for (const bool prepared : {false, true}) {
        auto process = Make<CORVEffectProcessAS>(15); // an auto wah at 1/8 T
        process->SetParameterValue(CORVAutoWahDSP::kSyncCoeff, 6.0f / 8.0f);
        process->SetHostTempo(90.0);
        if (prepared)
            process->SetSliceFrames(64);
        EXPECT_EQ(process->GetAlgorithm()->needsReinit, !prepared);
        std::vector<float> left = testing_support::Sine(440.0, kRate, kSelection);
        std::vector<float> right = left;
        RunInPlace(*process, left, right);
        outputs.push_back(left);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}
