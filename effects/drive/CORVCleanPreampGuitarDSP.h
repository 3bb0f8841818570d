#pragma once
#include "effects/common/BiquadSection.h"
#include "effects/drive/CORVGuitarPreampDSP.h"
#include "effects/drive/TriodeShapers.h"

#include <array>

// One channel of the clean preamp: two triode stages with an inverting
// coupling between them, a bright shelf after the first, and high-passes
// where a real amp has its coupling capacitors.
class CleanPreampStage {
public:
    CleanPreampStage();

    void SetSampleRate(float rate);
    void SetDrive(float gain) { drive = gain; }
    void SetOutputGain(float gain) { outputGain = gain; }
    // Redesigns the shelf only when the gain moves; its state is kept.
    void SetBright(float gainDb);

    // Forgets the signal; the design stays.
    void ClearState()
    {
        for (BiquadSection* section : {&inputCoupling, &interstageCoupling, &brightShelf, &outputCoupling})
            section->reset();
    }

    float Process(float x)
    {
        const float a = inputCoupling.process(x);
        const float b = Shape(kClean1, a);
        const float c = brightShelf.process(interstageCoupling.process(b));
        const float d = Shape(kClean2, -drive * c);
        return outputGain * outputCoupling.process(d);
    }

    float Drive() const { return drive; }
    float OutputGain() const { return outputGain; }
    const BiquadSection& BrightShelf() const { return brightShelf; }

private:
    static constexpr float kDesignRate = 48000.0f;
    static constexpr float kInitialBrightDb = 1.0f;

    float drive = 0.0f;
    float outputGain = 0.0f;
    float sampleRate = kDesignRate;
    float brightDb = kInitialBrightDb;
    BiquadSection interstageCoupling;
    BiquadSection outputCoupling;
    BiquadSection brightShelf;
    BiquadSection inputCoupling;
};

// "CLG - Guitar Clean Preamp".
class CORVCleanPreampGuitarDSP : public CORVGuitarPreampDSP {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kBright = 3,
        kOutput = 4,
    };

    CORVCleanPreampGuitarDSP(double sampleRate, uint32_t maxFrames);

    const CleanPreampStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }

protected:
    void RebuildStages() override;
    void ApplyKnobs(float gain, float bright, float output) override;
    void ClearStages() override;
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<CleanPreampStage, 2> stages;
};
