#pragma once
#include "effects/drive/CORVDriveDSP.h"

// "ODB - Bass Overdrive": the overdrive with a "Mix" knob that blends the
// driven signal with the untouched input, so the bass keeps its low end.
class CORVOverDriveBassDSP : public CORVDriveDSP {
public:
    enum ParameterIndex : int32_t {
        kMix = 2,
        kColor = 3,
        kDrive = 4,
    };

    CORVOverDriveBassDSP(double sampleRate, uint32_t maxFrames);
};
