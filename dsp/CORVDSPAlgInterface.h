#pragma once
#include "dsp/CORVDSPParameter.h"
#include "dsp/CORVDSPPreset.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One row of an algorithm's parameter table, written as data in the effect's
// source.  texts holds the unit text, the two texts of a two-sided scale, or
// the entries of a list.
struct ParameterSpec {
    int32_t index;
    const char* name;
    std::vector<std::string> texts;
    float minValue;
    float maxValue;
    float step;
    float defaultValue;
    ScaleType scale;
};

// One factory preset: plain values in ascending parameter index order.
struct PresetSpec {
    const char* name;
    std::vector<float> values;
};

// The base of every effect algorithm: the parameter and preset tables, the
// bypass flag, sample rate and tempo, the flags that ask for new coefficients,
// the tap-tempo state, and the common block frame every effect runs through.
//
// Parameter setters run on the control thread and only store values and raise
// parametersChanged; Process reads the flags at the start of the next block,
// so coefficients only ever change at block boundaries.
class CORVDSPAlgInterface {
public:
    CORVDSPAlgInterface(double sampleRate, uint32_t maxFrames);
    virtual ~CORVDSPAlgInterface();
    CORVDSPAlgInterface(const CORVDSPAlgInterface&) = delete;
    CORVDSPAlgInterface& operator=(const CORVDSPAlgInterface&) = delete;

    virtual void SetTapState(float state);
    virtual float GetTapState() const;

    // The common frame: clears and measures the peaks, copies the input when
    // bypassed, otherwise brings the coefficients up to date and runs the
    // effect's own ProcessBlock.  inputs/outputs hold two channel pointers
    // (equal for a mono instance) and may alias each other.
    virtual void Process(const float* const* inputs, float* const* outputs, float* inputPeaks,
                         float* outputPeaks, int32_t frameCount);
    virtual void UpdateParameters(bool reinitialise) = 0;
    virtual void Reset() = 0;
    virtual DisplayText OnParameterChange(int32_t index, float normValue) = 0;

    CORVDSPParameter* GetParameter(int32_t index) const;
    CORVDSPParameter* FindParameter(std::string_view name, int32_t* index = nullptr) const;
    void AddParameter(int32_t index, std::unique_ptr<CORVDSPParameter> parameter);
    void AddPreset(int32_t index, std::unique_ptr<CORVDSPPreset> preset);
    void ApplyPreset(const std::string& name);
    void ApplyPresetByIndex(int32_t index);

    // The value of parameter index in plain units (0 when there is none).
    float Value(int32_t index) const;

    uint32_t fourCC;
    uint32_t maxFrames;
    double sampleRate;
    bool bypassed = false;
    const CORVDSPPreset* currentPreset = nullptr;
    double tempo = 120.0;
    bool parametersChanged = false;
    bool needsReinit = false;
    std::string longName = "Orvanta Audio Plug-In";
    std::string shortName = "DSP";
    float tapState = 0.0f;
    uint32_t tapTime = 0;
    const float* inputPeaks = nullptr;
    const float* outputPeaks = nullptr;
    std::map<int32_t, std::unique_ptr<CORVDSPParameter>> parameters;
    std::map<int32_t, std::unique_ptr<CORVDSPPreset>> presets;

protected:
    // Publishes the rows of a parameter table and a factory preset table
    // (presets under 0, 1, 2, ... with "Default" first).
    void AddParameters(const std::vector<ParameterSpec>& table);
    void AddPresets(const std::vector<PresetSpec>& table);

    // The effect's own per-sample work on an up-to-date coefficient set.  It
    // must read both channels of a sample before writing either output, so
    // that in-place and mono (aliased) buffers are handled correctly.
    virtual void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) = 0;

    // Whether this block must bring the coefficients up to date.  A changed
    // parameter always asks for it; an effect that moves a value over several
    // blocks keeps asking until it arrives.
    virtual bool WantsUpdate() const { return parametersChanged; }

    // What a bypassed block does: a plain copy, with the output peaks equal to
    // the input peaks.  The BPM delay replaces it by its hold mode.
    virtual void ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks,
                                 float* outputPeaks, int32_t frameCount);
};

// Largest absolute sample of each of the two channels, written into peaks.
void MeasurePeaks(const float* const* channels, float* peaks, int32_t frameCount);
