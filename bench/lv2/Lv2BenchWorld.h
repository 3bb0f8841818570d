#pragma once
#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

namespace lv2bench {

// The plug-in world of the benchmark: the LV2 specifications, every plug-in
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

    LV2_URID Map(const char* uri);
    LV2_URID_Map* MapFeature() { return &map_; }
    LV2_URID_Unmap* UnmapFeature() { return &unmap_; }

private:
    static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
    static const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid);
    void SetAsideInstalledCopies(const std::string& ownBundleUri, const std::string& uriPrefix);

    LilvWorld* world_;
    std::map<std::string, LV2_URID> urids_;
    std::vector<const char*> uris_; // by URID - 1; the strings live in urids_
    LV2_URID_Map map_;
    LV2_URID_Unmap unmap_;
};

} // namespace lv2bench
