#include "effects/common/BiquadSection.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/Pi.h"

#include <cmath>

// All designs prewarp with K = tan(π·f/fs) and work in double; only the
// finished coefficients are rounded to float.
namespace {

double DbToGain(double gainDb) { return std::pow(10.0, gainDb / 20.0); }

// The pole of the first-order designs, (K − 1)/(K + 1).
double FirstOrderPole(double k) { return (k - 1.0) / (k + 1.0); }

// −cos(2π·f/fs): the centre-frequency term of the all-pass based designs.
double CentreTerm(double frequency, double sampleRate)
{
    return -std::cos(kTwoPi * frequency / sampleRate);
}

// Peak, band-pass and notch mix the input with a second-order all-pass whose
// phase passes −180° at the centre, so the centre gain is exact whatever the
// bandwidth.
BiquadCoefs Peak(double fs, double f, double gainDb, double q)
{
    // The peak's V goes through float once, like every value the section
    // stores, so its centre gain is the float gain exactly.
    const double v = static_cast<float>(DbToGain(gainDb));
    const double t = PrewarpedTan(f / q, fs);
    const double c = gainDb < 0.0 ? (t - v) / (t + v) : (t - 1.0) / (t + 1.0);
    const double mix = (c + 1.0) * (v - 1.0) / 2.0;
    const double g = 1.0 + mix;
    const double a1 = CentreTerm(f, fs) * (1.0 - c);
    return RoundCoefs(g, a1 / g, (-c - mix) / g, a1, -c);
}

BiquadCoefs BandPass(double fs, double f, double bandwidth)
{
    const double c = FirstOrderPole(PrewarpedTan(bandwidth, fs));
    return RoundCoefs((1.0 + c) / 2.0, 0.0, -1.0, CentreTerm(f, fs) * (1.0 - c), -c);
}

BiquadCoefs Notch(double fs, double f, double q)
{
    const double t = PrewarpedTan(f / q, fs);
    const double p = (1.0 - t) / (1.0 + t);
    const double cosine = std::cos(kTwoPi * f / fs);
    return RoundCoefs((1.0 + p) / 2.0, -2.0 * cosine, 1.0, -(1.0 + p) * cosine, p);
}

BiquadCoefs LowPass1(double k)
{
    const double c = FirstOrderPole(k);
    return RoundCoefs((1.0 + c) / 2.0, 1.0, 0.0, c, 0.0);
}

BiquadCoefs HighPass1(double k)
{
    const double c = FirstOrderPole(k);
    return RoundCoefs((1.0 - c) / 2.0, -1.0, 0.0, c, 0.0);
}

BiquadCoefs LowPass2(double k)
{
    const ButterworthTerms b = Butterworth(k);
    return RoundCoefs(k * k / b.t0, 2.0, 1.0, b.t1 / b.t0, b.t2 / b.t0);
}

BiquadCoefs HighPass2(double k)
{
    const ButterworthTerms b = Butterworth(k);
    return RoundCoefs(1.0 / b.t0, -2.0, 1.0, b.t1 / b.t0, b.t2 / b.t0);
}

// First-order shelves: the section is 1 plus a scaled first-order low- or
// high-pass.  A cut moves the pole by V so that the corner stays where a
// boost of the same size has it.
BiquadCoefs LowShelf1(double k, double gainDb)
{
    const double v = DbToGain(gainDb);
    const double c = gainDb > 0.0 ? FirstOrderPole(k) : (k - v) / (k + v);
    const double mix = (c + 1.0) * (v - 1.0) / 2.0;
    const double g = 1.0 + mix;
    return RoundCoefs(g, (mix + c) / g, 0.0, c, 0.0);
}

BiquadCoefs HighShelf1(double k, double gainDb)
{
    const double v = DbToGain(gainDb);
    const double c = FirstOrderPole(gainDb > 0.0 ? k : v * k);
    const double half = (v - 1.0) / 2.0;
    const double g = (1.0 - c) * half + 1.0;
    return RoundCoefs(g, ((c - 1.0) * half + c) / g, 0.0, c, 0.0);
}

// Second-order shelves divide the shelving polynomial by the Butterworth one
// for a boost and the other way round for a cut, so equal boosts and cuts are
// exact inverses.

// The low shelf is the high shelf mirrored by K → 1/K: the gain V moves from
// the K² terms to the constant ones, so it lands at 0 Hz instead of fs/2.
BiquadCoefs LowShelf2(double k, double gainDb)
{
    const double v = DbToGain(std::fabs(gainDb));
    const double k2 = k * k;
    const double root = std::sqrt(2.0 * v) * k;
    const ButterworthTerms b = Butterworth(k);
    const BiquadPolynomials boost{1.0 + root + v * k2, 2.0 * (v * k2 - 1.0), 1.0 - root + v * k2, b.t0, b.t1, b.t2};
    return BoostOrCut(boost, gainDb > 0.0);
}

BiquadCoefs HighShelf2(double k, double gainDb)
{
    const double v = DbToGain(std::fabs(gainDb));
    const double k2 = k * k;
    const double root = std::sqrt(2.0 * v) * k;
    const ButterworthTerms b = Butterworth(k);
    const BiquadPolynomials boost{v + root + k2, 2.0 * (k2 - v), v - root + k2, b.t0, b.t1, b.t2};
    return BoostOrCut(boost, gainDb > 0.0);
}

// Designs type from the stored values.  design peak does not keep its Q, so a
// peak redesigned here has only the stored q to go on, and takes it truncated
// to a whole number.
BiquadCoefs DesignStored(int32_t type, double fs, double f, double gainDb, double q)
{
    const double k = PrewarpedTan(f, fs);
    switch (type) {
    case BiquadPeak: return Peak(fs, f, gainDb, std::trunc(q));
    case BiquadLowPass1: return LowPass1(k);
    case BiquadLowPass2: return LowPass2(k);
    case BiquadHighPass1: return HighPass1(k);
    case BiquadHighPass2: return HighPass2(k);
    case BiquadLowShelf1: return LowShelf1(k, gainDb);
    case BiquadLowShelf2: return LowShelf2(k, gainDb);
    case BiquadHighShelf1: return HighShelf1(k, gainDb);
    case BiquadHighShelf2: return HighShelf2(k, gainDb);
    case BiquadBandPass: return BandPass(fs, f, q);
    case BiquadNotch: return Notch(fs, f, q);
    default: return BiquadCoefs{};
    }
}

bool UsesGain(int32_t type)
{
    return type == BiquadPeak || type == BiquadLowShelf1 || type == BiquadLowShelf2 || type == BiquadHighShelf1 ||
           type == BiquadHighShelf2;
}

} // namespace

void BiquadSection::redesign() { coefs_ = DesignStored(type_, sampleRate_, frequency_, gainDb_, q_); }

void BiquadSection::setType(int32_t type)
{
    if (type < BiquadPassThrough || type >= BiquadTypeCount)
        return;
    type_ = type;
    redesign();
    state_.Reset();
}

void BiquadSection::setFrequency(float frequency)
{
    if (!(frequency > 0.0f && frequency < sampleRate_ / 2.0f))
        return;
    frequency_ = frequency;
    if (type_ != BiquadPassThrough)
        redesign();
}

void BiquadSection::setGain(float gainDb)
{
    gainDb_ = gainDb;
    if (UsesGain(type_))
        redesign();
}

void BiquadSection::setSampleRate(double sampleRate)
{
    const float rate = static_cast<float>(sampleRate);
    if (!(rate > 0.0f) || rate == sampleRate_)
        return;
    sampleRate_ = rate;
    state_.Reset();
    if (type_ != BiquadPassThrough)
        redesign();
}

void BiquadSection::reset() { state_.Reset(); }

void BiquadSection::designPeak(float frequency, float gainDb, float q)
{
    frequency_ = frequency;
    gainDb_ = gainDb;
    type_ = BiquadPeak;
    coefs_ = Peak(sampleRate_, frequency, gainDb, q);
}

void BiquadSection::designLowPass(float frequency, bool secondOrder)
{
    frequency_ = frequency;
    type_ = secondOrder ? BiquadLowPass2 : BiquadLowPass1;
    redesign();
}

void BiquadSection::designHighPass(float frequency, bool secondOrder)
{
    frequency_ = frequency;
    type_ = secondOrder ? BiquadHighPass2 : BiquadHighPass1;
    redesign();
}

void BiquadSection::designLowShelf(float frequency, float gainDb, bool secondOrder)
{
    frequency_ = frequency;
    gainDb_ = gainDb;
    type_ = secondOrder ? BiquadLowShelf2 : BiquadLowShelf1;
    redesign();
}

void BiquadSection::designHighShelf(float frequency, float gainDb, bool secondOrder)
{
    frequency_ = frequency;
    gainDb_ = gainDb;
    type_ = secondOrder ? BiquadHighShelf2 : BiquadHighShelf1;
    redesign();
}

void BiquadSection::designBandPass(float frequency, float bandwidth)
{
    frequency_ = frequency;
    q_ = bandwidth;
    type_ = BiquadBandPass;
    redesign();
}

void BiquadSection::designNotch(float frequency, float q)
{
    frequency_ = frequency;
    q_ = q;
    type_ = BiquadNotch;
    redesign();
}
