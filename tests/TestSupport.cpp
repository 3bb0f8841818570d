#include "tests/TestSupport.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "core/CORVPresetFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace testing_support {
namespace {

constexpr const char* kDocumentsVariable = "STOMPSET_DOCUMENTS_DIR";

// Effect instances open the user preset file in the documents folder when
// they are made; no test run may ever touch the real one.
class DocumentsFolderEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        folder = std::make_unique<TemporaryFolder>();
        setenv(kDocumentsVariable, folder->Path().c_str(), 1);
    }
    void TearDown() override { folder.reset(); }

private:
    std::unique_ptr<TemporaryFolder> folder;
};

[[maybe_unused]] testing::Environment* const documentsEnvironment =
    testing::AddGlobalTestEnvironment(new DocumentsFolderEnvironment);

} // namespace

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "orv-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> TemporaryFolder::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ScopedDocumentsFolder::ScopedDocumentsFolder()
{
    if (const char* value = std::getenv(kDocumentsVariable))
        previous = value;
    setenv(kDocumentsVariable, folder.Path().c_str(), 1);
}

ScopedDocumentsFolder::~ScopedDocumentsFolder()
{
    if (previous.empty())
        unsetenv(kDocumentsVariable);
    else
        setenv(kDocumentsVariable, previous.c_str(), 1);
}

std::string ScopedDocumentsFolder::PresetFilePath() const
{
    return Path() + "/" + CORVPresetFile::kFolder + "/" + CORVPresetFile::kFileName;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
}

std::vector<float> Sine(double frequency, double sampleRate, size_t frames, float amplitude)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = amplitude * float(std::sin(2.0 * M_PI * frequency * double(i) / sampleRate));
    return signal;
}

double Rms(const std::vector<float>& signal, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < signal.size(); ++i)
        sum += double(signal[i]) * double(signal[i]);
    return signal.size() > from ? std::sqrt(sum / double(signal.size() - from)) : 0.0;
}

float Peak(const std::vector<float>& signal, size_t from)
{
    float peak = 0.0f;
    for (size_t i = from; i < signal.size(); ++i)
        peak = std::max(peak, std::fabs(signal[i]));
    return peak;
}

void ProcessInBlocks(CORVDSPAlgInterface& algorithm, std::vector<float>& left, std::vector<float>& right,
                     int32_t blockSize)
{
    float inputPeaks[2];
    float outputPeaks[2];
    for (size_t start = 0; start < left.size(); start += size_t(blockSize)) {
        const int32_t frames = int32_t(std::min(size_t(blockSize), left.size() - start));
        float* channels[2] = {left.data() + start, right.data() + start};
        algorithm.Process(channels, channels, inputPeaks, outputPeaks, frames);
    }
}

} // namespace testing_support
