#include "bench/lv2/Lv2BenchWorld.h"

#include "lv2/PortLayout.h"

#include <cstdio>

namespace lv2bench {

Lv2BenchWorld::Lv2BenchWorld(const std::string& bundleFolder)
    : world_(lilv_world_new()), map_{this, &Lv2BenchWorld::MapUri}, unmap_{this, &Lv2BenchWorld::UnmapUrid}
{
    lilv_world_load_all(world_);
    std::string folder = bundleFolder;
    if (folder.back() != '/')
        folder += '/';
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder.c_str());
    SetAsideInstalledCopies(lilv_node_as_uri(bundle), lv2::kUriBase);
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
}

Lv2BenchWorld::~Lv2BenchWorld() { lilv_world_free(world_); }

void Lv2BenchWorld::SetAsideInstalledCopies(const std::string& ownBundleUri, const std::string& uriPrefix)
{
    std::vector<LilvNode*> installed;
    const LilvPlugins* all = lilv_world_get_all_plugins(world_);
    LILV_FOREACH (plugins, i, all) {
        const LilvPlugin* plugin = lilv_plugins_get(all, i);
        const std::string uri = lilv_node_as_uri(lilv_plugin_get_uri(plugin));
        const LilvNode* bundle = lilv_plugin_get_bundle_uri(plugin);
        if (uri.rfind(uriPrefix, 0) != 0 || ownBundleUri == lilv_node_as_uri(bundle))
            continue;
        bool known = false;
        for (const LilvNode* node : installed)
            known = known || lilv_node_equals(node, bundle);
        if (!known)
            installed.push_back(lilv_node_duplicate(bundle));
    }
    for (LilvNode* bundle : installed) {
        std::fprintf(stderr, "Setting aside the installed bundle %s\n", lilv_node_as_uri(bundle));
        lilv_world_unload_bundle(world_, bundle);
        lilv_node_free(bundle);
    }
}

const LilvPlugin* Lv2BenchWorld::Plugin(const std::string& uri) const
{
    LilvNode* node = lilv_new_uri(world_, uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
    lilv_node_free(node);
    return plugin;
}

std::string Lv2BenchWorld::Name(const LilvPlugin* plugin) const
{
    LilvNode* name = lilv_plugin_get_name(plugin);
    std::string text = name ? lilv_node_as_string(name) : lilv_node_as_uri(lilv_plugin_get_uri(plugin));
    lilv_node_free(name);
    return text;
}

LV2_URID Lv2BenchWorld::Map(const char* uri)
{
    const auto [entry, added] = urids_.emplace(uri, LV2_URID(urids_.size() + 1));
    if (added)
        uris_.push_back(entry->first.c_str());
    return entry->second;
}

LV2_URID Lv2BenchWorld::MapUri(LV2_URID_Map_Handle handle, const char* uri)
{
    return static_cast<Lv2BenchWorld*>(handle)->Map(uri);
}

const char* Lv2BenchWorld::UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
    const auto& uris = static_cast<Lv2BenchWorld*>(handle)->uris_;
    return urid >= 1 && urid <= uris.size() ? uris[urid - 1] : nullptr;
}

} // namespace lv2bench
