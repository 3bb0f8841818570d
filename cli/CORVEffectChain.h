#pragma once
#include "cli/CORVEffectStage.h"
#include "cli/EffectSpec.h"

#include <cstdint>
#include <memory>
#include <vector>

// The effects of a render, in processing order.  Audio passes through it in
// chunks; each stage keeps its state from one chunk to the next, so a file
// sounds the same whether it is processed whole or streamed.
class CORVEffectChain {
public:
    static constexpr double kDefaultTempo = 120.0;
    static constexpr double kMinTempo = 1.0;
    static constexpr double kMaxTempo = 999.0;
    static constexpr int32_t kMaxSliceFrames = CORVEffectProcessAS::kMaxSliceFrames;
    static constexpr int32_t kPreferredChunkFrames = 65536;

    // Builds and sets up every stage; throws a CliError for an unknown or
    // unavailable effect, parameter, preset or value, or settings out of range.
    CORVEffectChain(const std::vector<EffectSpec>& specs, double sampleRate,
                    StageSettings settings = {kDefaultTempo, kMaxSliceFrames});

    // Runs channelCount (1 or 2) channels of frames samples through every
    // stage in order, in place.
    void Process(float* const* channels, int32_t channelCount, int32_t frames);

    // The largest chunk of at most kPreferredChunkFrames that is a whole
    // number of slices, so that streaming never cuts a slice short and the
    // slices match those of a real-time host with the same block length.
    int32_t ChunkFrames() const;

    const std::vector<std::unique_ptr<CORVEffectStage>>& Stages() const { return stages_; }

private:
    StageSettings settings_;
    std::vector<std::unique_ptr<CORVEffectStage>> stages_;
};
