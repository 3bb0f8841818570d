#include "effects/drive/ToneStack.h"
#include "effects/common/Units.h"

#include "effects/common/Pi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

namespace {


// A carbon track keeps a little resistance at its ends.  Besides being what
// real pots do, it keeps the network from shorting its output to ground
// with all three knobs at zero, which would leave nothing to shape.
constexpr double kTrackEnd = 0.005;

// Audio taper: (81^x − 1)/80 puts 10 % of the track in circuit at half
// rotation, the usual law of a log pot.
constexpr double kAudioTaperBase = 81.0;

double OnTrack(double rotation) { return kTrackEnd + (1.0 - 2.0 * kTrackEnd) * rotation; }

double AudioTaper(double rotation) { return (std::pow(kAudioTaperBase, rotation) - 1.0) / (kAudioTaperBase - 1.0); }

// H(s) = (b1·s + b2·s² + b3·s³)/(1 + a1·s + a2·s² + a3·s³), from the node
// equations of the network solved for the wiper's voltage.  rt is the part
// of the treble track below the wiper, rb and rm the bass and mid
// resistances in circuit.  There is no constant term on top: at DC every
// cap is open and the wiper only sees ground through the pots.
struct AnalogResponse {
    std::array<double, 4> b; // b[0] is always 0
    std::array<double, 4> a; // a[0] is always 1

    std::complex<double> At(double omega) const
    {
        const std::complex<double> s(0.0, omega);
        const std::complex<double> num = ((b[3] * s + b[2]) * s + b[1]) * s;
        const std::complex<double> den = ((a[3] * s + a[2]) * s + a[1]) * s + a[0];
        return num / den;
    }
};

AnalogResponse Analog(const ToneStackComponents& c, const PotPositions& pots)
{
    const double r1 = c.slopeResistor;
    const double rT = c.treblePot;
    const double rt = pots.treble * c.treblePot;
    const double rb = pots.bass * c.bassPot;
    const double rm = pots.mid * c.midPot;
    const double c1 = c.trebleCap;
    const double c2 = c.bassCap;
    const double c3 = c.midCap;

    AnalogResponse h{};
    h.b[1] = c1 * (rb + rm + rt) + c2 * (rb + rm) + c3 * rm;
    h.b[2] = c1 * c2 * (r1 * (rb + rm + rt) + (rb + rm) * rT) +
             c1 * c3 * (r1 * (rb + rm + rt) + rb * rm + rm * rT) + c2 * c3 * rb * rm;
    h.b[3] = c1 * c2 * c3 * rb * (r1 * (rm + rt) + rm * rT);
    h.a[0] = 1.0;
    h.a[1] = c1 * (rb + rm + rT) + c2 * (r1 + rb + rm) + c3 * (r1 + rm);
    h.a[2] = c1 * c2 * (r1 * (rb + rm + rT) + (rb + rm) * rT) +
             c1 * c3 * (r1 * (rb + rm + rT) + rb * rm + rm * rT) + c2 * c3 * rb * (r1 + rm);
    h.a[3] = c1 * c2 * c3 * rb * (r1 * (rm + rT) + rm * rT);
    return h;
}

// The roots are worked with as u = 1/s, time constants rather than
// frequencies: a root that runs off to infinity (the bass pot near its end)
// then sits harmlessly at u = 0 instead of overflowing.

// The three roots of u³ + a1·u² + a2·u + a3, all real and negative for an
// RC network, largest magnitude (slowest pole) first.  The smallest comes
// from the product of the roots, where the trigonometric solution would
// lose it to cancellation.
std::array<double, 3> PoleTimeConstants(const AnalogResponse& h)
{
    const double a = h.a[1], b = h.a[2], c = h.a[3];
    const double p = b - a * a / 3.0;
    const double q = 2.0 * a * a * a / 27.0 - a * b / 3.0 + c;
    const double m = 2.0 * std::sqrt(std::max(-p / 3.0, 0.0));
    const double cosine = m > 0.0 ? std::clamp(3.0 * q / (p * m), -1.0, 1.0) : 0.0;
    const double phi = std::acos(cosine) / 3.0;
    std::array<double, 3> u;
    for (int k = 0; k < 3; ++k)
        u[size_t(k)] = m * std::cos(phi - 2.0 * kPi * k / 3.0) - a / 3.0;
    std::sort(u.begin(), u.end(), [](double x, double y) { return std::fabs(x) > std::fabs(y); });
    u[2] = -c / (u[0] * u[1]);
    return u;
}

// The two roots of b1·u² + b2·u + b3, the zeros besides the one at DC: a
// complex pair where the network notches the mids, otherwise real.
std::array<std::complex<double>, 2> ZeroTimeConstants(const AnalogResponse& h)
{
    const std::complex<double> root = std::sqrt(std::complex<double>(h.b[2] * h.b[2] - 4.0 * h.b[1] * h.b[3]));
    const std::complex<double> big = -0.5 * (h.b[2] + root); // b2 > 0: no cancellation
    return {big / h.b[1], h.b[3] / big};
}

// Where an analog root lands in z.  The bilinear transform squeezes the
// whole analog axis below Nyquist; at 48 kHz the network's response is
// still sloping at 8 kHz for some settings, and the squeeze costs close to
// a decibel there.  So instead every root is placed to keep the magnitude:
// the digital |H|² is rational in y = sin²(ω/2), and reading the analog
// |H(jΩ)|² through Ω² = (2·fs)²·y/(1 − y/3) -- which follows the true
// frequency to within 0.3 % up to fs/6 -- gives one linear factor in y per
// root.  The (1 − y/3) denominators cancel, as the network has as many
// zeros as poles.  Solving |1 − r·z⁻¹|² ∝ that factor for the root inside
// the unit circle gives r = (q − 1)/(q + 1) with q = √(2/3 + (2·fs·u)²).
// Slow roots land where the bilinear transform puts them, (2fs − ω)/(2fs + ω);
// a root at infinity lands at −0.101 in numerator and denominator alike.
template <class T>
T RootInZ(T timeConstant, double sampleRate)
{
    const T scaled = 2.0 * sampleRate * timeConstant;
    const T q = std::sqrt(2.0 / 3.0 + scaled * scaled);
    return (q - 1.0) / (q + 1.0);
}

// The analog frequency at which the design matches the digital Nyquist
// magnitude, y = 1 in the warp above.
double NyquistMatch(double sampleRate) { return 2.0 * sampleRate * std::sqrt(1.5); }

} // namespace

PotPositions PotFractions(float bassPercent, float midPercent, float treblePercent)
{
    // The tapers are worked in double.
    constexpr double kTravel = kPercent;
    return {OnTrack(AudioTaper(bassPercent / kTravel)), OnTrack(midPercent / kTravel),
            OnTrack(treblePercent / kTravel)};
}

ToneStackSections DesignToneStack(const ToneStackVoicing& voicing, const PotPositions& pots, double sampleRate)
{
    const AnalogResponse analog = Analog(voicing.parts, pots);
    const std::array<double, 3> poles = PoleTimeConstants(analog);
    const std::array<std::complex<double>, 2> zeros = ZeroTimeConstants(analog);

    const double slowest = RootInZ(poles[0], sampleRate);
    const double p1 = RootInZ(poles[1], sampleRate);
    const double p2 = RootInZ(poles[2], sampleRate);
    const std::complex<double> z1 = RootInZ(zeros[0], sampleRate);
    const std::complex<double> z2 = RootInZ(zeros[1], sampleRate);
    const double zeroSum = (z1 + z2).real();
    const double zeroProduct = (z1 * z2).real();

    // Unity-gain sections at Nyquist (z⁻¹ = −1) against the analog
    // magnitude at the frequency the warp maps there.
    const double highPassAtNyquist = 2.0 / (1.0 + slowest);
    const double bodyAtNyquist = (1.0 + zeroSum + zeroProduct) / ((1.0 + p1) * (1.0 + p2));
    const double makeUp = std::pow(10.0, voicing.makeUpDb / 20.0);
    const double gain = makeUp * std::abs(analog.At(NyquistMatch(sampleRate))) / (highPassAtNyquist * bodyAtNyquist);

    ToneStackSections sections;
    sections.highPass = {float(gain), -1.0f, 0.0f, float(-slowest), 0.0f};
    sections.body = {1.0f, float(-zeroSum), float(zeroProduct), float(-(p1 + p2)), float(p1 * p2)};
    return sections;
}
