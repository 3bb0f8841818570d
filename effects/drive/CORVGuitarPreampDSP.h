#pragma once
#include "dsp/CORVParRelations.h"

// What the three guitar preamps share: a gain knob, a tone knob and an
// output knob, and two channel stages that carry the whole chain of one
// channel each.  The stages are rebuilt, and so cleared, only on
// reinitialisation; knob changes reach them without touching their state.
class CORVGuitarPreampDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kGainKnob = 2,
        kToneKnob = 3,
        kOutputKnob = 4,
    };

    void UpdateParameters(bool reinitialise) final;
    // Clears both stages' signal state and keeps their design.
    void Reset() final;

protected:
    using CORVParRelations::CORVParRelations;

    // The output knob: −40 dB at 0 % to +20 dB at 100 %.
    static float OutputGain(float percent);

    // Fresh stages for both channels, designed for the current sample rate.
    virtual void RebuildStages() = 0;
    // The three knobs' plain values, handed to both stages.
    virtual void ApplyKnobs(float gain, float tone, float output) = 0;
    virtual void ClearStages() = 0;
};
