#include "cli/OutputFormat.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

#include <sndfile.h>

#include <filesystem>

namespace {

// Any rate and channel count the render can produce; sf_format_check needs
// them, though only the container and sample format are in question.
constexpr int kProbeSampleRate = 48000;
constexpr int kProbeChannels = 2;

struct Container {
    const char* extension;
    int format;
    const char* name;
    SampleFormat defaultSamples;
};

// clang-format off
constexpr Container kContainers[] = {
    {"", SF_FORMAT_WAV, "WAV", SampleFormat::Float},
    {".wav", SF_FORMAT_WAV, "WAV", SampleFormat::Float},
    {".wave", SF_FORMAT_WAV, "WAV", SampleFormat::Float},
    {".aiff", SF_FORMAT_AIFF, "AIFF", SampleFormat::Float},
    {".aif", SF_FORMAT_AIFF, "AIFF", SampleFormat::Float},
    {".flac", SF_FORMAT_FLAC, "FLAC", SampleFormat::Pcm24},
};
// clang-format on

struct SampleFormatName {
    SampleFormat format;
    const char* option;
    int subtype;
    const char* description;
};

constexpr SampleFormatName kSampleFormats[] = {
    {SampleFormat::Float, "float", SF_FORMAT_FLOAT, "32-bit float"},
    {SampleFormat::Pcm16, "pcm16", SF_FORMAT_PCM_16, "16-bit PCM"},
    {SampleFormat::Pcm24, "pcm24", SF_FORMAT_PCM_24, "24-bit PCM"},
};

const SampleFormatName& Describe(SampleFormat format)
{
    for (const SampleFormatName& name : kSampleFormats) {
        if (name.format == format)
            return name;
    }
    return kSampleFormats[0];
}

} // namespace

SampleFormat ParseSampleFormat(std::string_view text)
{
    for (const SampleFormatName& name : kSampleFormats) {
        if (text_match::EqualsIgnoreCase(text, name.option))
            return name.format;
    }
    throw UsageError("unknown sample format " + text_match::Shown(text) + " (use float, pcm16 or pcm24)");
}

OutputFormat ChooseOutputFormat(const std::string& path, std::optional<SampleFormat> requested)
{
    const std::string extension = text_match::ToLower(std::filesystem::path(path).extension().string());
    for (const Container& container : kContainers) {
        if (extension != container.extension)
            continue;
        const SampleFormatName& samples = Describe(requested.value_or(container.defaultSamples));
        SF_INFO probe{};
        probe.samplerate = kProbeSampleRate;
        probe.channels = kProbeChannels;
        probe.format = container.format | samples.subtype;
        if (!sf_format_check(&probe))
            throw UsageError(std::string(container.name) + " cannot hold " + samples.description +
                             " samples (use --format pcm16 or pcm24)");
        return {probe.format, std::string(container.name) + ", " + samples.description};
    }
    throw UsageError("unknown output file type " + text_match::Shown(extension) + " (use .wav, .flac, .aiff or .aif)");
}
