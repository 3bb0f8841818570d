#include "core/CORVEffectGroupSpecific.h"

#include "core/CORVEffectProcessAS.h"
#include "core/CORVEffectProcessRTAS.h"
#include "dsp/FourCC.h"
#include "host/PlugInLibrary.h"

#include <new>

namespace {

constexpr uint32_t kManufacturerID = FourCC("Orvn");

// An identifier outside the catalogue makes nothing.
template <class Adapter>
std::unique_ptr<CEffectProcess> CreateAdapter(int32_t effectId, const SProcessContext& context)
{
    const CatalogueEntry* entry = FindCatalogueEntry(effectId);
    if (!entry)
        return nullptr;
    return std::unique_ptr<CEffectProcess>(new (std::nothrow) Adapter(effectId, context));
}

} // namespace

CORVEffectGroupSpecific::CORVEffectGroupSpecific()
{
    DefineManufacturerNamesAndID(kManufacturerName, kManufacturerID);
    DefineProductNamesAndVersion(kProductNames, kVersion);
    AddGroupOption(kGroupOption);
}

void CORVEffectGroupSpecific::CreateEffectTypes()
{
    for (const CatalogueEntry& entry : kCatalogue)
        DeclareEffect(entry);
}

void CORVEffectGroupSpecific::DeclareEffect(const CatalogueEntry& entry)
{
    auto stereo = std::make_unique<CEffectTypeRTAS>(entry.realTimeStereoId, entry.secondId, entry.category);
    auto mono = std::make_unique<CEffectTypeRTAS>(entry.RealTimeMonoId(), entry.secondId, entry.category);
    auto offline = std::make_unique<CEffectTypeAS>(entry.OfflineId(), entry.secondId, entry.category);

    stereo->DefineStemFormats(StemFormat::Stereo, StemFormat::Stereo);
    stereo->DefinePageTable("StereoPageTables");
    mono->DefineStemFormats(StemFormat::Mono, StemFormat::Mono);
    mono->DefinePageTable("MonoPageTables");
    offline->DefinePageTable("StereoPageTables");

    const int32_t effectId = entry.effectId;
    auto realTime = [effectId](const SProcessContext& context) {
        return CreateAdapter<CORVEffectProcessRTAS>(effectId, context);
    };
    auto offlineCreate = [effectId](const SProcessContext& context) {
        return CreateAdapter<CORVEffectProcessAS>(effectId, context);
    };

    CEffectType* types[] = {stereo.get(), mono.get(), offline.get()};
    for (CEffectType* type : types) {
        type->SetOptionValue(entry.option);
        for (int32_t code : kTypeOptionCodes)
            type->AddOptionCode(code);
        type->DefineTypeNames(entry.TypeNames());
    }
    stereo->DefineCreateFunction(realTime);
    mono->DefineCreateFunction(realTime);
    offline->DefineCreateFunction(offlineCreate);
    AddEffectType(std::move(stereo));
    AddEffectType(std::move(mono));
    AddEffectType(std::move(offline));
}

int32_t NewPlugIn()
{
    if (CEffectGroup* existing = GetPlugInGroup())
        return existing->Initialize();
    std::unique_ptr<CEffectGroup> group(new (std::nothrow) CORVEffectGroupSpecific);
    if (!group)
        return kErrGroupCreation;
    CEffectGroup* created = group.get();
    InstallPlugInGroup(std::move(group));
    return created->Initialize();
}
