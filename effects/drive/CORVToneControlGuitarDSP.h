#pragma once
#include "effects/drive/CORVToneControlBase.h"

// "TCG - Guitar Tone Control": the passive tone stacks of five guitar amp
// families, from the deep, low notch of the American clean and high-gain
// amps to the higher, shallower mid dip of the British and modern ones.
class CORVToneControlGuitarDSP : public CORVToneControlBase {
public:
    CORVToneControlGuitarDSP(double sampleRate, uint32_t maxFrames);
};
