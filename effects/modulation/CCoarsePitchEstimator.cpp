#include "effects/modulation/CCoarsePitchEstimator.h"

#include <algorithm>
#include <complex>

namespace {

// The lag range: a little beyond the analyser's search limits so that a
// fundamental just outside them is still recognised as the fundamental.
constexpr float kHighestHz = 2500.0f;
constexpr float kLowestHz = 30.0f;
// A lobe counts once it reaches this share of the best lobe.
constexpr float kKeyShare = 0.9f;
// Below this best value the frame has no clear period (noise, chords).
constexpr float kMinimumClarity = 0.6f;
// Mean square of the frame below which it is taken as silence (-100 dB).
constexpr double kSilentMeanSquare = 1e-10;

// Where a parabola through three equally spaced values peaks, relative to
// the middle one.
float ParabolaOffset(float before, float middle, float after)
{
    const float curvature = before - 2.0f * middle + after;
    return curvature < 0.0f ? 0.5f * (before - after) / curvature : 0.0f;
}

} // namespace

CCoarsePitchEstimator::CCoarsePitchEstimator(int32_t length_, int32_t sampleRate_)
    : length(length_),
      sampleRate(sampleRate_),
      shortestLag(std::max(2, int32_t(float(sampleRate_) / kHighestHz))),
      // Half the frame at most: longer lags compare too few samples.
      longestLag(std::min(length_ / 2, int32_t(float(sampleRate_) / kLowestHz))),
      fft(2 * length_),
      difference(size_t(longestLag) + 2, 0.0f)
{
}

float CCoarsePitchEstimator::Estimate(const float* frame)
{
    double energy = 0.0;
    for (int32_t i = 0; i < length; ++i)
        energy += double(frame[i]) * frame[i];
    if (energy < kSilentMeanSquare * length || longestLag <= shortestLag)
        return 0.0f;
    Autocorrelate(frame);
    Normalise(frame);
    return PickPeriod();
}

void CCoarsePitchEstimator::Autocorrelate(const float* frame)
{
    // Zero-padded to twice the length, the circular correlation is the
    // linear one.
    float* time = fft.Time();
    std::copy(frame, frame + length, time);
    std::fill(time + length, time + fft.Size(), 0.0f);
    fft.Forward();
    std::complex<float>* spectrum = fft.Spectrum();
    for (int32_t k = 0; k < fft.Bins(); ++k)
        spectrum[k] = std::norm(spectrum[k]);
    fft.Inverse();
}

void CCoarsePitchEstimator::Normalise(const float* frame)
{
    const float* correlation = fft.Time();
    double overlapEnergy = 0.0;
    for (int32_t i = 0; i < length; ++i)
        overlapEnergy += 2.0 * double(frame[i]) * frame[i];
    // The transform pair scales the correlation by its size.
    const double scale = 2.0 / double(fft.Size());
    for (int32_t lag = 0; lag <= longestLag + 1; ++lag) {
        // Each further lag drops one sample from either end of the overlap.
        if (lag > 0) {
            const double first = frame[lag - 1];
            const double last = frame[length - lag];
            overlapEnergy -= first * first + last * last;
        }
        difference[size_t(lag)] = overlapEnergy > 0.0 ? float(scale * correlation[lag] / overlapEnergy) : 0.0f;
    }
}

float CCoarsePitchEstimator::PickPeriod() const
{
    const std::vector<float>& d = difference;
    // Skip the lobe around lag 0.
    int32_t lag = 1;
    while (lag <= longestLag && d[size_t(lag)] > 0.0f)
        ++lag;
    lag = std::max(lag, shortestLag);

    float best = 0.0f;
    for (int32_t i = lag; i <= longestLag; ++i)
        best = std::max(best, d[size_t(i)]);
    if (best < kMinimumClarity)
        return 0.0f;

    const float mark = kKeyShare * best;
    while (lag <= longestLag) {
        while (lag <= longestLag && d[size_t(lag)] <= 0.0f)
            ++lag;
        int32_t top = lag;
        while (lag <= longestLag && d[size_t(lag)] > 0.0f) {
            if (d[size_t(lag)] > d[size_t(top)])
                top = lag;
            ++lag;
        }
        if (top <= longestLag && d[size_t(top)] >= mark) {
            const size_t t = size_t(top);
            return float(sampleRate) / (float(top) + ParabolaOffset(d[t - 1], d[t], d[t + 1]));
        }
    }
    return 0.0f;
}
