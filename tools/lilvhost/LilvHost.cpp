#include "tools/lilvhost/LilvHost.h"

#include <cstdint>

namespace lilvhost {

UridMap::UridMap() : map_{this, &UridMap::MapUri}, unmap_{this, &UridMap::UnmapUrid} {}

LV2_URID UridMap::Map(const char* uri)
{
    const auto [entry, added] = urids_.emplace(uri, LV2_URID(urids_.size() + 1));
    if (added)
        uris_.push_back(entry->first.c_str());
    return entry->second;
}

const char* UridMap::Unmap(LV2_URID urid) const
{
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1] : nullptr;
}

LV2_URID UridMap::MapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    return static_cast<UridMap*>(handle)->Map(uri);
}

const char* UridMap::UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
    return static_cast<const UridMap*>(handle)->Unmap(urid);
}

LilvNode* NewBundleUri(LilvWorld* world, std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return lilv_new_file_uri(world, nullptr, folder.c_str());
}

const LilvPlugin* FindPlugin(LilvWorld* world, const std::string& uri)
{
    LilvNode* node = lilv_new_uri(world, uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return plugin;
}

LV2_Options_Option Option(UridMap& urids, const char* key, const char* type, const void* value)
{
    return LV2_Options_Option{LV2_OPTIONS_INSTANCE, 0, urids.Map(key), sizeof(int32_t), urids.Map(type), value};
}

} // namespace lilvhost
