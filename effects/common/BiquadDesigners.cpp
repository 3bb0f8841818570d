#include "effects/common/BiquadDesigners.h"

#include "effects/common/Pi.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kSqrt2 = std::numbers::sqrt2;

// The analogue-prototype form shared by the two Butterworth designers: the
// corner ω = 2π·f against the bilinear constant c = ω/tan(π·f/fs).
struct AnalogueButterworth {
    double omega2;
    double c2;
    double a1;
    double a2;
    double d;
};

AnalogueButterworth AnalogueTerms(double frequency, double sampleRate)
{
    const double omega = kTwoPi * frequency;
    const double c = omega / PrewarpedTan(frequency, sampleRate);
    const double omega2 = omega * omega;
    const double c2 = c * c;
    const double d = c2 + omega2 + kSqrt2 * c * omega;
    return {omega2, c2, (2.0 * omega2 - 2.0 * c2) / d, (c2 + omega2 - kSqrt2 * c * omega) / d, d};
}

} // namespace

BiquadCoefs RoundCoefs(double g, double b1, double b2, double a1, double a2)
{
    return {static_cast<float>(g), static_cast<float>(b1), static_cast<float>(b2), static_cast<float>(a1),
            static_cast<float>(a2)};
}

double PrewarpedTan(double frequency, double sampleRate) { return std::tan(kPi * frequency / sampleRate); }

BiquadCoefs NormalisePolynomials(const BiquadPolynomials& p)
{
    return RoundCoefs(p.n0 / p.d0, p.n1 / p.n0, p.n2 / p.n0, p.d1 / p.d0, p.d2 / p.d0);
}

BiquadCoefs BoostOrCut(const BiquadPolynomials& boost, bool boosting)
{
    if (boosting)
        return NormalisePolynomials(boost);
    return NormalisePolynomials({boost.d0, boost.d1, boost.d2, boost.n0, boost.n1, boost.n2});
}

ButterworthTerms Butterworth(double k)
{
    const double k2 = k * k;
    return {1.0 + kSqrt2 * k + k2, 2.0 * (k2 - 1.0), 1.0 - kSqrt2 * k + k2};
}

void DesignPeak(double gainDb, double frequency, double q, double sampleRate, BiquadCoefs& target)
{
    // A boost widens the numerator's bandwidth term by V; a cut is the same
    // section inverted, so a boost and a cut of the same size cancel exactly.
    const double k = PrewarpedTan(frequency, sampleRate);
    const double k2 = k * k;
    const double v = std::pow(10.0, std::fabs(gainDb) / 20.0);
    const double wide = v * k / q;
    const double plain = k / q;
    const double middle = 2.0 * (k2 - 1.0);
    const BiquadPolynomials boosted{1.0 + wide + k2, middle, 1.0 - wide + k2, 1.0 + plain + k2, middle,
                                    1.0 - plain + k2};
    target = BoostOrCut(boosted, gainDb > 0.0);
}

void DesignResonantHighPass(double frequency, double damping, double sampleRate, BiquadCoefs& target)
{
    const double s = 2.0 * std::sin(kPi * frequency / sampleRate);
    const double a2 = 1.0 - 2.0 * damping * s;
    const double a1 = s * s - a2 - 1.0;
    target = RoundCoefs(1.0, -2.0, 1.0, a1, a2);
}

void DesignButterworthLowPass(double frequency, double sampleRate, BiquadCoefs& target)
{
    const AnalogueButterworth t = AnalogueTerms(frequency, sampleRate);
    target = RoundCoefs(t.omega2 / t.d, 2.0, 1.0, t.a1, t.a2);
}

void DesignButterworthHighPass(double frequency, double sampleRate, BiquadCoefs& target)
{
    const AnalogueButterworth t = AnalogueTerms(frequency, sampleRate);
    target = RoundCoefs(t.c2 / t.d, -2.0, 1.0, t.a1, t.a2);
}

void DesignHighPassUnnormalised(double frequency, double sampleRate, BiquadCoefs& target)
{
    const ButterworthTerms b = Butterworth(PrewarpedTan(frequency, sampleRate));
    target = RoundCoefs(1.0, -2.0, 1.0, b.t1 / b.t0, b.t2 / b.t0);
}
