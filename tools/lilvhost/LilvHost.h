#pragma once
// What every lilv host of ours sets up the same way before it makes an
// instance: the URI map the plug-ins share, the bundle under test, and the
// host options.  The tests' host and the benchmark's host both use it.
#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

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

} // namespace lilvhost
