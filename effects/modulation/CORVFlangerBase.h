#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/CLfo.h"
#include "effects/modulation/BassCrossover.h"
#include "effects/modulation/ModulatedDelayLines.h"

// What the guitar and the bass flanger share: a short delay per channel,
// swept between two ends that "Fx Tune" and "Depth" place inside a fixed
// window, with feedback into the line.  The left channel sweeps with the
// rounded arc and the right with the triangle; their ramps start a quarter
// period apart, which brings the turning points of the two shapes together.
// The sides sweep in step but at different speeds in between, so their comb
// notches part and meet again and the image stays wide.
class CORVFlangerBase : public CORVParRelations {
public:
    enum SharedParameterIndex : int32_t {
        kFxTune = 2,
        kRate = 3,
        kDepth = 4,
        kRegeneration = 5,
    };

    // Clears the lines; the sweeps run on where they were.
    void Reset() override;

    // The geometry in samples and the current coefficients.
    int32_t LineLength() const { return lines.cursor.length; }
    int32_t MaxDelay() const { return maxDelay; }
    int32_t MinDelay() const { return minDelay; }
    int32_t LongDelay() const { return longDelay; }
    int32_t ShortDelay() const { return shortDelay; }
    int32_t Centre() const { return centre; }
    float SweepDepth() const { return sweepDepth; }
    float Feedback() const { return feedback; }
    float WetGain() const { return wetGain; }
    float DryGain() const { return dryGain; }
    const SweepSpeed& Speed() const { return speed; }
    const CLfo& LeftLfo() const { return leftLfo; }
    const CLfo& RightLfo() const { return rightLfo; }
    const ModulatedDelayLines& Lines() const { return lines; }

protected:
    // Publishes the parameters both flangers have; "Sync coeff" and "Tap"
    // sit at the given indices, after whatever the variant adds.
    CORVFlangerBase(double sampleRate, uint32_t maxFrames, int32_t syncCoeffIndex, int32_t tapIndex);

    // The shared part of UpdateParameters.
    void UpdateFlanger(bool reinitialise);

    // The per-sample loop; split gives each input's low band, which passes
    // dry, and its high band, which is flanged.
    template <class Split>
    void Sweep(const float* const* inputs, float* const* outputs, int32_t frameCount, Split& split);

private:
    void PlaceSweep(float fxTune, float depthPercent);

    const int32_t syncCoeffIndex;
    ModulatedDelayLines lines;
    float sweepDepth = 0.0f;
    int32_t centre = 0;
    int32_t maxDelay = 0;
    int32_t minDelay = 0;
    int32_t longDelay = 0;
    int32_t shortDelay = 0;
    SweepSpeed speed;
    CLfo leftLfo{1.0f, -1};
    CLfo rightLfo{0.0f, 1};
    float wetGain = 0.0f;
    float dryGain = 1.0f;
    float feedback = 0.0f;
};
