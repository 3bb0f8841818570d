#include "effects/drive/CORVHiGainPreampGuitarDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/BiquadDesigners.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

#include <algorithm>

namespace {

constexpr float kLowestLowCutHz = 50.0f;
constexpr double kHiGainHighPassHz = 50.0;

// Drive into the first driven stage: 0 dB .. +60 dB over the gain knob; the
// two stages after it run at fixed +17 dB and +20 dB.
constexpr float kDrive1DbPerPercent = 0.6f;
constexpr float kDrive2Db = 17.0f;
constexpr float kDrive3Db = 20.0f;

} // namespace

HiGainPreampStage::HiGainPreampStage() { DesignHighPasses(); }

void HiGainPreampStage::DesignHighPasses()
{
    DesignHighPassUnnormalised(lowCutHz, sampleRate, lowCut);
    DesignHighPassUnnormalised(kHiGainHighPassHz, sampleRate, highPass);
}

void HiGainPreampStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    lowCutState.Reset();
    highPassState.Reset();
    DesignHighPasses();
}

void HiGainPreampStage::SetDrives(float first, float second, float third)
{
    if (first != lastDrive1)
        drive1 = lastDrive1 = first;
    if (second != lastDrive2)
        drive2 = lastDrive2 = second;
    if (third != lastDrive3)
        drive3 = lastDrive3 = third;
}

void HiGainPreampStage::SetLowCut(float hz)
{
    if (hz == lastLowCut)
        return;
    lastLowCut = hz;
    lowCutHz = std::max(hz, kLowestLowCutHz);
    DesignHighPassUnnormalised(lowCutHz, sampleRate, lowCut);
}

CORVHiGainPreampGuitarDSP::CORVHiGainPreampGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVGuitarPreampDSP(sampleRate_, maxFrames_)
{
    longName = "HGG - Guitar HiGain Preamp";
    shortName = "HGG";
    fourCC = FourCC("hgg1");

    AddParameters({
        // index  name       texts   min    max      step  default taper
        {kGain,   "Gain",    {"%"},  0.0f,  100.0f,  1.0f, 75.0f,  ScaleLinear},
        {kLowCut, "Low Cut", {"Hz"}, 50.0f, 1000.0f, 1.0f, 200.0f, ScaleLinear},
        {kOutput, "Output",  {"%"},  0.0f,  100.0f,  1.0f, 50.0f,  ScaleLinear},
    });
    AddPresets({
        // preset         Gain    Low Cut  Output
        {"Default",     {75.0f,  200.0f,  50.0f}},
        {"CA/CD",       {53.0f,  460.0f,  50.0f}},
        {"Dark Gain",   {77.0f,  50.0f,   50.0f}},
        {"Bright Gain", {77.0f,  620.0f,  50.0f}},
        {"Ultra Gain",  {100.0f, 340.0f,  50.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVHiGainPreampGuitarDSP::RebuildStages()
{
    for (HiGainPreampStage& stage : stages) {
        stage = HiGainPreampStage();
        stage.SetSampleRate(float(sampleRate));
    }
}

void CORVHiGainPreampGuitarDSP::ApplyKnobs(float gain, float lowCut, float output)
{
    const float drive1 = DecibelsToGain(kDrive1DbPerPercent * gain);
    const float drive2 = DecibelsToGain(kDrive2Db);
    const float drive3 = DecibelsToGain(kDrive3Db);
    const float outputGain = OutputGain(output);
    for (HiGainPreampStage& stage : stages) {
        stage.SetSampleRate(float(sampleRate));
        stage.SetDrives(drive1, drive2, drive3);
        stage.SetLowCut(lowCut);
        stage.SetOutputGain(outputGain);
    }
}

void CORVHiGainPreampGuitarDSP::ClearStages()
{
    for (HiGainPreampStage& stage : stages)
        stage.ClearState();
}

void CORVHiGainPreampGuitarDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
}
