#pragma once
// Signals and spectral measurements shared by the tests of the octaver, its
// pitch shifter and the tuner.
#include "effects/common/RealFft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace pitch_testing {

// A tone with the given number of harmonics at amplitudes amplitude / h.
inline std::vector<float> HarmonicTone(double frequency, double sampleRate, size_t frames, int harmonics,
                                       double amplitude = 0.3)
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

// Amplitude of the component at frequency in count samples from from, by a
// Hann-windowed correlation.
inline double AmplitudeAt(const std::vector<float>& signal, size_t from, size_t count, double frequency,
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

// The frequency of the strongest component in count samples from from: the
// largest bin of a zero-padded Hann-windowed transform, refined by a parabola
// through the logarithmic magnitudes.
inline double StrongestFrequency(const std::vector<float>& signal, size_t from, size_t count, double sampleRate)
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

inline double Cents(double frequency, double reference) { return 1200.0 * std::log2(frequency / reference); }

} // namespace pitch_testing
