#pragma once
#include "effects/drive/CORVGraphicEQBase.h"

// "GEG - Guitar Graphic EQ": peaks at 85 Hz and an octave apart from 200 Hz
// to 3.2 kHz, and a high shelf at 6.4 kHz.
class CORVGraphicEQGuitarDSP : public CORVGraphicEQBase {
public:
    enum ParameterIndex : int32_t {
        kGain100Hz = 2,
        kGain200Hz = 3,
        kGain400Hz = 4,
        kGain800Hz = 5,
        kGain1600Hz = 6,
        kGain3200Hz = 7,
        kGain6400Hz = 8,
    };

    CORVGraphicEQGuitarDSP(double sampleRate, uint32_t maxFrames);
};
