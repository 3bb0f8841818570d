#pragma once
#include "effects/common/BiquadKernel.h"

// Bilinear-transform designers that write into a BiquadCoefs the caller owns,
// for effects that keep banks of sections in their own arrays.  Frequencies
// and the sample rate are in Hz, gains in dB.  They call tan, sin, pow and
// sqrt, so they belong in an effect's update path, never in its sample loop.

// Coefficients designed in double, rounded once to the float record.
BiquadCoefs RoundCoefs(double g, double b1, double b2, double a1, double a2);

// The prewarped analogue frequency tan(π·f/fs) of the bilinear transform.
double PrewarpedTan(double frequency, double sampleRate);

// A second-order numerator (n0, n1, n2) and denominator (d0, d1, d2) in z⁻¹.
struct BiquadPolynomials {
    double n0, n1, n2;
    double d0, d1, d2;
};

// Divides both polynomials by their leading terms into g, b1, b2, a1, a2.
BiquadCoefs NormalisePolynomials(const BiquadPolynomials& p);

// The boost polynomials as they stand, or inverted (numerator and
// denominator swapped) for a cut of the same size.
BiquadCoefs BoostOrCut(const BiquadPolynomials& boost, bool boosting);

// The polynomial 1 + √2·K + K², 2(K² − 1), 1 − √2·K + K² that every
// Butterworth and shelving design divides by.
struct ButterworthTerms {
    double t0, t1, t2;
};
ButterworthTerms Butterworth(double k);

// Peaking section: gainDb at frequency, bandwidth set by q; 0 dB is the identity.
void DesignPeak(double gainDb, double frequency, double q, double sampleRate, BiquadCoefs& target);

// Second-order high-pass with a resonance at the corner; smaller damping r
// gives a taller peak.
void DesignResonantHighPass(double frequency, double damping, double sampleRate, BiquadCoefs& target);

// Butterworth low- and high-pass, unity pass-band gain.
void DesignButterworthLowPass(double frequency, double sampleRate, BiquadCoefs& target);
void DesignButterworthHighPass(double frequency, double sampleRate, BiquadCoefs& target);

// Butterworth high-pass poles with g = 1 instead of the normalising gain, so
// the pass band sits at 1 + √2·K + K² (about +0.9 dB at 1 kHz and 44.1 kHz,
// more for higher corners).
void DesignHighPassUnnormalised(double frequency, double sampleRate, BiquadCoefs& target);
