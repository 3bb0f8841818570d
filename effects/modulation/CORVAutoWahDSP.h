#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/CLfo.h"
#include "effects/common/TransitionGuard.h"
#include "effects/modulation/WahBandFilter.h"

#include <array>

// "AW - Auto Wah": an LFO swings the band filter's centre around the
// "Center" frequency, and an input-level gate decides when it may: in mode
// "B" the swing opens while the input is louder than "Sensitivity", in mode
// "A" while it is quieter, so that a held note either starts or stops the
// wah.
class CORVAutoWahDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kSensitivity = 2,
        kRate = 3,
        kDepth = 4,
        kCenter = 5,
        kMode = 6,
        kSyncCoeff = 7,
        kTap = 8,
    };

    CORVAutoWahDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    float GateValue() const { return gate.value; }
    float Envelope() const { return gate.envelope; }
    float ThresholdPower() const { return gate.threshold; }
    float LowerFrequency() const { return lowerFrequency; }
    float UpperFrequency() const { return upperFrequency; }
    float Swing() const { return swing; }
    const SweepSpeed& LfoSpeed() const { return speed; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    // The smoothed input power and the gate it drives: the gate value glides
    // toward 1 while the power is above the threshold and toward (almost) 0
    // below it, faster when opening than when closing.
    struct LevelGate {
        float envelopeCoefficient = 0.0f;
        float envelopeKeep = 1.0f;
        float envelope = 0.0f;
        float coefficient = 0.0f;
        float keep = 1.0f;
        float value = 0.0f;
        float attack = 0.0f;
        float release = 0.0f;
        float previousTarget = 0.0f;
        float threshold = 0.0f;
        float Step(float power);
    };

    CLfo lfo{1.0f, -1};
    SweepSpeed speed;
    LevelGate gate;
    using Guard = TransitionGuard<std::array<WahChannel, 2>>;
    std::array<WahChannel, 2> channels;
    Guard guard;
    bool modeB = false;
    float filterGain = kWahFilterGain;
    float dryGain = 0.0f;
    float lowerFrequency = 0.0f;
    float upperFrequency = 0.0f;
    float swing = 0.0f;
    float bandwidthFactor = 0.0f;
    float angleFactor = 0.0f;
};
