#pragma once
#include "tools/lilvhost/LilvHost.h"

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lv2test {

// A small LV2 host on lilv: it loads the LV2 specifications and the built
// bundle, maps URIs, and runs plug-in instances with buffers it owns.
class World {
public:
    // The block length the host announces as nominal (it names no maximum,
    // so plug-ins must still take longer blocks).
    static constexpr int32_t kNominalBlock = 256;

    explicit World(const std::string& bundleFolder);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    LilvWorld* Get() const { return world_; }
    std::vector<const LilvPlugin*> BundlePlugins() const;
    const LilvPlugin* Plugin(const std::string& uri) const;
    LV2_URID Map(const std::string& uri) { return urids_.Map(uri.c_str()); }
    LV2_URID_Map* MapFeature() { return urids_.MapFeature(); }
    const LV2_Feature* const* Features() const { return features_.data(); }

private:
    LilvWorld* world_;
    std::string bundleUri_;
    lilvhost::UridMap urids_;
    LV2_Feature mapFeature_;
    int32_t nominalBlock_ = kNominalBlock;
    LV2_Options_Option options_[2]{};
    LV2_Feature optionsFeature_;
    std::vector<const LV2_Feature*> features_;
};

struct PortBuffers;

// One running instance with all of its ports connected.
class Instance {
public:
    Instance(World& world, const LilvPlugin* plugin, double sampleRate, uint32_t maxBlock);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool Valid() const { return instance_ != nullptr; }
    uint32_t AudioChannels() const { return uint32_t(audioIn_.size()); }

    // Sets a control input by symbol (false when there is no such port).
    bool SetControl(const std::string& symbol, float value);
    float GetControl(const std::string& symbol) const;
    // Every parameter control input, with its range.
    struct ControlRange {
        std::string symbol;
        float minimum;
        float maximum;
        bool integer;
    };
    const std::vector<ControlRange>& Parameters() const { return parameters_; }

    // Copies the input into the input ports, runs one block and copies the
    // output ports out; in is per channel.
    void Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out, uint32_t offset,
             uint32_t frames);
    // The host's stop and restart of processing.
    void Deactivate();
    void Activate();

    // Sends a time position with a tempo in the next Run.
    void SendTempo(float beatsPerMinute);

    // Heap allocations and mutex locks counted inside the plug-in's run.
    size_t RunAllocations() const { return runAllocations_; }
    size_t RunLocks() const { return runLocks_; }
    void ResetRunCounts() { runAllocations_ = runLocks_ = 0; }

    // The plug-in's state as (key, type, bytes) triples, and restoring it.
    struct StateItem {
        uint32_t key;
        uint32_t type;
        uint32_t flags;
        std::vector<uint8_t> value;
    };
    std::vector<StateItem> SaveState() const;
    bool RestoreState(const std::vector<StateItem>& items);

private:
    World& world_;
    const LilvPlugin* plugin_;
    LilvInstance* instance_ = nullptr;
    uint32_t maxBlock_;
    std::vector<std::vector<float>> audioIn_, audioOut_;
    std::vector<uint32_t> audioInIndex_, audioOutIndex_;
    std::map<std::string, uint32_t> controlIndex_;
    std::vector<float> controls_;
    std::vector<ControlRange> parameters_;
    std::vector<uint8_t> atomBuffer_;
    int32_t atomPort_ = -1;
    float pendingTempo_ = 0.0f;
    LV2_URID timePosition_ = 0;
    LV2_URID beatsPerMinute_ = 0;
    size_t runAllocations_ = 0;
    size_t runLocks_ = 0;
};

} // namespace lv2test
