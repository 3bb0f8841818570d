#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectGroupSpecific.h"
#include "core/CORVEffectProcess.h"
#include "dsp/FourCC.h"
#include "host/PlugInLibrary.h"

#include <gtest/gtest.h>

#include <set>

// Rows as hosts know them, among them identifiers off the pattern of the
// rest; every identifier distinct.
TEST(Catalogue, RowsHoldTheIdentifiersHostsKnow)
{
    struct Case {
        int32_t effectId;
        const char* typeNames;
        uint32_t stereo, second, category;
        int32_t option;
        uint32_t code;
    };
    const Case cases[] = {
        {70, "FLB - Bass Flanger\nFLB", FourCC("FLBR"), FourCC("FLBd"), 0x20, 6, FourCC("flb1")},
        {125, "PAG - Guitar Power Amp\nPAG", FourCC("PART"), FourCC("PASd"), 0x40, 6, FourCC("pag1")},
        {110, "OD - Overdrive\nOD", FourCC("ODRT"), FourCC("ODSd"), 0x40, 2, FourCC("odu1")},
        {120, "OT - Octaver\nOT", FourCC("OTRT"), FourCC("OTSd"), 0x4, 6, FourCC("otu1")},
    };
    for (const Case& c : cases) {
        const CatalogueEntry* entry = FindCatalogueEntry(c.effectId);
        ASSERT_NE(entry, nullptr) << c.effectId;
        EXPECT_EQ(entry->TypeNames(), c.typeNames);
        EXPECT_EQ(std::tuple(entry->realTimeStereoId, entry->secondId, entry->category, entry->option,
                             entry->algorithmCode),
                  std::tuple(c.stereo, c.second, c.category, c.option, c.code))
            << c.typeNames;
    }
    for (int32_t unknown : {0, 7, 185, -5})
        EXPECT_EQ(FindCatalogueEntry(unknown), nullptr) << unknown;

    std::set<int32_t> ids;
    std::set<uint32_t> typeIds;
    for (const CatalogueEntry& entry : kCatalogue) {
        ids.insert(entry.effectId);
        typeIds.insert({entry.realTimeStereoId, entry.RealTimeMonoId(), entry.OfflineId()});
    }
    EXPECT_EQ(ids.size(), 36u);
    EXPECT_EQ(typeIds.size(), 108u);
}

// The group as the host sees it after loading the library: three types per
// effect in catalogue order, each making an instance of the effect's
// algorithm.
TEST(LoadedGroup, DeclaresThreeTypesPerEffectInCatalogueOrder)
{
    ASSERT_EQ(NewPlugIn(), 0);
    const CEffectGroup& group = *GetPlugInGroup();
    EXPECT_EQ(group.GetManufacturerNames(), "Orvanta");
    EXPECT_EQ(group.GetManufacturerID(), 0x4F72766Eu);
    EXPECT_EQ(group.GetProductNames().rfind("Orvanta Stompset\n", 0), 0u);
    EXPECT_EQ(group.GetVersion(), 106);
    EXPECT_EQ(group.GetGroupOptions(), std::vector<int32_t>{14});

    const auto& types = group.GetTypes();
    ASSERT_EQ(types.size(), 108u);
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const CatalogueEntry& entry = kCatalogue[i];
        SCOPED_TRACE(entry.longName);
        for (int kind = 0; kind < 3; ++kind) { // stereo, mono, offline (2 in, 2 out)
            const CEffectType& type = *types[3 * i + size_t(kind)];
            EXPECT_EQ(type.GetTypeID(), entry.realTimeStereoId + uint32_t(kind));
            EXPECT_EQ(type.GetNames(), entry.TypeNames());
            EXPECT_EQ(std::tuple(type.GetProductID(), type.GetCategory(), type.GetOptionValue()),
                      std::tuple(entry.secondId, entry.category, entry.option));
            EXPECT_EQ(type.IsRealTime(), kind != 2);
            EXPECT_EQ(type.GetInputChannels(), kind == 1 ? 1 : 2);
            EXPECT_EQ(type.GetOutputChannels(), kind == 1 ? 1 : 2);
            EXPECT_EQ(type.GetPageTable(), kind == 1 ? "MonoPageTables" : "StereoPageTables");
            std::set<int32_t> codes(type.GetOptionCodes().begin(), type.GetOptionCodes().end());
            EXPECT_EQ(codes, (kind == 2 ? std::set<int32_t>{48, 55} : std::set<int32_t>{29, 48, 55}));
            std::unique_ptr<CEffectProcess> made = group.CreateProcess(type.GetTypeID(), 48000.0);
            const auto* process = dynamic_cast<const CORVEffectProcess*>(made.get());
            ASSERT_NE(process, nullptr);
            EXPECT_EQ(process->GetAlgorithm()->longName, entry.longName);
            EXPECT_EQ(process->GetAlgorithm()->fourCC, entry.algorithmCode);
        }
    }
    EXPECT_EQ(group.CreateProcess(FourCC("XXXX"), 48000.0), nullptr);
}
