#pragma once
#include "cli/CORVTemporaryFile.h"
#include "cli/OutputFormat.h"

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

// An audio file written chunk by chunk through a temporary file that only
// Commit renames into place; without a commit nothing is left behind.
class CORVSoundFileWriter {
public:
    // Throws a CliError naming the file when it cannot be created.
    CORVSoundFileWriter(const std::string& path, const OutputFormat& format, int32_t sampleRate, int32_t channels);
    ~CORVSoundFileWriter();
    CORVSoundFileWriter(const CORVSoundFileWriter&) = delete;
    CORVSoundFileWriter& operator=(const CORVSoundFileWriter&) = delete;

    // Appends frames samples of each of the file's channels.
    void Write(const float* const* channels, int32_t frames);

    // Finishes the file and moves it to its path.
    void Commit();

private:
    void Close();

    CORVTemporaryFile temporary_;
    sf_private_tag* file_ = nullptr;
    int32_t channels_;
    std::vector<float> interleaved_;
};
