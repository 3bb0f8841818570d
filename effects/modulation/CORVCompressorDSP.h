#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/DynamicsBlocks.h"

// "CM - Compressor": above the threshold the gain follows the level down by
// the ratio, taken from a peak detector of the positive half-waves of both
// channels; one gain drives both.  At the top of the "Ratio" range it limits.
class CORVCompressorDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kThresholdLevel = 2,
        kAttackTime = 3,
        kReleaseTime = 4,
        kRatio = 5,
        kAutoGain = 6,
    };

    CORVCompressorDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;
    float Read(ReadingKind kind) const override;

    // True while the applied gain, make-up included, is below the indicator
    // level at the end of the last block: the panel's reduction lamp.
    bool GainReduced() const { return gainReduced; }
    float Envelope() const { return envelope; }
    float Gain() const { return glide.gain; }
    float MakeUpGain() const { return makeUpGain; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    float detectorDecay = 1.0f;
    float envelope = 0.0f;
    GainGlide glide;
    float inverseThreshold = 1.0f;
    float exponent = 0.0f;
    float makeUpGain = 1.0f;
    bool autoGain = false;
    bool gainReduced = false;
};
