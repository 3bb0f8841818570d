#pragma once
#include "effects/common/BiquadKernel.h"

#include <array>
#include <cstdint>

// Both channels' results for one sample.
struct StereoFrame {
    float left;
    float right;
};

// The stereo loop of the effects: a block runs one sample of both channels
// at a time, perFrame(left in, right in) giving both outputs.  Both inputs
// of a sample are read before either output is written, so in-place and
// mono (aliased) buffers work.
//
// An effect keeps its running state in locals around the call: the output
// stores could otherwise alias members and force them to be reloaded on
// every sample.  The loop is always inlined, since those locals stay in
// registers only while it is part of the caller's body.
template <class PerFrame>
[[gnu::always_inline]] inline void ForEachFrame(const float* const* inputs, float* const* outputs, int32_t frameCount, PerFrame&& perFrame)
{
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    for (int32_t i = 0; i < frameCount; ++i) {
        const StereoFrame out = perFrame(inLeft[i], inRight[i]);
        outLeft[i] = out.left;
        outRight[i] = out.right;
    }
}

// The amp models keep one stage object per channel that carries the whole
// chain of that channel, and run both over a block with this.
//
// The stages are copied in and out, for the aliasing reason above.  The
// output is flushed because a gain after the last flushed section can still
// push a decaying tail into the subnormal range.
template <class Stage>
void RunChannelStages(std::array<Stage, 2>& stages, const float* const* inputs, float* const* outputs,
                      int32_t frameCount)
{
    Stage left = stages[0];
    Stage right = stages[1];
    ForEachFrame(inputs, outputs, frameCount, [&](float xLeft, float xRight) {
        return StereoFrame{FlushToZero(left.Process(xLeft)), FlushToZero(right.Process(xRight))};
    });
    stages[0] = left;
    stages[1] = right;
}
