#include "effects/drive/CORVOverDriveBassDSP.h"

#include "dsp/FourCC.h"
#include "effects/drive/DriveCharacters.h"

namespace {

// The driven signal fades in from a quarter of -60 dB to a quarter of
// -10 dB under a dry signal held at twice -10 dB; past the middle of the
// knob the dry signal fades out the same way under the driven one.
constexpr OutputLaw kOverDriveBassOutput{OutputStage::DryMix, {10.0, -600.0}, 0.25, 2.0};

} // namespace

CORVOverDriveBassDSP::CORVOverDriveBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVDriveDSP(sampleRate_, maxFrames_, kOverdriveCharacter, kOverDriveBassOutput)
{
    longName = "ODB - Bass Overdrive";
    shortName = "ODB";
    fourCC = FourCC("odb1");

    AddParameters({
        // index name     texts  min   max     step  default taper
        {kMix,   "Mix",   {"%"}, 0.0f, 100.0f, 1.0f, 74.0f,  ScaleLinear},
        {kColor, "Color", {"%"}, 0.0f, 100.0f, 1.0f, 45.0f,  ScaleLinear},
        {kDrive, "Drive", {"%"}, 0.0f, 100.0f, 1.0f, 80.0f,  ScaleLinear},
    });
    AddPresets({
        // preset       Mix    Color  Drive
        {"Default",    {74.0f, 45.0f, 80.0f}},
        {"Cabinet",    {0.0f,  0.0f,  0.0f}},
        {"Light",      {45.0f, 0.0f,  50.0f}},
        {"Crunch",     {55.0f, 0.0f,  55.0f}},
        {"SuperDrive", {70.0f, 50.0f, 70.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
