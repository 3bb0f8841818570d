#include "effects/drive/CORVCleanPreampGuitarDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

namespace {

// Coupling corners: the input and the interstage at 40 Hz, the output at
// 30 Hz, low enough to keep the low E's fundamental.
constexpr float kInputCouplingHz = 40.0f;
constexpr float kInterstageCouplingHz = 40.0f;
constexpr float kOutputCouplingHz = 30.0f;
constexpr float kBrightShelfHz = 2000.0f;
constexpr bool kSecondOrder = true;

// Drive into the second stage: 5 times −40 dB .. +20 dB over the gain knob.
constexpr float kCleanDriveScale = 5.0f;
constexpr float kCleanDriveDbPerPercent = 0.6f;
constexpr float kCleanDriveFloorDb = -40.0f;

} // namespace

CleanPreampStage::CleanPreampStage()
{
    for (BiquadSection* section : {&interstageCoupling, &outputCoupling, &brightShelf, &inputCoupling})
        section->setSampleRate(kDesignRate);
    interstageCoupling.designHighPass(kInterstageCouplingHz, kSecondOrder);
    outputCoupling.designHighPass(kOutputCouplingHz, kSecondOrder);
    brightShelf.designHighShelf(kBrightShelfHz, brightDb, kSecondOrder);
    inputCoupling.designHighPass(kInputCouplingHz, kSecondOrder);
}

void CleanPreampStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    for (BiquadSection* section : {&interstageCoupling, &outputCoupling, &brightShelf, &inputCoupling})
        section->setSampleRate(rate);
}

void CleanPreampStage::SetBright(float gainDb)
{
    if (gainDb == brightDb)
        return;
    brightDb = gainDb;
    brightShelf.designHighShelf(kBrightShelfHz, gainDb, kSecondOrder);
}

CORVCleanPreampGuitarDSP::CORVCleanPreampGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVGuitarPreampDSP(sampleRate_, maxFrames_)
{
    longName = "CLG - Guitar Clean Preamp";
    shortName = "CLG";
    fourCC = FourCC("clg1");

    AddParameters({
        // index  name      texts   min   max     step  default taper
        {kGain,   "Gain",   {"%"},  0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kBright, "Bright", {"dB"}, 0.0f, 15.0f,  0.1f, 5.0f,   ScaleLinear},
        {kOutput, "Output", {"%"},  0.0f, 100.0f, 1.0f, 70.0f,  ScaleLinear},
    });
    AddPresets({
        // preset         Gain   Bright  Output
        {"Default",     {50.0f, 5.0f,   70.0f}},
        {"Low Hot",     {45.0f, 0.0f,   100.0f}},
        {"Low Bright",  {45.0f, 15.0f,  100.0f}},
        {"High Hot",    {85.0f, 0.0f,   71.0f}},
        {"High Bright", {85.0f, 15.0f,  61.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVCleanPreampGuitarDSP::RebuildStages()
{
    for (CleanPreampStage& stage : stages) {
        stage = CleanPreampStage();
        stage.SetSampleRate(float(sampleRate));
    }
}

void CORVCleanPreampGuitarDSP::ApplyKnobs(float gain, float bright, float output)
{
    const float drive = kCleanDriveScale * DecibelsToGain(kCleanDriveDbPerPercent * gain + kCleanDriveFloorDb);
    const float outputGain = OutputGain(output);
    for (CleanPreampStage& stage : stages) {
        stage.SetOutputGain(outputGain);
        stage.SetDrive(drive);
        stage.SetBright(bright);
    }
}

void CORVCleanPreampGuitarDSP::ClearStages()
{
    for (CleanPreampStage& stage : stages)
        stage.ClearState();
}

void CORVCleanPreampGuitarDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
}
