#pragma once
#include "tools/lilvhost/LilvHost.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

namespace lv2bench {

// The plug-in world of the benchmark: LV2's own definition bundles, every plug-in
// installed on the system and our freshly built bundle, plus the URI map
// that all instances share.  An installed copy of our bundle is set aside
// so that the build under test is the one measured.
class Lv2BenchWorld {
public:
    explicit Lv2BenchWorld(const std::string& bundleFolder);
    ~Lv2BenchWorld();
    Lv2BenchWorld(const Lv2BenchWorld&) = delete;
    Lv2BenchWorld& operator=(const Lv2BenchWorld&) = delete;

    LilvWorld* Get() const { return world_; }
    // Null when no loaded bundle provides the plug-in.
    const LilvPlugin* Plugin(const std::string& uri) const;
    std::string Name(const LilvPlugin* plugin) const;

    lilvhost::UridMap& Urids() { return urids_; }
    LV2_URID Map(const char* uri) { return urids_.Map(uri); }
    LV2_URID_Map* MapFeature() { return urids_.MapFeature(); }
    LV2_URID_Unmap* UnmapFeature() { return urids_.UnmapFeature(); }

private:
    void SetAsideInstalledCopies(const std::string& ownBundleUri, const std::string& uriPrefix);

    LilvWorld* world_;
    lilvhost::UridMap urids_;
};

} // namespace lv2bench
