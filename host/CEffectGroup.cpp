#include "host/CEffectGroup.h"

int32_t CEffectGroup::Initialize()
{
    if (!initialized_) {
        CreateEffectTypes();
        initialized_ = true;
    }
    return kNoErr;
}

void CEffectGroup::DefineManufacturerNamesAndID(std::string names, uint32_t id)
{
    manufacturerNames_ = std::move(names);
    manufacturerID_ = id;
}

void CEffectGroup::DefineProductNamesAndVersion(std::string names, int32_t version)
{
    productNames_ = std::move(names);
    version_ = version;
}

const CEffectType* CEffectGroup::FindType(uint32_t typeID) const
{
    for (const auto& type : types_)
        if (type->GetTypeID() == typeID)
            return type.get();
    return nullptr;
}

std::unique_ptr<CEffectProcess> CEffectGroup::CreateProcess(uint32_t typeID, double sampleRate) const
{
    const CEffectType* type = FindType(typeID);
    return type ? type->CreateProcess(sampleRate, manufacturerID_) : nullptr;
}
