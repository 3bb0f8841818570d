#include "effects/drive/FixedSection.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/Pi.h"

#include <cmath>

namespace {

// Table gains are tenths of a dB: 10^(G/200) is the linear gain of G/10 dB.
constexpr double kTenthsDbPerDecade = 200.0;
const double kSemitone = std::pow(2.0, 1.0 / 12.0);

// The design inputs every section type starts from.
struct EqTerms {
    double v;    // linear gain
    double h;    // half the gain's excess over unity
    double t;    // prewarped corner tan(π·f/fs)
    bool cut;    // gain below one tenth of a dB
};

EqTerms Terms(const EqSectionSpec& row, double sampleRate)
{
    const double v = std::pow(10.0, row.gain / kTenthsDbPerDecade);
    return {v, (v - 1.0) / 2.0, std::tan(row.frequency * kVoicingPi / sampleRate), row.gain < 1};
}

// r^width for a whole number of semitones, by repeated multiplication.
double SemitoneRatio(int32_t width)
{
    double r = 1.0;
    for (int32_t i = 0; i < std::abs(width); ++i)
        r *= kSemitone;
    return width < 0 ? 1.0 / r : r;
}

// A peak as a second-order all-pass mixed with the direct signal: the gain
// is reached exactly at the centre and 0 dB at both ends of the spectrum.  A
// cut narrows the all-pass by V so that boosts and cuts look alike on a dB
// scale.
BiquadCoefs Peak(const EqSectionSpec& row, double sampleRate, const EqTerms& e)
{
    const double r = SemitoneRatio(row.width);
    const double bandwidth = 0.5 * (r - 1.0 / r) * row.frequency;
    const double tb = std::tan(bandwidth * kVoicingPi / sampleRate);
    const double c = row.gain < 0 ? (tb - e.v) / (tb + e.v) : (tb - 1.0) / (tb + 1.0);
    const double v = (c + 1.0) * e.h;
    const double a1 = -std::cos(kVoicingTwoPi * row.frequency / sampleRate) * (1.0 - c);
    const double g = 1.0 + v;
    return RoundCoefs(g, a1 / g, (-c - v) / g, a1, -c);
}

// First-order shelves around a first-order all-pass with coefficient c.
BiquadCoefs LowShelf(const EqTerms& e)
{
    const double c = e.cut ? (e.t - e.v) / (e.t + e.v) : (e.t - 1.0) / (e.t + 1.0);
    const double v = (c + 1.0) * e.h;
    const double g = 1.0 + v;
    return RoundCoefs(g, (v + c) / g, 0.0, c, 0.0);
}

BiquadCoefs HighShelf(const EqTerms& e)
{
    const double p = e.cut ? e.v * e.t : e.t;
    const double c = (p - 1.0) / (p + 1.0);
    const double g = (1.0 - c) * e.h + 1.0;
    return RoundCoefs(g, ((c - 1.0) * e.h + c) / g, 0.0, c, 0.0);
}

// Butterworth poles with the zeros moved so that the lows rise by V; the
// tables only ever boost with it.
BiquadCoefs SecondOrderLowShelf(const EqTerms& e)
{
    const double t2 = e.t * e.t;
    const double root2V = std::sqrt(2.0 * e.v) * e.t;
    const double n0 = 1.0 + root2V + e.v * t2;
    const double n2 = 1.0 - root2V + e.v * t2;
    const ButterworthTerms d = Butterworth(e.t);
    return RoundCoefs(n0 / d.t0, 2.0 * (e.v * t2 - 1.0) / n0, n2 / n0, d.t1 / d.t0, d.t2 / d.t0);
}

BiquadCoefs Design(const EqSectionSpec& row, double sampleRate)
{
    const EqTerms e = Terms(row, sampleRate);
    switch (row.type) {
    case kEqPeak: return Peak(row, sampleRate, e);
    case kEqLowShelf: return LowShelf(e);
    case kEqHighShelf: return HighShelf(e);
    case kEqSecondLowShelf: return SecondOrderLowShelf(e);
    default: return {};
    }
}

} // namespace

void DesignEqSection(const EqSectionSpec& row, FixedSection& section, double sampleRate)
{
    section.coefs = Design(row, sampleRate);
}
