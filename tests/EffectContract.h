#pragma once
#include "core/CORVEffectCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// The identifiers of every effect whose algorithm is available.
inline std::vector<int32_t> AvailableEffectIds()
{
    std::vector<int32_t> ids;
    for (const CatalogueEntry& entry : kCatalogue)
        if (entry.IsAvailable())
            ids.push_back(entry.effectId);
    return ids;
}

// Names parameterised tests after the effect's short name.
struct EffectName {
    std::string operator()(const ::testing::TestParamInfo<int32_t>& info) const
    {
        return FindCatalogueEntry(info.param)->shortName;
    }
};

} // namespace testing_support
