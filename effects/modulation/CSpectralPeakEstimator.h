#pragma once
#include "effects/common/RealFft.h"

#include <complex>
#include <cstdint>
#include <vector>

// The precise fundamental from the partials of a frame.
//
// Two Hann-windowed spectra are taken a quarter of the frame apart.  For each
// magnitude peak between the search limits, the phase advance from the
// earlier to the later spectrum, less the advance of the bin's own
// frequency, gives the partial's frequency to a small fraction of a bin.
// Starting from the reference (the coarse estimate), the peaks are matched
// to harmonics 1, 2, 3, ... in turn, and the fundamental is refitted after
// each match as the spacing of the harmonics (a least-squares line through
// the origin, weighted by power, so that a weak peak with a poor frequency
// moves it little).  Refitting as it climbs keeps the
// higher harmonics on target even when the reference is a little off; the
// lowest harmonic may lie below the limits, as a bass's low E does.
class CSpectralPeakEstimator {
public:
    // length: samples in a frame (the transforms span one less); rangeDb:
    // how far below the strongest peak a peak still counts.
    CSpectralPeakEstimator(int32_t length, int32_t sampleRate, float lowestHz, float highestHz, float rangeDb);

    void SetReference(float hz) { reference = hz; }

    // The fundamental in Hz, or 0 when no partial fits the reference.
    float Estimate(const float* frame);

private:
    struct Peak {
        double frequency;
        float power;
    };

    void Transform(const float* samples, std::vector<std::complex<float>>& spectrum);
    void FindPeaks();
    float FitHarmonics() const;
    bool InSideLobes(int32_t bin, float power) const;
    const Peak* StrongestNear(double frequency, double tolerance) const;

    double sampleRate;
    int32_t hop;
    int32_t windowLength;
    int32_t lowestBin;
    int32_t highestBin;
    int32_t sideLobeSpan;
    float powerRange;
    float lowest;
    float highest;
    float reference = 0.0f;
    RealFft fft;
    std::vector<float> window;
    std::vector<std::complex<float>> earlier;
    std::vector<std::complex<float>> later;
    std::vector<Peak> peaks;
    int32_t peakCount = 0;
};
