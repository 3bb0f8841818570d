#pragma once
#include <optional>
#include <string>
#include <string_view>

// The sample formats an output file may hold.
enum class SampleFormat { Float, Pcm16, Pcm24 };

// "float", "pcm16" or "pcm24"; throws a usage CliError for anything else.
SampleFormat ParseSampleFormat(std::string_view text);

// A libsndfile format code and its description ("WAV, 32-bit float").
struct OutputFormat {
    int sndfileFormat;
    std::string description;
};

// The format of an output file from its extension (".wav", ".flac", ".aiff",
// ".aif"; none means WAV) and the requested sample format.  Without a
// request WAV and AIFF hold 32-bit floats and FLAC, which has no float
// samples, 24-bit ones.  Throws a CliError for an unknown extension or a
// sample format the container cannot hold.
OutputFormat ChooseOutputFormat(const std::string& path, std::optional<SampleFormat> requested);
