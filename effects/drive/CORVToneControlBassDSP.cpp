#include "effects/drive/CORVToneControlBassDSP.h"

#include "dsp/FourCC.h"

namespace {

// Mid notch with bass and treble at half way and mid at zero: 864, 1703, 569 and 282 Hz.
constexpr ToneStackVoicing kBassVoicings[] = {
    // ohms and farads: slope resistor, treble, bass and mid pots, treble, bass and mid caps
    // name            R1      treble  bass    mid     C1        C2       C3       make-up dB
    {"Classic",       {56e3,   250e3,  1e6,    25e3,   250e-12,  20e-9,   20e-9}, 4.5},
    {"Modern Tube",   {47e3,   250e3,  500e3,  25e3,   150e-12,  47e-9,   10e-9}, 5.0},
    {"British Tube",  {33e3,   220e3,  1e6,    22e3,   470e-12,  47e-9,   47e-9}, 3.5},
    {"American Tube", {100e3,  250e3,  250e3,  10e3,   250e-12,  100e-9,  100e-9}, 6.0},
};

constexpr float kBassDefaultType = 3.0f; // "American Tube"

} // namespace

CORVToneControlBassDSP::CORVToneControlBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVToneControlBase(sampleRate_, maxFrames_, kBassVoicings)
{
    longName = "TCB - Bass Tone Control";
    shortName = "TCB";
    fourCC = FourCC("tcb1");

    AddPresets({
        // preset       Volume  Bass    Mid     Treble  Type
        {"Default",  {0.0f,   50.0f,  50.0f,  50.0f,  3.0f}},
        {"Vintage",  {0.0f,   100.0f, 50.0f,  0.0f,   0.0f}},
        {"Modern",   {0.0f,   75.0f,  0.0f,   100.0f, 1.0f}},
        {"American", {0.0f,   70.0f,  65.0f,  100.0f, 3.0f}},
        {"British",  {0.0f,   78.0f,  100.0f, 74.0f,  2.0f}},
    });
    AddToneControls(kBassDefaultType);
    ApplyPreset("Default");
    UpdateParameters(true);
}
