#pragma once
#include "tools/lilvhost/LilvHost.h"

#include <string>

namespace lv2test {

// LV2's own definition bundles and the built bundle, nothing else, and what every
// instance is given: the URI map and a nominal block length.  No maximum is
// named, so plug-ins must still take longer blocks.
class World {
public:
    static constexpr int32_t kNominalBlock = 256;

    explicit World(const std::string& bundleFolder);
    ~World() { lilv_world_free(world_); }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    LilvWorld* Get() const { return world_; }
    const LilvPlugin* Plugin(const std::string& uri) const { return lilvhost::FindPlugin(world_, uri); }

    lilvhost::UridMap urids;
    const LV2_Feature* features[3];

private:
    LilvWorld* world_;
    int32_t nominalBlock_ = kNominalBlock;
    LV2_Options_Option options_[2];
    LV2_Feature mapFeature_, optionsFeature_;
};

// The shared host's instance, counting the heap allocations and mutex locks
// the plug-in makes while it runs.
class Instance : public lilvhost::Instance {
public:
    Instance(World& world, const LilvPlugin* plugin, double sampleRate)
        : lilvhost::Instance(world.Get(), world.urids, plugin, sampleRate, 8192, world.features)
    {
    }

    size_t runAllocations = 0;
    size_t runLocks = 0;

private:
    void RunBlock(uint32_t frames) override;
};

} // namespace lv2test
