#pragma once
#include "effects/common/BiquadKernel.h"
#include "effects/drive/CORVGuitarPreampDSP.h"
#include "effects/drive/TriodeShapers.h"

#include <array>

// One channel of the high-gain preamp: a mild first stage that only colours,
// an adjustable low cut that decides how much bass reaches the gain, then
// three heavily driven stages (the third reusing the first driven stage's
// curve after an inversion) and a fixed 50 Hz high-pass.
class HiGainPreampStage {
public:
    HiGainPreampStage();

    // A new rate clears both high-passes and redesigns them.
    void SetSampleRate(float rate);
    void SetDrives(float first, float second, float third);
    // Redesigns the low cut only when the value moves; never below 50 Hz.
    void SetLowCut(float hz);
    void SetOutputGain(float gain) { outputGain = gain; }

    // Forgets the signal; the design stays.
    void ClearState()
    {
        lowCutState.Reset();
        highPassState.Reset();
    }

    float Process(float x)
    {
        const float a = FlushToZero(-Shape(kHighGain0, OffsetSilence(x)));
        const float b = ProcessBiquad(lowCut, lowCutState, a);
        const float c = Shape(kHighGain1, drive1 * b);
        const float d = Shape(kHighGain2, drive2 * c);
        const float e = FlushToZero(Shape(kHighGain1, -drive3 * d));
        return outputGain * ProcessBiquad(highPass, highPassState, e);
    }

    float Drive1() const { return drive1; }
    float Drive2() const { return drive2; }
    float Drive3() const { return drive3; }
    float LowCutHz() const { return lowCutHz; }
    float OutputGain() const { return outputGain; }

private:
    static constexpr float kDesignRate = 48000.0f;
    static constexpr float kInitialDrive = 10.0f;
    static constexpr float kInitialLowCutHz = 330.0f;

    void DesignHighPasses();

    // The values last handed in, to tell a change from a repeat.
    float lastDrive1 = 0.0f;
    float lastDrive2 = 0.0f;
    float lastDrive3 = 0.0f;
    float lastLowCut = 0.0f;
    float drive1 = kInitialDrive;
    float drive2 = kInitialDrive;
    float drive3 = 0.0f;
    float lowCutHz = kInitialLowCutHz;
    BiquadCoefs lowCut;
    BiquadState lowCutState;
    BiquadCoefs highPass;
    BiquadState highPassState;
    float sampleRate = kDesignRate;
    float outputGain = 0.0f;
};

// "HGG - Guitar HiGain Preamp".
class CORVHiGainPreampGuitarDSP : public CORVGuitarPreampDSP {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kLowCut = 3,
        kOutput = 4,
    };

    CORVHiGainPreampGuitarDSP(double sampleRate, uint32_t maxFrames);

    const HiGainPreampStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }

protected:
    void RebuildStages() override;
    void ApplyKnobs(float gain, float lowCut, float output) override;
    void ClearStages() override;
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<HiGainPreampStage, 2> stages;
};
