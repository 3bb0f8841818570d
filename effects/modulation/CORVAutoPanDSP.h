#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/CLfo.h"

// "AP - Auto Pan": the LFO moves the signal between the two sides; the two
// gains always add up to 2, so the sum of the sides keeps its level.
class CORVAutoPanDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kWaveShape = 2,
        kTempo = 3,
        kCenter = 4,
        kStereo = 5,
        kSyncCoeff = 6,
        kTap = 7,
    };

    CORVAutoPanDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const CLfo& Lfo() const { return lfo; }

    // false, the mode every instance runs in: both sides pan the mono sum of
    // the input.  true: each side scales its own input channel, so a stereo
    // source keeps its image under the movement.
    bool panMode = false;

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    template <bool kMonoSum>
    void Pan(const float* const* inputs, float* const* outputs, int32_t frameCount);

    CLfo lfo;
    float panOffset = 1.0f;
    float panDepth = 0.0f;
};
