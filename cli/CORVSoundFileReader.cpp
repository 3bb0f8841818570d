#include "cli/CORVSoundFileReader.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

#include <sndfile.h>

#include <filesystem>
#include <string_view>

namespace {

// libsndfile's text for a failed open, without its "System error : " prefix
// and final full stop, so it reads like the program's other messages.
std::string OpenErrorText()
{
    constexpr std::string_view kSystemPrefix = "System error : ";
    std::string_view text = sf_strerror(nullptr);
    if (text.substr(0, kSystemPrefix.size()) == kSystemPrefix)
        text.remove_prefix(kSystemPrefix.size());
    if (!text.empty() && text.back() == '.')
        text.remove_suffix(1);
    return std::string(text);
}

} // namespace

CORVSoundFileReader::CORVSoundFileReader(const std::string& path) : path_(path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw CliError("cannot read " + text_match::ShownPath(path) + ": it is a folder");
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_)
        throw CliError("cannot read " + text_match::ShownPath(path) + ": " + OpenErrorText());
    sampleRate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames;
}

CORVSoundFileReader::~CORVSoundFileReader()
{
    if (file_)
        sf_close(file_);
}

int32_t CORVSoundFileReader::Read(std::vector<std::vector<float>>& channels, int32_t maxFrames)
{
    interleaved_.resize(size_t(maxFrames) * size_t(channels_));
    const sf_count_t read = sf_readf_float(file_, interleaved_.data(), maxFrames);
    if (read < 0 || sf_error(file_) != SF_ERR_NO_ERROR)
        throw CliError("cannot read " + text_match::ShownPath(path_) + ": " + sf_strerror(file_));
    channels.resize(size_t(channels_));
    for (int32_t c = 0; c < channels_; ++c) {
        std::vector<float>& channel = channels[size_t(c)];
        channel.resize(size_t(read));
        for (sf_count_t i = 0; i < read; ++i)
            channel[size_t(i)] = interleaved_[size_t(i) * size_t(channels_) + size_t(c)];
    }
    return int32_t(read);
}
