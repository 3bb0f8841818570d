#include "effects/drive/ThirdOrderButterworth.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/Pi.h"

#include <cmath>

namespace {

// Cube roots as powers, the way the cabinet tables were tuned.  The sign is
// carried outside the power: for the cubics here both radicands stay
// positive, and should one ever turn negative the real cube root still
// comes out instead of NaN.
constexpr double kCubeRootPower = 0.33333333333;

double SignedCubeRoot(double v) { return std::copysign(std::pow(std::fabs(v), kCubeRootPower), v); }

// The bilinear constant c = ω/tan(ω/(2·fs)) that maps the analogue corner ω
// onto the same digital frequency.
double BilinearConstant(double omega, double sampleRate) { return omega / std::tan(omega / (2.0 * sampleRate)); }

} // namespace

double CubicRealRoot(double d1, double d2, double d3)
{
    const double q = (3.0 * d2 - d1 * d1) / 9.0;
    const double r = (9.0 * d1 * d2 - 27.0 * d3 - 2.0 * d1 * d1 * d1) / 54.0;
    const double s = std::sqrt(q * q * q + r * r);
    return SignedCubeRoot(r + s) - SignedCubeRoot(s - r) - d1 / 3.0;
}

ThirdOrderSections DesignThirdOrderLowPass(double lowPassFrequency, double highPassFrequency, double sampleRate)
{
    // Prototype ω³/(s³ + 2ω·s² + 2ω²·s + ω³) through s = c·(1 − z⁻¹)/(1 + z⁻¹).
    const double w = kTwoPi * lowPassFrequency;
    const double c = BilinearConstant(w, sampleRate);
    const double w2 = w * w, w3 = w2 * w;
    const double c2 = c * c, c3 = c2 * c;
    const double d = c3 + 2.0 * w * c2 + 2.0 * w2 * c + w3;
    const double d1 = (3.0 * w3 + 2.0 * w2 * c - 2.0 * w * c2 - 3.0 * c3) / d;
    const double d2 = (3.0 * w3 - 2.0 * w2 * c - 2.0 * w * c2 + 3.0 * c3) / d;
    const double d3 = (w3 - 2.0 * w2 * c + 2.0 * w * c2 - c3) / d;

    // Dividing the real pole out leaves the quadratic z² + (x1 + d1)·z + (x1 + d1)·x1 + d2.
    const double x1 = CubicRealRoot(d1, d2, d3);
    const double pairA1 = x1 + d1;

    const double wh = kTwoPi * highPassFrequency;
    const double ch = BilinearConstant(wh, sampleRate);
    const double p = (wh - ch) / (ch + wh);

    return {RoundCoefs(w3 / d, 2.0, 1.0, pairA1, pairA1 * x1 + d2), RoundCoefs(1.0, 0.0, -1.0, p - x1, -x1 * p)};
}
