#include "effects/drive/CORVGraphicEQGuitarDSP.h"

#include "dsp/FourCC.h"

namespace {

// The lowest band keeps the name of the 100 Hz octave but sits at 85 Hz,
// under the low E string's 82 Hz fundamental rather than above it.
constexpr GraphicBand kGuitarBands[] = {
    // index                                 name            centre (Hz)
    {CORVGraphicEQGuitarDSP::kGain100Hz,  "Gain 100 Hz",  85.0f},
    {CORVGraphicEQGuitarDSP::kGain200Hz,  "Gain 200 Hz",  200.0f},
    {CORVGraphicEQGuitarDSP::kGain400Hz,  "Gain 400 Hz",  400.0f},
    {CORVGraphicEQGuitarDSP::kGain800Hz,  "Gain 800 Hz",  800.0f},
    {CORVGraphicEQGuitarDSP::kGain1600Hz, "Gain 1.6 kHz", 1600.0f},
    {CORVGraphicEQGuitarDSP::kGain3200Hz, "Gain 3.2 kHz", 3200.0f},
    {CORVGraphicEQGuitarDSP::kGain6400Hz, "Gain 6.4 kHz", 6400.0f}, // high shelf
};

} // namespace

CORVGraphicEQGuitarDSP::CORVGraphicEQGuitarDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVGraphicEQBase(sampleRate_, maxFrames_, kGuitarBands)
{
    longName = "GEG - Guitar Graphic EQ";
    shortName = "GEG";
    fourCC = FourCC("geg1");

    AddPresets({
        // preset          100 Hz  200 Hz  400 Hz  800 Hz  1.6 kHz  3.2 kHz  6.4 kHz  Output
        {"Default",      {0.0f,   0.0f,   0.0f,   0.0f,   0.0f,    0.0f,    0.0f,    0.0f}},
        {"Guitar Clean", {-6.0f,  3.0f,   3.0f,   0.0f,   -4.0f,   3.0f,    9.0f,    -2.0f}},
        {"Guitar Hard",  {7.3f,   8.7f,   7.0f,   -2.6f,  8.0f,    4.0f,    -4.6f,   -4.0f}},
        {"Brass",        {0.0f,   2.6f,   -6.6f,  0.0f,   2.6f,    6.0f,    6.5f,    -2.0f}},
        {"Loudness",     {4.0f,   1.5f,   -1.0f,  -2.0f,  -3.0f,   0.0f,    3.5f,    -1.0f}},
        {"Hi-cut",       {0.0f,   0.0f,   0.0f,   0.0f,   2.6f,    5.5f,    -18.0f,  0.0f}},
        {"Kick",         {6.0f,   7.0f,   4.5f,   -6.0f,  -4.5f,   -2.6f,   5.0f,    -3.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
