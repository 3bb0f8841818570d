#include "effects/drive/CORVDistortionBassDSP.h"

#include "dsp/FourCC.h"
#include "effects/drive/DriveCharacters.h"

namespace {

// The driven signal fades in from a fifth of -40 dB to a fifth of -15 dB
// under a dry signal held at three times -15 dB; past the middle of the
// knob the dry signal fades out the same way under the driven one.
constexpr OutputLaw kDistortionBassOutput{OutputStage::DryMix, {5.0, -400.0}, 1.0 / 5.0, 3.0};

} // namespace

CORVDistortionBassDSP::CORVDistortionBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVDriveDSP(sampleRate_, maxFrames_, kDistortionCharacter, kDistortionBassOutput)
{
    longName = "DTB - Bass Distortion";
    shortName = "DTB";
    fourCC = FourCC("dtb1");

    AddParameters({
        // index      name          texts  min   max     step  default taper
        {kMix,        "Mix",        {"%"}, 0.0f, 100.0f, 1.0f, 69.0f,  ScaleLinear},
        {kColor,      "Color",      {"%"}, 0.0f, 100.0f, 1.0f, 45.0f,  ScaleLinear},
        {kDistortion, "Distortion", {"%"}, 0.0f, 100.0f, 1.0f, 90.0f,  ScaleLinear},
    });
    AddPresets({
        // preset             Mix    Color  Distortion
        {"Default",          {69.0f, 45.0f, 90.0f}},
        {"Cabinet",          {0.0f,  0.0f,  0.0f}},
        {"Light",            {40.0f, 0.0f,  35.0f}},
        {"50:50 Mix",        {50.0f, 50.0f, 50.0f}},
        {"Super Distortion", {70.0f, 75.0f, 75.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
