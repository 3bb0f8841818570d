#pragma once
#include "dsp/CORVParRelations.h"

// The control relations of the BPM delay, whose parameter indices are fixed:
// with "Decay" at its maximum the delay holds what it has sampled, and the foot
// switch then steps through the hold modes instead of bypassing.
class CORVBPMParRelations : public CORVParRelations {
public:
    enum Index : int32_t {
        kEffectLevel = 2,
        kTempo = 3,
        kDecay = 4,
        kStereo = 5,
        kMode = 6,
        kSyncCoeff = 7,
        kTap = 8,
    };

    CORVBPMParRelations(double sampleRate, uint32_t maxFrames);

    DisplayText OnParameterChange(int32_t index, float normValue) override;

    // The delay's hold state, 0 (off) to 3; setting it bypasses in mode 1.
    virtual int32_t GetHoldMode() const = 0;
    virtual void SetHoldMode(float mode) = 0;
};
