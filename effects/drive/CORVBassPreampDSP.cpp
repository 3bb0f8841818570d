#include "effects/drive/CORVBassPreampDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

namespace {

// A bias of 0.3 lets the positive half flatten out at about +0.77 and the
// negative one at about −1.41: clearly asymmetric, yet small signals pass
// with unit slope.
constexpr float kTubeBias = 0.3f;

// A new stage is designed for this rate until its owner sets the real one.
constexpr double kInitialSampleRate = 48000.0;

// Input coupling below the lowest note of a five-string (B0, 31 Hz); the
// DC blocker lower still, only to remove the offset the tube curve adds.
constexpr float kInputCouplingHz = 20.0f;
constexpr float kDcBlockerHz = 10.0f;
// The saturated stage's harmonics above the useful range of a bass rig are
// rolled off, as a preamp's Miller capacitance would.
constexpr float kTopRollOffHz = 9000.0f;

// "Ultra Low": a broad boost centred on the lowest octave.  A peak rather
// than a shelf, so the boost is gone again below it and subsonic rumble is
// not lifted with it.
constexpr float kUltraLowHz = 40.0f;
constexpr float kUltraLowDb = 8.0f;
constexpr float kUltraLowQ = 0.7f;
// "Ultra High": a shelf that lifts the string attack and finger noise.
constexpr float kUltraHighHz = 4000.0f;
constexpr float kUltraHighDb = 8.0f;
constexpr float kFlatDb = 0.0f;
constexpr bool kSecondOrder = true;
constexpr bool kFirstOrder = false;

// "Gain": −20 dB to +20 dB into the tube stage, 0 dB at the middle, so the
// "Default" setting passes a bass at its usual level close to unity and only
// its peaks start to bend.  "Output": −20 dB to +20 dB, 0 dB at the middle.
constexpr float kDbPerPercent = 0.4f;
constexpr float kFloorDb = -20.0f;

// List values: the switches list "On" first.
constexpr float kSwitchOn = 0.0f;
constexpr float kHalfStep = 0.5f;

float KnobGain(float percent) { return DecibelsToGain(kDbPerPercent * percent + kFloorDb); }

bool SwitchIsOn(float value) { return value < kSwitchOn + kHalfStep; }

} // namespace

TubeSaturation::TubeSaturation(float bias_)
    : bias(bias_), offset(std::tanh(bias_)), scale(1.0f / (1.0f - offset * offset))
{
}

BassPreampStage::BassPreampStage() : saturation(kTubeBias) { SetSampleRate(kInitialSampleRate); }

void BassPreampStage::SetSampleRate(double rate)
{
    for (BiquadSection* section : {&inputCoupling, &dcBlocker, &topRollOff, &ultraLow, &ultraHigh}) {
        section->setSampleRate(rate);
        section->reset();
    }
    inputCoupling.designHighPass(kInputCouplingHz, kFirstOrder);
    dcBlocker.designHighPass(kDcBlockerHz, kFirstOrder);
    topRollOff.designLowPass(kTopRollOffHz, kSecondOrder);
    ultraLow.designPeak(kUltraLowHz, ultraLowOn ? kUltraLowDb : kFlatDb, kUltraLowQ);
    ultraHigh.designHighShelf(kUltraHighHz, ultraHighOn ? kUltraHighDb : kFlatDb, kSecondOrder);
}

void BassPreampStage::SetUltraLow(bool on)
{
    if (on == ultraLowOn)
        return;
    ultraLowOn = on;
    ultraLow.designPeak(kUltraLowHz, on ? kUltraLowDb : kFlatDb, kUltraLowQ);
}

void BassPreampStage::SetUltraHigh(bool on)
{
    if (on == ultraHighOn)
        return;
    ultraHighOn = on;
    ultraHigh.designHighShelf(kUltraHighHz, on ? kUltraHighDb : kFlatDb, kSecondOrder);
}

CORVBassPreampDSP::CORVBassPreampDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "PRB - Bass Preamp";
    shortName = "PRB";
    fourCC = FourCC("prb1");

    AddPresets({
        // preset      Gain   Ultra Low  Ultra High  Output
        {"Default",  {50.0f, 0.0f,      0.0f,       50.0f}},
        {"Low Bass", {50.0f, 0.0f,      1.0f,       50.0f}},
        {"Hi Bass",  {50.0f, 1.0f,      0.0f,       64.0f}},
        {"Loudness", {53.0f, 0.0f,      0.0f,       50.0f}},
        {"UltrAmp",  {80.0f, 0.0f,      0.0f,       25.0f}},
    });
    AddParameters({
        // index     name          texts          min   max     step  default taper
        {kGain,      "Gain",       {"%"},         0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kUltraLow,  "Ultra Low",  {"On", "Off"}, 0.0f, 1.0f,   1.0f, 0.0f,   ScaleList},
        {kUltraHigh, "Ultra High", {"On", "Off"}, 0.0f, 1.0f,   1.0f, 0.0f,   ScaleList},
        {kOutput,    "Output",     {"%"},         0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVBassPreampDSP::UpdateParameters(bool reinitialise)
{
    const float gain = Value(kGain);
    const float ultraLow = Value(kUltraLow);
    const float ultraHigh = Value(kUltraHigh);
    const float output = Value(kOutput);

    if (reinitialise) {
        for (BassPreampStage& stage : stages) {
            stage = BassPreampStage();
            stage.SetSampleRate(sampleRate);
        }
        Reset();
        needsReinit = false;
    }
    for (BassPreampStage& stage : stages) {
        stage.SetDrive(KnobGain(gain));
        stage.SetOutputGain(KnobGain(output));
        stage.SetUltraLow(SwitchIsOn(ultraLow));
        stage.SetUltraHigh(SwitchIsOn(ultraHigh));
    }
    parametersChanged = false;
}

void CORVBassPreampDSP::Reset()
{
    for (BassPreampStage& stage : stages)
        stage.ClearState();
}

void CORVBassPreampDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
}
