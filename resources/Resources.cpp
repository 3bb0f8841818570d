#include "resources/Resources.h"

#include "resources/ResourceTable.h"

#include <algorithm>

using namespace resources_detail;

std::span<const unsigned char> FindPngResource(int32_t id, int32_t scale)
{
    const std::span<const PngResourceEntry> table(kPngResources, kPngResourceCount);
    const auto key = [](const PngResourceEntry& e) { return std::pair(e.id, e.scale); };
    const auto it = std::ranges::lower_bound(table, std::pair(id, scale), {}, key);
    if (it == table.end() || key(*it) != std::pair(id, scale)) return {};
    return {orv_png_blob + it->offset, it->size};
}

std::span<const int32_t> ResourceIds() { return {kPngResourceIds, kPngResourceIdCount}; }
