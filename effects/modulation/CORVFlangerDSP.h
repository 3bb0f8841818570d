#pragma once
#include "effects/modulation/CORVFlangerBase.h"

// "FL - Flanger": the guitar flanger, flanging the whole band.
class CORVFlangerDSP : public CORVFlangerBase {
public:
    enum ParameterIndex : int32_t {
        kSyncCoeff = 6,
        kTap = 7,
    };

    CORVFlangerDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;
};
