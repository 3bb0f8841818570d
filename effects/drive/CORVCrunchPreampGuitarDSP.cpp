#include "effects/drive/CORVCrunchPreampGuitarDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/BiquadDesigners.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

namespace {

// The peak a new stage starts with, before the knobs reach it.
constexpr float kInitialPeakHz = 1700.0f;
constexpr float kInitialPeakQ = 0.3f;
constexpr float kInitialPeakDb = 1.0f;

// The voicing the knobs set: a broad mid peak at 2 kHz.
constexpr float kPeakHz = 2000.0f;
constexpr float kPeakQ = 0.2f;
constexpr float kLowestPeakHz = 1.0f;

constexpr float kInputGain = 1.0f;
constexpr float kThirdStageGain = 18.0f;
constexpr double kCrunchHighPassHz = 100.0;

// Drive into the second stage: 7 times 0 dB .. +30 dB over the gain knob.
constexpr float kCrunchDriveScale = 7.0f;
constexpr float kCrunchDriveDbPerPercent = 0.3f;

// The interstage coupling network as an analogue prototype,
//   H(s) = (s² + kZero·s) / (s² + kPoleSum·s + kPoleProduct):
// zeros at DC and 720 Hz, poles at 4.9 Hz and 1.06 kHz.  It blocks DC and
// lowers everything below about 1 kHz by some 3 dB against the highs before
// the second stage.
constexpr double kCouplingZero = 4526.935265;
constexpr double kCouplingPoleSum = 6700.049385;
constexpr double kCouplingPoleProduct = 205769.7848;

// The coupling network by the plain bilinear transform s = c·(1 − z⁻¹)/(1 + z⁻¹),
// c = 2·fs, without prewarping: the corners sit low enough that the warping
// stays slight even at the lowest rate.
BiquadCoefs DesignCoupling(float sampleRate)
{
    const double c = double(float(2.0 * sampleRate));
    const double c2 = c * c;
    const double denominator = c2 + kCouplingPoleSum * c + kCouplingPoleProduct;
    return RoundCoefs((c2 + kCouplingZero * c) / denominator, -2.0 * c / (c + kCouplingZero),
                      (c - kCouplingZero) / (c + kCouplingZero), 2.0 * (kCouplingPoleProduct - c2) / denominator,
                      (c2 - kCouplingPoleSum * c + kCouplingPoleProduct) / denominator);
}

} // namespace

CrunchPreampStage::CrunchPreampStage()
    : peakCentreHz(kInitialPeakHz), peakQ(kInitialPeakQ), peakGainDb(kInitialPeakDb)
{
    Redesign();
}

void CrunchPreampStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    Redesign();
}

void CrunchPreampStage::SetPeak(float centreHz, float q, float gainDb)
{
    if (centreHz > kLowestPeakHz)
        peakCentreHz = centreHz;
    if (q > 0.0f)
        peakQ = q;
    peakGainDb = gainDb;
    Redesign();
}

void CrunchPreampStage::Redesign()
{
    DesignPeak(peakGainDb, peakCentreHz, peakQ, sampleRate, peak);
    coupling = DesignCoupling(sampleRate);
    DesignHighPassUnnormalised(kCrunchHighPassHz, sampleRate, highPass);
}

CORVCrunchPreampGuitarDSP::CORVCrunchPreampGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVGuitarPreampDSP(sampleRate_, maxFrames_)
{
    longName = "CPG - Guitar Crunch Preamp";
    shortName = "CPG";
    fourCC = FourCC("cpg1");

    AddParameters({
        // index     name         texts   min   max     step  default taper
        {kGain,      "Gain",      {"%"},  0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kMidBoost,  "Mid Boost", {"dB"}, 0.0f, 15.0f,  0.1f, 8.0f,   ScaleLinear},
        {kOutput,    "Output",    {"%"},  0.0f, 100.0f, 1.0f, 66.0f,  ScaleLinear},
    });
    AddPresets({
        // preset        Gain   Mid Boost  Output
        {"Default",    {50.0f, 8.0f,      66.0f}},
        {"Clean",      {0.0f,  2.0f,      66.0f}},
        {"Low Drive",  {33.0f, 8.0f,      50.0f}},
        {"Mid Drive",  {45.0f, 8.0f,      50.0f}},
        {"High Drive", {80.0f, 12.0f,     40.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVCrunchPreampGuitarDSP::RebuildStages()
{
    for (CrunchPreampStage& stage : stages) {
        stage = CrunchPreampStage();
        stage.SetSampleRate(float(sampleRate));
    }
}

void CORVCrunchPreampGuitarDSP::ApplyKnobs(float gain, float midBoost, float output)
{
    const float drive = kCrunchDriveScale * DecibelsToGain(kCrunchDriveDbPerPercent * gain);
    const float outputGain = OutputGain(output);
    for (CrunchPreampStage& stage : stages) {
        stage.SetSampleRate(float(sampleRate));
        stage.SetInputGain(kInputGain);
        stage.SetDrive(drive);
        stage.SetThirdStageGain(kThirdStageGain);
        stage.SetOutputGain(outputGain);
        stage.SetPeak(kPeakHz, kPeakQ, midBoost);
    }
}

void CORVCrunchPreampGuitarDSP::ClearStages()
{
    for (CrunchPreampStage& stage : stages)
        stage.ClearState();
}

void CORVCrunchPreampGuitarDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
}
