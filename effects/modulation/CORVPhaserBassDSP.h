#pragma once
#include "effects/modulation/CORVPhaserBase.h"

// "PHB - Bass Phaser": the guitar phaser with "Impact", a crossover below
// which the bass's fundamentals pass unphased, keeping the low end solid.
class CORVPhaserBassDSP : public CORVPhaserBase {
public:
    enum ParameterIndex : int32_t {
        kMix = 2,
        kRate = 3,
        kDepth = 4,
        kResonance = 5,
        kImpact = 6,
        kSyncCoeff = 7,
        kTap = 8,
    };

    CORVPhaserBassDSP(double sampleRate, uint32_t maxFrames);
};
