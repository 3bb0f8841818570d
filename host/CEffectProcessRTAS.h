#pragma once
#include "host/CEffectProcess.h"

// The real-time framework: the engine hands over one block of channel
// pointers (one per channel of the instance) at a time.
class CEffectProcessRTAS : public virtual CEffectProcess {
public:
    // Engine entry for one block; denormals are flushed while it runs.
    int32_t Render(float* const* inputs, float* const* outputs, int32_t frameCount);

protected:
    CEffectProcessRTAS() : CEffectProcess(SProcessContext{}) {}
    virtual int32_t RenderAudio(float* const* inputs, float* const* outputs, int32_t frameCount) = 0;
};
