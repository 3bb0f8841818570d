#include "tests/lv2/Lv2TestHost.h"

#include "tests/AllocationCounter.h"

#include <lv2/buf-size/buf-size.h>

namespace lv2test {

World::World(const std::string& bundleFolder) : world_(lilv_world_new())
{
    lilv_world_load_specifications(world_);
    lilv_world_load_plugin_classes(world_);
    LilvNode* bundle = lilvhost::NewBundleUri(world_, bundleFolder);
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    options_[0] = lilvhost::Option(urids, LV2_BUF_SIZE__nominalBlockLength, LV2_ATOM__Int, &nominalBlock_);
    options_[1] = lilvhost::kEndOfOptions;
    mapFeature_ = {LV2_URID__map, urids.MapFeature()};
    optionsFeature_ = {LV2_OPTIONS__options, options_};
    features[0] = &mapFeature_;
    features[1] = &optionsFeature_;
    features[2] = nullptr;
}

void Instance::RunBlock(uint32_t frames)
{
    testing_support::AllocationCounter counter;
    lilvhost::Instance::RunBlock(frames);
    runAllocations += counter.Count();
    runLocks += counter.Locks();
}

} // namespace lv2test
