#pragma once
// What every lilv host of ours does the same way: the URI map the plug-ins
// share, the bundle under test, the host options, and an instance with all
// of its ports connected to memory the host owns.  The tests' host and the
// benchmark's host both use it.
#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/options/options.h>
#include <lv2/worker/worker.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lilvhost {

// URIDs count from one in the order the URIs are first seen; unmap gives
// the URI back.  The features point at this object, so it does not move.
class UridMap {
public:
    UridMap();
    UridMap(const UridMap&) = delete;
    UridMap& operator=(const UridMap&) = delete;

    LV2_URID Map(const char* uri);
    const char* Unmap(LV2_URID urid) const;
    LV2_URID_Map* MapFeature() { return &map_; }
    LV2_URID_Unmap* UnmapFeature() { return &unmap_; }

private:
    static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
    static const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid);

    std::map<std::string, LV2_URID> urids_;
    std::vector<const char*> uris_; // by URID - 1; the strings live in urids_
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
};

// The URI of a bundle folder, ending in the slash lilv needs to load it;
// the caller frees the node.
LilvNode* NewBundleUri(LilvWorld* world, std::string folder);

// Null when no loaded bundle provides the plug-in.
const LilvPlugin* FindPlugin(LilvWorld* world, const std::string& uri);

// An instance option holding one 32-bit value of the given atom type
// (atom:Int or atom:Float), read from value for as long as the instance lives.
LV2_Options_Option Option(UridMap& urids, const char* key, const char* type, const void* value);

// The all-zero entry that ends an options array.
constexpr LV2_Options_Option kEndOfOptions{LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};

// A control port as a host offers it to its user.
struct ControlPort {
    uint32_t index;
    std::string symbol;
    bool input;
    bool enable; // the lv2:enabled designation: the host's bypass switch
    bool integer;
    float minimum, maximum; // NaN where the plug-in names no bound
};

// One property of a plug-in's saved state.
struct StateProperty {
    uint32_t key;
    uint32_t type;
    uint32_t flags;
    std::vector<uint8_t> value;
};

// A plug-in instance with every port connected: audio ports to buffers of
// maxBlock frames, control ports to values that start at their defaults,
// atom inputs to an empty event sequence, atom outputs to room for events,
// any other port to an idle buffer.  It is activated when made and
// deactivated when freed.  The URI map and the features must outlive it.
class Instance {
public:
    using Channels = std::vector<std::vector<float>>;

    Instance(LilvWorld* world, UridMap& urids, const LilvPlugin* plugin, double sampleRate, uint32_t maxBlock,
             const LV2_Feature* const* features);
    virtual ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool Valid() const { return instance_ != nullptr; }
    uint32_t AudioChannels() const { return uint32_t(audioIn_.size()); }
    const std::vector<ControlPort>& Controls() const { return controls_; }
    // The control inputs a user turns: all but the enable switch.
    std::vector<ControlPort> Parameters() const;
    // False when there is no control port of that symbol.
    bool SetControl(const std::string& symbol, float value);
    // NaN when there is no control port of that symbol.
    float GetControl(const std::string& symbol) const;
    // Sets the controls a preset of the plug-in holds, read through lilv;
    // how many it set, or -1 when there is no such preset.
    int LoadPreset(const std::string& presetUri);
    // The tempo goes to the plug-in as a time position with the next block.
    void SendTempo(float beatsPerMinute) { pendingTempo_ = beatsPerMinute; }
    // An atom (header and body) for the atom inputs at the start of the next
    // block, as a host passes on what a UI sent.
    void SendEvent(std::vector<uint8_t> atom) { pendingEvents_.push_back(std::move(atom)); }

    void Activate();
    void Deactivate();
    // Runs a whole signal through, one channel per audio input, in blocks
    // of the given length (at most maxBlock); the result has one channel per
    // audio output and the input's length.
    Channels Process(const Channels& in, uint32_t block);

    // Through the plug-in's state interface; false or nothing without one.
    std::vector<StateProperty> SaveState() const;
    bool RestoreState(const std::vector<StateProperty>& properties);

protected:
    // One block on the connected buffers, the atom input already written.
    virtual void RunBlock(uint32_t frames);

private:
    void WriteAtomPorts();
    // The plug-in's scheduled work, done at the end of the block that asked
    // for it, as an offline host does, and the responses delivered at once.
    static LV2_Worker_Status ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data);
    static LV2_Worker_Status Respond(LV2_Worker_Respond_Handle handle, uint32_t size, const void* data);
    void DoScheduledWork();

    LilvWorld* world_;
    UridMap& urids_;
    const LV2_Feature* const* features_;
    // The host's features and this instance's worker schedule.
    LV2_Worker_Schedule schedule_{this, ScheduleWork};
    LV2_Feature scheduleFeature_{LV2_WORKER__schedule, &schedule_};
    std::vector<const LV2_Feature*> allFeatures_;
    const LV2_Worker_Interface* worker_ = nullptr;
    // Requests are made on the audio thread, so they go to a few slots made
    // beforehand, as a real-time host's ring buffer would take them.
    struct WorkRequest {
        uint32_t size = 0;
        std::array<uint8_t, 64> bytes{};
    };
    std::array<WorkRequest, 4> work_{};
    size_t workCount_ = 0;
    std::vector<std::vector<uint8_t>> responses_;
    const LV2_URID chunk_, position_, beatsPerMinute_;
    LV2_Atom_Forge forge_;
    LilvInstance* instance_ = nullptr;
    bool active_ = false;
    float pendingTempo_ = 0.0f;
    std::vector<std::vector<uint8_t>> pendingEvents_;
    std::vector<ControlPort> controls_;
    std::vector<float> values_; // by port index
    Channels audioIn_, audioOut_;
    std::vector<std::pair<bool, std::vector<uint64_t>>> atoms_; // (input, buffer in 64-bit words for alignment)
    std::vector<float> idle_;
};

} // namespace lilvhost
