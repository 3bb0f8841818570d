#include "lv2/StompsetUi.h"

#include "lv2/PortValues.h"
#include "platform/FileStatus.h"
#include "platform/TickCount.h"
#include "ui/editor/CORVEffectCustomUI.h"
#include "ui/editor/CORVIdleTimer.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2_util.h>
#include <lv2/options/options.h>

#include <cmath>
#include <cstring>

namespace lv2 {
namespace {

// Another program's save shows in the menus within a second.
constexpr uint32_t kPresetFileCheckMs = 1000;
// The UI's instance never plays; the rate only has to be one it takes.
constexpr double kUiSampleRate = 48000.0;

// The host's scale factor for high-density screens, where it gives one:
// the 2x faces from 1.5 on.
double ScaleFactor(const LV2_Feature* const* features, const LV2_URID_Map& map)
{
    const auto* options = static_cast<const LV2_Options_Option*>(lv2_features_data(features, LV2_OPTIONS__options));
    const LV2_URID scaleKey = map.map(map.handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map.map(map.handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* option = options; option && option->key != 0; ++option)
        if (option->key == scaleKey && option->type == floatType && option->size == sizeof(float) && option->value)
            return *static_cast<const float*>(option->value) >= 1.5f ? 2.0 : 1.0;
    return 1.0;
}

} // namespace

float PortReadings::read(ReadingKind kind) const
{
    const auto at = size_t(kind);
    return at < readings.size() ? readings[at] : 0.0f;
}

float PortReadings::level(bool input, int channel) const { return levels[input ? 0 : 1][channel & 1]; }

void PortReadings::setReading(ReadingKind kind, float value)
{
    if (size_t(kind) < readings.size())
        readings[size_t(kind)] = value;
}

void PortReadings::setLevel(bool input, int channel, float value) { levels[input ? 0 : 1][channel & 1] = value; }

UiInstance::UiInstance(int32_t effectId, const SProcessContext& context, const Link& link_)
    : CEffectProcess(context), CORVEffectProcessRTAS(effectId, context), link(link_)
{
}

const PortInfo* UiInstance::ParameterPort(int32_t index) const
{
    for (const PortInfo& port : *link.layout)
        if (port.kind == PortKind::Parameter && port.parameterIndex == index)
            return &port;
    return nullptr;
}

const PortInfo* UiInstance::EnabledPort() const
{
    for (const PortInfo& port : *link.layout)
        if (port.kind == PortKind::Enabled)
            return &port;
    return nullptr;
}

void UiInstance::WritePort(const PortInfo& port, float value) const
{
    if (link.write)
        link.write(link.controller, port.index, sizeof(float), 0, &value);
}

void UiInstance::SetParameterValue(int32_t index, float value)
{
    CORVEffectProcess::SetParameterValue(index, value);
    if (index == kFootSwitch) {
        // The foot switch's control is on when the pedal is bypassed.
        if (const PortInfo* enabled = EnabledPort())
            WritePort(*enabled, GetParameterValue(kFootSwitch) > 0.5f ? 0.0f : 1.0f);
        return;
    }
    if (const PortInfo* port = ParameterPort(index))
        WritePort(*port, GetAlgorithm()->GetParameter(index)->value);
}

void UiInstance::SendMessage(const std::vector<uint8_t>& message) const
{
    for (const PortInfo& port : *link.layout)
        if (port.kind == PortKind::AtomIn && link.write && !message.empty())
            link.write(link.controller, port.index, uint32_t(message.size()), link.uris->eventTransfer,
                       message.data());
}

void UiInstance::SendPreset(const CORVDSPPreset& preset) const
{
    SendMessage(ForgePresetMessage(*link.uris, preset.name, preset.values));
}

void UiInstance::SendPresetsChanged() const { SendMessage(ForgePresetsChangedMessage(*link.uris)); }

void UiInstance::ApplyPresetFromEditor(int32_t presetIndex)
{
    const auto found = GetAlgorithm()->presets.find(presetIndex);
    if (found == GetAlgorithm()->presets.end())
        return;
    CORVEffectProcess::ApplyPresetFromEditor(presetIndex);
    const CORVDSPPreset& preset = *found->second;
    // A preset whose values do not fit the effect changes nothing.
    if (preset.values.size() != GetAlgorithm()->parameters.size())
        return;
    SendPreset(preset);
    // The ports take the stored values exactly, as the plug-in does, even
    // where a preset sits beyond a knob's end.
    size_t at = 0;
    for (const auto& [index, parameter] : GetAlgorithm()->parameters)
        if (const PortInfo* port = ParameterPort(index))
            WritePort(*port, preset.values[at++]);
}

void UiInstance::TakePortValue(const PortInfo& port, float value)
{
    if (port.kind == PortKind::Enabled)
        ApplyEnabledPort(*this, value);
    else if (port.kind == PortKind::Parameter)
        ApplyParameterPort(*this, port, value);
}

std::unique_ptr<StompsetUi> StompsetUi::Create(const CatalogueEntry& entry, bool mono, LV2UI_Write_Function write,
                                               LV2UI_Controller controller, LV2UI_Widget* widget,
                                               const LV2_Feature* const* features)
{
    const auto* map = static_cast<const LV2_URID_Map*>(lv2_features_data(features, LV2_URID__map));
    if (!map)
        return nullptr;
    std::unique_ptr<StompsetUi> ui(new StompsetUi);
    ui->uris = PresetMessageUris::Map(*map);
    ui->resize = static_cast<const LV2UI_Resize*>(lv2_features_data(features, LV2_UI__resize));
    ui->parent = lv2_features_data(features, LV2_UI__parent);
    ui->scale = ScaleFactor(features, *map);

    SProcessContext context;
    context.sampleRate = kUiSampleRate;
    context.numChannels = mono ? 1 : 2;
    UiInstance::Link link{write, controller, &ui->layout, &ui->uris};
    ui->instance = std::make_unique<UiInstance>(entry.effectId, context, link);
    ui->instance->Initialize();
    ui->layout = DescribePorts(*ui->instance->GetAlgorithm(), mono);
    ui->lastValues.resize(ui->layout.size());

    RegisterStompBoxEditor();
    ui->view = dynamic_cast<CORVEffectCustomUI*>(ui->instance->CreateView());
    if (!ui->view || !ui->view->Editor().controlSet())
        return nullptr;
    ui->view->Editor().controlSet()->setReadings(&ui->readings);
    ui->view->SetScale(ui->scale);
    ui->presetFileStamp = platform::ModificationTime(ui->instance->GetPresetFile().GetPath());
    // The plug-in read the file when it was made, perhaps long ago.
    ui->instance->SendPresetsChanged();
    // Without a window of the host's to live in, the pedal opens one of its own.
    if (!ui->parent) {
        if (ui->Show() != 0)
            return nullptr;
    } else if (!ui->view->OpenWindow(ui->parent)) {
        return nullptr;
    }
    if (widget)
        *widget = reinterpret_cast<LV2UI_Widget>(uintptr_t(ui->view->WindowId()));
    if (ui->resize)
        ui->resize->ui_resize(ui->resize->handle, int(CORVStompBoxGUIEditor::kWidth * ui->scale),
                              int(CORVStompBoxGUIEditor::kHeight * ui->scale));
    return ui;
}

StompsetUi::~StompsetUi()
{
    // The editor goes with the instance, which owns it.
    view = nullptr;
    instance.reset();
}

void StompsetUi::PortEvent(uint32_t index, uint32_t size, uint32_t format, const void* buffer)
{
    if (index >= layout.size() || format != 0 || size != sizeof(float) || !buffer)
        return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    const PortInfo& port = layout[index];
    switch (port.kind) {
    case PortKind::Parameter:
    case PortKind::Enabled:
        // A host may echo what the UI wrote; only a change is news.
        if (lastValues[index] == value)
            return;
        lastValues[index] = value;
        instance->TakePortValue(port, value);
        break;
    case PortKind::LevelOut: readings.setLevel(port.inputLevel, port.channel, value); break;
    case PortKind::ReadingOut: readings.setReading(port.reading->kind, value); break;
    case PortKind::TempoOut:
        // As the instance follows a host's tempo: the display of a synced
        // pedal is redrawn when it changes.
        if (std::isfinite(value) && value > 0.0f) {
            instance->SetHostTempo(value);
            instance->FollowHostTempo();
        }
        break;
    case PortKind::TapOut: instance->GetAlgorithm()->SetTapState(value); break;
    default: break;
    }
}

void StompsetUi::FollowPresetFile()
{
    const uint32_t now = platform::TickCount();
    if (now - lastPresetCheck < kPresetFileCheckMs)
        return;
    lastPresetCheck = now;
    const std::optional<int64_t> stamp = platform::ModificationTime(instance->GetPresetFile().GetPath());
    if (stamp == presetFileStamp)
        return;
    presetFileStamp = stamp;
    instance->ReloadUserPresets();
    instance->SendPresetsChanged();
    view->Editor().presetsChanged();
}

int StompsetUi::Idle()
{
    VSTGUI::CFrame* frame = view->Editor().getFrame();
    if (!frame)
        return shownOnItsOwn ? 1 : 0;
    frame->idle();
    CORVIdleTimer::fireDue(platform::TickCount());
    FollowPresetFile();
    if (shownOnItsOwn && frame->isCloseRequested()) {
        Hide();
        return 1;
    }
    return 0;
}

int StompsetUi::Show()
{
    if (view->IsWindowOpen())
        return 0;
    if (!view->OpenWindow(VSTGUI::CFrame::kTopLevelWindow))
        return 1;
    shownOnItsOwn = true;
    return 0;
}

int StompsetUi::Hide()
{
    if (shownOnItsOwn)
        view->CloseWindow();
    return 0;
}

} // namespace lv2
