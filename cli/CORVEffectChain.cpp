#include "cli/CORVEffectChain.h"

#include "cli/CliError.h"
#include "cli/ParameterValues.h"

#include <cmath>

CORVEffectChain::CORVEffectChain(const std::vector<EffectSpec>& specs, double sampleRate, StageSettings settings)
    : settings_(settings)
{
    if (!(settings.tempo >= kMinTempo && settings.tempo <= kMaxTempo))
        throw UsageError("tempo " + FormatNumber(float(settings.tempo)) + " is outside " +
                         FormatNumber(float(kMinTempo)) + " .. " + FormatNumber(float(kMaxTempo)) + " BPM");
    if (settings.sliceFrames < 1 || settings.sliceFrames > kMaxSliceFrames)
        throw UsageError("block length " + std::to_string(settings.sliceFrames) + " is outside 1 .. " +
                         std::to_string(kMaxSliceFrames) + " frames");
    for (const EffectSpec& request : specs)
        stages_.push_back(std::make_unique<CORVEffectStage>(request, sampleRate, settings));
}

void CORVEffectChain::Process(float* const* channels, int32_t channelCount, int32_t frames)
{
    for (const auto& stage : stages_)
        stage->Process(channels, channelCount, frames);
}

int32_t CORVEffectChain::ChunkFrames() const
{
    return kPreferredChunkFrames / settings_.sliceFrames * settings_.sliceFrames;
}
