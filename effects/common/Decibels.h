#pragma once
#include <cmath>

// Level conversions between decibels and linear amplitude.  Both are taken in
// double and rounded to float once, like every other transcendental of the
// parameter model, so a level set from a control lands on the same float
// whichever effect converts it.
inline constexpr double kDecibelsPerDecade = 20.0;

inline float DecibelsToGain(float decibels)
{
    return float(std::pow(10.0, double(decibels) / kDecibelsPerDecade));
}

inline float GainToDecibels(float gain)
{
    return float(kDecibelsPerDecade * std::log10(double(gain)));
}
