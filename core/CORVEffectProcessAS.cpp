#include "core/CORVEffectProcessAS.h"

#include <algorithm>

CORVEffectProcessAS::CORVEffectProcessAS(int32_t effectId_, const SProcessContext& context)
    : CEffectProcess(context), CORVEffectProcessSpecific(effectId_)
{
}

void CORVEffectProcessAS::SetSliceFrames(int32_t frames)
{
    sliceFrames = std::clamp(frames, 1, kMaxSliceFrames);
    Prepare(uint32_t(sliceFrames));
}

int32_t CORVEffectProcessAS::ProcessAudio()
{
    SAudioBuffer input[kChannels] = {GetInputBuffer(0), GetInputBuffer(1)};
    SAudioBuffer output[kChannels] = {GetOutputBuffer(0), GetOutputBuffer(1)};
    if (!input[0].samples || !output[0].samples)
        return 0;
    // A selection without a second channel is processed as mono: both of the
    // algorithm's channels run on the first.
    if (!input[1].samples || !output[1].samples) {
        input[1] = input[0];
        output[1] = output[0];
    }
    const int32_t total = std::max(0, std::min({input[0].frameCount, input[1].frameCount, output[0].frameCount,
                                                output[1].frameCount}));

    FollowHostTempo();
    if (total > 0)
        heardAudio = true;
    const float* in[kChannels] = {input[0].samples, input[1].samples};
    float* out[kChannels] = {output[0].samples, output[1].samples};
    int32_t done = 0;
    while (done < total) {
        const int32_t frames = std::min(total - done, sliceFrames);
        algorithm->Process(in, out, inputPeaks, outputPeaks, frames);
        TakePeaks(kChannels);
        for (int c = 0; c < kChannels; ++c) {
            in[c] += frames;
            out[c] += frames;
        }
        done += frames;
        ReportProgress(done, total);
    }
    for (int c = 0; c < kChannels; ++c)
        SetOutputBuffer(c, SAudioBuffer{output[c].samples, done});
    return done;
}
