#include "effects/drive/CORVSpeakerSimulatorBassDSP.h"

#include "dsp/FourCC.h"

CORVSpeakerSimulatorBassDSP::CORVSpeakerSimulatorBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVSpeakerSimulatorBase(sampleRate_, maxFrames_, BassSpeakerModels(), SpeakerStage::kMaxSlots)
{
    longName = "SPB - Bass Speaker Simulator";
    shortName = "SPB";
    fourCC = FourCC("spb1");

    AddParameters({
        // index       name            texts                                    min     max    step  default taper
        {kVolume,      "Volume",       {"dB"},                                  -40.0f, 20.0f, 0.5f, 0.0f,   ScaleLinear},
        {kSpeakerType, "Speaker Type", SpeakerTypeEntries(BassSpeakerModels()), 0.0f,   5.0f,  1.0f, 2.0f,   ScaleList},
    });
    AddPresets({
        // preset        Volume  Speaker Type
        {"Default",    {0.0f,   2.0f}},
        {"On Axis",    {0.0f,   0.0f}},
        {"On Axis H",  {0.0f,   1.0f}},
        {"Off Axis",   {0.0f,   2.0f}},
        {"Off Axis H", {0.0f,   3.0f}},
        {"Far",        {0.0f,   4.0f}},
        {"Far H",      {0.0f,   5.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
