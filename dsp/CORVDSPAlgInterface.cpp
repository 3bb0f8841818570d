#include "dsp/CORVDSPAlgInterface.h"

#include "dsp/FourCC.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

CORVDSPAlgInterface::CORVDSPAlgInterface(double sampleRate_, uint32_t maxFrames_)
    : fourCC(FourCC("orv1")), maxFrames(maxFrames_), sampleRate(sampleRate_)
{
}

CORVDSPAlgInterface::~CORVDSPAlgInterface() = default;

void CORVDSPAlgInterface::SetTapState(float state) { tapState = state; }

float CORVDSPAlgInterface::GetTapState() const { return tapState; }

CORVDSPParameter* CORVDSPAlgInterface::GetParameter(int32_t index) const
{
    const auto found = parameters.find(index);
    return found == parameters.end() ? nullptr : found->second.get();
}

CORVDSPParameter* CORVDSPAlgInterface::FindParameter(std::string_view name, int32_t* index) const
{
    for (const auto& [i, parameter] : parameters) {
        if (parameter->name == name) {
            if (index)
                *index = i;
            return parameter.get();
        }
    }
    return nullptr;
}

CORVDSPParameter* CORVDSPAlgInterface::FindRole(ParameterRole role, int32_t* index) const
{
    for (const auto& [i, parameter] : parameters) {
        if (parameter->role == role) {
            if (index)
                *index = i;
            return parameter.get();
        }
    }
    return nullptr;
}

bool CORVDSPAlgInterface::Offers(ReadingKind kind) const
{
    return std::any_of(readings.begin(), readings.end(), [kind](const ReadingSpec& r) { return r.kind == kind; });
}

float CORVDSPAlgInterface::Read(ReadingKind) const { return 0.0f; }

void CORVDSPAlgInterface::Prepare(uint32_t maxBlockFrames)
{
    if (maxBlockFrames > 0 && maxBlockFrames != maxFrames) {
        maxFrames = maxBlockFrames;
        needsReinit = true;
    }
    if (needsReinit)
        UpdateParameters(true);
    needsReinit = false;
}

float CORVDSPAlgInterface::Value(int32_t index) const
{
    const CORVDSPParameter* parameter = GetParameter(index);
    return parameter ? parameter->value : 0.0f;
}

void CORVDSPAlgInterface::AddParameter(int32_t index, std::unique_ptr<CORVDSPParameter> parameter)
{
    parameters.try_emplace(index, std::move(parameter));
}

void CORVDSPAlgInterface::AddPreset(int32_t index, std::unique_ptr<CORVDSPPreset> preset)
{
    presets.try_emplace(index, std::move(preset));
}

void CORVDSPAlgInterface::AddParameters(const std::vector<ParameterSpec>& table)
{
    for (const ParameterSpec& row : table) {
        auto parameter = std::make_unique<CORVDSPParameter>(this, row.name, row.texts, row.minValue, row.maxValue,
                                                            row.step, row.defaultValue, row.scale);
        parameter->role = row.role;
        AddParameter(row.index, std::move(parameter));
    }
}

void CORVDSPAlgInterface::AddPresets(const std::vector<PresetSpec>& table)
{
    int32_t index = 0;
    for (const PresetSpec& row : table)
        AddPreset(index++, std::make_unique<CORVDSPPreset>(CORVDSPPreset{row.name, row.values, 1}));
}

namespace {

void ApplyPresetValues(CORVDSPAlgInterface& algorithm, const CORVDSPPreset& preset)
{
    // A preset written for another parameter set is never half-applied.
    if (preset.values.size() != algorithm.parameters.size())
        return;
    auto value = preset.values.begin();
    for (auto& entry : algorithm.parameters)
        entry.second->SetValue(*value++);
    algorithm.currentPreset = &preset;
}

} // namespace

void CORVDSPAlgInterface::ApplyPreset(const std::string& name)
{
    for (const auto& entry : presets) {
        if (entry.second->name == name) {
            ApplyPresetValues(*this, *entry.second);
            return;
        }
    }
}

std::vector<float> CORVDSPAlgInterface::CurrentValues() const
{
    std::vector<float> values;
    for (const auto& [index, parameter] : parameters)
        values.push_back(parameter->value);
    return values;
}

void CORVDSPAlgInterface::ApplyPresetByIndex(int32_t index)
{
    const auto found = presets.find(index);
    if (found != presets.end())
        ApplyPresetValues(*this, *found->second);
}

void MeasurePeaks(const float* const* channels, float* peaks, int32_t frameCount)
{
    // For non-negative floats the bit patterns order like the values, so the
    // peak search runs on integers, which the compiler vectorises freely.
    for (int channel = 0; channel < 2; ++channel) {
        const float* samples = channels[channel];
        uint32_t largest = 0;
        for (int32_t i = 0; i < frameCount; ++i) {
            uint32_t bits;
            std::memcpy(&bits, &samples[i], sizeof bits);
            largest = std::max(largest, bits & 0x7fffffffu);
        }
        std::memcpy(&peaks[channel], &largest, sizeof largest);
    }
}

namespace {

// The peaks are measured on the bit patterns, so a NaN or an infinity
// anywhere in a block shows as a non-finite peak.
bool AllFinite(const float* peaks) { return std::isfinite(peaks[0]) && std::isfinite(peaks[1]); }

} // namespace

void CORVDSPAlgInterface::ProcessBypassed(const float* const* inputs, float* const* outputs,
                                          float* inputPeaks_, float* outputPeaks_, int32_t frameCount)
{
    for (int channel = 0; channel < 2; ++channel) {
        if (outputs[channel] != inputs[channel])
            std::memmove(outputs[channel], inputs[channel], sizeof(float) * size_t(frameCount));
        outputPeaks_[channel] = inputPeaks_[channel];
    }
}

void CORVDSPAlgInterface::ProcessInSlices(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // A host may hand over a longer block than it announced.  The effect's
    // buffers keep their prepared size; the block is cut to fit instead, at
    // no cost to the sound, since processing never depends on where a block
    // ends.
    const int32_t capacity = int32_t(std::min<uint32_t>(std::max<uint32_t>(maxFrames, 1u), INT32_MAX));
    for (int32_t done = 0; done < frameCount; done += capacity) {
        const int32_t frames = std::min(capacity, frameCount - done);
        const float* in[2] = {inputs[0] + done, inputs[1] + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        ProcessBlock(in, out, frames);
    }
}

void CORVDSPAlgInterface::Process(const float* const* inputs, float* const* outputs, float* inputPeaks_,
                                  float* outputPeaks_, int32_t frameCount)
{
    inputPeaks_[0] = inputPeaks_[1] = 0.0f;
    outputPeaks_[0] = outputPeaks_[1] = 0.0f;
    if (frameCount > 0) {
        // Measure before processing: the output may overwrite the input.
        MeasurePeaks(inputs, inputPeaks_, frameCount);
        if (bypassed) {
            ProcessBypassed(inputs, outputs, inputPeaks_, outputPeaks_, frameCount);
        } else {
            if (needsReinit) {
                UpdateParameters(true);
                needsReinit = false;
            }
            if (WantsUpdate())
                UpdateParameters(false);
            ProcessInSlices(inputs, outputs, frameCount);
            MeasurePeaks(outputs, outputPeaks_, frameCount);
            // A NaN or infinity that reached the recursive state would stay
            // there for good; ordinary input never gets here.
            if (!AllFinite(inputPeaks_) || !AllFinite(outputPeaks_))
                Reset();
        }
    }
    inputPeaks = inputPeaks_;
    outputPeaks = outputPeaks_;
}
