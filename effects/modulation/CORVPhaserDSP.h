#pragma once
#include "effects/modulation/CORVPhaserBase.h"

// "PH - Phaser": six swept all-pass stages per channel with feedback, mixed
// with the dry guitar.
class CORVPhaserDSP : public CORVPhaserBase {
public:
    enum ParameterIndex : int32_t {
        kMix = 2,
        kRate = 3,
        kDepth = 4,
        kResonance = 5,
        kSyncCoeff = 6,
        kTap = 7,
    };

    CORVPhaserDSP(double sampleRate, uint32_t maxFrames);
};
