#pragma once
#include "effects/common/RealFft.h"

#include <cstdint>
#include <vector>

// A first, robust guess of the fundamental from the lag domain.  The
// normalised square difference of the frame with itself (twice the
// autocorrelation over the energy of the overlapping parts, through an FFT of
// twice the frame length) is near 1 at every multiple of the period.  Of the
// highest values of its positive lobes, the first one that reaches most of
// the best is the period: this picks the fundamental rather than an octave
// below it, and the lobes of upper partials stay below the mark.  The peak is
// refined by a parabola through its neighbours.
class CCoarsePitchEstimator {
public:
    CCoarsePitchEstimator(int32_t length, int32_t sampleRate);

    // The fundamental of length samples in Hz, or 0 when the frame is silent
    // or has no clear period.
    float Estimate(const float* frame);

private:
    void Autocorrelate(const float* frame);
    void Normalise(const float* frame);
    float PickPeriod() const;

    int32_t length;
    int32_t sampleRate;
    int32_t shortestLag;
    int32_t longestLag;
    RealFft fft;
    std::vector<float> difference;
};
