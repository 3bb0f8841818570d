#include "effects/drive/CORVOverDriveDSP.h"

#include "dsp/FourCC.h"
#include "effects/drive/DriveCharacters.h"

namespace {

// Level from -60 dB to -10 dB.
constexpr OutputLaw kOverDriveOutput{OutputStage::Level, {5.0, -600.0}, 1.0, 0.0};

} // namespace

CORVOverDriveDSP::CORVOverDriveDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVDriveDSP(sampleRate_, maxFrames_, kOverdriveCharacter, kOverDriveOutput)
{
    longName = "OD - Overdrive";
    shortName = "OD";
    fourCC = FourCC("odu1");

    AddParameters({
        // index name     texts  min   max     step  default taper
        {kLevel, "Level", {"%"}, 0.0f, 100.0f, 1.0f, 74.0f,  ScaleLinear},
        {kColor, "Color", {"%"}, 0.0f, 100.0f, 1.0f, 45.0f,  ScaleLinear},
        {kDrive, "Drive", {"%"}, 0.0f, 100.0f, 1.0f, 80.0f,  ScaleLinear},
    });
    AddPresets({
        // preset          Level  Color  Drive
        {"Default",       {74.0f, 45.0f, 80.0f}},
        {"Full drive",    {76.0f, 45.0f, 100.0f}},
        {"Ready to rock", {76.0f, 46.0f, 76.0f}},
        {"Crunch",        {78.0f, 48.0f, 42.0f}},
        {"Tube preamp",   {94.0f, 40.0f, 13.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
