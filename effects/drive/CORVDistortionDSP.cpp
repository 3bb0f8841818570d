#include "effects/drive/CORVDistortionDSP.h"

#include "dsp/FourCC.h"
#include "effects/drive/DriveCharacters.h"

namespace {

// Level from -40 dB to -15 dB.
constexpr OutputLaw kDistortionOutput{OutputStage::Level, {2.5, -400.0}, 1.0, 0.0};

} // namespace

CORVDistortionDSP::CORVDistortionDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVDriveDSP(sampleRate_, maxFrames_, kDistortionCharacter, kDistortionOutput)
{
    longName = "DT - Distortion";
    shortName = "DT";
    fourCC = FourCC("dtu1");

    AddParameters({
        // index      name          texts  min   max     step  default taper
        {kLevel,      "Level",      {"%"}, 0.0f, 100.0f, 1.0f, 69.0f,  ScaleLinear},
        {kColor,      "Color",      {"%"}, 0.0f, 100.0f, 1.0f, 45.0f,  ScaleLinear},
        {kDistortion, "Distortion", {"%"}, 0.0f, 100.0f, 1.0f, 90.0f,  ScaleLinear},
    });
    AddPresets({
        // preset        Level  Color  Distortion
        {"Default",     {69.0f, 45.0f, 90.0f}},
        {"Razor",       {60.0f, 78.0f, 100.0f}},
        {"Lead",        {71.0f, 45.0f, 100.0f}},
        {"Heavy Metal", {66.0f, 51.0f, 90.0f}},
        {"Blues",       {76.0f, 65.0f, 16.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
