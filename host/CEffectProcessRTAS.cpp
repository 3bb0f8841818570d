#include "host/CEffectProcessRTAS.h"

#include "platform/DenormalGuard.h"

int32_t CEffectProcessRTAS::Render(float* const* inputs, float* const* outputs, int32_t frameCount)
{
    platform::DenormalGuard guard;
    return RenderAudio(inputs, outputs, frameCount);
}
