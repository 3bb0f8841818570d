#pragma once
#include "core/CORVParRelations.h"
#include "effects/drive/SpeakerStage.h"

#include <array>

// "SPB - Bass Speaker Simulator": a 2x10 bass cabinet at three microphone
// positions, each with or without its horn.  The woofer is a cascade of
// twenty sections; the horn, eleven more, filters the woofer's output and is
// mixed back onto it.
class CORVSpeakerSimulatorBassDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kVolume = 2,
        kSpeakerType = 3,
    };

    CORVSpeakerSimulatorBassDSP(double sampleRate, uint32_t maxFrames);

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
