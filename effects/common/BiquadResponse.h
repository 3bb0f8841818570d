#pragma once
#include "effects/common/BiquadKernel.h"

#include <complex>
#include <span>

class BiquadSection;

// Frequency responses of second-order sections, evaluated from their float
// coefficients in double.  For analysis and tests, never the audio path.

// H(e^jω) = g·(1 + b1·z⁻¹ + b2·z⁻²)/(1 + a1·z⁻¹ + a2·z⁻²) at z = e^(j·2π·f/fs).
std::complex<double> BiquadResponse(const BiquadCoefs& coefs, double frequency, double sampleRate);

double BiquadMagnitude(const BiquadCoefs& coefs, double frequency, double sampleRate);
double BiquadMagnitudeDb(const BiquadCoefs& coefs, double frequency, double sampleRate);

// A section's magnitude at its own sample rate.
double BiquadMagnitudeDb(const BiquadSection& section, double frequency);

// The magnitude of sections run one after another.
double CascadeMagnitudeDb(std::span<const BiquadCoefs> sections, double frequency, double sampleRate);
