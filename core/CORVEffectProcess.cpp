#include "core/CORVEffectProcess.h"

#include "core/ChunkDataParser.h"
#include "core/CORVEffectGroup.h"
#include "dsp/FourCC.h"
#include "core/IEditorBridge.h"
#include "host/CConnectionService.h"
#include "host/ControlValue.h"
#include "host/PlugInLibrary.h"
#include "host/SFicPlugInChunk.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace {

// The meter scale: -60 dBFS at 0.0, 0 dBFS at 1.0, not clamped.
float MeterScale(float peak) { return (20.0f * float(std::log10(double(peak))) + 60.0f) / 60.0f; }

} // namespace

// The host-library base is virtual: the adapter that is finally made passes
// the real context, and the placeholders here are never used.
CORVEffectProcess::CORVEffectProcess(int32_t effectId_)
    : CEffectProcess(SProcessContext{}), effectId(effectId_), instanceNumber(effectId_), sampleRate(GetSampleRate()),
      presetFile(CORVPresetFile::DefaultPath())
{
    presetFile.Open();
}

namespace {

CORVEffectProcess::ViewFactory gViewFactory = nullptr;

} // namespace

CORVEffectProcess::~CORVEffectProcess()
{
    editorBridge = nullptr;
    view.reset();
}

void CORVEffectProcess::SetViewFactory(ViewFactory factory) { gViewFactory = factory; }

IEditorView* CORVEffectProcess::CreateView()
{
    if (!view && gViewFactory) {
        view = gViewFactory(*this);
        AttachEditor(view.get());
    }
    return view.get();
}

int32_t CORVEffectProcess::ToControlValue(float normalized) { return UnitToControl(double(normalized)); }

float CORVEffectProcess::ToNormalized(int32_t controlValue) { return float(ControlToUnit(controlValue)); }

uint32_t CORVEffectProcess::ControlIDForName(const std::string& name)
{
    uint32_t id = 0;
    for (size_t i = 0; i < 4; ++i) {
        const char c = i < name.size() ? name[i] : 'x';
        id |= uint32_t(uint8_t(c)) << (8 * i);
    }
    return id;
}

void CORVEffectProcess::EffectInit()
{
    const std::string& shortName = algorithm->shortName;
    AddControl(std::make_unique<CPluginControl_OnOff>(
        kFootSwitchID, shortName + " Bypass\n" + shortName + "Bypass", false, true));
    for (const auto& [index, parameter] : algorithm->parameters)
        AddControl(std::make_unique<CPluginControl_Linear>(ControlIDForName(parameter->name),
                                                           shortName + " " + parameter->name, 0.0, 1.0,
                                                           double(parameter->defaultNorm), true));
    ControlsComplete();
}

int32_t CORVEffectProcess::SetControlValue(int32_t index, int32_t value)
{
    if (index >= kFootSwitch && index <= kLastAlgorithmControl) {
        const float normalized = ToNormalized(value);
        if (editorBridge)
            editorBridge->BeginChange();
        const DisplayText text = algorithm->OnParameterChange(index, normalized);
        if (editorBridge) {
            editorBridge->SetMessage(text.str());
            editorBridge->SetControl(index, normalized);
            if (!editorBridge->GetMessage().empty())
                editorBridge->ShowMessage(editorBridge->GetMessage());
        }
    }
    return StoreControlValue(index, value);
}

int32_t CORVEffectProcess::GetControlValue(int32_t index, int32_t* value) const
{
    return CEffectProcess::GetControlValue(index, value);
}

int32_t CORVEffectProcess::StoreHostControlValue(int32_t index, int32_t value)
{
    return StoreControlValue(index, value);
}

void CORVEffectProcess::ControlValueChanged(int32_t index, int32_t value)
{
    if (!editorBridge)
        return;
    editorBridge->NotifyHostValue(index, value);
    if (index > int32_t(algorithm->parameters.size()))
        editorBridge->BeginChange();
}

void CORVEffectProcess::EditorIdle()
{
    if (editorBridge)
        editorBridge->EditorIdle();
}

void CORVEffectProcess::HighlightControl(int32_t index, int32_t isHighlighted, int32_t color)
{
    if (editorBridge && index >= kFootSwitch && index <= kLastAlgorithmControl)
        editorBridge->HighlightControl(index, isHighlighted, color);
}

float CORVEffectProcess::GetParameterValue(int32_t index) const
{
    int32_t value = 0;
    CEffectProcess::GetControlValue(index, &value);
    return ToNormalized(value);
}

void CORVEffectProcess::SetParameterValue(int32_t index, float value)
{
    editorChanged = true;
    SetControlValue(index, ToControlValue(value));
}

void CORVEffectProcess::ApplyPresetFromEditor(int32_t presetIndex)
{
    algorithm->ApplyPresetByIndex(presetIndex);
    for (const auto& [index, parameter] : algorithm->parameters) {
        editorChanged = true;
        SetControlValue(index, ToControlValue(parameter->normValue));
        editorChanged = false;
    }
    if (editorBridge) {
        editorBridge->RefreshBegin();
        editorBridge->RefreshEnd();
    }
}

std::optional<int32_t> CORVEffectProcess::SaveUserPreset(const std::string& name)
{
    const std::optional<int32_t> saved = presetFile.SavePreset(*algorithm, name);
    if (saved)
        UserPresetsChanged();
    return saved;
}

bool CORVEffectProcess::DeleteUserPreset(int32_t presetIndex)
{
    const bool deleted = presetFile.DeletePreset(*algorithm, presetIndex);
    if (deleted)
        UserPresetsChanged();
    return deleted;
}

void CORVEffectProcess::ReloadUserPresets()
{
    const std::string current = algorithm->currentPreset ? algorithm->currentPreset->name : std::string();
    algorithm->currentPreset = nullptr;
    std::erase_if(algorithm->presets, [](const auto& entry) { return entry.second->isFactory == 0; });
    presetFile.Open();
    presetFile.LoadPresets(*algorithm);
    for (const auto& [index, preset] : algorithm->presets)
        if (!current.empty() && preset->name == current && !algorithm->currentPreset)
            algorithm->currentPreset = preset.get();
}

bool CORVEffectProcess::OverwriteUserPreset(int32_t presetIndex)
{
    const bool saved = presetFile.OverwritePreset(*algorithm, presetIndex);
    if (saved)
        UserPresetsChanged();
    return saved;
}

bool CORVEffectProcess::Connect()
{
    if (auto* group = dynamic_cast<CORVEffectGroup*>(GetPlugInGroup()))
        group->AllocateInstanceNumber(instanceNumber);
    if (CConnectionService::Instance().Register(connectionChannel, instanceNumber))
        connected = true;
    return connected;
}

bool CORVEffectProcess::Disconnect()
{
    const bool unregistered = CConnectionService::Instance().Unregister(connectionChannel, instanceNumber);
    if (unregistered)
        connected = false;
    if (auto* group = dynamic_cast<CORVEffectGroup*>(GetPlugInGroup()))
        group->ReleaseInstanceNumber(instanceNumber);
    return unregistered;
}

void CORVEffectProcess::Prepare(uint32_t maxBlockFrames)
{
    // A tempo the host gave already is taken before the reinitialisation,
    // as the first block would have taken it, so that a synced effect starts
    // out at that tempo instead of moving to it.
    FollowHostTempo();
    maxFrames = maxBlockFrames;
    algorithm->Prepare(maxBlockFrames);
}

void CORVEffectProcess::FollowHostTempo()
{
    const double hostTempo = GetHostTempo();
    if (hostTempo == algorithm->tempo)
        return;
    int32_t index = 0;
    CORVDSPParameter* syncCoeff = algorithm->FindRole(ParameterRole::SyncCoeff, &index);
    if (!syncCoeff)
        return;
    algorithm->tempo = hostTempo;
    algorithm->OnParameterChange(index, syncCoeff->normValue);
    if (syncCoeff->value != 0.0f && editorBridge)
        editorBridge->QueueControlUpdate(index, syncCoeff->normValue);
}

void CORVEffectProcess::TakePeaks(int32_t channels)
{
    for (int32_t c = 0; c < std::min(channels, 2); ++c)
        latestPeaks[size_t(c)] = std::max(latestPeaks[size_t(c)], outputPeaks[c]);
    for (int c = 0; c < 2; ++c) {
        inputPeaks[c] = MeterScale(inputPeaks[c]);
        outputPeaks[c] = MeterScale(outputPeaks[c]);
    }
}

void CORVEffectProcess::RenderBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // A mono instance gets only one channel; both of the algorithm's channels
    // then point at it.
    const bool mono = GetNumChannels() == 1;
    const float* in[2] = {inputs[0], mono ? inputs[0] : inputs[1]};
    float* out[2] = {outputs[0], mono ? outputs[0] : outputs[1]};
    FollowHostTempo();
    heardAudio = true;
    algorithm->Process(in, out, inputPeaks, outputPeaks, frameCount);
    TakePeaks(GetNumChannels());
}

void CORVEffectProcess::Reset()
{
    // An effect that has heard nothing since it was prepared has nothing to
    // forget; resetting it anyway would start its oscillators elsewhere than
    // a freshly prepared one, and a host's first activation would then sound
    // unlike an offline render.
    if (heardAudio)
        algorithm->Reset();
    heardAudio = false;
    std::fill(std::begin(inputPeaks), std::end(inputPeaks), 0.0f);
    std::fill(std::begin(outputPeaks), std::end(outputPeaks), 0.0f);
    meterPeaks.fill(0.0f);
    latestPeaks.fill(0.0f);
    clipFlags.fill(false);
}

void CORVEffectProcess::ReadMeters(int32_t* values, int32_t channels)
{
    for (int32_t c = 0; c < std::min(channels, kMeterCount); ++c) {
        const size_t i = size_t(c);
        const float value = std::max(meterPeaks[i], latestPeaks[i]);
        meterPeaks[i] = value * kMeterDecay;
        clipFlags[i] = std::fabs(value) > 1.0f;
        if (clipFlags[i]) {
            SetClipped();
            values[c] = -1;
        } else {
            const double scaled = double(value) * 2147483648.0;
            values[c] = int32_t(std::min(scaled, double(std::numeric_limits<int32_t>::max())));
        }
        latestPeaks[i] = 0.0f;
    }
}

namespace {

void FillEntries(const CEffectProcess& process, ChunkDataParser& parser)
{
    parser.Clear();
    for (int32_t index = 1; index <= process.GetNumControls(); ++index) {
        const CPluginControl* control = process.GetControl(index);
        const std::string name = FourCCText(control->GetID());
        if (control->IsContinuous())
            parser.AddDouble(name, control->GetContinuous());
        else
            parser.AddInteger(name, control->GetDiscrete());
    }
}

// The control value an entry stands for, whatever type it was stored as.
int32_t EntryToControlValue(const CPluginControl& control, int64_t bits, ChunkDataParser::Type type)
{
    double number = 0.0;
    switch (type) {
    case ChunkDataParser::kDouble: number = ChunkDataParser::AsDouble(bits); break;
    case ChunkDataParser::kFloat: number = double(ChunkDataParser::AsFloat(bits)); break;
    default: number = double(bits); break;
    }
    if (control.IsContinuous())
        return control.ContinuousToControl(number);
    return control.DiscreteToControl(int32_t(std::lround(std::isfinite(number) ? number : 0.0)));
}

} // namespace

int32_t CORVEffectProcess::GetChunkSize(uint32_t chunkID, int32_t* size)
{
    if (chunkID != kChunkID || !size)
        return kErrBadChunk;
    ChunkDataParser parser;
    FillEntries(*this, parser);
    *size = parser.GetChunkSize();
    return kNoErr;
}

int32_t CORVEffectProcess::GetChunk(uint32_t chunkID, std::span<uint8_t> chunk)
{
    if (chunkID != kChunkID)
        return kErrBadChunk;
    ChunkDataParser parser;
    FillEntries(*this, parser);
    if (!parser.Write(chunk))
        return kErrChunkTooSmall;
    std::fill_n(&chunk[SFicPlugInChunk::kNameOffset], SFicPlugInChunk::kNameSize, uint8_t(0));
    std::memcpy(&chunk[SFicPlugInChunk::kNameOffset], kChunkName, std::strlen(kChunkName));
    StampChunkHeader(chunk, kChunkID);
    return kNoErr;
}

int32_t CORVEffectProcess::SetChunk(uint32_t chunkID, std::span<const uint8_t> chunk)
{
    if (chunkID != kChunkID)
        return kNoErr; // other kinds are not ours
    if (editorBridge)
        editorBridge->ClearChange();
    ChunkDataParser parser;
    parser.Parse(chunk);
    for (int32_t index = 1; index <= GetNumControls(); ++index) {
        if (index == GetMasterBypassControl())
            continue;
        const CPluginControl* control = GetControl(index);
        int64_t bits = 0;
        ChunkDataParser::Type type = ChunkDataParser::kUnknown;
        if (parser.Find(FourCCText(control->GetID()), &bits, &type))
            SetControlValue(index, EntryToControlValue(*control, bits, type));
    }
    return kNoErr;
}
