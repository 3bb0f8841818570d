#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

// An audio file read chunk by chunk into one sample vector per channel, so
// a long recording never has to fit in memory at once.
class CORVSoundFileReader {
public:
    // Throws a CliError naming the file when it cannot be opened or holds no
    // audio libsndfile understands.
    explicit CORVSoundFileReader(const std::string& path);
    ~CORVSoundFileReader();
    CORVSoundFileReader(const CORVSoundFileReader&) = delete;
    CORVSoundFileReader& operator=(const CORVSoundFileReader&) = delete;

    int32_t SampleRate() const { return sampleRate_; }
    int32_t Channels() const { return channels_; }
    int64_t Frames() const { return frames_; }

    // Reads up to maxFrames frames into channels (resized to Channels()
    // vectors of the frames read); returns the number read, 0 at the end.
    int32_t Read(std::vector<std::vector<float>>& channels, int32_t maxFrames);

private:
    std::string path_;
    sf_private_tag* file_ = nullptr;
    int32_t sampleRate_ = 0;
    int32_t channels_ = 0;
    int64_t frames_ = 0;
    std::vector<float> interleaved_;
};
