#include "host/CEffectProcessAS.h"

#include "platform/DenormalGuard.h"

void CEffectProcessAS::SetInputBuffer(int channel, SAudioBuffer buffer)
{
    if (channel >= 0 && channel < kChannels)
        inputs_[channel] = buffer;
}

void CEffectProcessAS::SetOutputBuffer(int channel, SAudioBuffer buffer)
{
    if (channel >= 0 && channel < kChannels)
        outputs_[channel] = buffer;
}

SAudioBuffer CEffectProcessAS::GetInputBuffer(int channel) const
{
    return channel >= 0 && channel < kChannels ? inputs_[channel] : SAudioBuffer{};
}

SAudioBuffer CEffectProcessAS::GetOutputBuffer(int channel) const
{
    return channel >= 0 && channel < kChannels ? outputs_[channel] : SAudioBuffer{};
}

void CEffectProcessAS::ReportProgress(int64_t framesDone, int64_t framesTotal) const
{
    if (progress_)
        progress_(framesDone, framesTotal);
}

int32_t CEffectProcessAS::Run()
{
    platform::DenormalGuard guard;
    return ProcessAudio();
}
