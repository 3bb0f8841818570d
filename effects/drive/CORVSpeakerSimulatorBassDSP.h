#pragma once
#include "effects/drive/CORVSpeakerSimulatorBase.h"

// "SPB - Bass Speaker Simulator": a 2x10 bass cabinet at three microphone
// positions, each with or without its horn.  The woofer is a cascade of
// twenty sections; the horn, eleven more, filters the woofer's output and is
// mixed back onto it.
class CORVSpeakerSimulatorBassDSP : public CORVSpeakerSimulatorBase {
public:
    CORVSpeakerSimulatorBassDSP(double sampleRate, uint32_t maxFrames);
};
