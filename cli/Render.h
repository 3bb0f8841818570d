#pragma once
#include "cli/CORVEffectStage.h"
#include "cli/EffectSpec.h"
#include "cli/OutputFormat.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What `stompset render` does, as a function the demo and the tests call too.

struct RenderRequest {
    std::string inputPath;
    std::string outputPath;
    std::vector<EffectSpec> effects;
    StageSettings settings;
    std::optional<SampleFormat> sampleFormat;
};

struct StageSummary {
    std::string name;
    double inputPeakDb;
    double outputPeakDb;
    int64_t inputNonFinite;
    int64_t outputNonFinite;
};

struct RenderSummary {
    int64_t frames = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    double processingSeconds = 0.0; // time spent in the effects alone
    std::vector<StageSummary> stages;

    double Seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
    double RealTimeMultiple() const;
};

using RenderProgress = std::function<void(int64_t framesDone, int64_t framesTotal)>;

// The sample rates every effect is built for.
constexpr int32_t kMinSampleRate = 22050;
constexpr int32_t kMaxSampleRate = 192000;

class CORVSoundFileReader;

// Refuses a file with more than two channels or a sample rate the effects
// are not built for.
void CheckInput(const CORVSoundFileReader& reader, const std::string& path);

// Streams the input through the chain into the output, which keeps the
// input's sample rate and channel count.  The output appears only complete;
// every failure throws a CliError and leaves no output file.
RenderSummary RenderFile(const RenderRequest& request, const RenderProgress& progress = {});

// One line: frames, seconds, each stage's input and output peak in dBFS
// (with the count of NaN and infinite samples, when there were any) and the
// multiple of real time.
std::string FormatSummary(const RenderSummary& summary);
