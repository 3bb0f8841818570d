#pragma once
#include "dsp/CORVDSPAlgInterface.h"
#include "core/CORVPresetFile.h"
#include "core/IEffectProcess.h"
#include "host/CEffectProcess.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

class IEditorBridge;
class IEditorView;

// One inserted effect: joins an algorithm to the host's controls and audio.
// Every change of a control, from the host, the editor or a restored chunk,
// goes through SetControlValue and from there into the algorithm.
class CORVEffectProcess : public virtual CEffectProcess, private IEffectProcess, public CORVPlugInInterface {
public:
    static constexpr int32_t kFootSwitch = kFootSwitchIndex;
    static constexpr int32_t kLastAlgorithmControl = kLastControlIndex;
    static constexpr uint32_t kFootSwitchID = 0x62797061; // 'bypa'
    static constexpr uint32_t kChunkID = 0x656C636B;      // 'elck'
    static constexpr const char* kChunkName = "Complete Controls State";
    static constexpr int32_t kConnectionChannel = 7;
    static constexpr uint32_t kAlgorithmMaxFrames = 256;
    static constexpr int kMeterCount = 48;
    static constexpr float kMeterDecay = 0.7f;

    ~CORVEffectProcess() override;

    CORVDSPAlgInterface* GetAlgorithm() const { return algorithm.get(); }
    int32_t GetEffectId() const { return effectId; }
    int32_t GetInstanceNumber() const { return instanceNumber; }
    bool IsConnected() const { return connected; }
    IEffectProcess& EditorInterface() { return *this; }

    // The editor a program links registers how it is made; without one no
    // instance has a view.
    using ViewFactory = std::unique_ptr<IEditorView> (*)(CORVEffectProcess& instance);
    static void SetViewFactory(ViewFactory factory);
    // The host asks for the window content: the instance makes its editor on
    // the first request and attaches it.  Null when no editor is linked.
    IEditorView* CreateView();
    IEditorView* GetView() const { return view.get(); }

    // IEffectProcess
    int32_t SetControlValue(int32_t index, int32_t value) override;
    int32_t GetControlValue(int32_t index, int32_t* value) const override;
    int32_t StoreHostControlValue(int32_t index, int32_t value) override;
    void AttachEditor(IEditorBridge* bridge) override { editorBridge = bridge; }
    void TouchControl(int32_t index) override { CEffectProcess::TouchControl(index, true); }
    void ReleaseControl(int32_t index) override { CEffectProcess::TouchControl(index, false); }
    void EditorIdle() override;
    bool Connect() override;
    bool Disconnect() override;

    // CORVPlugInInterface
    float GetParameterValue(int32_t index) const override;
    void ApplyPresetFromEditor(int32_t presetIndex) override;
    void SetParameterValue(int32_t index, float value) override;

    // The preset menu's "Save As...": the current settings become a user
    // preset under name, in the user preset file and at the end of the
    // preset table.  Returns its table index, nothing when the file could not
    // be written.  User-interface thread only, like everything touching the
    // file.
    std::optional<int32_t> SaveUserPreset(const std::string& name);
    // The preset menu's "Delete" for a user preset; false for a factory
    // preset or when the file could not be written.
    bool DeleteUserPreset(int32_t presetIndex);
    // The save menu's "Save" for a user preset: it takes the current settings
    // and keeps its place; false for a factory preset or an unwritable file.
    bool OverwriteUserPreset(int32_t presetIndex);
    const CORVPresetFile& GetPresetFile() const { return presetFile; }
    // Reads the user preset file again and puts its presets of this effect
    // in place of the user presets in the table, for when another program
    // or instance changed it.  The current preset stays current when a
    // preset of its name is still there.
    void ReloadUserPresets();

    // The host's highlight request for a control.
    void HighlightControl(int32_t index, int32_t isHighlighted, int32_t color);

    // Settings chunk of kind 'elck' holding every control's value.
    int32_t GetChunkSize(uint32_t chunkID, int32_t* size) override;
    int32_t GetChunk(uint32_t chunkID, std::span<uint8_t> chunk) override;
    int32_t SetChunk(uint32_t chunkID, std::span<const uint8_t> chunk) override;

    // Readies the algorithm for blocks of up to maxBlockFrames, so that no
    // block allocates; longer blocks are processed in slices of that length.
    // Each wrapper calls it once before its first block (the reinitialisation
    // at the host's rate pending since construction happens here), never on
    // the audio thread.
    void Prepare(uint32_t maxBlockFrames);

    // One block: mono pointer copy, host-tempo step, the algorithm, and the
    // peaks turned into meter values.
    void RenderBlock(const float* const* inputs, float* const* outputs, int32_t frameCount);

    // Forgets the past audio, as a host's restart of processing asks: the
    // algorithm's signal state and the meters.  Not on the audio thread.
    void Reset();

    // Before every block: follows the host tempo into tempo-synced effects.
    void FollowHostTempo();

    // One meter value per channel for the host, with a held, decaying peak;
    // -1 when the channel clipped.
    void ReadMeters(int32_t* values, int32_t channels);
    bool ChannelClipped(int32_t channel) const { return clipFlags[size_t(channel)]; }

    // The peaks of the last block in the meter scale (-60 dBFS at 0, 0 dBFS at 1).
    float GetInputPeak(int channel) const { return inputPeaks[channel]; }
    float GetOutputPeak(int channel) const { return outputPeaks[channel]; }

    // The int32 control value of a normalised value and back.
    static int32_t ToControlValue(float normalized);
    static float ToNormalized(int32_t controlValue);
    // The identifier of a parameter's control: its first four characters
    // (padded with 'x') in reading order in memory.
    static uint32_t ControlIDForName(const std::string& name);

protected:
    CORVEffectProcess(int32_t effectId);

    void EffectInit() override;
    void ControlValueChanged(int32_t index, int32_t value) override;
    // After this instance saved, overwrote or deleted a user preset.
    virtual void UserPresetsChanged() {}

    // Converts a block's peaks to the meter scale and keeps the output peaks
    // for the host's meters.
    void TakePeaks(int32_t channels);

    int32_t effectId;
    std::unique_ptr<CORVDSPAlgInterface> algorithm;
    IEditorBridge* editorBridge = nullptr;
    int32_t instanceNumber;
    int32_t connectionChannel = kConnectionChannel;
    bool connected = false;
    uint32_t maxFrames = kAlgorithmMaxFrames;
    double sampleRate;
    float inputPeaks[2] = {0.0f, 0.0f};
    float outputPeaks[2] = {0.0f, 0.0f};
    std::array<float, kMeterCount> meterPeaks{};
    std::array<float, kMeterCount> latestPeaks{};
    std::array<bool, kMeterCount> clipFlags{};
    bool editorChanged = false;
    // Whether a block has run since the instance was made or last reset.
    bool heardAudio = false;
    // This instance's copy of the user preset file, read at construction.
    CORVPresetFile presetFile;
    // Made by CreateView; gone before the algorithm its controls show.
    std::unique_ptr<IEditorView> view;
};
