#pragma once
#include "effects/drive/CORVDriveDSP.h"

// "OD - Overdrive": the guitar overdrive; the clipper sits before a light
// feedback loop.
class CORVOverDriveDSP : public CORVDriveDSP {
public:
    enum ParameterIndex : int32_t {
        kLevel = 2,
        kColor = 3,
        kDrive = 4,
    };

    CORVOverDriveDSP(double sampleRate, uint32_t maxFrames);
};
