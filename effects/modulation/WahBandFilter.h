#pragma once
#include "effects/common/Pi.h"

#include <cstdint>

// The resonant band filter both wahs sweep.  It is a second-order all-pass
// whose output is subtracted from its input, so the band edges follow from
// one tangent (the bandwidth) and the centre from one cosine; both change
// every sample, so the coefficients come from those two values directly
// rather than from a full biquad design.
//
//   H(z) = (k + 1)·(1 − z⁻²) / (1 + m·z⁻¹ − k·z⁻²),
//   k = (t − 1)/(t + 1), t = tan(π·B/fs), m = −(1 − k)·cos(2π·fc/fs).
//
// At the centre the gain is k + 1, close to 2 for narrow bands; the -3 dB
// points lie exactly B Hz apart.
struct WahBand {
    float k = 0.0f;
    float m = 0.0f;
    float g = 1.0f;
};

inline WahBand WahBandFrom(float tangent, float minusCosine)
{
    const float k = (tangent - 1.0f) / (tangent + 1.0f);
    return {k, (1.0f - k) * minusCosine, k + 1.0f};
}

// The gain that brings the wah's resonance up to a level that stands out
// over the dry sound it replaces.
inline constexpr float kWahFilterGain = 1.7f;

// The resonance both wahs start with: a bandwidth of 10/52 of the centre.
inline constexpr int32_t kWahDefaultQCode = 52;

// tan(bandwidth factor · fc) is the tangent for a bandwidth of fc · 10 / qCode.
inline float WahBandwidthFactor(int32_t qCode, double sampleRate)
{
    constexpr double kBandwidthPerCode = 10.0;
    return float(kBandwidthPerCode / double(qCode) * kPi / sampleRate);
}

// cos(angle factor · fc) is the cosine of the centre's angle per sample.
inline float WahAngleFactor(double sampleRate)
{
    return float(kTwoPi / sampleRate);
}

// One channel's two state values.
struct WahChannel {
    float state1 = 0.0f;
    float state2 = 0.0f;

    // An input of exactly zero is nudged to a tiny constant: in silence the
    // states then settle on small normal values instead of decaying through
    // the subnormal range.
    float Process(const WahBand& band, float x)
    {
        constexpr float kSilenceFloor = 1e-07f;
        if (x == 0.0f)
            x = kSilenceFloor;
        const float u = state1 + x;
        state1 = state2 - u * band.m;
        state2 = u * band.k - x;
        return u * band.g;
    }

    void Reset()
    {
        state1 = 0.0f;
        state2 = 0.0f;
    }
};
