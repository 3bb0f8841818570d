#pragma once
#include "tests/TestSupport.h"

#include <sndfile.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

using Channels = std::vector<std::vector<float>>;

// Writes and reads 32-bit float WAV files with libsndfile directly, apart
// from the program's own file classes.
inline void WriteFloatWav(const std::string& path, const Channels& channels, int sampleRate)
{
    SF_INFO info{0, sampleRate, int(channels.size()), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error(sf_strerror(nullptr));
    std::vector<float> interleaved;
    for (size_t i = 0; i < channels[0].size(); ++i)
        for (const std::vector<float>& channel : channels)
            interleaved.push_back(channel[i]);
    sf_writef_float(file, interleaved.data(), sf_count_t(channels[0].size()));
    sf_close(file);
}

struct AudioFile {
    int sampleRate = 0;
    int format = 0;
    Channels channels;
};

inline AudioFile ReadAudio(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        throw std::runtime_error(sf_strerror(nullptr));
    std::vector<float> interleaved(size_t(info.frames) * size_t(info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    AudioFile audio{info.samplerate, info.format, Channels(size_t(info.channels))};
    for (size_t i = 0; i < interleaved.size(); ++i)
        audio.channels[i % audio.channels.size()].push_back(interleaved[i]);
    return audio;
}

// One run of the built program: its exit status and what it printed.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuoted(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline ProgramRun RunStompsetBinary(const std::vector<std::string>& args)
{
    const TemporaryFolder captures;
    std::string command = ShellQuoted(STOMPSET_BINARY);
    for (const std::string& arg : args)
        command.append(" ").append(ShellQuoted(arg));
    command.append(" >").append(ShellQuoted(captures / "out")).append(" 2>").append(ShellQuoted(captures / "err"));
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(captures / "out"), ReadFile(captures / "err")};
}

} // namespace testing_support
