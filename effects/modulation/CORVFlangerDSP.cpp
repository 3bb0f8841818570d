#include "effects/modulation/CORVFlangerDSP.h"

#include "dsp/FourCC.h"

CORVFlangerDSP::CORVFlangerDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVFlangerBase(sampleRate_, maxFrames_, kSyncCoeff, kTap)
{
    longName = "FL - Flanger";
    shortName = "FL";
    fourCC = FourCC("flu1");

    AddPresets({
        // preset                Fx Tune  Rate    Depth   Regeneration  Sync coeff  Tap
        {"Default",            {50.0f,   0.692f, 50.0f,  50.0f,        0.0f,       0.0f}},
        {"Clean G1",           {33.0f,   0.219f, 37.0f,  78.0f,        0.0f,       0.0f}},
        {"Clean G2",           {0.0f,    0.129f, 100.0f, 86.0f,        0.0f,       0.0f}},
        {"Wet & Slow",         {0.0f,    0.081f, 100.0f, 91.0f,        0.0f,       0.0f}},
        {"Big & High",         {100.0f,  0.151f, 16.0f,  90.0f,        0.0f,       0.0f}},
        {"Big & Low",          {0.0f,    0.23f,  44.0f,  75.0f,        0.0f,       0.0f}},
        {"Destroyer",          {0.0f,    9.33f,  88.0f,  33.0f,        0.0f,       0.0f}},
        {"Flatrix 1",          {10.0f,   2.455f, 0.0f,   80.0f,        0.0f,       0.0f}},
        {"Flatrix 2",          {56.0f,   2.455f, 0.0f,   80.0f,        0.0f,       0.0f}},
        {"Flatrix 3",          {91.0f,   2.455f, 0.0f,   80.0f,        0.0f,       0.0f}},
        {"Flatrix Low Detune", {0.0f,    0.49f,  5.0f,   85.0f,        0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVFlangerDSP::UpdateParameters(bool reinitialise) { UpdateFlanger(reinitialise); }

void CORVFlangerDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    FullBand wholeBand;
    Sweep(inputs, outputs, frameCount, wholeBand);
}
