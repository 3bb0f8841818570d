#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/DynamicsBlocks.h"

// "EG - Expander Gate": a downward expander.  Below the threshold the gain
// falls as a power of the level ratio, from no expansion ("Ratio" 0) through
// 1:2 (25) to a hard gate (50).  The detector follows the peak of whichever
// channel carries more energy in the block; one gain drives both channels.
class CORVExpanderGateDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kThresholdLevel = 2,
        kAttackTime = 3,
        kReleaseTime = 4,
        kRatio = 5,
    };

    CORVExpanderGateDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;
    float Read(ReadingKind kind) const override;

    // 1 while the gain is below 0.707 (the gate is working), else 0; 0 while
    // bypassed.  Read by the panel's lamp.
    int32_t GateActive() const { return gateActive; }
    float Envelope() const { return state.envelope; }
    float Gain() const { return state.gain; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;
    void ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks,
                         float* outputPeaks, int32_t frameCount) override;

private:
    // What carries over from one sample to the next.
    struct State {
        float envelope = 0.0f;
        float target = 0.0f;
        float previousTarget = 0.0f;
        float gain = 0.0f;
        float coefficient = 1.0f;
        int32_t latchCounter = 0;
        bool latched = false;
    };

    // The channel with the larger energy in the block, the left one on a tie.
    static const float* DetectorChannel(const float* const* inputs, int32_t frameCount);
    float TargetGain(float level) const;
    void ChooseCoefficient(State& s) const;

    float peakDecay = 0.0f;
    float peakRise = 0.0f;
    float threshold = 0.0f;
    float exponent = 0.0f;
    float attackCoefficient = 1.0f;
    float releaseCoefficient = 1.0f;
    State state;
    int32_t gateActive = 0;
};
