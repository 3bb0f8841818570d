#include "effects/modulation/CORVLevelControlDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

namespace {

// "Wide" stretches every share by 1.5 about the point where it passes a whole
// channel, so the shares of the opposite channel turn negative: with the
// default placement each output loses half of the other side.
constexpr float kWideScale = 1.5f;
constexpr float kWideOffset = 0.5f;

} // namespace

CORVLevelControlDSP::CORVLevelControlDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "LC - Level Control";
    shortName = "LC";
    fourCC = FourCC("lcu1");

    AddParameters({
        // index     name           texts               min     max     step  default scale
        {kGain,       "Gain",        {"dB"},             -60.0f, 12.0f,  0.5f, 0.0f,   ScaleDecibel},
        {kLeft,       "Left",        {"%"},              0.0f,   100.0f, 1.0f, 0.0f,   ScaleLinear},
        {kRight,      "Right",       {"%"},              0.0f,   100.0f, 1.0f, 100.0f, ScaleLinear},
        {kStereoMode, "Stereo Mode", {"Normal", "Wide"}, 0.0f,   1.0f,   1.0f, 0.0f,   ScaleList},
    });
    AddPresets({
        // preset         Gain    Left    Right   Stereo Mode
        {"Default",     {0.0f,  0.0f,   100.0f, 0.0f}},
        {"Gain It",     {12.0f, 0.0f,   100.0f, 0.0f}},
        {"Wide Stereo", {0.0f,  0.0f,   100.0f, 1.0f}},
        {"Mono",        {0.0f,  50.0f,  50.0f,  0.0f}},
        {"Both to L",   {0.0f,  0.0f,   0.0f,   0.0f}},
        {"Both to R",   {0.0f,  100.0f, 100.0f, 0.0f}},
    });
    ApplyPreset("Default");
    // Nothing here depends on the sample rate.
    UpdateParameters(false);
}

void CORVLevelControlDSP::UpdateParameters(bool)
{
    leftKeep = 1.0f - Value(kLeft) / kPercent;
    rightShare = Value(kRight) / kPercent;
    wide = Value(kStereoMode) != 0.0f;
    const CORVDSPParameter& gainDb = *GetParameter(kGain);
    // The bottom of the range mutes.
    gain = gainDb.value > gainDb.minValue ? DecibelsToGain(gainDb.value) : 0.0f;

    const float l = leftKeep;
    const float r = rightShare;
    if (wide) {
        toLeft = {kWideScale * l - kWideOffset, 1.0f - kWideScale * r};
        toRight = {1.0f - kWideScale * l, kWideScale * r - kWideOffset};
    } else {
        toLeft = {l, 1.0f - r};
        toRight = {1.0f - l, r};
    }
    needsReinit = false;
    parametersChanged = false;
}

void CORVLevelControlDSP::Reset() {}

void CORVLevelControlDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    const Mix l = toLeft;
    const Mix r = toRight;
    const float g = gain;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        return StereoFrame{g * (l.fromLeft * left + l.fromRight * right),
                           g * (r.fromLeft * left + r.fromRight * right)};
    });
}
