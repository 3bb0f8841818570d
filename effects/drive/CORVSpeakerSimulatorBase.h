#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/drive/SpeakerStage.h"

#include <array>
#include <span>

// What the guitar and bass cabinets share: a "Volume" and a "Speaker Type"
// choosing one model of a table for both channels' stages.  The two effects
// differ only in their tables, names and presets.
class CORVSpeakerSimulatorBase : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kVolume = 2,
        kSpeakerType = 3,
    };

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    const SpeakerStage& Stage(int channel) const { return stages[size_t(channel)]; }

protected:
    // slots: the woofer's alone, or room for a horn as well.
    CORVSpeakerSimulatorBase(double sampleRate, uint32_t maxFrames, std::span<const SpeakerModel> models,
                             size_t slots);

    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    SpeakerStage NewStage() const { return SpeakerStage(models, slots); }

    std::span<const SpeakerModel> models;
    size_t slots;
    std::array<SpeakerStage, 2> stages;
};
