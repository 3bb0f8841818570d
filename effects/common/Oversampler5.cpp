#include "effects/common/Oversampler5.h"

#include "effects/common/Pi.h"

#include <cmath>

namespace {

// Kaiser's window shape for about 90 dB of stopband attenuation
// (β = 0.1102·(A − 8.7) with A = 90).
constexpr double kKaiserBeta = 8.96;
// The cut-off in cycles per high-rate sample: the base rate's Nyquist
// frequency.
constexpr double kCutoff = 0.5 / Oversampler5::kFactor;
// The decimator is aligned so that, with the interpolator, the whole delay
// is a whole number of base samples; it then reads its oldest tap this many
// high-rate samples before the newest one it holds.
constexpr int32_t kDecimatorLead = Oversampler5::kFactor - 1;

double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

// A dot product in eight independent lanes: a single running float sum is a
// dependency chain the compiler may not reorder, while lanes map onto vector
// registers.  n is a multiple of kLanes.
constexpr int32_t kLanes = 8;

float Dot(const float* a, const float* b, int32_t n)
{
    float lanes[kLanes] = {};
    for (int32_t i = 0; i < n; i += kLanes)
        for (int32_t j = 0; j < kLanes; ++j)
            lanes[j] += a[i + j] * b[i + j];
    float sum = 0.0f;
    for (float lane : lanes)
        sum += lane;
    return sum;
}

// Stores x twice, at position and position + half, and advances; the latest
// half samples then start at the returned position.
template <size_t N>
int32_t Push(std::array<float, N>& history, int32_t position, float x)
{
    constexpr int32_t half = int32_t(N / 2);
    history[size_t(position)] = x;
    history[size_t(position + half)] = x;
    return position + 1 == half ? 0 : position + 1;
}

} // namespace

Oversampler5::Oversampler5()
{
    static_assert(kBranchTaps % kLanes == 0 && kDecimatorTaps % kLanes == 0);
    static_assert(kBranchTaps > kSpan && kDecimatorTaps >= kTaps + kDecimatorLead);

    constexpr int32_t centre = kTaps / 2;
    double sum = 0.0;
    for (int32_t n = 0; n < kTaps; ++n) {
        const double r = double(n - centre) / centre;
        const double window = std::cyl_bessel_i(0.0, kKaiserBeta * std::sqrt(1.0 - r * r));
        prototype[size_t(n)] = 2.0 * kCutoff * Sinc(2.0 * kCutoff * (n - centre)) * window;
        sum += prototype[size_t(n)];
    }
    for (double& tap : prototype)
        tap /= sum;

    // The newest low-rate sample sits last in its run; branch p weighs the
    // sample k steps back with tap 5·k + p.
    for (int32_t p = 0; p < kFactor; ++p)
        for (int32_t k = 0; k < kBranchTaps; ++k) {
            const int32_t n = kFactor * k + p;
            branches[size_t(p)][size_t(kBranchTaps - 1 - k)] = n < kTaps ? float(kFactor * prototype[size_t(n)]) : 0.0f;
        }
    // The base output of a frame is the filter's value at the frame's first
    // high-rate sample, which lies kDecimatorLead samples before the newest.
    for (int32_t n = 0; n < kTaps; ++n)
        decimator[size_t(kDecimatorTaps - 1 - kDecimatorLead - n)] = float(prototype[size_t(n)]);
}

void Oversampler5::Upsample(float x, float* high)
{
    lowPosition = Push(lowHistory, lowPosition, x);
    const float* run = &lowHistory[size_t(lowPosition)];
    for (int32_t p = 0; p < kFactor; ++p)
        high[p] = Dot(branches[size_t(p)].data(), run, kBranchTaps);
}

float Oversampler5::Downsample(const float* high)
{
    for (int32_t p = 0; p < kFactor; ++p)
        highPosition = Push(highHistory, highPosition, high[p]);
    return Dot(decimator.data(), &highHistory[size_t(highPosition)], kDecimatorTaps);
}

void Oversampler5::Reset()
{
    lowHistory.fill(0.0f);
    highHistory.fill(0.0f);
    lowPosition = 0;
    highPosition = 0;
}
