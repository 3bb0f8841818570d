#pragma once
#include "effects/drive/CORVDriveDSP.h"

// "DTB - Bass Distortion": the distortion with a "Mix" knob that blends the
// driven signal with the untouched input, so the bass keeps its low end.
class CORVDistortionBassDSP : public CORVDriveDSP {
public:
    enum ParameterIndex : int32_t {
        kMix = 2,
        kColor = 3,
        kDistortion = 4,
    };

    CORVDistortionBassDSP(double sampleRate, uint32_t maxFrames);
};
