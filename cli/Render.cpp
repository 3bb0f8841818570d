#include "cli/Render.h"

#include "cli/CORVEffectChain.h"
#include "cli/CORVSoundFileReader.h"
#include "cli/CORVSoundFileWriter.h"
#include "cli/CliError.h"
#include "cli/TextMatch.h"
#include "platform/FileStatus.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr int32_t kMaxChannels = 2;

std::string DbText(double db)
{
    if (!std::isfinite(db))
        return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", db);
    return text;
}

// "-6.0 dBFS", or "-inf dBFS (12 non-finite samples)": without the count,
// a stream of NaN would read like silence.
std::string LevelText(double db, int64_t nonFinite)
{
    std::string text = DbText(db) + " dBFS";
    if (nonFinite > 0)
        text += " (" + std::to_string(nonFinite) + " non-finite sample" + (nonFinite == 1 ? ")" : "s)");
    return text;
}

} // namespace

void CheckInput(const CORVSoundFileReader& reader, const std::string& path)
{
    if (reader.Channels() < 1 || reader.Channels() > kMaxChannels)
        throw CliError(text_match::ShownPath(path) + " has " + std::to_string(reader.Channels()) +
                       " channels; the pedals take mono or stereo");
    if (reader.SampleRate() < kMinSampleRate || reader.SampleRate() > kMaxSampleRate)
        throw CliError(text_match::ShownPath(path) + " has a sample rate of " + std::to_string(reader.SampleRate()) +
                       " Hz; the pedals run at " + std::to_string(kMinSampleRate) + " .. " +
                       std::to_string(kMaxSampleRate) + " Hz");
}

double RenderSummary::RealTimeMultiple() const
{
    return processingSeconds > 0.0 ? Seconds() / processingSeconds : std::numeric_limits<double>::infinity();
}

RenderSummary RenderFile(const RenderRequest& request, const RenderProgress& progress)
{
    if (request.effects.empty())
        throw UsageError("no effect given (use -e EFFECT)");
    // Everything that can be checked is checked before the output is created.
    const OutputFormat format = ChooseOutputFormat(request.outputPath, request.sampleFormat);
    // Through a link, "..", or a hard link alike: the input would be gone
    // the moment the result replaced it.
    if (platform::SameFile(request.inputPath, request.outputPath))
        throw UsageError("the output " + text_match::ShownPath(request.outputPath) +
                         " is the input file; choose another");
    CORVSoundFileReader reader(request.inputPath);
    CheckInput(reader, request.inputPath);
    CORVEffectChain chain(request.effects, double(reader.SampleRate()), request.settings);
    CORVSoundFileWriter writer(request.outputPath, format, reader.SampleRate(), reader.Channels());

    RenderSummary summary;
    summary.sampleRate = reader.SampleRate();
    summary.channels = reader.Channels();
    std::vector<std::vector<float>> channels;
    float* pointers[kMaxChannels] = {};
    std::chrono::steady_clock::duration busy{};
    while (const int32_t frames = reader.Read(channels, chain.ChunkFrames())) {
        for (int32_t c = 0; c < summary.channels; ++c)
            pointers[c] = channels[size_t(c)].data();
        const auto start = std::chrono::steady_clock::now();
        chain.Process(pointers, summary.channels, frames);
        busy += std::chrono::steady_clock::now() - start;
        writer.Write(pointers, frames);
        summary.frames += frames;
        if (progress)
            progress(summary.frames, reader.Frames());
    }
    writer.Commit();

    summary.processingSeconds = std::chrono::duration<double>(busy).count();
    for (const auto& stage : chain.Stages())
        summary.stages.push_back({stage->Entry().shortName, stage->InputPeakDb(), stage->OutputPeakDb(),
                                  stage->InputNonFinite(), stage->OutputNonFinite()});
    return summary;
}

std::string FormatSummary(const RenderSummary& summary)
{
    char text[128];
    std::snprintf(text, sizeof text, "%lld frames, %.3f s at %d Hz", static_cast<long long>(summary.frames),
                  summary.Seconds(), summary.sampleRate);
    std::string line = text;
    for (const StageSummary& stage : summary.stages)
        line += " | " + stage.name + " in " + LevelText(stage.inputPeakDb, stage.inputNonFinite) + ", out " +
                LevelText(stage.outputPeakDb, stage.outputNonFinite);
    const double multiple = summary.RealTimeMultiple();
    if (std::isfinite(multiple)) {
        std::snprintf(text, sizeof text, " | %.0fx real time", multiple);
        line += text;
    }
    return line;
}
