#include "effects/drive/CBluesDriveStage.h"

#include "effects/common/BiquadDesigners.h"

#include <cmath>
#include <complex>

namespace {

using Complex = std::complex<double>;

// The input coupling removes what lies below the guitar's range before the
// gain stage; its pass band keeps the designer's unnormalised gain.
constexpr double kInputHighPassHz = 70.0;

// The op-amp gain stage.  Its feedback network puts the gain potentiometer
// (100 kΩ) into the numerator; the denominator is fixed by the circuit and
// given by its leading term and its two real poles.
constexpr double kGainPotOhms = 100000.0;
constexpr double kGainLeading = 1.551e-9;
constexpr double kGainSquarePerOhmA = 4.7e-13;
constexpr double kGainSquarePerOhmB = 3.3e-13;
constexpr double kGainLinear = 0.000127;
constexpr double kGainLinearPerOhm = 1e-8;
constexpr double kGainPoleSum = 81882.65635074144;
constexpr double kGainPoleDiscriminant = 4125788108.6680603;

// The passive tone network: the 25 kΩ colour potentiometer split into its two
// halves, with 6.8 kΩ, 100 kΩ, 1 kΩ and 10 nF.  The polynomial terms are made
// of these products.
constexpr double kTonePotOhms = 25000.0;
constexpr double kTau100k = 1e-3;       // 100 kΩ · 10 nF
constexpr double kTau6k8 = 6.8e-5;      // 6.8 kΩ · 10 nF
constexpr double kTau1k = 1e-5;         // 1 kΩ · 10 nF
constexpr double kCapacitance = 1e-8;   // 10 nF
constexpr double kCapTau100k = 1e-11;   // 10 nF · 100 kΩ · 10 nF
constexpr double k6k8Tau100k = 6.8;     // 6.8 kΩ · 100 kΩ · 10 nF
constexpr double k1kTau100k = 1.0;      // 1 kΩ · 100 kΩ · 10 nF
constexpr double k6k8Tau1k = 0.068;     // 6.8 kΩ · 1 kΩ · 10 nF
constexpr double k100kTau1k = 1.0;      // 100 kΩ · 1 kΩ · 10 nF
constexpr double kToneSeriesOhms = 107800.0;  // 100 kΩ + 6.8 kΩ + 1 kΩ
constexpr double kToneNumeratorOhms = 100000.0;

// A zero-free section's numerator (1 + z⁻¹)² stands in by its value at DC, a
// single zero's (1 + z⁻¹) likewise.
constexpr double kSquaredDcTerm = 4.0;
constexpr double kDcTerm = 2.0;

// The bilinear constant 2·fs, rounded to float like the rate itself.
double BilinearK(float sampleRate) { return double(2.0f * sampleRate); }

struct RootPair {
    Complex r1;
    Complex r2;
};

// The roots of s² + p1·s + p0: two real ones or a conjugate pair.
RootPair MonicRoots(double p1, double p0)
{
    const double discriminant = p1 * p1 - 4.0 * p0;
    if (discriminant >= 0.0) {
        const double root = std::sqrt(discriminant);
        return {Complex((-p1 + root) / 2.0), Complex((-p1 - root) / 2.0)};
    }
    const double imaginary = std::sqrt(4.0 * p0 - p1 * p1) / 2.0;
    return {Complex(-p1 / 2.0, imaginary), Complex(-p1 / 2.0, -imaginary)};
}

// A root pair through s = K·(1 − z⁻¹)/(1 + z⁻¹):
// (K − r1)(K − r2) − (2K² − 2·r1·r2)·z⁻¹ + (K² + (r1 + r2)·K + r1·r2)·z⁻²,
// kept as its first term and the other two divided by it.
struct ZPolynomial {
    double first;
    double c1;
    double c2;
};

ZPolynomial BilinearPolynomial(const RootPair& roots, double k)
{
    const double product = (roots.r1 * roots.r2).real();
    const double sum = (roots.r1 + roots.r2).real();
    const double first = ((k - roots.r1) * (k - roots.r2)).real();
    const double second = -(2.0 * k * k - 2.0 * product);
    const double third = k * k + sum * k + product;
    return {first, second / first, third / first};
}

BiquadCoefs DesignGainSection(float sampleRate, float gain)
{
    const double k = BilinearK(sampleRate);
    const double r = double(gain) * kGainPotOhms;
    const double n0 = kGainLeading + r * kGainSquarePerOhmA + r * kGainSquarePerOhmB;
    const double n1 = kGainLinear + r * kGainLinearPerOhm;
    const ZPolynomial zeros = BilinearPolynomial(MonicRoots(n1 / n0, 1.0 / n0), k);
    const double poleRoot = std::sqrt(kGainPoleDiscriminant);
    const ZPolynomial poles =
        BilinearPolynomial({Complex((-kGainPoleSum + poleRoot) / 2.0), Complex((-kGainPoleSum - poleRoot) / 2.0)}, k);
    const double g = (n0 / kGainLeading) * zeros.first / poles.first;
    return RoundCoefs(g, zeros.c1, zeros.c2, poles.c1, poles.c2);
}

BiquadCoefs DesignToneSection(float sampleRate, float color)
{
    const double k = BilinearK(sampleRate);
    const double rt = double(color) * kTonePotOhms;
    const double rb = kTonePotOhms - rt;
    const double d0 = rt * kTau100k * kTau6k8 + rt * rb * kCapTau100k + rb * kTau100k * kTau6k8 + kTau6k8 +
                      rt * kCapacitance;
    const double d1 = rt * kTau6k8 + rt * kTau100k + k6k8Tau100k + k1kTau100k + rb * kTau100k + rt * rb * kCapacitance +
                      rb * kTau100k + k6k8Tau1k + rb * kTau6k8 + k100kTau1k + rt * kTau1k;
    const double d2 = kToneSeriesOhms + rb;
    const double n1 = rt * kTau100k;
    const double n2 = kToneNumeratorOhms;
    const ZPolynomial poles = BilinearPolynomial(MonicRoots(d1 / d0, d2 / d0), k);
    if (n1 == 0.0)
        return RoundCoefs(kSquaredDcTerm * n2 / (poles.first * d0), 0.0, 0.0, poles.c1, poles.c2);
    const double zero = -n2 / n1;
    const double g = kDcTerm * (k - zero) * (n1 / d0) / poles.first;
    const double b1 = -(1.0 + zero / k) / (1.0 - zero / k);
    return RoundCoefs(g, b1, 0.0, poles.c1, poles.c2);
}

} // namespace

CBluesDriveStage::CBluesDriveStage() { Redesign(); }

void CBluesDriveStage::SetSampleRate(float rate)
{
    if (!(rate > 0.0f) || rate == sampleRate)
        return;
    sampleRate = rate;
    Redesign();
}

void CBluesDriveStage::SetGain(float newGain)
{
    if (newGain == gain)
        return;
    gain = newGain;
    Redesign();
}

void CBluesDriveStage::SetColor(float newColor)
{
    if (newColor == color)
        return;
    color = newColor;
    Redesign();
}

void CBluesDriveStage::Redesign()
{
    DesignHighPassUnnormalised(kInputHighPassHz, sampleRate, inputCoefs);
    gainCoefs = DesignGainSection(sampleRate, gain);
    toneCoefs = DesignToneSection(sampleRate, color);
}
