#include "effects/drive/CORVToneControlGuitarDSP.h"

#include "dsp/FourCC.h"

namespace {

// Mid notch with bass and treble at half way and mid at zero: 408, 854, 591, 1005 and 240 Hz.
constexpr ToneStackVoicing kGuitarVoicings[] = {
    // ohms and farads: slope resistor, treble, bass and mid pots, treble, bass and mid caps
    // name              R1      treble  bass    mid     C1        C2       C3       make-up dB
    {"American Clean",  {100e3,  250e3,  250e3,  10e3,   250e-12,  100e-9,  47e-9}, 6.0},
    {"British Crunch",  {33e3,   220e3,  1e6,    22e3,   470e-12,  22e-9,   22e-9}, 3.5},
    {"British Classic", {56e3,   250e3,  1e6,    25e3,   500e-12,  22e-9,   22e-9}, 4.5},
    {"Modern Higain",   {22e3,   250e3,  1e6,    25e3,   470e-12,  22e-9,   22e-9}, 2.5},
    {"American Higain", {100e3,  250e3,  250e3,  25e3,   500e-12,  47e-9,   47e-9}, 5.0},
};

constexpr float kGuitarDefaultType = 4.0f; // "American Higain"

} // namespace

CORVToneControlGuitarDSP::CORVToneControlGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVToneControlBase(sampleRate_, maxFrames_, kGuitarVoicings)
{
    longName = "TCG - Guitar Tone Control";
    shortName = "TCG";
    fourCC = FourCC("tcg1");

    AddPresets({
        // preset             Volume  Bass    Mid     Treble  Type
        {"Default",        {0.0f,   50.0f,  50.0f,  50.0f,  4.0f}},
        {"American Clean", {0.0f,   15.0f,  62.0f,  55.0f,  0.0f}},
        {"British",        {0.0f,   8.0f,   35.0f,  100.0f, 1.0f}},
        {"British 2",      {0.0f,   30.0f,  0.0f,   78.0f,  2.0f}},
        {"Modern",         {0.0f,   54.0f,  70.0f,  95.0f,  3.0f}},
    });
    AddToneControls(kGuitarDefaultType);
    ApplyPreset("Default");
    UpdateParameters(true);
}
