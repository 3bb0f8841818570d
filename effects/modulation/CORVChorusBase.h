#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/CLfo.h"
#include "effects/modulation/BassCrossover.h"
#include "effects/modulation/ModulatedDelayLines.h"

// What the guitar and the bass chorus share: one delay line per channel,
// read at a position swept around a fixed centre and mixed with the dry
// signal.  Both channels follow one oscillator at different depths, so
// "Stereo" widens the image without the channels drifting apart in phase.
class CORVChorusBase : public CORVParRelations {
public:
    enum SharedParameterIndex : int32_t {
        kMix = 2,
        kRate = 3,
        kDepth = 4,
        kStereo = 5,
    };

    // Clears the lines; the sweep runs on where it was.
    void Reset() override;

    // The geometry in samples and the current coefficients.
    int32_t LineLength() const { return lines.cursor.length; }
    int32_t BaseDelay() const { return baseDelay; }
    int32_t MaxDepth() const { return maxDepth; }
    float LeftDepth() const { return leftDepth; }
    float RightDepth() const { return rightDepth; }
    float WetGain() const { return wetGain; }
    float DryGain() const { return dryGain; }
    const SweepSpeed& Speed() const { return speed; }
    const CLfo& Lfo() const { return lfo; }
    const ModulatedDelayLines& Lines() const { return lines; }

protected:
    // Publishes the parameters both choruses have; "Sync coeff" and "Tap"
    // sit at the given indices, after whatever the variant adds.
    CORVChorusBase(double sampleRate, uint32_t maxFrames, int32_t syncCoeffIndex, int32_t tapIndex);

    // The shared part of UpdateParameters.
    void UpdateChorus(bool reinitialise);

    // The per-sample loop; split gives each input's low band, which passes
    // dry, and its high band, which is chorused.
    template <class Split>
    void Sweep(const float* const* inputs, float* const* outputs, int32_t frameCount, Split& split);

private:
    const int32_t syncCoeffIndex;
    ModulatedDelayLines lines;
    int32_t maxDepth = 0;
    int32_t baseDelay = 0;
    SweepSpeed speed;
    CLfo lfo{1.0f, 1};
    float leftDepth = 0.0f;
    float rightDepth = 0.0f;
    float wetGain = 0.0f;
    float dryGain = 1.0f;
};
