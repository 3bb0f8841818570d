#include "tests/TestSupport.h"

#include "dsp/CORVDSPAlgInterface.h"
#include "core/CORVPresetFile.h"
#include "effects/common/RealFft.h"
#include "platform/TickCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
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

ScopedDocumentsFolder::ScopedDocumentsFolder() : variable(kDocumentsVariable, folder.Path().c_str()) {}

std::string ScopedDocumentsFolder::PresetFilePath() const
{
    return Path() + "/" + CORVPresetFile::kFolder + "/" + CORVPresetFile::kFileName;
}

ScopedVariable::ScopedVariable(const char* name, const char* value) : name(name)
{
    if (const char* old = std::getenv(name))
        previous = old;
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedVariable::~ScopedVariable()
{
    if (previous)
        setenv(name.c_str(), previous->c_str(), 1);
    else
        unsetenv(name.c_str());
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

std::vector<float> Impulse(size_t frames, size_t at)
{
    std::vector<float> signal(frames, 0.0f);
    signal[at] = 1.0f;
    return signal;
}

std::vector<float> Steps(const std::vector<std::pair<size_t, float>>& pieces)
{
    std::vector<float> signal;
    for (const auto& [frames, level] : pieces)
        signal.insert(signal.end(), frames, level);
    return signal;
}

Stereo PlayStereo(CORVDSPAlgInterface& effect, Stereo signal, int32_t blockSize)
{
    ProcessInBlocks(effect, signal.left, signal.right, blockSize);
    return signal;
}

std::vector<float> Play(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize,
                        bool sameOutputs)
{
    std::vector<float> left = input;
    std::vector<float> right = input;
    ProcessInBlocks(effect, left, right, blockSize);
    if (sameOutputs) {
        EXPECT_EQ(left, right);
    }
    return left;
}

std::vector<float> GainCurve(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize)
{
    std::vector<float> gains = Play(effect, input, blockSize, false);
    for (size_t i = 0; i < gains.size(); ++i)
        gains[i] = input[i] != 0.0f ? gains[i] / input[i] : 0.0f;
    return gains;
}

std::complex<double> ComplexAmplitudeAt(const std::vector<float>& signal, double frequency, double sampleRate,
                                        size_t from)
{
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (size_t n = from; n < signal.size(); ++n) {
        const double phase = 2.0 * std::numbers::pi * frequency * double(n) / sampleRate;
        const double s = std::sin(phase), c = std::cos(phase);
        ss += s * s, cc += c * c, sc += s * c, ys += signal[n] * s, yc += signal[n] * c;
    }
    // y = a·sin + b·cos is the sine shifted by arg(a + jb) and scaled by |a + jb|.
    const double det = ss * cc - sc * sc;
    return {(ys * cc - yc * sc) / det, (yc * ss - ys * sc) / det};
}

double MeasuredGainDb(CORVDSPAlgInterface& effect, double frequency, double sampleRate, double seconds)
{
    constexpr float kLevel = 0.25f;
    const std::vector<float> left = Play(effect, Sine(frequency, sampleRate, size_t(seconds * sampleRate), kLevel));
    return Db(AmplitudeAt(left, frequency, sampleRate, left.size() / 2) / kLevel);
}

double DtftMagnitude(const std::vector<float>& response, double frequency, double sampleRate)
{
    std::complex<double> sum = 0.0;
    const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi * frequency / sampleRate);
    std::complex<double> phasor = 1.0;
    for (float v : response) {
        sum += double(v) * phasor;
        phasor *= step;
    }
    return std::abs(sum);
}

namespace {
uint32_t fakeTicks = 0;
uint32_t FakeTickCount() { return fakeTicks; }
} // namespace

void TapInterval(CORVDSPAlgInterface& effect, int32_t tapIndex, uint32_t ms, uint32_t firstTick)
{
    platform::SetTickSource(&FakeTickCount);
    effect.OnParameterChange(tapIndex, 1.0f);
    fakeTicks = firstTick;
    effect.OnParameterChange(1, 1.0f);
    fakeTicks += ms;
    effect.OnParameterChange(1, 1.0f);
    platform::SetTickSource(nullptr);
}

std::vector<float> HarmonicTone(double frequency, double sampleRate, size_t frames, int harmonics, double amplitude)
{
    std::vector<float> tone(frames);
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    for (size_t i = 0; i < frames; ++i) {
        double v = 0.0;
        for (int h = 1; h <= harmonics; ++h)
            v += amplitude / h * std::sin(step * h * double(i) + 0.7 * h);
        tone[i] = float(v);
    }
    return tone;
}

double WindowedAmplitudeAt(const std::vector<float>& signal, size_t from, size_t count, double frequency,
                           double sampleRate)
{
    const double step = 2.0 * std::numbers::pi * frequency / sampleRate;
    std::complex<double> sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(count));
        sum += window * signal[from + i] * std::polar(1.0, -step * double(i));
    }
    return 4.0 * std::abs(sum) / double(count);
}

double StrongestFrequency(const std::vector<float>& signal, size_t from, size_t count, double sampleRate)
{
    RealFft fft(int32_t(8 * count));
    std::fill(fft.Time(), fft.Time() + fft.Size(), 0.0f);
    for (size_t i = 0; i < count; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(count));
        fft.Time()[i] = signal[from + i] * float(window);
    }
    fft.Forward();
    int32_t best = 1;
    for (int32_t k = 1; k + 1 < fft.Bins(); ++k)
        if (std::abs(fft.Spectrum()[k]) > std::abs(fft.Spectrum()[best]))
            best = k;
    const double a = std::log(std::abs(fft.Spectrum()[best - 1]));
    const double b = std::log(std::abs(fft.Spectrum()[best]));
    const double c = std::log(std::abs(fft.Spectrum()[best + 1]));
    return (best + 0.5 * (a - c) / (a - 2.0 * b + c)) * sampleRate / fft.Size();
}

} // namespace testing_support
