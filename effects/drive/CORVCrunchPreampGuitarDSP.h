#pragma once
#include "effects/common/BiquadKernel.h"
#include "effects/drive/CORVGuitarPreampDSP.h"
#include "effects/drive/TriodeShapers.h"

#include <array>

// One channel of the crunch preamp: three triode stages, a mid peak and an
// interstage coupling network after the first, an inversion before each of
// the other two, and a high-pass at the end.
class CrunchPreampStage {
public:
    CrunchPreampStage();

    // A new rate redesigns every section; the states are kept.
    void SetSampleRate(float rate);
    void SetInputGain(float gain) { inputGain = gain; }
    void SetDrive(float gain) { drive = gain; }
    void SetThirdStageGain(float gain) { thirdStageGain = gain; }
    void SetOutputGain(float gain) { outputGain = gain; }
    // The mid peak; a centre of 1 Hz or less and a Q of 0 or less are
    // ignored.  Every section is redesigned.
    void SetPeak(float centreHz, float q, float gainDb);

    // Forgets the signal; the design stays.
    void ClearState()
    {
        peakState.Reset();
        couplingState.Reset();
        highPassState.Reset();
    }

    float Process(float x)
    {
        const float a = OffsetSilence(inputGain * x);
        const float b = FlushToZero(Shape(kCrunch1, a));
        const float c = ProcessBiquad(coupling, couplingState, ProcessBiquad(peak, peakState, b));
        const float d = Shape(kCrunch2, -drive * c);
        const float e = Shape(kCrunch3, -thirdStageGain * d);
        return outputGain * ProcessBiquad(highPass, highPassState, e);
    }

    float Drive() const { return drive; }
    float OutputGain() const { return outputGain; }
    float PeakGainDb() const { return peakGainDb; }

private:
    void Redesign();

    static constexpr float kDesignRate = 48000.0f;

    BiquadCoefs peak;
    BiquadState peakState;
    BiquadCoefs coupling;
    BiquadState couplingState;
    BiquadCoefs highPass;
    BiquadState highPassState;
    float inputGain = 0.0f;
    float drive = 0.0f;
    float thirdStageGain = 0.0f;
    float outputGain = 0.0f;
    float sampleRate = kDesignRate;
    float peakCentreHz;
    float peakQ;
    float peakGainDb;
};

// "CPG - Guitar Crunch Preamp".
class CORVCrunchPreampGuitarDSP : public CORVGuitarPreampDSP {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kMidBoost = 3,
        kOutput = 4,
    };

    CORVCrunchPreampGuitarDSP(double sampleRate, uint32_t maxFrames);

    const CrunchPreampStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }

protected:
    void RebuildStages() override;
    void ApplyKnobs(float gain, float midBoost, float output) override;
    void ClearStages() override;
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<CrunchPreampStage, 2> stages;
};
