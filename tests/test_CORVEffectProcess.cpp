#include "core/CORVEffectProcessRTAS.h"

#include "core/CORVEffectGroupSpecific.h"
#include "core/CORVPresetDocument.h"
#include "dsp/FourCC.h"
#include "host/PlugInLibrary.h"
#include "tests/RecordingBridge.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

using testing_support::RecordingBridge;

namespace {

constexpr int32_t kTremolo = 180;
constexpr int32_t kAutoPan = 5;
constexpr int32_t kTempo = 2;
constexpr int32_t kDepth = 4;
constexpr int32_t kSyncCoeff = 5;

std::unique_ptr<CORVEffectProcessRTAS> MakeInstance(int32_t effectId, int32_t channels = 2,
                                                     double sampleRate = 48000.0)
{
    SProcessContext context;
    context.sampleRate = sampleRate;
    context.numChannels = channels;
    auto process = std::make_unique<CORVEffectProcessRTAS>(effectId, context);
    process->Initialize();
    return process;
}

std::unique_ptr<CORVEffectProcessRTAS> MakeTremolo(int32_t channels = 2, double sampleRate = 48000.0)
{
    return MakeInstance(kTremolo, channels, sampleRate);
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

TEST(ControlValues, FullRangeMapsToTheUnitInterval)
{
    EXPECT_EQ(CORVEffectProcess::ToNormalized(std::numeric_limits<int32_t>::min()), 0.0f);
    EXPECT_EQ(CORVEffectProcess::ToNormalized(std::numeric_limits<int32_t>::max()), 1.0f);
    EXPECT_EQ(CORVEffectProcess::ToControlValue(0.0f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CORVEffectProcess::ToControlValue(1.0f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CORVEffectProcess::ToControlValue(-0.5f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CORVEffectProcess::ToControlValue(2.0f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CORVEffectProcess::ToControlValue(std::nanf("")), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CORVEffectProcess::ToControlValue(0.5f), 0); // floor(2147483647.5 - 2147483648 + 0.5)
    for (float n : {0.1f, 0.25f, 0.3333f, 0.7071f, 0.999f})
        EXPECT_EQ(CORVEffectProcess::ToNormalized(CORVEffectProcess::ToControlValue(n)), n);
}

TEST(ControlValues, IdentifiersFromTheFirstFourCharacters)
{
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Gain"), FourCC("niaG"));
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Q"), FourCC("xxxQ"));
    EXPECT_EQ(CORVEffectProcess::ControlIDForName("Gain 50 Hz"), CORVEffectProcess::ControlIDForName("Gain 120 Hz"));
}

TEST(EffectInstance, ControlsFollowTheParameterTable)
{
    auto process = MakeTremolo();
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
}

TEST(EffectInstance, AlgorithmIsPreparedForTheHostRate)
{
    auto process = MakeTremolo(2, 96000.0);
    const CORVDSPAlgInterface& algorithm = *process->GetAlgorithm();
    EXPECT_EQ(algorithm.sampleRate, 96000.0);
    EXPECT_TRUE(algorithm.needsReinit);
    EXPECT_EQ(algorithm.currentPreset->name, "Default");
}

TEST(EffectInstance, ControlChangesReachTheAlgorithmAndTheStore)
{
    auto process = MakeTremolo();
    const int32_t value = CORVEffectProcess::ToControlValue(0.5f);
    EXPECT_EQ(process->SetControlValue(kDepth, value), kNoErr);
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(kDepth), 50.0f);
    int32_t stored = 0;
    process->GetControlValue(kDepth, &stored);
    EXPECT_EQ(stored, value);
    EXPECT_FLOAT_EQ(process->GetParameterValue(kDepth), 0.5f);

    process->SetControlValue(1, std::numeric_limits<int32_t>::max());
    EXPECT_TRUE(process->GetAlgorithm()->bypassed);
    EXPECT_EQ(process->SetControlValue(40, 0), kErrBadControlIndex);
}

TEST(EffectInstance, EditorHearsEachChangeInOrderOnlyWhenAttached)
{
    auto process = MakeTremolo();
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
}

TEST(EffectInstance, PresetFromTheEditorSetsEveryControl)
{
    auto process = MakeTremolo();
    RecordingBridge bridge;
    process->EditorInterface().AttachEditor(&bridge);
    process->ApplyPresetFromEditor(2); // "Fast tremolo"
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(kTempo), 671.0f);
    EXPECT_NEAR(process->GetParameterValue(kTempo), (671.0f - 10.0f) / 690.0f, 1e-6f);
    EXPECT_NEAR(process->GetParameterValue(kDepth), 0.31f, 1e-6f);
    EXPECT_EQ(bridge.calls.back(), "RefreshEnd");
    EXPECT_EQ(bridge.calls[bridge.calls.size() - 2], "RefreshBegin");
}

TEST(EffectInstance, HostTempoFollowsIntoTheAlgorithm)
{
    auto process = MakeTremolo();
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
    auto process = MakeTremolo();
    process->SetControlValue(1, std::numeric_limits<int32_t>::max()); // bypassed: output = input
    std::vector<float> left(64, 0.0f);
    std::vector<float> right(64, 0.0f);
    left[10] = 0.5f;
    right[20] = -1.2f;
    float* channels[2] = {left.data(), right.data()};
    process->Render(channels, channels, 64);
    EXPECT_NEAR(process->GetOutputPeak(0), (20.0f * std::log10(0.5f) + 60.0f) / 60.0f, 1e-6f);
    EXPECT_NEAR(process->GetInputPeak(1), (20.0f * std::log10(1.2f) + 60.0f) / 60.0f, 1e-6f);

    int32_t meters[2];
    process->ReadMeters(meters, 2);
    EXPECT_EQ(meters[0], int32_t(0.5 * 2147483648.0));
    EXPECT_EQ(meters[1], -1);
    EXPECT_TRUE(process->ChannelClipped(1));
    EXPECT_FALSE(process->ChannelClipped(0));
    EXPECT_TRUE(process->IsClipped());

    process->ReadMeters(meters, 2); // no new block: the held peak decays by 0.7
    EXPECT_EQ(meters[0], int32_t(double(0.5f * 0.7f) * 2147483648.0));
    EXPECT_EQ(meters[1], int32_t(double(1.2f * 0.7f) * 2147483648.0));
    EXPECT_FALSE(process->ChannelClipped(1));
}

TEST(EffectInstance, MonoInstanceRunsBothChannelsOnOne)
{
    auto mono = MakeTremolo(1);
    auto stereo = MakeTremolo(2);
    std::vector<float> signal = testing_support::Sine(440.0, 48000.0, 512);
    std::vector<float> monoOut(512);
    std::vector<float> left = signal;
    std::vector<float> right = signal;
    float* monoIn[1] = {signal.data()};
    float* monoOutPtr[1] = {monoOut.data()};
    mono->Render(monoIn, monoOutPtr, 512);
    float* stereoPtr[2] = {left.data(), right.data()};
    stereo->Render(stereoPtr, stereoPtr, 512);
    EXPECT_EQ(monoOut, right);
    EXPECT_EQ(mono->GetInputPeak(0), mono->GetInputPeak(1));
    EXPECT_EQ(mono->GetOutputPeak(0), mono->GetOutputPeak(1));
    EXPECT_EQ(mono->GetAlgorithm()->inputPeaks[0], mono->GetAlgorithm()->inputPeaks[1]);
}

TEST(EffectInstance, ConnectionTakesTheLowestFreeInstanceNumber)
{
    ASSERT_EQ(NewPlugIn(), 0);
    auto first = MakeTremolo();
    auto second = MakeTremolo();
    EXPECT_EQ(first->GetInstanceNumber(), kTremolo);
    EXPECT_TRUE(first->EditorInterface().Connect());
    EXPECT_TRUE(second->EditorInterface().Connect());
    EXPECT_EQ(first->GetInstanceNumber(), 180);
    EXPECT_EQ(second->GetInstanceNumber(), 181);
    EXPECT_TRUE(first->EditorInterface().Disconnect());
    EXPECT_FALSE(first->IsConnected());
    auto third = MakeTremolo();
    EXPECT_TRUE(third->EditorInterface().Connect());
    EXPECT_EQ(third->GetInstanceNumber(), 180);
    second->EditorInterface().Disconnect();
    third->EditorInterface().Disconnect();
}

TEST(EffectInstancePresets, UserPresetsComeAfterTheFactoryPresetsAndDefaultIsApplied)
{
    testing_support::ScopedDocumentsFolder documents;
    CORVPresetDocument document;
    document.AppendPreset(FourCC("tru1"), "Stutter", {650.0f, 2.0f, 100.0f, 0.0f, 0.0f});
    document.AppendPreset(FourCC("apu1"), "Wide", {0.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.0f});
    std::filesystem::create_directories(std::filesystem::path(documents.PresetFilePath()).parent_path());
    testing_support::WriteFile(documents.PresetFilePath(), document.Text());

    auto process = MakeTremolo();
    const CORVDSPAlgInterface& algorithm = *process->GetAlgorithm();
    EXPECT_EQ(process->GetPresetFile().GetState(), CORVPresetFile::State::Read);
    ASSERT_EQ(algorithm.presets.size(), 6u);
    EXPECT_EQ(algorithm.presets.at(5)->name, "Stutter");
    EXPECT_EQ(algorithm.currentPreset->name, "Default");
    EXPECT_EQ(algorithm.Value(kTempo), 300.0f);
    EXPECT_EQ(UserPresetNames(*MakeInstance(kAutoPan)), std::vector<std::string>{"Wide"});
    EXPECT_EQ(testing_support::ReadFile(documents.PresetFilePath()), document.Text());
}

TEST(EffectInstancePresets, FirstInstanceMakesTheFile)
{
    testing_support::ScopedDocumentsFolder documents;
    auto process = MakeTremolo();
    EXPECT_EQ(process->GetPresetFile().GetState(), CORVPresetFile::State::Created);
    EXPECT_EQ(process->GetPresetFile().GetPath(), documents.PresetFilePath());
    EXPECT_EQ(testing_support::ReadFile(documents.PresetFilePath()), CORVPresetDocument().Text());
}

TEST(EffectInstancePresets, SavedPresetReachesLaterInstancesAndTheirControls)
{
    testing_support::ScopedDocumentsFolder documents;
    auto process = MakeTremolo();
    process->SetParameterValue(kDepth, 0.75f);
    const std::optional<int32_t> index = process->SaveUserPreset("Deep");
    ASSERT_EQ(index, 5);

    auto later = MakeTremolo();
    ASSERT_EQ(UserPresetNames(*later), std::vector<std::string>{"Deep"});
    later->ApplyPresetFromEditor(*index);
    EXPECT_EQ(later->GetAlgorithm()->Value(kDepth), 75.0f);
    EXPECT_EQ(later->GetControl(kDepth)->GetValue(), CORVEffectProcess::ToControlValue(0.75f));

    EXPECT_FALSE(later->DeleteUserPreset(0));
    ASSERT_TRUE(later->DeleteUserPreset(*index));
    EXPECT_TRUE(UserPresetNames(*later).empty());
    EXPECT_TRUE(UserPresetNames(*MakeTremolo()).empty());
}
