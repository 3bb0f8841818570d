#pragma once
#include "effects/drive/CORVDriveDSP.h"

// "DT - Distortion": the guitar distortion; the clipper sits inside a strong
// feedback loop.
class CORVDistortionDSP : public CORVDriveDSP {
public:
    enum ParameterIndex : int32_t {
        kLevel = 2,
        kColor = 3,
        kDistortion = 4,
    };

    CORVDistortionDSP(double sampleRate, uint32_t maxFrames);
};
