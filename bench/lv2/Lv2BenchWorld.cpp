#include "bench/lv2/Lv2BenchWorld.h"

#include "lv2/PortLayout.h"

#include <cstdio>

namespace lv2bench {

Lv2BenchWorld::Lv2BenchWorld(const std::string& bundleFolder)
    : world_(lilv_world_new())
{
    lilv_world_load_all(world_);
    LilvNode* bundle = lilvhost::NewBundleUri(world_, bundleFolder);
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

const LilvPlugin* Lv2BenchWorld::Plugin(const std::string& uri) const { return lilvhost::FindPlugin(world_, uri); }

std::string Lv2BenchWorld::Name(const LilvPlugin* plugin) const
{
    LilvNode* name = lilv_plugin_get_name(plugin);
    std::string text = name ? lilv_node_as_string(name) : lilv_node_as_uri(lilv_plugin_get_uri(plugin));
    lilv_node_free(name);
    return text;
}

} // namespace lv2bench
