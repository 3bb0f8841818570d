#pragma once
#include "host/CEffectProcess.h"
#include "host/HostTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One plug-in type the group declares to the host: its identifiers, names,
// category, options, channel layout and the function that makes instances.
class CEffectType {
public:
    using CreateFunction = std::function<std::unique_ptr<CEffectProcess>(const SProcessContext&)>;

    CEffectType(uint32_t typeID, uint32_t productID, uint32_t category);
    virtual ~CEffectType() = default;

    void DefineTypeNames(std::string names) { names_ = std::move(names); }
    void AddOptionCode(int32_t code) { optionCodes_.push_back(code); }
    void SetOptionValue(int32_t value) { optionValue_ = value; }
    void DefinePageTable(std::string resourceName) { pageTable_ = std::move(resourceName); }
    void DefineCreateFunction(CreateFunction create) { create_ = std::move(create); }

    uint32_t GetTypeID() const { return typeID_; }
    uint32_t GetProductID() const { return productID_; }
    uint32_t GetCategory() const { return category_; }
    const std::string& GetNames() const { return names_; }
    const std::vector<int32_t>& GetOptionCodes() const { return optionCodes_; }
    int32_t GetOptionValue() const { return optionValue_; }
    const std::string& GetPageTable() const { return pageTable_; }

    virtual int32_t GetInputChannels() const = 0;
    virtual int32_t GetOutputChannels() const = 0;
    virtual bool IsRealTime() const = 0;

    // Makes and initialises an instance; null when the type has no creation
    // function or the instance could not be made.
    std::unique_ptr<CEffectProcess> CreateProcess(double sampleRate, uint32_t manufacturerID) const;

private:
    uint32_t typeID_;
    uint32_t productID_;
    uint32_t category_;
    std::string names_;
    std::vector<int32_t> optionCodes_;
    int32_t optionValue_ = 0;
    std::string pageTable_;
    CreateFunction create_;
};

// A real-time type; its stem formats give the channel layout.
class CEffectTypeRTAS : public CEffectType {
public:
    using CEffectType::CEffectType;
    static constexpr int32_t kStemFormatOption = 29;

    void DefineStemFormats(StemFormat input, StemFormat output);
    int32_t GetInputChannels() const override { return int32_t(input_); }
    int32_t GetOutputChannels() const override { return int32_t(output_); }
    bool IsRealTime() const override { return true; }

private:
    StemFormat input_ = StemFormat::Stereo;
    StemFormat output_ = StemFormat::Stereo;
};

// An offline type: always two input and two output channels.
class CEffectTypeAS : public CEffectType {
public:
    using CEffectType::CEffectType;
    int32_t GetInputChannels() const override { return 2; }
    int32_t GetOutputChannels() const override { return 2; }
    bool IsRealTime() const override { return false; }
};
