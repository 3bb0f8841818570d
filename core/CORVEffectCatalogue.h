#pragma once
#include "dsp/CORVDSPAlgInterface.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Host plug-in categories, as bits.
enum EffectCategory : uint32_t {
    kCategoryNone = 0x0,
    kCategoryEQ = 0x1,
    kCategoryDynamics = 0x2,
    kCategoryPitchShift = 0x4,
    kCategoryReverb = 0x8,
    kCategoryDelay = 0x10,
    kCategoryModulation = 0x20,
    kCategoryHarmonic = 0x40,
    kCategorySoundField = 0x200,
};

using AlgorithmFactory = std::unique_ptr<CORVDSPAlgInterface> (*)(double sampleRate, uint32_t maxFrames);

// One effect of the suite.  The mono and offline type identifiers follow the
// real-time stereo one (plus 1 and plus 2); create is null while the effect's
// algorithm is not available.
struct CatalogueEntry {
    int32_t effectId;
    const char* longName;
    const char* shortName;
    uint32_t realTimeStereoId;
    uint32_t secondId;
    uint32_t category;
    int32_t option;
    AlgorithmFactory create;
    uint32_t algorithmCode;

    uint32_t RealTimeMonoId() const { return realTimeStereoId + 1; }
    uint32_t OfflineId() const { return realTimeStereoId + 2; }
    // The type name the host shows: long name, "\n", short name.
    std::string TypeNames() const { return std::string(longName) + "\n" + shortName; }
};

constexpr size_t kEffectCount = 36;

// Every effect, in the order the group declares them to the host.
extern const std::array<CatalogueEntry, kEffectCount> kCatalogue;

// The entry of an effect identifier (a multiple of 5 from 5 to 180); null
// for any other number.
const CatalogueEntry* FindCatalogueEntry(int32_t effectId);

// A new algorithm for the effect; null when it is unknown or not available.
std::unique_ptr<CORVDSPAlgInterface> CreateAlgorithm(int32_t effectId, double sampleRate, uint32_t maxFrames);
