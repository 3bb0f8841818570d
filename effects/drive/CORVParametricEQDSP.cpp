#include "effects/drive/CORVParametricEQDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Pi.h"

#include <algorithm>
#include <cmath>

namespace {

using Coefficients = CORVParametricEQDSP::Coefficients;

// ln 2 / 2: turns a bandwidth in octaves into the peak's and notch's α.
constexpr double kHalfLn2 = 0.34657359027997264;
// A design frequency stays below this fraction of the sample rate: at and
// above half the rate the formulas fold the band back with poles outside
// the unit circle.  Only rates below 37.8 kHz ever reach it.
constexpr double kHighestFrequencyRatio = 0.49;
// Added to every input sample; the 32-bit float 1e-20 widened.  It keeps the
// recursion out of subnormals in silence and is itself a normal float.
constexpr float kRecursionOffset = 1e-20f;

// How the "Q" control reads for each shape: an octave bandwidth of twice its
// value for the peak and the notch, the slope for the shelves, Q for the
// pass shapes.
double WidthFor(int32_t type, float q)
{
    return type == CORVParametricEQDSP::kPeak || type == CORVParametricEQDSP::kNotch ? 2.0 * q : q;
}

// The pass shapes take half of "Gain", at the output.
double GainFor(int32_t type, float gain)
{
    return type == CORVParametricEQDSP::kLowPass || type == CORVParametricEQDSP::kHighPass ? gain / 2.0 : gain;
}

bool GainAtOutput(int32_t type) { return type >= CORVParametricEQDSP::kLowPass; }

Coefficients Shelf(bool high, double a, double cs, double sn, double slope)
{
    const double beta = sn * std::sqrt(a) * std::sqrt((1.0 / slope - 1.0) * (a + 1.0 / a) + 2.0);
    // A high shelf is the low shelf with cos ω mirrored (ω → π − ω).
    const double c = high ? -cs : cs;
    const double sign = high ? -1.0 : 1.0;
    return {a * ((a + 1.0) - (a - 1.0) * c + beta),
            sign * 2.0 * a * ((a - 1.0) - (a + 1.0) * c),
            a * ((a + 1.0) - (a - 1.0) * c - beta),
            (a + 1.0) + (a - 1.0) * c + beta,
            sign * -2.0 * ((a - 1.0) + (a + 1.0) * c),
            (a + 1.0) + (a - 1.0) * c - beta};
}

Coefficients Design(int32_t type, double gainDb, double frequency, double width, double sampleRate)
{
    const double w0 = kTwoPi * frequency / sampleRate;
    const double cs = std::cos(w0);
    const double sn = std::sin(w0);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double octaveAlpha = sn * std::sinh(kHalfLn2 * width * w0 / sn);
    const double qAlpha = sn / (2.0 * width);
    switch (type) {
    case CORVParametricEQDSP::kLowShelf: return Shelf(false, a, cs, sn, width);
    case CORVParametricEQDSP::kHighShelf: return Shelf(true, a, cs, sn, width);
    case CORVParametricEQDSP::kPeak:
        return {1.0 + octaveAlpha * a, -2.0 * cs, 1.0 - octaveAlpha * a,
                1.0 + octaveAlpha / a, -2.0 * cs, 1.0 - octaveAlpha / a};
    case CORVParametricEQDSP::kLowPass:
        return {(1.0 - cs) / 2.0, 1.0 - cs, (1.0 - cs) / 2.0, 1.0 + qAlpha, -2.0 * cs, 1.0 - qAlpha};
    case CORVParametricEQDSP::kHighPass:
        return {(1.0 + cs) / 2.0, -(1.0 + cs), (1.0 + cs) / 2.0, 1.0 + qAlpha, -2.0 * cs, 1.0 - qAlpha};
    case CORVParametricEQDSP::kNotch:
        return {1.0, -2.0 * cs, 1.0, 1.0 + octaveAlpha, -2.0 * cs, 1.0 - octaveAlpha};
    default: return {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
    }
}

} // namespace

CORVParametricEQDSP::CORVParametricEQDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "PE - Parametric EQ";
    shortName = "PE";
    fourCC = FourCC("peu1");

    AddParameters({
        // index      name           texts                                                                 min     max       step  default  taper
        {kGain,       "Gain",        {"dB"},                                                               -12.0f, 12.0f,    0.1f, 12.0f,   ScaleLinear},
        {kFrequency,  "Frequency",   {"Hz"},                                                               25.0f,  18500.0f, 1.0f, 1000.0f, ScaleLinear},
        {kQ,          "Q",           {""},                                                                 0.1f,   3.0f,     0.1f, 1.0f,    ScaleLinear},
        {kFilterType, "Filter Type", {"Low Shelf", "High Shelf", "Peak", "Low pass", "High pass", "Notch"}, 0.0f,   5.0f,     1.0f, 1.0f,    ScaleList},
    });
    AddPresets({
        // preset    Gain   Frequency  Q       Filter Type
        {"Default",  {12.0f, 1000.0f,   1.0f,   1.0f}},
        {"Low Pass", {0.0f,  800.0f,    0.776f, 3.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVParametricEQDSP::UpdateParameters(bool reinitialise)
{
    const float gain = Value(kGain);
    const float frequencyHz = Value(kFrequency);
    const float q = Value(kQ);
    const float type = Value(kFilterType);

    if (reinitialise) {
        guard.SetSampleRate(sampleRate);
        Reset();
        needsReinit = false;
    }
    filterType = int32_t(type);
    frequency = std::min(double(frequencyHz), kHighestFrequencyRatio * sampleRate);
    width = WidthFor(filterType, q);
    gainDb = GainFor(filterType, gain);
    coefs = Design(filterType, gainDb, frequency, width, sampleRate);
    inverseA0 = 1.0 / coefs.a0;
    // The states carried over were built by the old design.
    if (!reinitialise)
        guard.Arm();
    parametersChanged = false;
}

void CORVParametricEQDSP::Reset()
{
    states = {};
    guard.Disarm();
}

double CORVParametricEQDSP::OutputGain() const
{
    return GainAtOutput(filterType) ? std::pow(10.0, gainDb / 20.0) : 1.0;
}

float CORVParametricEQDSP::ProcessSample(State& state, float x) const
{
    // The states stay double; only y, which the recursion feeds back, is
    // rounded to float, and flushed should it fall below the normal range.
    const double xe = double(x) + double(kRecursionOffset);
    const float y = FlushToZero(float(coefs.b0 * xe * inverseA0 + state.state1));
    state.state1 = (coefs.b1 * xe - coefs.a1 * y) * inverseA0 + state.state2;
    state.state2 = (coefs.b2 * xe - coefs.a2 * y) * inverseA0;
    return y;
}

void CORVParametricEQDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // The output gain stays out of the recursion; for the shelves and the
    // peak it is 1, which leaves y exactly as it is.  A notch or a pass
    // shape at the extremes can leave a signal far below the smallest
    // normal float, which goes out as 0 rather than as a subnormal.
    const double outputGain = OutputGain();
    guard.Process(states, inputs, outputs, frameCount, [&](std::array<State, 2>& s, float left, float right) {
        return StereoFrame{FlushToZero(float(outputGain * ProcessSample(s[0], left))),
                           FlushToZero(float(outputGain * ProcessSample(s[1], right)))};
    });
}
