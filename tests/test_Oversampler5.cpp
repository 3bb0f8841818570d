#include "effects/common/Oversampler5.h"

#include "effects/common/RealFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int32_t kFactor = Oversampler5::kFactor;
constexpr int32_t kSettle = 200;    // base samples, beyond both filters' lengths
constexpr int32_t kBaseBins = 1000; // base-rate frames analysed; one cycle per bin

// frequency in cycles per sample
std::vector<float> Tone(double frequency, size_t frames)
{
    std::vector<float> x(frames);
    for (size_t n = 0; n < frames; ++n)
        x[n] = float(std::sin(2.0 * std::numbers::pi * frequency * double(n)));
    return x;
}

// Peak amplitude of every bin of signal[from, from + size).
std::vector<double> Amplitudes(const std::vector<float>& signal, size_t from, int32_t size)
{
    RealFft fft(size);
    std::copy_n(signal.begin() + std::ptrdiff_t(from), size, fft.Time());
    fft.Forward();
    std::vector<double> amplitude(size_t(fft.Bins()));
    for (int32_t k = 0; k < fft.Bins(); ++k)
        amplitude[size_t(k)] = 2.0 * std::abs(fft.Spectrum()[k]) / size;
    return amplitude;
}

} // namespace

// Upsampling a tone anywhere in the pass band leaves it alone at the high
// rate: every image and every other bin stays 80 dB below it.
TEST(Oversampler5, ImagesOfAnUpsampledToneAreAtLeast80DbDown)
{
    for (int32_t bin : {100, 300, 450}) {
        Oversampler5 oversampler;
        const std::vector<float> low = Tone(double(bin) / kBaseBins, kSettle + kBaseBins);
        std::vector<float> high(low.size() * kFactor);
        for (size_t n = 0; n < low.size(); ++n)
            oversampler.Upsample(low[n], &high[n * kFactor]);
        std::vector<double> a = Amplitudes(high, kSettle * kFactor, kBaseBins * kFactor);
        EXPECT_NEAR(a[size_t(bin)], 1.0, 1e-4) << bin;
        a[size_t(bin)] = 0.0;
        for (size_t k = 0; k < a.size(); ++k)
            ASSERT_LT(a[k], 1e-4) << "tone in bin " << bin << ", image in bin " << k;
    }
}

// Decimating keeps the pass band and removes everything from 0.55 of the base
// rate up to the high rate's Nyquist frequency by at least 80 dB.
TEST(Oversampler5, DecimationPassesTheBandAndStopsWhatWouldFoldBack)
{
    for (double frequency : {0.3, 0.55, 0.7, 1.3, 2.2, 2.45}) { // in base-rate cycles per sample
        Oversampler5 oversampler;
        const std::vector<float> high = Tone(frequency / kFactor, size_t(kSettle + kBaseBins) * kFactor);
        std::vector<float> low(kSettle + kBaseBins);
        for (size_t n = 0; n < low.size(); ++n)
            low[n] = oversampler.Downsample(&high[n * kFactor]);
        const std::vector<double> a = Amplitudes(low, kSettle, kBaseBins);
        double largest = 0.0;
        for (double v : a)
            largest = std::max(largest, v);
        if (frequency < 0.5)
            EXPECT_NEAR(largest, 1.0, 1e-4) << frequency;
        else
            EXPECT_LT(largest, 1e-4) << frequency;
    }
}

