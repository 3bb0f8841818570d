#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/TransitionGuard.h"

#include <array>

// "PE - Parametric EQ": one second-order section in six shapes, designed and
// run in double precision, so that even a narrow band at 25 Hz and 192 kHz
// keeps its shape.
class CORVParametricEQDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kFrequency = 3,
        kQ = 4,
        kFilterType = 5,
    };

    enum FilterType : int32_t {
        kLowShelf = 0,
        kHighShelf = 1,
        kPeak = 2,
        kLowPass = 3,
        kHighPass = 4,
        kNotch = 5,
    };

    // The section, unnormalised: (b0 + b1·z⁻¹ + b2·z⁻²)/(a0 + a1·z⁻¹ + a2·z⁻²).
    struct Coefficients {
        double b0, b1, b2;
        double a0, a1, a2;
    };

    CORVParametricEQDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const Coefficients& Coefs() const { return coefs; }
    int32_t Type() const { return filterType; }
    // The gain the filter's design works with, in dB; the pass shapes and
    // the notch apply it at the output instead.
    double GainDb() const { return gainDb; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    struct State {
        double state1 = 0.0;
        double state2 = 0.0;
    };

    float ProcessSample(State& state, float x) const;
    // The output gain of the current shape, 1 for those without one.
    double OutputGain() const;

    Coefficients coefs{1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
    double inverseA0 = 1.0;
    double gainDb = 0.0;
    std::array<State, 2> states{};
    int32_t filterType = kHighShelf;
    double width = 1.0;
    double frequency = 1000.0;
    TransitionGuard<std::array<State, 2>> guard;
};
