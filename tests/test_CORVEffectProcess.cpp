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
#include <filesystem>
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

std::vector<std::string> UserPresetNames(const CORVEffectProcess& process)
{
    std::vector<std::string> names;
    for (const auto& [index, preset] : process.GetAlgorithm()->presets)
        if (preset->isFactory == 0)
            names.push_back(preset->name);
    return names;
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
    for (float n : {0.1f, 0.3333f, 0.7071f, 0.999f})
        EXPECT_EQ(CORVEffectProcess::ToNormalized(CORVEffectProcess::ToControlValue(n)), n);

    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Gain"), FourCC("niaG"));
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Q"), FourCC("xxxQ"));
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Gain 50 Hz"), CORVEffectProcess::ControlIDForName("Gain 120 Hz"));
}

TEST(EffectInstance, ControlsFollowTheParameterTableAtTheHostRate)
{
    auto process = Make(kTremolo, 2, 96000.0);
    ASSERT_EQ(process->GetNumControls(), 6);
    const CPluginControl* footSwitch = process->GetControl(1);
    EXPECT_EQ(footSwitch->GetID(), FourCC("bypa"));
    EXPECT_EQ(footSwitch->GetNames(), "TR Bypass\nTRBypass");
    EXPECT_FALSE(footSwitch->IsContinuous());
    const CPluginControl* tempo = process->GetControl(kTempo);
    EXPECT_EQ(tempo->GetID(), FourCC("pmeT"));
    EXPECT_EQ(tempo->GetNames(), "TR Tempo");
    EXPECT_TRUE(tempo->IsAutomatable());
    EXPECT_NEAR(CORVEffectProcess::ToNormalized(tempo->GetDefaultValue()), 290.0f / 690.0f, 1e-7f);
    EXPECT_EQ(process->GetControl(6)->GetID(), FourCC("xpaT"));
    EXPECT_EQ(process->GetControl(7), nullptr);
    EXPECT_EQ(process->GetAlgorithm()->sampleRate, 96000.0);
    EXPECT_EQ(process->GetAlgorithm()->currentPreset->name, "Default");

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
    process->HighlightControl(3, 1, 0);
    process->HighlightControl(14, 1, 0);
    process->EditorInterface().EditorIdle();
    EXPECT_EQ(bridge.calls, (std::vector<std::string>{"HighlightControl 3", "EditorIdle"}));

    bridge.calls.clear();
    process->ApplyPresetFromEditor(2); // "Fast tremolo"
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(kTempo), 671.0f);
    EXPECT_NEAR(process->GetParameterValue(kTempo), (671.0f - 10.0f) / 690.0f, 1e-6f);
    EXPECT_NEAR(process->GetParameterValue(kDepth), 0.31f, 1e-6f);
    ASSERT_GE(bridge.calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(bridge.calls.end() - 2, bridge.calls.end()),
              (std::vector<std::string>{"RefreshBegin", "RefreshEnd"}));
}

TEST(EffectInstance, HostTempoFollowsIntoTheAlgorithm)
{
    auto process = Make();
    RecordingBridge bridge;
    process->EditorInterface().AttachEditor(&bridge);
    process->SetHostTempo(90.0);
    process->FollowHostTempo();
    EXPECT_EQ(process->GetAlgorithm()->tempo, 90.0);
    EXPECT_TRUE(bridge.calls.empty()); // sync off: nothing to redraw

    process->SetParameterValue(kSyncCoeff, 3.0f / 8.0f);
    bridge.calls.clear();
    process->SetHostTempo(100.0);
    process->FollowHostTempo();
    EXPECT_EQ(process->GetAlgorithm()->tempo, 100.0);
    EXPECT_EQ(bridge.calls, std::vector<std::string>{"QueueControlUpdate 5"});
    bridge.calls.clear();
    process->FollowHostTempo(); // unchanged tempo: no step
    EXPECT_TRUE(bridge.calls.empty());
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

// Instance numbers are shared through the group: each connection takes the
// lowest free number from its effect's identifier upward.
TEST(EffectInstance, ConnectionTakesTheLowestFreeInstanceNumber)
{
    ASSERT_EQ(NewPlugIn(), 0);
    auto first = Make();
    auto second = Make();
    EXPECT_TRUE(first->EditorInterface().Connect());
    EXPECT_TRUE(second->EditorInterface().Connect());
    EXPECT_EQ(first->GetInstanceNumber(), 180);
    EXPECT_EQ(second->GetInstanceNumber(), 181);
    EXPECT_TRUE(first->EditorInterface().Disconnect());
    auto third = Make();
    EXPECT_TRUE(third->EditorInterface().Connect());
    EXPECT_EQ(third->GetInstanceNumber(), 180);
    second->EditorInterface().Disconnect();
    third->EditorInterface().Disconnect();

    auto& group = dynamic_cast<CORVEffectGroup&>(*GetPlugInGroup());
    int32_t zero = 0;
    EXPECT_EQ(group.AllocateInstanceNumber(zero), 1);
    EXPECT_EQ(zero, 1);
    group.ReleaseInstanceNumber(1);
}

// Each instance reads the user preset file of the documents folder when it
// is made (making it when missing); what one instance saves or deletes,
// later ones see.
TEST(EffectInstance, UserPresetsComeFromTheSharedFile)
{
    testing_support::ScopedDocumentsFolder documents;
    auto first = Make();
    EXPECT_EQ(first->GetPresetFile().GetState(), CORVPresetFile::State::Created);
    EXPECT_EQ(testing_support::ReadFile(documents.PresetFilePath()), CORVPresetDocument().Text());
    first->SetParameterValue(kDepth, 0.75f);
    ASSERT_EQ(first->SaveUserPreset("Deep"), 5);

    auto later = Make();
    EXPECT_EQ(later->GetPresetFile().GetState(), CORVPresetFile::State::Read);
    ASSERT_EQ(UserPresetNames(*later), std::vector<std::string>{"Deep"});
    EXPECT_EQ(later->GetAlgorithm()->currentPreset->name, "Default");
    later->ApplyPresetFromEditor(5);
    EXPECT_EQ(later->GetAlgorithm()->Value(kDepth), 75.0f);
    EXPECT_EQ(later->GetControl(kDepth)->GetValue(), CORVEffectProcess::ToControlValue(0.75f));
    EXPECT_FALSE(later->DeleteUserPreset(0));
    ASSERT_TRUE(later->DeleteUserPreset(5));
    EXPECT_TRUE(UserPresetNames(*Make()).empty());
}

namespace {

using ProgressCalls = std::vector<std::pair<int64_t, int64_t>>;

// Runs an offline adapter in place over one or two channels.
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
        {0, {}},
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
        const ProgressCalls calls = RunInPlace(*offline, left, &right);
        if (!progress.empty()) {
            EXPECT_EQ(calls, progress);
        }
        EXPECT_EQ(calls.size(), size_t((kSelection + block - 1) / block));
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

TEST(OfflineAdapter, SelectionWithoutASecondChannelIsProcessedAsMono)
{
    auto mono = FullDepthTremolo<CORVEffectProcessAS>();
    auto stereo = FullDepthTremolo<CORVEffectProcessAS>();
    std::vector<float> alone = testing_support::Sine(440.0, kRate, kSelection);
    std::vector<float> left = alone;
    std::vector<float> right = alone;
    RunInPlace(*mono, alone, nullptr);
    RunInPlace(*stereo, left, &right);
    EXPECT_EQ(alone, left);
    EXPECT_NE(alone, testing_support::Sine(440.0, kRate, kSelection));
    EXPECT_EQ(mono->GetOutputPeak(0), mono->GetOutputPeak(1));
}

// Preparation does the reinitialisation the first slice would have done,
// with the host's tempo taken first: an auto wah synced to a host tempo
// sounds the same whether it was prepared or left to its first slice.
TEST(OfflineAdapter, PreparingBeforeTheFirstSliceChangesNothingItRenders)
{
    constexpr int32_t kAutoWah = 15;
    constexpr float kSyncEighthTriplet = 6.0f;
    std::vector<std::vector<float>> outputs;
    for (const bool prepared : {false, true}) {
        auto process = Make<CORVEffectProcessAS>(kAutoWah);
        const CORVDSPParameter* sync = process->GetAlgorithm()->GetParameter(CORVAutoWahDSP::kSyncCoeff);
        process->SetControlValue(CORVAutoWahDSP::kSyncCoeff,
                                 CORVEffectProcess::ToControlValue(sync->NormalizedFromPlain(kSyncEighthTriplet)));
        process->SetHostTempo(90.0);
        if (prepared)
            process->SetSliceFrames(64);
        EXPECT_EQ(process->GetAlgorithm()->needsReinit, !prepared);
        std::vector<float> left = testing_support::Sine(440.0, kRate, kSelection);
        std::vector<float> right = left;
        RunInPlace(*process, left, &right);
        outputs.push_back(left);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}
