#include "bench/BenchSignal.h"

#include <cmath>
#include <random>

namespace bench {

std::vector<float> GuitarLikeSignal(double sampleRate, size_t frames)
{
    constexpr double kNoteSeconds = 0.5;
    constexpr double kFundamentals[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    std::vector<float> signal(frames);
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 0.002f);
    const size_t noteLength = size_t(kNoteSeconds * sampleRate);
    for (size_t i = 0; i < frames; ++i) {
        const size_t note = i / noteLength;
        const double t = double(i % noteLength) / sampleRate;
        const double f = kFundamentals[note % 6];
        double sample = 0.0;
        for (int partial = 1; partial <= 6; ++partial)
            sample += std::sin(2.0 * M_PI * f * partial * t) * std::exp(-t * 3.0 * partial) / partial;
        signal[i] = float(0.3 * sample) + noise(random);
    }
    return signal;
}

} // namespace bench
