#pragma once
// A pedal's face in an LV2 host.  The UI runs apart from the plug-in (often
// in another thread, sometimes in another process) and reaches it only
// through ports and atom messages.  So that the pedal on screen behaves as
// over an instance in the program, the UI keeps an instance of the same
// effect of its own, which never plays: every port value the host reports
// is set on it, the editor draws over it, and what the editor changes on it
// goes back to the host as port writes.
#include "core/CORVEffectProcessRTAS.h"
#include "lv2/PortLayout.h"
#include "lv2/PresetMessage.h"
#include "ui/editor/PedalReadings.h"

#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CORVEffectCustomUI;

namespace lv2 {

// What the plug-in's output ports last said: its readings and levels.
class PortReadings : public PedalReadings {
public:
    float read(ReadingKind kind) const override;
    float level(bool input, int channel) const override;
    void setReading(ReadingKind kind, float value);
    void setLevel(bool input, int channel, float value);

private:
    std::array<float, 16> readings{};
    float levels[2][2] = {{0.0f, 0.0f}, {0.0f, 0.0f}};
};

// The UI's own instance.  A change the editor makes becomes a port write;
// a preset the editor applies also goes to the plug-in as one message.
class UiInstance : public CORVEffectProcessRTAS {
public:
    struct Link {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const std::vector<PortInfo>* layout = nullptr;
        const PresetMessageUris* uris = nullptr;
    };
    UiInstance(int32_t effectId, const SProcessContext& context, const Link& link);

    void SetParameterValue(int32_t index, float value) override;
    void ApplyPresetFromEditor(int32_t presetIndex) override;
    // A port value from the host: taken as a host change, not written back.
    void TakePortValue(const PortInfo& port, float value);
    // Tells the plug-in to read which user presets there are again.
    void SendPresetsChanged() const;

protected:
    void UserPresetsChanged() override { SendPresetsChanged(); }

private:
    void WritePort(const PortInfo& port, float value) const;
    const PortInfo* ParameterPort(int32_t index) const;
    const PortInfo* EnabledPort() const;
    void SendPreset(const CORVDSPPreset& preset) const;
    void SendMessage(const std::vector<uint8_t>& message) const;

    Link link;
};

class StompsetUi {
public:
    // Null when the host lacks what the UI needs (the URID map) or the
    // effect is unknown.
    static std::unique_ptr<StompsetUi> Create(const CatalogueEntry& entry, bool mono, LV2UI_Write_Function write,
                                              LV2UI_Controller controller, LV2UI_Widget* widget,
                                              const LV2_Feature* const* features);
    ~StompsetUi();

    void PortEvent(uint32_t index, uint32_t size, uint32_t format, const void* buffer);
    // 0 while the UI goes on, 1 once the user closed its own window.
    int Idle();
    int Show();
    int Hide();

private:
    StompsetUi() = default;
    void FollowPresetFile();

    std::vector<PortInfo> layout;
    PresetMessageUris uris;
    std::unique_ptr<UiInstance> instance;
    CORVEffectCustomUI* view = nullptr;
    PortReadings readings;
    std::vector<std::optional<float>> lastValues;
    const LV2UI_Resize* resize = nullptr;
    void* parent = nullptr;
    double scale = 1.0;
    bool shownOnItsOwn = false;
    uint32_t lastPresetCheck = 0;
    std::optional<int64_t> presetFileStamp;
};

} // namespace lv2
