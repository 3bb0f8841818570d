#include "tests/TestSupport.h"

#include "core/CORVDSPAlgInterface.h"

#include <algorithm>

namespace testing_support {

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
