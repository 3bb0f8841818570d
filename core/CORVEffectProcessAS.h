#pragma once
#include "core/CORVEffectProcessSpecific.h"
#include "host/CEffectProcessAS.h"

// An effect instance processing an offline selection.  It walks the
// selection in slices, so the engine hears of progress between them.
class CORVEffectProcessAS : public CORVEffectProcessSpecific, public CEffectProcessAS {
public:
    static constexpr int32_t kMaxSliceFrames = 2048;

    CORVEffectProcessAS(int32_t effectId, const SProcessContext& context);

    // A shorter slice (1..2048 frames), to match a real-time block length.
    void SetSliceFrames(int32_t frames);
    int32_t GetSliceFrames() const { return sliceFrames; }

protected:
    int32_t ProcessAudio() override;

private:
    int32_t sliceFrames = kMaxSliceFrames;
};
