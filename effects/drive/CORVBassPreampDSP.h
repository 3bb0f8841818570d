#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/BiquadSection.h"

#include <array>
#include <cmath>

// A tube stage as a biased hyperbolic tangent: tanh(v + bias) − tanh(bias),
// scaled to unit slope at rest.  The bias makes the curve give way sooner on
// the positive side than on the negative one, and that asymmetry is what
// adds the even harmonics of a real triode; unlike a clipped polynomial the
// curve stays smooth everywhere, so it never adds the hard edge of a diode.
class TubeSaturation {
public:
    explicit TubeSaturation(float bias);

    float operator()(float v) const { return scale * (std::tanh(v + bias) - offset); }

    // The levels the curve approaches for large inputs of either sign.
    float PositiveLimit() const { return scale * (1.0f - offset); }
    float NegativeLimit() const { return scale * (-1.0f - offset); }

private:
    float bias;
    float offset;
    float scale;
};

// One channel of the bass preamp: input coupling, the driven tube stage, a
// DC blocker for what the asymmetric curve adds, a gentle top roll-off, the
// two voicing switches and the output level.
class BassPreampStage {
public:
    BassPreampStage();

    // Designs every section for the rate, starting from silence.
    void SetSampleRate(double rate);
    void SetDrive(float gain) { drive = gain; }
    void SetOutputGain(float gain) { outputGain = gain; }
    // The switches redesign their sections between flat and boosted; the
    // state is kept, so switching does not click.
    void SetUltraLow(bool on);
    void SetUltraHigh(bool on);

    // Forgets the signal; the design stays.
    void ClearState()
    {
        for (BiquadSection* section : {&inputCoupling, &dcBlocker, &topRollOff, &ultraLow, &ultraHigh})
            section->reset();
    }

    float Process(float x)
    {
        const float driven = saturation(drive * inputCoupling.process(x));
        const float voiced = topRollOff.process(dcBlocker.process(driven));
        return outputGain * ultraHigh.process(ultraLow.process(voiced));
    }

    float Drive() const { return drive; }
    float OutputGain() const { return outputGain; }
    const BiquadSection& UltraLow() const { return ultraLow; }
    const BiquadSection& UltraHigh() const { return ultraHigh; }

private:
    TubeSaturation saturation;
    float drive = 1.0f;
    float outputGain = 1.0f;
    bool ultraLowOn = false;
    bool ultraHighOn = false;
    BiquadSection inputCoupling;
    BiquadSection dcBlocker;
    BiquadSection topRollOff;
    BiquadSection ultraLow;
    BiquadSection ultraHigh;
};

// "PRB - Bass Preamp": a tube-style bass preamp with a deep-bass and a
// treble switch.  "Gain" drives the tube stage from clean to saturated and
// raises the level with it; "Output" is the level after everything.
class CORVBassPreampDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kUltraLow = 3,
        kUltraHigh = 4,
        kOutput = 5,
    };

    CORVBassPreampDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const BassPreampStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<BassPreampStage, 2> stages;
};
