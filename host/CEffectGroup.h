#pragma once
#include "host/CEffectType.h"

#include <memory>
#include <string>
#include <vector>

// The library's one group of plug-in types: who made them, the product, and
// the types themselves, which the subclass declares in CreateEffectTypes.
class CEffectGroup {
public:
    virtual ~CEffectGroup() = default;

    // Builds the types once; the engine calls it after the group is made.
    int32_t Initialize();

    void DefineManufacturerNamesAndID(std::string names, uint32_t id);
    void DefineProductNamesAndVersion(std::string names, int32_t version);
    void AddGroupOption(int32_t code) { groupOptions_.push_back(code); }
    void AddEffectType(std::unique_ptr<CEffectType> type) { types_.push_back(std::move(type)); }

    const std::string& GetManufacturerNames() const { return manufacturerNames_; }
    uint32_t GetManufacturerID() const { return manufacturerID_; }
    const std::string& GetProductNames() const { return productNames_; }
    int32_t GetVersion() const { return version_; }
    const std::vector<int32_t>& GetGroupOptions() const { return groupOptions_; }
    const std::vector<std::unique_ptr<CEffectType>>& GetTypes() const { return types_; }
    const CEffectType* FindType(uint32_t typeID) const;

    // Makes an initialised instance of a declared type; null when unknown.
    std::unique_ptr<CEffectProcess> CreateProcess(uint32_t typeID, double sampleRate) const;

protected:
    virtual void CreateEffectTypes() = 0;

private:
    std::string manufacturerNames_;
    uint32_t manufacturerID_ = 0;
    std::string productNames_;
    int32_t version_ = 0;
    std::vector<int32_t> groupOptions_;
    std::vector<std::unique_ptr<CEffectType>> types_;
    bool initialized_ = false;
};
