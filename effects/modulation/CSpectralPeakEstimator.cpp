#include "effects/modulation/CSpectralPeakEstimator.h"

#include "effects/common/Pi.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The transforms span the frame less one sample; the later one starts a
// quarter of that span after the earlier one.  A quarter keeps the phase
// advance unambiguous two bins either side of the peak bin while making it
// large enough to measure precisely.
constexpr int32_t kHopDivisor = 4;
// The Hann window's side lobes: the highest lies 31.5 dB down, and beyond
// four window bins from the main lobe's centre they fall off fast.  A maximum
// that far below a neighbour within that distance is taken for a side lobe.
constexpr float kSideLobeLevel = 1e-3f;
constexpr int32_t kSideLobeBins = 4;
// A peak belongs to a harmonic when it lies within this share of the
// fundamental of the harmonic's frequency.
constexpr double kHarmonicTolerance = 0.25;
// How far the fitted fundamental may lie from the reference, relative to it:
// just under a quarter tone.
constexpr double kAgreement = 0.028;
// Higher harmonics of a real string run sharp; the lowest ones suffice.
constexpr int32_t kHighestHarmonic = 8;

double Wrapped(double radians) { return radians - 2.0 * kPi * std::floor(radians / (2.0 * kPi) + 0.5); }

} // namespace

CSpectralPeakEstimator::CSpectralPeakEstimator(int32_t length, int32_t sampleRate_, float lowestHz,
                                               float highestHz, float rangeDb)
    : sampleRate(double(sampleRate_)),
      hop((length - 1) / kHopDivisor),
      windowLength(length - 1 - hop),
      powerRange(float(std::pow(10.0, -rangeDb / 10.0))),
      lowest(lowestHz),
      highest(highestHz),
      fft(length - 1),
      window(size_t(windowLength)),
      earlier(size_t(fft.Bins())),
      later(size_t(fft.Bins())),
      peaks(size_t(fft.Bins()))
{
    const double binHz = sampleRate / fft.Size();
    sideLobeSpan = kSideLobeBins * fft.Size() / windowLength + 1;
    lowestBin = std::max(1, int32_t(std::ceil(lowestHz / binHz)));
    highestBin = std::min(fft.Bins() - 2, int32_t(highestHz / binHz));
    for (int32_t n = 0; n < windowLength; ++n) {
        const double s = std::sin(kPi * n / windowLength);
        window[size_t(n)] = float(s * s);
    }
}

float CSpectralPeakEstimator::Estimate(const float* frame)
{
    if (!(reference > 0.0f))
        return 0.0f;
    Transform(frame, earlier);
    Transform(frame + hop, later);
    FindPeaks();
    return FitHarmonics();
}

void CSpectralPeakEstimator::Transform(const float* samples, std::vector<std::complex<float>>& spectrum)
{
    float* time = fft.Time();
    for (int32_t n = 0; n < windowLength; ++n)
        time[n] = samples[n] * window[size_t(n)];
    std::fill(time + windowLength, time + fft.Size(), 0.0f);
    fft.Forward();
    std::copy(fft.Spectrum(), fft.Spectrum() + fft.Bins(), spectrum.begin());
}

void CSpectralPeakEstimator::FindPeaks()
{
    float strongest = 0.0f;
    for (int32_t k = lowestBin; k <= highestBin; ++k)
        strongest = std::max(strongest, std::norm(later[size_t(k)]));
    const float floor = strongest * powerRange;
    const double binRadians = 2.0 * kPi / fft.Size();
    peakCount = 0;
    for (int32_t k = lowestBin; k <= highestBin; ++k) {
        const float p = std::norm(later[size_t(k)]);
        if (!(p > floor && p > std::norm(later[size_t(k) - 1]) && p >= std::norm(later[size_t(k) + 1])) ||
            InSideLobes(k, p))
            continue;
        const std::complex<double> advance =
            std::complex<double>(later[size_t(k)]) * std::conj(std::complex<double>(earlier[size_t(k)]));
        const double expected = binRadians * k * hop;
        const double offset = Wrapped(std::arg(advance) - expected) / hop;
        // A partial's own peak lies within half a bin of its frequency; an
        // advance pointing more than a bin away comes from a maximum where
        // lobes of other partials meet, and says nothing about this bin.
        if (std::fabs(offset) > binRadians)
            continue;
        peaks[size_t(peakCount++)] = {(binRadians * k + offset) * sampleRate / (2.0 * kPi), p};
    }
}

bool CSpectralPeakEstimator::InSideLobes(int32_t bin, float power) const
{
    const int32_t first = std::max(0, bin - sideLobeSpan);
    const int32_t last = std::min(int32_t(later.size()) - 1, bin + sideLobeSpan);
    for (int32_t k = first; k <= last; ++k)
        if (power < kSideLobeLevel * std::norm(later[size_t(k)]))
            return true;
    return false;
}

const CSpectralPeakEstimator::Peak* CSpectralPeakEstimator::StrongestNear(double frequency, double tolerance) const
{
    const Peak* strongest = nullptr;
    for (int32_t i = 0; i < peakCount; ++i) {
        const Peak& peak = peaks[size_t(i)];
        if (std::fabs(peak.frequency - frequency) < tolerance && (!strongest || peak.power > strongest->power))
            strongest = &peak;
    }
    return strongest;
}

float CSpectralPeakEstimator::FitHarmonics() const
{
    double fundamental = reference;
    double weightedProducts = 0.0;
    double weightedSquares = 0.0;
    int32_t commonDivisor = 0;
    for (int32_t h = 1; h <= kHighestHarmonic && h * fundamental <= highest; ++h) {
        const Peak* peak = StrongestNear(h * fundamental, kHarmonicTolerance * fundamental);
        if (!peak)
            continue;
        const double weight = double(peak->power);
        weightedProducts += weight * h * peak->frequency;
        weightedSquares += weight * h * h;
        fundamental = weightedProducts / weightedSquares;
        commonDivisor = std::gcd(commonDivisor, h);
    }
    if (commonDivisor == 0)
        return 0.0f;
    // Matches on even harmonics only, with the first harmonic inside the
    // limits yet missing, mean the reference was an octave low.
    const int32_t octaveCorrection = fundamental >= lowest ? commonDivisor : 1;
    fundamental *= octaveCorrection;
    // The fit refines the reference; a result a quarter tone or more away
    // comes from partials the transform could not separate.
    const double expected = double(reference) * octaveCorrection;
    return std::fabs(fundamental - expected) < kAgreement * expected ? float(fundamental) : 0.0f;
}
