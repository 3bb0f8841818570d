#include "core/CORVEffectProcessRTAS.h"

CORVEffectProcessRTAS::CORVEffectProcessRTAS(int32_t effectId_, const SProcessContext& context)
    : CEffectProcess(context), CORVEffectProcessSpecific(effectId_)
{
}

int32_t CORVEffectProcessRTAS::RenderAudio(float* const* inputs, float* const* outputs, int32_t frameCount)
{
    RenderBlock(inputs, outputs, frameCount);
    return GetNumChannels();
}
