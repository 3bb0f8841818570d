#pragma once
#include "effects/modulation/BassCrossover.h"
#include "effects/modulation/CORVChorusBase.h"

// "CHB - Bass Chorus": the chorus above a first-order crossover; the band
// below it passes dry.
class CORVChorusBassDSP : public CORVChorusBase {
public:
    enum ParameterIndex : int32_t {
        kImpact = 6,
        kSyncCoeff = 7,
        kTap = 8,
    };

    CORVChorusBassDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const BassCrossover& Crossover() const { return crossover; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    BassCrossover crossover;
};
