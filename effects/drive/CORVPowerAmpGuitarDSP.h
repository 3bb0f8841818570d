#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/BiquadSection.h"
#include "effects/drive/PowerAmpTables.h"

#include <array>

// One channel of the push-pull power amp: presence boost and a 20 Hz
// high-pass, a phase splitter driving two tube halves in opposite directions,
// a high-pass per half (the second a little weaker, as real halves never
// match), the difference of the two tube curves, and the output transformer.
class PowerAmpStage {
public:
    PowerAmpStage();

    // A new rate redesigns every section; presence is designed again by the
    // next SetPresence.
    void SetSampleRate(float rate);
    // 0..3: the tube curve and its drive, level and width.
    void SetTubeType(int32_t type);
    void SetPresence(float percent);
    // The volume knob in percent, after the tube type (which scales it).
    void SetVolume(float percent);
    void Reset();
    // The tube curves and the transformer bound every output, so a state an
    // overflowing input left infinite or NaN never shows at the output.
    bool StateIsFinite() const;

    float Process(float x)
    {
        const float u = FlushToZero(inputGain * x);
        const float v = ProcessBiquad(highPassCoefs, highPassState, ProcessBiquad(presenceCoefs, presenceState, u));
        const SplitHalves halves = PhaseSplit(v);
        const float a = ProcessBiquad(halfACoefs, halfAState, halves.a);
        const float b = ProcessBiquad(halfBCoefs, halfBState, halves.b);
        const auto d = float((TubeTransfer(*tube, a) - TubeTransfer(*tube, b)) * differenceScale);
        return outputGain * OutputTransformer(d);
    }

    float InputGain() const { return inputGain; }
    float OutputGain() const { return outputGain; }
    float DifferenceScale() const { return differenceScale; }
    int32_t TubeType() const { return tubeType; }
    const TubeCurve& Tube() const { return *tube; }

private:
    void CopyCoefficients();
    void SetWidth(float w);

    static constexpr float kDesignRate = 48000.0f;
    // The difference scale of a tube of width 1, until a type is chosen.
    static constexpr float kInitialDifferenceScale = 0.5076357f;

    float inputGain = 0.0f;
    float levelFactor = 0.0f;
    float width = 1.0f;
    float outputGain = 0.0f;
    float differenceScale = kInitialDifferenceScale;
    int32_t tubeType = 0;
    float driveScale = 1.0f;
    float sampleRate = kDesignRate;
    BiquadSection presence;
    BiquadSection highPass;
    BiquadSection halfHighPassA;
    BiquadSection halfHighPassB;
    BiquadCoefs presenceCoefs;
    BiquadCoefs highPassCoefs;
    BiquadCoefs halfACoefs;
    BiquadCoefs halfBCoefs;
    const TubeCurve* tube = &kEl34Curve;
    BiquadState presenceState;
    BiquadState highPassState;
    BiquadState halfAState;
    BiquadState halfBState;
};

// "PAG - Guitar Power Amp".
class CORVPowerAmpGuitarDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kVolume = 2,
        kPresence = 3,
        kType = 4,
    };

    CORVPowerAmpGuitarDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const PowerAmpStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<PowerAmpStage, 2> stages;
};
