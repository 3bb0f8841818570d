#pragma once
#include "core/CORVEffectCatalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// The identifiers of every effect of the catalogue.
inline std::vector<int32_t> EveryEffectId()
{
    std::vector<int32_t> ids;
    for (const CatalogueEntry& entry : kCatalogue)
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
