#pragma once
#include "host/CEffectProcess.h"

#include <functional>

// One channel of an offline selection: where its samples are and how many.
struct SAudioBuffer {
    float* samples = nullptr;
    int32_t frameCount = 0;
};

// The offline framework: the engine describes the selection's input and
// output buffers per channel, runs the process once, and is told of its
// progress along the way.
class CEffectProcessAS : public virtual CEffectProcess {
public:
    static constexpr int kChannels = 2;
    using ProgressFunction = std::function<void(int64_t framesDone, int64_t framesTotal)>;

    void SetInputBuffer(int channel, SAudioBuffer buffer);
    void SetOutputBuffer(int channel, SAudioBuffer buffer);
    SAudioBuffer GetInputBuffer(int channel) const;
    SAudioBuffer GetOutputBuffer(int channel) const;
    void SetProgressFunction(ProgressFunction progress) { progress_ = std::move(progress); }

    // Engine entry: processes the described selection; returns the number of
    // frames processed.  Denormals are flushed while it runs.
    int32_t Run();

protected:
    CEffectProcessAS() : CEffectProcess(SProcessContext{}) {}
    virtual int32_t ProcessAudio() = 0;
    void ReportProgress(int64_t framesDone, int64_t framesTotal) const;

private:
    SAudioBuffer inputs_[kChannels];
    SAudioBuffer outputs_[kChannels];
    ProgressFunction progress_;
};
