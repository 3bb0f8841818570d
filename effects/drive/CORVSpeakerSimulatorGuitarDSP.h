#pragma once
#include "core/CORVParRelations.h"
#include "effects/drive/SpeakerStage.h"

#include <array>

// "SPG - Guitar Speaker Simulator": fifteen guitar cabinets and microphone
// positions, each a fixed cascade of twenty sections.
class CORVSpeakerSimulatorGuitarDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kVolume = 2,
        kSpeakerType = 3,
    };

    CORVSpeakerSimulatorGuitarDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    // The cabinet has no state worth clearing on its own; a model change
    // clears its sections.
    void Reset() override {}

    const SpeakerStage& Stage(int channel) const { return stages[size_t(channel)]; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    std::array<SpeakerStage, 2> stages;
};
