#include "effects/modulation/CORVChorusDSP.h"

#include "dsp/FourCC.h"

CORVChorusDSP::CORVChorusDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVChorusBase(sampleRate_, maxFrames_, kSyncCoeff, kTap)
{
    longName = "CH - Chorus";
    shortName = "CH";
    fourCC = FourCC("chu1");

    AddPresets({
        // preset       Mix     Rate    Depth   Stereo  Sync coeff  Tap
        {"Default",   {50.0f,  1.0f,   50.0f,  10.0f,  0.0f,       0.0f}},
        {"Light",     {50.0f,  0.603f, 50.0f,  100.0f, 0.0f,       0.0f}},
        {"Slow",      {50.0f,  0.162f, 100.0f, 100.0f, 0.0f,       0.0f}},
        {"Speed",     {34.0f,  6.166f, 48.0f,  100.0f, 0.0f,       0.0f}},
        {"Clean G",   {50.0f,  0.372f, 100.0f, 100.0f, 0.0f,       0.0f}},
        {"12 th",     {50.0f,  0.871f, 100.0f, 100.0f, 0.0f,       0.0f}},
        {"Vibrato 1", {100.0f, 5.129f, 83.0f,  100.0f, 0.0f,       0.0f}},
        {"Vibrato 2", {65.0f,  7.244f, 72.0f,  85.0f,  0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVChorusDSP::UpdateParameters(bool reinitialise) { UpdateChorus(reinitialise); }

void CORVChorusDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    FullBand wholeBand;
    Sweep(inputs, outputs, frameCount, wholeBand);
}
