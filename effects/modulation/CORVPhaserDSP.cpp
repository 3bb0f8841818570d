#include "effects/modulation/CORVPhaserDSP.h"

#include "dsp/FourCC.h"

namespace {

constexpr PhaserLayout kGuitarLayout{
    .mix = CORVPhaserDSP::kMix,
    .rate = CORVPhaserDSP::kRate,
    .depth = CORVPhaserDSP::kDepth,
    .resonance = CORVPhaserDSP::kResonance,
    .impact = 0, // the guitar phases the whole signal
    .syncCoeff = CORVPhaserDSP::kSyncCoeff,
    .tap = CORVPhaserDSP::kTap,
};

} // namespace

CORVPhaserDSP::CORVPhaserDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVPhaserBase(sampleRate_, maxFrames_, kGuitarLayout)
{
    longName = "PH - Phaser";
    shortName = "PH";
    fourCC = FourCC("phu1");

    AddParameters(ParameterTable());
    AddPresets({
        // preset      Mix    Rate   Depth   Resonance  Sync coeff  Tap
        {"Default",  {50.0f, 0.5f,  50.0f,  50.0f,     0.0f,       0.0f}},
        {"Rhythm",   {50.0f, 0.5f,  50.0f,  50.0f,     0.0f,       0.0f}},
        {"Funky",    {52.0f, 1.84f, 72.0f,  19.0f,     0.0f,       0.0f}},
        {"Dream on", {37.0f, 3.16f, 18.0f,  50.0f,     0.0f,       0.0f}},
        {"Hard",     {50.0f, 3.82f, 100.0f, 100.0f,    0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
