#pragma once
#include "core/CORVEffectProcessSpecific.h"
#include "host/CEffectProcessRTAS.h"

// An effect instance on a track: processes each host block in one call.
class CORVEffectProcessRTAS : public CORVEffectProcessSpecific, public CEffectProcessRTAS {
public:
    CORVEffectProcessRTAS(int32_t effectId, const SProcessContext& context);

protected:
    // Returns the number of channels processed.
    int32_t RenderAudio(float* const* inputs, float* const* outputs, int32_t frameCount) override;
};
