#pragma once
#include "effects/modulation/CORVChorusBase.h"

// "CH - Chorus": the guitar chorus, modulating the whole band.
class CORVChorusDSP : public CORVChorusBase {
public:
    enum ParameterIndex : int32_t {
        kSyncCoeff = 6,
        kTap = 7,
    };

    CORVChorusDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;
};
