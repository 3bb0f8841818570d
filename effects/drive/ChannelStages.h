#pragma once
#include "effects/common/BiquadKernel.h"

#include <array>
#include <cstdint>

// The amp models keep one stage object per channel that carries the whole
// chain of that channel.  This runs both over a block, a sample of each
// channel at a time, so that in-place and mono (aliased) buffers work.
//
// The stages are copied in and out: the output stores could otherwise alias
// their state and force it to be reloaded on every sample.  The output is
// flushed because a gain after the last flushed section can still push a
// decaying tail into the subnormal range.
template <class Stage>
void RunChannelStages(std::array<Stage, 2>& stages, const float* const* inputs, float* const* outputs,
                      int32_t frameCount)
{
    Stage left = stages[0];
    Stage right = stages[1];
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    for (int32_t i = 0; i < frameCount; ++i) {
        const float xLeft = inLeft[i];
        const float xRight = inRight[i];
        outLeft[i] = FlushToZero(left.Process(xLeft));
        outRight[i] = FlushToZero(right.Process(xRight));
    }
    stages[0] = left;
    stages[1] = right;
}

// The crunch and high-gain chains see exact digital silence as a tiny
// constant instead.  Their recursive sections then settle on that constant's
// steady state rather than decaying towards zero through the subnormal
// range, and the coupling high-passes remove it before the output.
inline constexpr float kSilenceOffset = 1e-8f;

inline float OffsetSilence(float x) { return x == 0.0f ? kSilenceOffset : x; }
