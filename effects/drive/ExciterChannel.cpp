#include "effects/drive/ExciterChannel.h"

namespace {

constexpr bool kSecondOrder = true;

// The power-series coefficients of T1..T5 (u, u², …, u⁵).  Their constant
// terms (−1 for T2, +1 for T4) are left out: they would only add a DC offset
// that the blocker removes anyway, and without them silence stays silent.
constexpr std::array<std::array<float, ExciterSettings::kHarmonics>, ExciterSettings::kHarmonics> kChebyshev{{
    //  u      u²     u³      u⁴    u⁵
    {1.0f,  0.0f,  0.0f,   0.0f, 0.0f},  // T1 = u
    {0.0f,  2.0f,  0.0f,   0.0f, 0.0f},  // T2 = 2u² − 1
    {-3.0f, 0.0f,  4.0f,   0.0f, 0.0f},  // T3 = 4u³ − 3u
    {0.0f,  -8.0f, 0.0f,   8.0f, 0.0f},  // T4 = 8u⁴ − 8u² + 1
    {5.0f,  0.0f,  -20.0f, 0.0f, 16.0f}, // T5 = 16u⁵ − 20u³ + 5u
}};

} // namespace

void ExciterSettings::SetHarmonicLevels(const std::array<float, kHarmonics>& levels)
{
    powers.fill(0.0f);
    for (size_t n = 0; n < kChebyshev.size(); ++n)
        for (size_t k = 0; k < powers.size(); ++k)
            powers[k] += levels[n] * kChebyshev[n][k];
}

void ExciterChannel::SetSampleRate(double sampleRate)
{
    for (BiquadSection* section : {&bandLow, &bandHigh, &dcBlock})
        section->setSampleRate(sampleRate);
}

void ExciterChannel::SetFrequency(float frequency)
{
    // Two Butterworth sections make a fourth-order band edge; the blocker
    // after the harmonic bank shares the corner, since every harmonic of the
    // band lies above it while DC and the difference tones mostly do not.
    for (BiquadSection* section : {&bandLow, &bandHigh, &dcBlock})
        section->designHighPass(frequency, kSecondOrder);
}

void ExciterChannel::Reset()
{
    for (BiquadSection* section : {&bandLow, &bandHigh, &dcBlock})
        section->reset();
    meanSquare1 = 0.0f;
    meanSquare2 = 0.0f;
    dryLine.fill(0.0f);
    dryPosition = 0;
    oversampler.Reset();
}
