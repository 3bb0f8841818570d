#include "effects/drive/CORVPowerAmpGuitarDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPresenceHz = 4100.0f;
constexpr float kPresenceQ = 1.55f;
constexpr float kPresenceDbAtFull = 13.0f;
constexpr float kPowerAmpHighPassHz = 20.0f;
constexpr bool kSecondOrder = true;
// The B half's high-pass passes 5 % less than the A half's: the imbalance
// of a real output pair, which lets some even harmonics through.
constexpr float kHalfBImbalance = 0.95f;

// Volume: 10·drive·(1 − log10(101 − P)/log10(101)), silent at 0 %.
constexpr float kVolumeRange = 10.0f;
constexpr double kVolumeLogBase = 101.0;

// A tube family: its curve, how hard the volume drives it, and two trims
// whose product is 1.  They move a little level from before the transformer
// to after it, so the 6L6 drives its transformer less hard for the same
// loudness.
struct TubeModel {
    const TubeCurve* curve;
    float driveScale;
    float outputTrim;
    float differenceTrim;
};

constexpr TubeModel kEl34{&kEl34Curve, 1.0f, 1.0f, 1.0f};
constexpr TubeModel k6L6{&k6L6Curve, 0.92f, 1.058823585510254f, 0.9444444179534912f};

// The four amps: a tube family, a level factor and a width w.  The output
// gain is level/w and the difference scale P(w), both trimmed by the family.
struct AmpType {
    const TubeModel* model;
    float levelFactor;
    float width;
};

constexpr std::array<AmpType, 4> kAmpTypes{{
    // tube  level width
    {&kEl34, 0.6f,  1.3f},  // "EL34 Amp 50 W"
    {&kEl34, 1.2f,  0.6f},  // "EL34 Amp 100 W"
    {&k6L6,  0.8f,  0.9f},  // "6L6 Amp 50 W"
    {&k6L6,  1.2f,  0.1f},  // "6L6 Amp 100 W"
}};

constexpr float kWidestTube = 1.3f;

// How much of the tube difference reaches the transformer at width w: a
// narrow tube leaves the transformer nearly linear, a wide one drives it hard.
constexpr std::array<float, 7> kDifferencePolynomial{
    1.1704899072647095f, -4.312889575958252f, 6.1597747802734375f, -3.736875295639038f,
    0.9755793213844299f, 0.249567911028862f,  0.0019886582158505917f,
};

float DifferenceScaleAt(float w)
{
    float p = 0.0f;
    for (float c : kDifferencePolynomial)
        p = p * w + c;
    return p;
}

} // namespace

PowerAmpStage::PowerAmpStage()
{
    for (BiquadSection* section : {&presence, &highPass, &halfHighPassA, &halfHighPassB})
        section->setSampleRate(kDesignRate);
    presence.designPeak(kPresenceHz, 0.0f, kPresenceQ);
    highPass.designHighPass(kPowerAmpHighPassHz, kSecondOrder);
    halfHighPassA.designHighPass(kPowerAmpHighPassHz, kSecondOrder);
    halfHighPassB.designHighPass(kPowerAmpHighPassHz, kSecondOrder);
    CopyCoefficients();
}

void PowerAmpStage::CopyCoefficients()
{
    presenceCoefs = presence.copyCoefficients();
    highPassCoefs = highPass.copyCoefficients();
    halfACoefs = halfHighPassA.copyCoefficients();
    halfBCoefs = halfHighPassB.copyCoefficients();
    halfBCoefs.g *= kHalfBImbalance;
}

void PowerAmpStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    for (BiquadSection* section : {&presence, &highPass, &halfHighPassA, &halfHighPassB})
        section->setSampleRate(rate);
    CopyCoefficients();
}

void PowerAmpStage::SetWidth(float w)
{
    if (w > 0.0f && w <= kWidestTube)
        width = w;
}

void PowerAmpStage::SetTubeType(int32_t type)
{
    tubeType = std::clamp(type, 0, int32_t(kAmpTypes.size()) - 1);
    const AmpType& row = kAmpTypes[size_t(tubeType)];
    tube = row.model->curve;
    driveScale = row.model->driveScale;
    levelFactor = row.levelFactor;
    SetWidth(row.width);
    outputGain = levelFactor / width * row.model->outputTrim;
    differenceScale = DifferenceScaleAt(width) * row.model->differenceTrim;
}

void PowerAmpStage::SetPresence(float percent)
{
    presence.designPeak(kPresenceHz, kPresenceDbAtFull * (percent / kPercent), kPresenceQ);
    presenceCoefs = presence.copyCoefficients();
}

void PowerAmpStage::SetVolume(float percent)
{
    const auto remaining = float(std::log10(kVolumeLogBase - double(percent)));
    const auto full = float(std::log10(kVolumeLogBase));
    inputGain = kVolumeRange * driveScale * (1.0f - remaining / full);
}

bool PowerAmpStage::StateIsFinite() const
{
    for (const BiquadState* s : {&presenceState, &highPassState, &halfAState, &halfBState})
        if (!std::isfinite(s->state1) || !std::isfinite(s->state2))
            return false;
    return true;
}

void PowerAmpStage::Reset()
{
    presenceState.Reset();
    highPassState.Reset();
    halfAState.Reset();
    halfBState.Reset();
}

CORVPowerAmpGuitarDSP::CORVPowerAmpGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "PAG - Guitar Power Amp";
    shortName = "PAG";
    fourCC = FourCC("pag1");

    AddParameters({
        // index    name        texts  min   max     step  default taper
        {kVolume,   "Volume",   {"%"}, 0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kPresence, "Presence", {"%"}, 0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kType,     "Type",
         {"EL34 Amp 50 W", "EL34 Amp 100 W", "6L6 Amp 50 W", "6L6 Amp 100 W"},
                                       0.0f, 3.0f,   1.0f, 2.0f,   ScaleList},
    });
    AddPresets({
        // preset     Volume  Presence  Type
        {"Default", {50.0f,  50.0f,    2.0f}},
        {"Crunch",  {60.0f,  30.0f,    0.0f}},
        {"Rock",    {60.0f,  50.0f,    1.0f}},
        {"Clean",   {50.0f,  100.0f,   2.0f}},
        {"Metal",   {40.0f,  75.0f,    3.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVPowerAmpGuitarDSP::UpdateParameters(bool reinitialise)
{
    const float volume = Value(kVolume);
    const float presence = Value(kPresence);
    const float type = Value(kType);

    if (reinitialise) {
        for (PowerAmpStage& stage : stages) {
            stage = PowerAmpStage();
            stage.SetSampleRate(float(sampleRate));
        }
        Reset();
        needsReinit = false;
    }
    for (PowerAmpStage& stage : stages) {
        stage.SetTubeType(int32_t(type));
        stage.SetPresence(presence);
        stage.SetVolume(volume);
    }
    parametersChanged = false;
}

void CORVPowerAmpGuitarDSP::Reset()
{
    for (PowerAmpStage& stage : stages)
        stage.Reset();
}

void CORVPowerAmpGuitarDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RunChannelStages(stages, inputs, outputs, frameCount);
    if (!stages[0].StateIsFinite() || !stages[1].StateIsFinite())
        Reset();
}
