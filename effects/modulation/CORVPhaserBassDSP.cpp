#include "effects/modulation/CORVPhaserBassDSP.h"

#include "dsp/FourCC.h"

namespace {

constexpr PhaserLayout kBassLayout{
    .mix = CORVPhaserBassDSP::kMix,
    .rate = CORVPhaserBassDSP::kRate,
    .depth = CORVPhaserBassDSP::kDepth,
    .resonance = CORVPhaserBassDSP::kResonance,
    .impact = CORVPhaserBassDSP::kImpact,
    .syncCoeff = CORVPhaserBassDSP::kSyncCoeff,
    .tap = CORVPhaserBassDSP::kTap,
};

} // namespace

CORVPhaserBassDSP::CORVPhaserBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVPhaserBase(sampleRate_, maxFrames_, kBassLayout)
{
    longName = "PHB - Bass Phaser";
    shortName = "PHB";
    fourCC = FourCC("phb1");

    AddParameters(ParameterTable());
    // "Stop Phase" stores a rate below the control's range on purpose: a rate
    // of 0 halts the sweep where it stands.
    AddPresets({
        // preset          Mix     Rate   Depth   Resonance  Impact  Sync coeff  Tap
        {"Default",      {50.0f,  0.5f,  50.0f,  50.0f,     2.0f,   0.0f,       0.0f}},
        {"Stop Phase",   {73.0f,  0.0f,  100.0f, 100.0f,    0.0f,   0.0f,       0.0f}},
        {"Slow Phase",   {82.0f,  0.13f, 73.0f,  63.0f,     3.0f,   0.0f,       0.0f}},
        {"Fast Phase",   {100.0f, 0.86f, 100.0f, 67.0f,     1.0f,   0.0f,       0.0f}},
        {"Helico Phase", {100.0f, 1.0f,  100.0f, 100.0f,    3.0f,   0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
