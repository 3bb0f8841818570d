#include "effects/drive/CORVSpeakerSimulatorGuitarDSP.h"

#include "dsp/FourCC.h"

CORVSpeakerSimulatorGuitarDSP::CORVSpeakerSimulatorGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVSpeakerSimulatorBase(sampleRate_, maxFrames_, GuitarSpeakerModels(), kWooferSlots)
{
    longName = "SPG - Guitar Speaker Simulator";
    shortName = "SPG";
    fourCC = FourCC("spg1");

    // "Speaker Type" steps by 7 entries: a host's stepping control lands on
    // the default, "Cabinet 112V Off Axis", from either end of the list.
    AddParameters({
        // index       name            texts                                      min     max    step  default taper
        {kVolume,      "Volume",       {"dB"},                                    -40.0f, 20.0f, 0.5f, 0.0f,   ScaleLinear},
        {kSpeakerType, "Speaker Type", SpeakerTypeEntries(GuitarSpeakerModels()), 0.0f,   14.0f, 7.0f, 7.0f,   ScaleList},
    });
    AddPresets({
        // preset              Volume  Speaker Type
        {"Default",          {0.0f,   7.0f}},
        {"Small Combo",      {0.0f,   2.0f}},
        {"Vintage Combo",    {0.0f,   5.0f}},
        {"Vintage Cabinet",  {0.0f,   13.0f}},
        {"Standard Cabinet", {0.0f,   10.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
