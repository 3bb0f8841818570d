#pragma once
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"
#include "effects/drive/SpeakerModels.h"

#include <array>
#include <complex>
#include <cstdint>
#include <span>

// One channel of a cabinet simulator: a model's sections run in series, the
// horn's (if the model has one) on the woofer's output, mixed back onto it.
//
// Every slot runs on every sample, designed or not: a fixed trip count keeps
// the loop free of branches and its cost the same for every model.
class SpeakerStage {
public:
    static constexpr size_t kMaxSlots = kWooferSlots + kHornSlots;
    // Horn level against the woofer it is fed from.
    static constexpr float kHornMix = 1.4f;

    // A stage over the given models with room for `slots` sections (the
    // woofer's alone, or woofer and horn).  It starts at 48 kHz with model 1.
    SpeakerStage(std::span<const SpeakerModel> models, size_t slots);

    // A new rate redesigns the current model and keeps the state, so a rate
    // change does not click.
    void SetSampleRate(float sampleRate);
    // A different model clears the state, which belongs to the old filters;
    // the same one again changes nothing.  An index one past the last model
    // makes the stage flat.
    void SetModel(int32_t index);
    void SetVolumeGain(float gain) { volumeGain = gain; }
    // Forgets the signal; the design stays.
    void ClearState() { states = {}; }

    // Both channels of a sample at once: their cascades are independent, so
    // running them side by side lets one section's arithmetic fill the
    // other's wait on its own previous result.
    template <bool withHorn>
    static void ProcessPair(SpeakerStage& left, SpeakerStage& right, float& l, float& r);

    int32_t Model() const { return model; }
    bool HasHorn() const { return hasHorn; }
    float SampleRate() const { return sampleRate; }
    float VolumeGain() const { return volumeGain; }
    std::span<const BiquadCoefs> Coefs() const { return std::span(coefs).first(slots); }
    std::span<const BiquadState> States() const { return std::span(states).first(slots); }

private:
    void Design();

    static constexpr float kStartRate = 48000.0f;
    static constexpr int32_t kStartModel = 1;
    // Exact zeros enter as a tiny constant: the high-pass sections then
    // settle the cascade's response to it instead of leaving the state to
    // decay through subnormals.
    static constexpr float kSilenceInput = 1e-8f;

    std::span<const SpeakerModel> models;
    size_t slots;
    float sampleRate = kStartRate;
    int32_t model;
    bool hasHorn = false;
    float volumeGain = 0.0f;
    std::array<BiquadCoefs, kMaxSlots> coefs{};
    std::array<BiquadState, kMaxSlots> states{};
};

// Brings both channels' stages to the rate, the model (the "Speaker Type"
// value, truncated) and the volume in dB of the controls.
void UpdateStages(std::array<SpeakerStage, 2>& stages, double sampleRate, float speakerType, float volumeDb);

// Runs both channels' stages over a block; the horn is chosen once per block.
template <bool withHorn>
void ProcessStages(std::array<SpeakerStage, 2>& stages, const float* const* inputs, float* const* outputs,
                   int32_t frameCount)
{
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        SpeakerStage::ProcessPair<withHorn>(stages[0], stages[1], left, right);
        return StereoFrame{left, right};
    });
}

// The stage's complex response at a frequency, volume and horn included;
// for analysis and plots, never the audio path.
std::complex<double> SpeakerResponse(const SpeakerStage& stage, double frequency);

template <bool withHorn>
inline void SpeakerStage::ProcessPair(SpeakerStage& left, SpeakerStage& right, float& l, float& r)
{
    float wl = l == 0.0f ? kSilenceInput : l;
    float wr = r == 0.0f ? kSilenceInput : r;
    for (size_t k = 0; k < kWooferSlots; ++k) {
        wl = ProcessBiquad(left.coefs[k], left.states[k], wl);
        wr = ProcessBiquad(right.coefs[k], right.states[k], wr);
    }
    if constexpr (withHorn) {
        float hl = wl;
        float hr = wr;
        for (size_t k = kWooferSlots; k < kMaxSlots; ++k) {
            hl = ProcessBiquad(left.coefs[k], left.states[k], hl);
            hr = ProcessBiquad(right.coefs[k], right.states[k], hr);
        }
        wl += kHornMix * hl;
        wr += kHornMix * hr;
    }
    l = left.volumeGain * wl;
    r = right.volumeGain * wr;
}
