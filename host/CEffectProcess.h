#pragma once
#include "host/CPluginControl.h"
#include "host/HostTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The host library's view of one plug-in instance: its control store (indices
// from 1), the settings chunks, and the engine's answers about sample rate,
// channel count and tempo.  The engine that drives the instance (the LV2
// wrapper or the offline renderer) talks to it only through this class and
// its real-time and offline subclasses.
class CEffectProcess {
public:
    virtual ~CEffectProcess();
    CEffectProcess(const CEffectProcess&) = delete;
    CEffectProcess& operator=(const CEffectProcess&) = delete;

    // Called once by the engine before the first block; builds the controls.
    void Initialize();

    int32_t GetNumControls() const { return int32_t(controls_.size()); }
    CPluginControl* GetControl(int32_t index) const;
    int32_t GetControlIndexFromID(uint32_t id) const; // 0 when unknown

    // A control change from the engine, automation or a restored chunk.
    virtual int32_t SetControlValue(int32_t index, int32_t value);
    int32_t GetControlValue(int32_t index, int32_t* value) const;

    // Settings chunks: the engine asks for the size, allocates, then fetches.
    virtual int32_t GetChunkSize(uint32_t chunkID, int32_t* size);
    virtual int32_t GetChunk(uint32_t chunkID, std::span<uint8_t> chunk);
    virtual int32_t SetChunk(uint32_t chunkID, std::span<const uint8_t> chunk);

    // The control the library treats as master bypass; 0 when none is defined.
    int32_t GetMasterBypassControl() const { return masterBypass_; }

    double GetSampleRate() const { return context_.sampleRate; }
    int32_t GetNumChannels() const { return context_.numChannels; }
    const SProcessContext& GetContext() const { return context_; }

    // The engine's tempo, read by the instance before every block.
    double GetHostTempo() const { return hostTempo_; }
    void SetHostTempo(double beatsPerMinute) { hostTempo_ = beatsPerMinute; }

    // Touch notifications: a control held by the user's hand, which a host
    // writing automation records instead of playing back.
    void TouchControl(int32_t index, bool touched);
    bool IsControlTouched(int32_t index) const;

    bool IsClipped() const { return clipped_; }
    void ClearClipped() { clipped_ = false; }

protected:
    explicit CEffectProcess(const SProcessContext& context);

    // The instance builds its controls here, in index order.
    virtual void EffectInit() = 0;
    int32_t AddControl(std::unique_ptr<CPluginControl> control);
    void ControlsComplete() { controlsComplete_ = true; }

    // Stores a value in the control store and tells the instance about it.
    int32_t StoreControlValue(int32_t index, int32_t value);
    virtual void ControlValueChanged(int32_t index, int32_t value);

    void SetClipped() { clipped_ = true; }

    // Fills the library's part of a chunk header: version, the manufacturer,
    // product and type identification words, and the chunk kind.
    void StampChunkHeader(std::span<uint8_t> chunk, uint32_t chunkID) const;

private:
    SProcessContext context_;
    std::vector<std::unique_ptr<CPluginControl>> controls_;
    bool controlsComplete_ = false;
    int32_t masterBypass_ = 0;
    double hostTempo_ = 120.0;
    std::vector<bool> touched_;
    bool clipped_ = false;
};
