#pragma once
#include "effects/common/BiquadKernel.h"

#include <cstdint>

// The band limit in front of the tuner's estimators: a second-order
// Butterworth high-pass at the lowest frequency searched removes rumble and
// offset, two second-order Butterworth low-passes at the highest frequency
// searched take away the upper partials that would otherwise dominate the
// lag domain.  The frames of the tuner are contiguous in time, so the state
// runs on from one frame into the next and no frame starts with a transient.
class CPitchPreFilter {
public:
    explicit CPitchPreFilter(int32_t sampleRate);

    // Filters count samples in place.  New limits redesign the sections.
    void Run(float* frame, int32_t count, float lowestHz, float highestHz);
    void Reset();

private:
    void Design(float lowestHz, float highestHz);

    double sampleRate;
    float designedLowest = 0.0f;
    float designedHighest = 0.0f;
    BiquadCoefs highPass;
    BiquadCoefs lowPass;
    BiquadState highPassState;
    BiquadState lowPassStates[2];
};
