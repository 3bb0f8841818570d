#include "effects/modulation/CORVPedalWahDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"

#include <cmath>

namespace {

// "Pedal" 1 puts the filter at the "Range" frequency: the lowest position is
// one percent below the knob's value.
constexpr float kPedalOffset = 0.01f;
// 0.005 per sample crosses the whole travel in about 200 samples, a few
// milliseconds: fast enough to follow a foot, slow enough not to click.
constexpr float kGlideStep = 0.005f;
constexpr float kTopFrequency = 2500.0f;
constexpr float kInitialCentre = 1000.0f;

} // namespace

CORVPedalWahDSP::CORVPedalWahDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "PW - Pedal Wah";
    shortName = "PW";
    fourCC = FourCC("pwu1");

    AddParameters({
        // index     name         texts   min     max     step  default taper
        {kPedal,     "Pedal",     {"%"},  1.0f,   100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kResonance, "Resonance", {""},   10.0f,  100.0f, 0.5f, 52.0f,  ScaleLinear},
        {kRange,     "Range",     {"Hz"}, 200.0f, 440.0f, 1.0f, 300.0f, ScaleLinear},
    });
    AddPresets({
        // preset            Pedal   Resonance Range
        {"Default",        {50.0f, 52.0f,    300.0f}},
        {"Sweet Mummy",    {31.0f, 10.0f,    242.0f}},
        {"Shy Baby",       {1.0f,  37.0f,    330.0f}},
        {"Angry Daddy",    {1.0f,  70.0f,    440.0f}},
        {"House Opposite", {1.0f,  100.0f,   200.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

float CORVPedalWahDSP::PolynomialTan(float x)
{
    const float z = x * x;
    float p = 0.009516809f;
    p = 0.002900525f + z * p;
    p = 0.02456509f + z * p;
    p = 0.05337406f + z * p;
    p = 0.1333924f + z * p;
    p = 0.3333314f + z * p;
    return x * (1.0f + z * p);
}

float CORVPedalWahDSP::PolynomialCos(float x)
{
    const float z = x * x;
    float p = -2.605e-07f;
    p = 2.47609e-05f + z * p;
    p = -0.0013888397f + z * p;
    p = 0.04166664f + z * p;
    p = -0.5f + z * p;
    return 1.0f + z * p;
}

void CORVPedalWahDSP::Glide::Step()
{
    // Once at the target the position keeps stepping and so alternates
    // between two values a step apart; the centre moves by about 1 %, which
    // is inaudible, and the loop needs no settled state.
    position += target > position ? kGlideStep : -kGlideStep;
    centre = std::exp(logRange + logSpan * position);
}

void CORVPedalWahDSP::UpdateParameters(bool reinitialise)
{
    if (reinitialise) {
        glide.centre = kInitialCentre;
        glide.position = 0.0f;
        angleFactor = WahAngleFactor(sampleRate);
        qCode = kWahDefaultQCode;
        bandwidthFactor = WahBandwidthFactor(qCode, sampleRate);
        Reset();
        needsReinit = false;
    }
    qCode = int32_t(Value(kResonance));
    bandwidthFactor = WahBandwidthFactor(qCode, sampleRate);
    glide.target = Value(kPedal) / kPercent - kPedalOffset;
    glide.logRange = std::log(Value(kRange));
    glide.logSpan = std::log(kTopFrequency) - glide.logRange;
    glide.Step();
    parametersChanged = false;
}

void CORVPedalWahDSP::Reset()
{
    for (WahChannel& channel : channels)
        channel.Reset();
}

void CORVPedalWahDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // Local copies keep the state in registers; the output stores could
    // otherwise alias the members.
    Glide sweep = glide;
    WahChannel left = channels[0];
    WahChannel right = channels[1];
    const float bandwidth = bandwidthFactor;
    const float angle = angleFactor;
    ForEachFrame(inputs, outputs, frameCount, [&](float inLeft, float inRight) {
        sweep.Step();
        const WahBand band =
            WahBandFrom(PolynomialTan(bandwidth * sweep.centre), -PolynomialCos(angle * sweep.centre));
        return StereoFrame{left.Process(band, inLeft) * kWahFilterGain, right.Process(band, inRight) * kWahFilterGain};
    });
    glide = sweep;
    channels = {left, right};
}
