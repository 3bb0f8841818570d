#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/CLfo.h"

// "TR - Tremolo": the LFO swings the level of both channels together.
class CORVTremoloDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kTempo = 2,
        kWaveShape = 3,
        kDepth = 4,
        kSyncCoeff = 5,
        kTap = 6,
    };

    explicit CORVTremoloDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const CLfo& Lfo() const { return lfo; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    CLfo lfo;
    float gainOffset = 1.0f;
    float gainDepth = 0.0f;
};
