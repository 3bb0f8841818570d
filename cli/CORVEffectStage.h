#pragma once
#include "cli/EffectSpec.h"
#include "core/CORVEffectCatalogue.h"
#include "core/CORVEffectProcessAS.h"

#include <cstdint>
#include <memory>

// How every stage of a chain runs: the host tempo it follows and the longest
// slice the offline adapter processes at once.
struct StageSettings {
    double tempo;
    int32_t sliceFrames;
};

// One effect of a render chain: an offline instance set up from an effect
// argument, processing the file's audio in place chunk after chunk, and the
// loudest input and output peak it has seen.
//
// Every setting goes through the instance's SetControlValue, exactly as a
// host's control change would, so a render sounds like the plug-in in a host.
class CORVEffectStage {
public:
    CORVEffectStage(const EffectSpec& request, double sampleRate, const StageSettings& settings);
    CORVEffectStage(const CORVEffectStage&) = delete;
    CORVEffectStage& operator=(const CORVEffectStage&) = delete;

    // channels holds channelCount (1 or 2) pointers; a mono signal runs
    // through the effect as its first channel.
    void Process(float* const* channels, int32_t channelCount, int32_t frames);

    // Sets parameter index to a plain value in its unit, as a host control
    // change would.
    void SetPlainValue(int32_t index, float plain);

    const CatalogueEntry& Entry() const { return *entry_; }
    const CORVDSPAlgInterface& Algorithm() const { return *instance_->GetAlgorithm(); }
    CORVEffectProcessAS& Instance() { return *instance_; }

    // The loudest slice peaks so far, in dBFS; minus infinity before any
    // sound.
    double InputPeakDb() const { return MeterToDb(inputPeakMeter_); }
    double OutputPeakDb() const { return MeterToDb(outputPeakMeter_); }

    // How many samples so far were NaN or infinite, going in and coming out:
    // a peak alone cannot show them (a NaN compares as nothing).
    int64_t InputNonFinite() const { return inputNonFinite_; }
    int64_t OutputNonFinite() const { return outputNonFinite_; }

    // A value of the instance's meter scale, (20 log10(peak) + 60) / 60, in dBFS.
    static double MeterToDb(float meter);

private:
    void ApplyPreset(const std::string& name);
    void ApplySetting(const ParameterSetting& setting);
    void TakeSlicePeaks();

    const CatalogueEntry* entry_;
    std::unique_ptr<CORVEffectProcessAS> instance_;
    int32_t channelCount_ = 2;
    float inputPeakMeter_;
    float outputPeakMeter_;
    int64_t inputNonFinite_ = 0;
    int64_t outputNonFinite_ = 0;
};
