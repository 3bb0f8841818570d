#pragma once
#include "effects/drive/CORVGraphicEQBase.h"

// "GEB - Bass Graphic EQ": peaks at 50, 120, 400, 500 and 800 Hz and at
// 4.5 kHz, and a high shelf at 10 kHz.
class CORVGraphicEQBassDSP : public CORVGraphicEQBase {
public:
    enum ParameterIndex : int32_t {
        kGain50Hz = 2,
        kGain120Hz = 3,
        kGain400Hz = 4,
        kGain500Hz = 5,
        kGain800Hz = 6,
        kGain4500Hz = 7,
        kGain10kHz = 8,
    };

    CORVGraphicEQBassDSP(double sampleRate, uint32_t maxFrames);
};
