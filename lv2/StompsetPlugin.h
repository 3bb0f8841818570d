#pragma once
#include "core/CORVEffectProcessRTAS.h"
#include "lv2/PortLayout.h"
#include "lv2/PresetMessage.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <string>

#include <memory>
#include <vector>

namespace lv2 {

// One plug-in instance in an LV2 host.  The host's ports are the engine side
// of the real-time adapter: control ports become control changes through
// SetControlValue, the time position becomes the host tempo, audio goes
// through Render, and the levels come back out as meter ports.
class StompsetPlugin {
public:
    // The instance comes back prepared for the longest block the host
    // announces through its options (or the instance's own default), so the
    // first run allocates nothing.
    static std::unique_ptr<StompsetPlugin> Create(const CatalogueEntry& entry, bool mono, double sampleRate,
                                                  const LV2_Feature* const* features);

    void ConnectPort(uint32_t index, void* data);
    void Activate();
    void Run(uint32_t frames);

    ~StompsetPlugin();

    // The worker thread's part: reads which user presets of this effect the
    // file holds; the response hands the list to the audio thread.
    LV2_Worker_Status Work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle);
    LV2_Worker_Status WorkResponse(uint32_t size, const void* data);

    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

private:
    struct ParameterPort {
        const float* data = nullptr;
        float last = 0.0f;
        CORVDSPParameter* parameter = nullptr;
        const PortInfo* layout = nullptr; // its entry in layout_, with the declared range
    };
    struct Uris {
        LV2_URID atomBlank = 0, atomObject = 0, atomFloat = 0, atomDouble = 0, atomInt = 0, atomLong = 0;
        LV2_URID atomChunk = 0, timePosition = 0, timeBeatsPerMinute = 0, chunkProperty = 0;
        LV2_URID logTrace = 0;
        PresetMessageUris preset;
    };

    StompsetPlugin(std::unique_ptr<CEffectProcess> process, bool mono, const LV2_URID_Map* map,
                   const LV2_Log_Log* log, const LV2_Worker_Schedule* schedule);
    // A preset the plug-in has by that name: a factory preset with those
    // very values, or a user preset the file held when last read.
    bool KnowsPreset(const PresetMessageView& message) const;
    // The last preset of the table (or of its factory presets) with the
    // message's name and values.
    const CORVDSPPreset* TablePreset(const PresetMessageView& message, bool factoryOnly = false) const;
    void Trace(const char* text) const;
    // The input events: the host's time position and the UI's presets.
    void ReadEvents();
    void ReadTimePosition(const LV2_Atom_Object& object);
    void ApplyPresetMessage(const PresetMessageView& message);
    void ApplyControlPorts();
    void WriteLevels();
    void WriteReadings();
    // After a restore the controls hold the restored values; the ports are
    // taken as already applied at those values.
    void TakeControlsAsApplied();

    std::unique_ptr<CEffectProcess> process_;
    CORVEffectProcessRTAS* instance_ = nullptr;
    bool mono_;
    std::vector<PortInfo> layout_;
    Uris uris_;
    bool haveMap_ = false;
    const LV2_Log_Log* log_ = nullptr;
    const LV2_Worker_Schedule* schedule_ = nullptr;
    // The names of this effect's user presets.  The worker makes each new
    // list and owns every list; the audio thread only adopts the newest it
    // was handed.  The worker frees the lists made before the one adopted,
    // which the audio thread will never look at again, so the audio thread
    // never allocates or frees.
    std::vector<std::unique_ptr<std::vector<std::string>>> userPresetLists_;
    std::atomic<const std::vector<std::string>*> userPresetNames_{nullptr};

    const float* audioIn_[2] = {nullptr, nullptr};
    float* audioOut_[2] = {nullptr, nullptr};
    const LV2_Atom_Sequence* atomIn_ = nullptr;
    const float* enabled_ = nullptr;
    float lastEnabled_ = 1.0f;
    std::vector<ParameterPort> parameters_;
    std::vector<float*> levelPorts_;
    struct ReadingPort {
        float* data = nullptr;
        ReadingKind kind;
    };
    std::vector<ReadingPort> readingPorts_;
    float* tempoPort_ = nullptr;
    float* tapPort_ = nullptr;
    float* latencyPort_ = nullptr;
};

} // namespace lv2
