#pragma once
#include "effects/drive/CORVSpeakerSimulatorBase.h"

// "SPG - Guitar Speaker Simulator": fifteen guitar cabinets and microphone
// positions, each a fixed cascade of twenty sections.
class CORVSpeakerSimulatorGuitarDSP : public CORVSpeakerSimulatorBase {
public:
    CORVSpeakerSimulatorGuitarDSP(double sampleRate, uint32_t maxFrames);
};
