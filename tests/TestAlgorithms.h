#pragma once
#include "dsp/CORVBPMParRelations.h"
#include "dsp/CORVParRelations.h"
#include "dsp/SyncCoeff.h"

#include <algorithm>
#include <cstdint>

namespace testing_support {

// A minimal tempo-synced algorithm: a gain with tempo, sync and tap, enough
// to exercise the control relations without a real effect.
class TempoTestAlgorithm : public CORVParRelations {
public:
    enum Index : int32_t { kTempo = 2, kSyncCoeff = 3, kTap = 4, kGain = 5 };

    explicit TempoTestAlgorithm(bool rateInHertz = false, double sampleRate = 48000.0)
        : CORVParRelations(sampleRate, 256)
    {
        AddPresets({{"Default", {300, 0, 0, 1}}, {"Slow", {60, 0, 0, 0.5f}}, {"Short", {60, 0, 0}}});
        AddParameters({
            {kTempo, rateInHertz ? "Rate" : "Tempo", {rateInHertz ? "Hz" : "BPM"}, 1, 700, 1, 300, ScaleLinear,
             rateInHertz ? ParameterRole::Rate : ParameterRole::Tempo},
            {kSyncCoeff, "Sync coeff", SyncCoeffEntries(), 0, 8, 1, 0, ScaleList, ParameterRole::SyncCoeff},
            {kTap, "Tap", TapEntries(), 0, 1, 1, 0, ScaleList, ParameterRole::Tap},
            {kGain, "Gain", {"x"}, 0, 2, 0.1f, 1, ScaleLinear},
        });
        ApplyPreset("Default");
        UpdateParameters(true);
    }

    void UpdateParameters(bool reinitialise) override
    {
        if (reinitialise)
            ++reinitialisations;
        ++updates;
        gain = Value(kGain);
        parametersChanged = false;
        needsReinit = false;
    }
    void Reset() override {}

    int updates = 0;
    int reinitialisations = 0;
    float gain = 1.0f;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frames) override
    {
        for (int32_t i = 0; i < frames; ++i) {
            const float left = inputs[0][i];
            const float right = inputs[1][i];
            outputs[0][i] = left * gain;
            outputs[1][i] = right * gain;
        }
    }
};

// The control layout of the BPM delay with a bare hold state, for the
// relations of the foot switch, decay and tap.
class HoldTestAlgorithm : public CORVBPMParRelations {
public:
    explicit HoldTestAlgorithm(double sampleRate = 48000.0) : CORVBPMParRelations(sampleRate, 256)
    {
        AddPresets({{"Default", {50, 120, 50, 50, 0, 0, 0}}});
        AddParameters({
            {kEffectLevel, "Effect Level", {"%"}, 0, 100, 1, 50, ScaleLinear},
            {kTempo, "Tempo", {"BPM"}, 40, 1200, 1, 120, ScaleLinear, ParameterRole::Tempo},
            {kDecay, "Decay", {"%"}, 0, 100, 1, 50, ScaleLinear},
            {kStereo, "Stereo", {"%"}, 0, 100, 1, 50, ScaleLinear},
            {kMode, "Mode", std::vector<std::string>{"Odd", "Even"}, 0, 1, 1, 0, ScaleList},
            {kSyncCoeff, "Sync coeff", SyncCoeffEntries(), 0, 8, 1, 0, ScaleList, ParameterRole::SyncCoeff},
            {kTap, "Tap", TapEntries(), 0, 1, 1, 0, ScaleList, ParameterRole::Tap},
        });
        ApplyPreset("Default");
    }

    int32_t GetHoldMode() const override { return holdMode; }
    void SetHoldMode(float mode) override
    {
        holdMode = int32_t(mode);
        bypassed = (holdMode == 1);
    }
    void UpdateParameters(bool) override { parametersChanged = needsReinit = false; }
    void Reset() override {}

    int32_t holdMode = 0;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frames) override
    {
        for (int32_t i = 0; i < frames; ++i) {
            const float left = inputs[0][i];
            const float right = inputs[1][i];
            outputs[0][i] = left;
            outputs[1][i] = right;
        }
    }
};

} // namespace testing_support
