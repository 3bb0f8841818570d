#include "effects/drive/CORVGraphicEQBassDSP.h"

#include "dsp/FourCC.h"

namespace {

constexpr GraphicBand kBassBands[] = {
    // index                               name            centre (Hz)
    {CORVGraphicEQBassDSP::kGain50Hz,   "Gain 50 Hz",   50.0f},
    {CORVGraphicEQBassDSP::kGain120Hz,  "Gain 120 Hz",  120.0f},
    {CORVGraphicEQBassDSP::kGain400Hz,  "Gain 400 Hz",  400.0f},
    {CORVGraphicEQBassDSP::kGain500Hz,  "Gain 500 Hz",  500.0f},
    {CORVGraphicEQBassDSP::kGain800Hz,  "Gain 800 Hz",  800.0f},
    {CORVGraphicEQBassDSP::kGain4500Hz, "Gain 4.5 kHz", 4500.0f},
    {CORVGraphicEQBassDSP::kGain10kHz,  "Gain 10 kHz",  10000.0f}, // high shelf
};

} // namespace

CORVGraphicEQBassDSP::CORVGraphicEQBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVGraphicEQBase(sampleRate_, maxFrames_, kBassBands)
{
    longName = "GEB - Bass Graphic EQ";
    shortName = "GEB";
    fourCC = FourCC("geb1");

    AddPresets({
        // preset        50 Hz  120 Hz  400 Hz  500 Hz  800 Hz  4.5 kHz  10 kHz  Output
        {"Default",    {0.0f,  0.0f,   0.0f,   0.0f,   0.0f,   0.0f,    0.0f,   0.0f}},
        {"Old School", {9.4f,  -6.0f,  5.3f,   10.0f,  6.0f,   2.7f,    -4.0f,  0.0f}},
        {"Modern",     {5.3f,  0.0f,   -5.4f,  -10.7f, -4.6f,  2.7f,    10.7f,  0.0f}},
        {"Slap",       {4.0f,  -0.6f,  -8.7f,  8.0f,   1.3f,   8.0f,    14.0f,  0.0f}},
        {"Chaos",      {1.3f,  6.7f,   -8.7f,  3.3f,   15.3f,  -6.6f,   9.3f,   -1.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}
