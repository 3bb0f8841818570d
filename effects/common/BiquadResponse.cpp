#include "effects/common/BiquadResponse.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadSection.h"
#include "effects/common/Pi.h"

#include <cmath>

std::complex<double> BiquadResponse(const BiquadCoefs& coefs, double frequency, double sampleRate)
{
    const std::complex<double> zInv = std::polar(1.0, -kTwoPi * frequency / sampleRate);
    const std::complex<double> numerator = 1.0 + (double(coefs.b1) + double(coefs.b2) * zInv) * zInv;
    const std::complex<double> denominator = 1.0 + (double(coefs.a1) + double(coefs.a2) * zInv) * zInv;
    return double(coefs.g) * numerator / denominator;
}

double BiquadMagnitude(const BiquadCoefs& coefs, double frequency, double sampleRate)
{
    return std::abs(BiquadResponse(coefs, frequency, sampleRate));
}

double BiquadMagnitudeDb(const BiquadCoefs& coefs, double frequency, double sampleRate)
{
    return 20.0 * std::log10(BiquadMagnitude(coefs, frequency, sampleRate));
}

double BiquadMagnitudeDb(const BiquadSection& section, double frequency)
{
    return BiquadMagnitudeDb(section.copyCoefficients(), frequency, section.sampleRate());
}

double CascadeMagnitudeDb(std::span<const BiquadCoefs> sections, double frequency, double sampleRate)
{
    double db = 0.0;
    for (const BiquadCoefs& coefs : sections)
        db += BiquadMagnitudeDb(coefs, frequency, sampleRate);
    return db;
}
