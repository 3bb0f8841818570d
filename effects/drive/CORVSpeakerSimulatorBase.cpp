#include "effects/drive/CORVSpeakerSimulatorBase.h"

CORVSpeakerSimulatorBase::CORVSpeakerSimulatorBase(double sampleRate_, uint32_t maxFrames_,
                                                   std::span<const SpeakerModel> models_, size_t slots_)
    : CORVParRelations(sampleRate_, maxFrames_), models(models_), slots(slots_), stages{NewStage(), NewStage()}
{
}

void CORVSpeakerSimulatorBase::UpdateParameters(bool reinitialise)
{
    const float volume = Value(kVolume);
    const float speakerType = Value(kSpeakerType);

    if (reinitialise) {
        stages = {NewStage(), NewStage()};
        Reset();
        needsReinit = false;
    }
    UpdateStages(stages, sampleRate, speakerType, volume);
    parametersChanged = false;
}

void CORVSpeakerSimulatorBase::Reset()
{
    for (SpeakerStage& stage : stages)
        stage.ClearState();
}

void CORVSpeakerSimulatorBase::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // Both channels always play the same model.
    if (stages[0].HasHorn())
        ProcessStages<true>(stages, inputs, outputs, frameCount);
    else
        ProcessStages<false>(stages, inputs, outputs, frameCount);
}
