#pragma once
#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectGroup.h"

// The Orvanta Stompset group: its maker and product, and for every effect of
// the catalogue a real-time stereo, a real-time mono and an offline type.
class CORVEffectGroupSpecific : public CORVEffectGroup {
public:
    static constexpr const char* kManufacturerName = "Orvanta";
    static constexpr const char* kProductNames = "Orvanta Stompset\nOrvantaStompset\nOStomp";
    static constexpr int32_t kVersion = 106;
    static constexpr int32_t kGroupOption = 14;
    static constexpr int32_t kTypeOptionCodes[] = {48, 55};

    CORVEffectGroupSpecific();

protected:
    void CreateEffectTypes() override;

private:
    void DeclareEffect(const CatalogueEntry& entry);
};

// The library's entry: makes the group, stores it as the library's one group
// and builds its types.  kErrGroupCreation when the group cannot be made.
int32_t NewPlugIn();
