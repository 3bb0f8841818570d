#include "cli/CORVSoundFileWriter.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

#include <sndfile.h>

CORVSoundFileWriter::CORVSoundFileWriter(const std::string& path, const OutputFormat& format, int32_t sampleRate,
                                         int32_t channels)
    : temporary_(path), channels_(channels)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format.sndfileFormat;
    // The descriptor stays the temporary file's: it closes it on commit or
    // discard, whatever libsndfile made of it.
    file_ = sf_open_fd(temporary_.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (!file_)
        throw CliError("cannot write " + text_match::ShownPath(path) + ": " + sf_strerror(nullptr));
    // Integer samples saturate rather than wrap around on an overloaded signal.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

CORVSoundFileWriter::~CORVSoundFileWriter() { Close(); }

void CORVSoundFileWriter::Close()
{
    if (file_)
        sf_close(file_);
    file_ = nullptr;
}

void CORVSoundFileWriter::Write(const float* const* channels, int32_t frames)
{
    interleaved_.resize(size_t(frames) * size_t(channels_));
    for (int32_t c = 0; c < channels_; ++c) {
        for (int32_t i = 0; i < frames; ++i)
            interleaved_[size_t(i) * size_t(channels_) + size_t(c)] = channels[c][i];
    }
    if (sf_writef_float(file_, interleaved_.data(), frames) != frames)
        throw CliError("cannot write " + text_match::ShownPath(temporary_.Target()) + ": " + sf_strerror(file_));
}

void CORVSoundFileWriter::Commit()
{
    sf_write_sync(file_);
    const int error = sf_close(file_);
    file_ = nullptr;
    if (error != SF_ERR_NO_ERROR)
        throw CliError("cannot write " + text_match::ShownPath(temporary_.Target()) + ": " + sf_error_number(error));
    temporary_.Commit();
}
