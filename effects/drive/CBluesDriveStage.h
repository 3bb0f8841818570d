#pragma once
#include "effects/common/BiquadKernel.h"

#include <array>
#include <cmath>

// One sample through a transposed direct-form II section, products in
// double as in the shared kernel.  Unlike the shared kernel it flushes
// nothing: the pedal's three sections are modelled on the circuit's exact
// recursion.
inline float ProcessBluesSection(const BiquadCoefs& c, BiquadState& s, float x)
{
    const float u = static_cast<float>(double(c.g) * x);
    const float y = u + s.state1;
    s.state1 = static_cast<float>(double(c.b1) * u - double(c.a1) * y + s.state2);
    s.state2 = static_cast<float>(double(c.b2) * u - double(c.a2) * y);
    return y;
}

// The pedal's clipping stage: inverting, linear with slope −1.11906 up to
// ±0.85193 and from there an exponential approach to ∓1, joined so that both
// pieces meet at ∓0.95336.
inline constexpr float kBluesClipKnee = 0.85193f;
inline constexpr float kBluesClipLinearSlope = 1.11906f;
inline constexpr float kBluesClipTailDepth = 0.04664f;
inline constexpr float kBluesClipTailRate = 16.0f;

inline float BluesDriveClip(float x)
{
    if (x > kBluesClipKnee)
        return kBluesClipTailDepth * std::exp(-kBluesClipTailRate * (x - kBluesClipKnee)) - 1.0f;
    if (x < -kBluesClipKnee)
        return 1.0f - kBluesClipTailDepth * std::exp(kBluesClipTailRate * (x + kBluesClipKnee));
    return -kBluesClipLinearSlope * x;
}

// One channel of the blues drive: a 70 Hz input high-pass, the op-amp gain
// stage, the inverting clipper, the passive tone network and the output level.
// Gain and colour are the circuit's potentiometer positions (0..1); changing
// them or the sample rate redesigns the sections but keeps their state.
class CBluesDriveStage {
public:
    CBluesDriveStage();

    void SetSampleRate(float rate);
    void SetGain(float gain);
    void SetColor(float color);
    void SetOutputLevel(float level) { outputLevel = level; }

    float Process(float x)
    {
        const float y1 = ProcessBluesSection(inputCoefs, inputState, x);
        const float y2 = ProcessBluesSection(gainCoefs, gainState, y1 * kPreGain * gain);
        const float y3 = ProcessBluesSection(toneCoefs, toneState, BluesDriveClip(y2));
        return y3 * outputLevel;
    }

    // The exact recursion lets a silent input circle in subnormal numbers
    // for ever (the 70 Hz high-pass settles into a cycle near 1e-43).  Run
    // between blocks, this ends such state in exact zeros; within a block the
    // sections stay as the circuit has them, and nothing audible changes.
    void FlushState()
    {
        for (BiquadState* s : {&inputState, &gainState, &toneState}) {
            s->state1 = FlushToZero(s->state1);
            s->state2 = FlushToZero(s->state2);
        }
    }
    // Forgets the signal; the design stays.
    void ClearState()
    {
        inputState.Reset();
        gainState.Reset();
        toneState.Reset();
    }
    std::array<BiquadState, 3> States() const { return {inputState, gainState, toneState}; }

    float SampleRate() const { return sampleRate; }
    float Gain() const { return gain; }
    float Color() const { return color; }
    float OutputLevel() const { return outputLevel; }
    const BiquadCoefs& InputCoefs() const { return inputCoefs; }
    const BiquadCoefs& GainCoefs() const { return gainCoefs; }
    const BiquadCoefs& ToneCoefs() const { return toneCoefs; }

private:
    void Redesign();

    static constexpr float kInitialSampleRate = 48000.0f;
    static constexpr float kInitialColor = 0.5f;
    static constexpr float kPreGain = 20.0f;

    float sampleRate = kInitialSampleRate;
    float gain = 0.0f;
    float color = kInitialColor;
    float outputLevel = 0.0f;
    BiquadCoefs inputCoefs;
    BiquadState inputState;
    BiquadCoefs gainCoefs;
    BiquadState gainState;
    BiquadCoefs toneCoefs;
    BiquadState toneState;
};
