#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/drive/CBluesDriveStage.h"

#include <array>

// "BLG - Guitar Blues Drive": a model of an op-amp overdrive pedal, one
// stage per channel.  The output level glides to a new setting over three
// blocks instead of jumping, so a turned "Output" knob does not click.
class CORVBluesDriveGuitarDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kGain = 2,
        kColor = 3,
        kOutput = 4,
    };

    CORVBluesDriveGuitarDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const CBluesDriveStage& Stage(int32_t channel) const { return stages[size_t(channel)]; }
    // Where the output ramp stands, in the knob's percent.
    float RampValue() const { return rampValue; }
    bool Ramping() const { return ramping; }

protected:
    bool WantsUpdate() const override { return parametersChanged || ramping; }
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    void AdvanceOutputRamp(float target);

    static constexpr int32_t kRampBlocks = 3;

    std::array<CBluesDriveStage, 2> stages;
    int32_t rampLength = kRampBlocks;
    int32_t rampSteps = 0;
    float rampStart = 0.0f;
    float rampTarget = 0.0f;
    float rampValue = 0.0f;
    bool ramping = false;
};
