#include "effects/drive/CORVBluesDriveGuitarDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

namespace {


// The output knob spans 60 dB, from −40 dB at 0 % to +20 dB at 100 %.
constexpr float kOutputSpanDb = 60.0f;
constexpr float kOutputFloorDb = -40.0f;

float OutputLevel(float percent) { return DecibelsToGain((percent / kPercent) * kOutputSpanDb + kOutputFloorDb); }

} // namespace

CORVBluesDriveGuitarDSP::CORVBluesDriveGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "BLG - Guitar Blues Drive";
    shortName = "BLG";
    fourCC = FourCC("blg1");

    AddPresets({
        // preset          Gain   Color  Output
        {"Default",      {50.0f, 50.0f, 50.0f}},
        {"Light Blues",  {33.0f, 12.0f, 50.0f}},
        {"Overdrive",    {45.0f, 8.0f,  50.0f}},
        {"Full Drive",   {85.0f, 12.0f, 45.0f}},
        {"Kick the Amp", {5.0f,  90.0f, 85.0f}},
    });
    AddParameters({
        // index  name      texts  min   max     step  default taper
        {kGain,   "Gain",   {"%"}, 0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kColor,  "Color",  {"%"}, 0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kOutput, "Output", {"%"}, 0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVBluesDriveGuitarDSP::UpdateParameters(bool reinitialise)
{
    const float gainKnob = Value(kGain);
    const float colorKnob = Value(kColor);
    const float outputKnob = Value(kOutput);

    if (reinitialise) {
        for (CBluesDriveStage& stage : stages) {
            stage = CBluesDriveStage();
            stage.SetSampleRate(float(sampleRate));
        }
        rampLength = kRampBlocks;
        ramping = false;
        Reset();
        needsReinit = false;
    }
    const float gain = gainKnob / kPercent;
    const float color = colorKnob / kPercent;
    AdvanceOutputRamp(outputKnob);
    const float level = OutputLevel(rampValue);
    for (CBluesDriveStage& stage : stages) {
        stage.SetGain(gain);
        stage.SetOutputLevel(level);
        stage.SetColor(color);
    }
    parametersChanged = false;
}

void CORVBluesDriveGuitarDSP::Reset()
{
    for (CBluesDriveStage& stage : stages)
        stage.ClearState();
}

// A change restarts the ramp from wherever it stands; each update then covers
// a third, a half and finally all of the distance from that start, and the
// ramp keeps asking for updates as long as it still moved.
void CORVBluesDriveGuitarDSP::AdvanceOutputRamp(float target)
{
    if (parametersChanged) {
        rampStart = rampValue;
        rampTarget = target;
        rampSteps = 0;
    }
    const bool step = (parametersChanged || ramping) && rampSteps < rampLength;
    if (step) {
        ++rampSteps;
        rampValue = rampStart + (rampTarget - rampStart) / float(rampLength - rampSteps + 1);
    }
    ramping = step;
}

void CORVBluesDriveGuitarDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
    for (CBluesDriveStage& stage : stages)
        stage.FlushState();
}
