#pragma once
#include "effects/drive/CORVToneControlBase.h"

// "TCB - Bass Tone Control": four bass amp tone stacks, with larger bass
// caps than the guitar ones and mid notches spread from about 280 Hz to
// 1.7 kHz.
class CORVToneControlBassDSP : public CORVToneControlBase {
public:
    CORVToneControlBassDSP(double sampleRate, uint32_t maxFrames);
};
