#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectGroupSpecific.h"
#include "dsp/FourCC.h"
#include "host/PlugInLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

TEST(Catalogue, ThirtySixEffectsWithDistinctIdentifiers)
{
    std::set<int32_t> ids;
    std::set<uint32_t> typeIds;
    for (const CatalogueEntry& entry : kCatalogue) {
        EXPECT_EQ(entry.effectId % 5, 0);
        EXPECT_GE(entry.effectId, 5);
        EXPECT_LE(entry.effectId, 180);
        ids.insert(entry.effectId);
        typeIds.insert(entry.realTimeStereoId);
        typeIds.insert(entry.RealTimeMonoId());
        typeIds.insert(entry.OfflineId());
        EXPECT_EQ(std::string(entry.longName).rfind(std::string(entry.shortName) + " - ", 0), 0u)
            << entry.longName;
    }
    EXPECT_EQ(ids.size(), 36u);
    EXPECT_EQ(typeIds.size(), 108u);
    EXPECT_EQ(kCatalogue.front().effectId, 5);
    EXPECT_EQ(kCatalogue.back().effectId, 125);
}

TEST(Catalogue, IdentifiersThatBreakThePattern)
{
    const CatalogueEntry* flanger = FindCatalogueEntry(70);
    ASSERT_NE(flanger, nullptr);
    EXPECT_EQ(flanger->realTimeStereoId, FourCC("FLBR"));
    EXPECT_EQ(flanger->RealTimeMonoId(), FourCC("FLBS"));
    EXPECT_EQ(flanger->OfflineId(), FourCC("FLBT"));
    EXPECT_EQ(FindCatalogueEntry(95)->realTimeStereoId, FourCC("CHBT"));
    const CatalogueEntry* powerAmp = FindCatalogueEntry(125);
    EXPECT_EQ(powerAmp->realTimeStereoId, FourCC("PART"));
    EXPECT_EQ(powerAmp->RealTimeMonoId(), FourCC("PARU"));
    EXPECT_EQ(powerAmp->OfflineId(), FourCC("PARV"));
    EXPECT_EQ(powerAmp->TypeNames(), "PAG - Guitar Power Amp\nPAG");
}

TEST(Catalogue, RowsCarryCategoryOptionAndAlgorithmCode)
{
    const CatalogueEntry* overdrive = FindCatalogueEntry(110);
    EXPECT_STREQ(overdrive->longName, "OD - Overdrive");
    EXPECT_EQ(overdrive->category, 0x40u);
    EXPECT_EQ(overdrive->option, 2);
    EXPECT_EQ(overdrive->algorithmCode, FourCC("odu1"));
    EXPECT_EQ(FindCatalogueEntry(5)->category, 0x200u);
    EXPECT_EQ(FindCatalogueEntry(120)->category, 0x4u);
    EXPECT_EQ(FindCatalogueEntry(10)->category, 0x0u);
    EXPECT_EQ(FindCatalogueEntry(155)->secondId, FourCC("RVSd"));
}

TEST(Catalogue, UnknownIdentifiersFindNothing)
{
    EXPECT_EQ(FindCatalogueEntry(0), nullptr);
    EXPECT_EQ(FindCatalogueEntry(7), nullptr);
    EXPECT_EQ(FindCatalogueEntry(185), nullptr);
    EXPECT_EQ(FindCatalogueEntry(-5), nullptr);
    EXPECT_EQ(CreateAlgorithm(7, 48000.0, 256), nullptr);
}

TEST(Catalogue, AlgorithmsCarryTheirRowsNamesAndCodes)
{
    for (const CatalogueEntry& entry : kCatalogue) {
        std::unique_ptr<CORVDSPAlgInterface> algorithm = CreateAlgorithm(entry.effectId, 44100.0, 256);
        ASSERT_NE(algorithm, nullptr) << entry.longName;
        EXPECT_EQ(algorithm->longName, entry.longName);
        EXPECT_EQ(algorithm->shortName, entry.shortName);
        EXPECT_EQ(algorithm->fourCC, entry.algorithmCode);
        ASSERT_FALSE(algorithm->presets.empty());
        EXPECT_EQ(algorithm->presets.begin()->first, 0);
        EXPECT_EQ(algorithm->presets.begin()->second->name, "Default");
        EXPECT_EQ(algorithm->parameters.begin()->first, 2);
        for (const auto& [index, preset] : algorithm->presets)
            EXPECT_EQ(preset->values.size(), algorithm->parameters.size()) << entry.longName << " " << preset->name;
    }
}

namespace {

// The group as the host sees it after loading the library.
class LoadedGroup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(NewPlugIn(), 0); }
    static const CEffectGroup& Group() { return *GetPlugInGroup(); }
};

} // namespace

TEST_F(LoadedGroup, IdentityOfMakerAndProduct)
{
    EXPECT_EQ(Group().GetManufacturerNames(), "Orvanta");
    EXPECT_EQ(Group().GetManufacturerID(), 0x4F72766Eu);
    EXPECT_EQ(Group().GetProductNames().rfind("Orvanta Stompset\n", 0), 0u);
    const std::string shortForm = Group().GetProductNames().substr(Group().GetProductNames().rfind('\n') + 1);
    EXPECT_LE(shortForm.size(), 7u);
    EXPECT_EQ(Group().GetVersion(), 106);
    EXPECT_EQ(Group().GetGroupOptions(), std::vector<int32_t>{14});
}

TEST_F(LoadedGroup, ThreeTypesPerEffectInCatalogueOrder)
{
    const auto& types = Group().GetTypes();
    ASSERT_EQ(types.size(), 108u);
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const CatalogueEntry& entry = kCatalogue[i];
        const CEffectType& stereo = *types[3 * i];
        const CEffectType& mono = *types[3 * i + 1];
        const CEffectType& offline = *types[3 * i + 2];
        EXPECT_EQ(stereo.GetTypeID(), entry.realTimeStereoId);
        EXPECT_EQ(mono.GetTypeID(), entry.realTimeStereoId + 1);
        EXPECT_EQ(offline.GetTypeID(), entry.realTimeStereoId + 2);
        for (const CEffectType* type : {&stereo, &mono, &offline}) {
            EXPECT_EQ(type->GetNames(), entry.TypeNames());
            EXPECT_EQ(type->GetProductID(), entry.secondId);
            EXPECT_EQ(type->GetCategory(), entry.category);
            EXPECT_EQ(type->GetOptionValue(), entry.option);
            const auto& codes = type->GetOptionCodes();
            EXPECT_NE(std::find(codes.begin(), codes.end(), 48), codes.end());
            EXPECT_NE(std::find(codes.begin(), codes.end(), 55), codes.end());
            EXPECT_EQ(std::find(codes.begin(), codes.end(), 29) != codes.end(), type->IsRealTime());
        }
        EXPECT_EQ(stereo.GetInputChannels(), 2);
        EXPECT_EQ(mono.GetInputChannels(), 1);
        EXPECT_EQ(mono.GetOutputChannels(), 1);
        EXPECT_EQ(offline.GetOutputChannels(), 2);
        EXPECT_FALSE(offline.IsRealTime());
        EXPECT_EQ(stereo.GetPageTable(), "StereoPageTables");
        EXPECT_EQ(mono.GetPageTable(), "MonoPageTables");
        EXPECT_EQ(offline.GetPageTable(), "StereoPageTables");
    }
}

TEST_F(LoadedGroup, CreationFunctionsMakeEveryEffectOfTheCatalogue)
{
    for (const CatalogueEntry& entry : kCatalogue) {
        for (uint32_t id : {entry.realTimeStereoId, entry.RealTimeMonoId(), entry.OfflineId()}) {
            std::unique_ptr<CEffectProcess> process = Group().CreateProcess(id, 48000.0);
            EXPECT_NE(process, nullptr) << entry.longName;
        }
    }
    EXPECT_EQ(Group().CreateProcess(FourCC("XXXX"), 48000.0), nullptr);
}

TEST_F(LoadedGroup, InstanceNumbersTakeTheLowestFreeFromTheRequest)
{
    auto& group = dynamic_cast<CORVEffectGroup&>(*GetPlugInGroup());
    int32_t first = 175;
    int32_t second = 175;
    int32_t third = 175;
    EXPECT_EQ(group.AllocateInstanceNumber(first), 175);
    EXPECT_EQ(group.AllocateInstanceNumber(second), 176);
    EXPECT_EQ(second, 176);
    group.ReleaseInstanceNumber(175);
    EXPECT_EQ(group.AllocateInstanceNumber(third), 175);
    int32_t zero = 0;
    int32_t one = 1;
    EXPECT_EQ(group.AllocateInstanceNumber(zero), 1);
    EXPECT_EQ(group.AllocateInstanceNumber(one), 2);
    for (int32_t number : {175, 176, 1, 2})
        group.ReleaseInstanceNumber(number);
}
