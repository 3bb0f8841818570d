#include "effects/drive/CORVGraphicEQBase.h"

#include "effects/common/BiquadSection.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"
#include "effects/common/Pi.h"

#include <cmath>

namespace {

constexpr float kMinGainDb = -18.0f;
constexpr float kMaxGainDb = 18.0f;
constexpr float kGainStepDb = 0.1f;

// The peaks' bandwidth term is taken at 1/√2 of the centre.  The bands were
// tuned with π and 2π as single-precision constants widened to double,
// about 28 parts per billion above the exact values; designing with those
// would shift every band's coefficients and with them the output.
constexpr double kBandwidthRatio = 0.7071067776269051;
constexpr double kSinglePrecisionPi = double(float(kPi));
constexpr double kSinglePrecisionTwoPi = double(float(kTwoPi));

// Exact zeros enter as a tiny constant, so silence settles every running
// band on a normal steady state instead of decaying through subnormals.
constexpr float kSilenceInput = 1e-7f;

} // namespace

CORVGraphicEQBase::CORVGraphicEQBase(double sampleRate_, uint32_t maxFrames_,
                                     std::span<const GraphicBand, kBands> bands_)
    : CORVParRelations(sampleRate_, maxFrames_), bands(bands_)
{
    std::vector<ParameterSpec> table;
    for (const GraphicBand& band : bands)
        table.push_back({band.index, band.name, {"dB"}, kMinGainDb, kMaxGainDb, kGainStepDb, 0.0f, ScaleLinear});
    table.push_back({kOutput, "Output", {"dB"}, kMinGainDb, kMaxGainDb, kGainStepDb, 0.0f, ScaleLinear});
    AddParameters(table);
}

BiquadCoefs CORVGraphicEQBase::BandCoefs(size_t k) const
{
    const Recursion& r = recursions[k];
    return {1.0f, r.b1, r.b2, r.a1, r.a2};
}

double CORVGraphicEQBase::DesignBand(size_t k, float gainDb)
{
    active[k] = gainDb != 0.0f;
    recursions[k] = {};
    if (!active[k])
        return 1.0;

    const double fs = sampleRate;
    const double f = bands[k].centre;
    if (k == kBands - 1) {
        BiquadSection shelf;
        shelf.setSampleRate(fs);
        shelf.designHighShelf(float(f), gainDb, true);
        const BiquadCoefs c = shelf.copyCoefficients();
        recursions[k] = {c.b1, c.b2, c.a1, c.a2};
        return c.g;
    }

    // The input plus a scaled all-pass difference: the all-pass turns through
    // −180° at the centre, so the centre gain is exactly V at any bandwidth,
    // and a cut moves the all-pass pole by V so equal boosts and cuts cancel.
    const double v = std::pow(10.0, double(gainDb) / kDecibelsPerDecade);
    const double t = std::tan(0.5 * (kBandwidthRatio * f) * kSinglePrecisionPi / fs);
    const double c = gainDb < 0.0f ? (t - v) / (t + v) : (t - 1.0) / (t + 1.0);
    const double mix = (c + 1.0) * (v - 1.0) / 2.0;
    const double g = mix + 1.0;
    const double a1 = -std::cos(kSinglePrecisionTwoPi * f / fs) * (1.0 - c);
    recursions[k] = {float(a1 / g), float((-c - mix) / g), float(a1), float(-c)};
    return g;
}

void CORVGraphicEQBase::UpdateParameters(bool reinitialise)
{
    std::array<float, kBands> gains;
    for (size_t k = 0; k < kBands; ++k)
        gains[k] = Value(bands[k].index);
    const float output = Value(kOutput);

    if (reinitialise) {
        guard.SetSampleRate(sampleRate);
        Reset();
        needsReinit = false;
    }
    double gain = std::pow(10.0, double(output) / kDecibelsPerDecade);
    runningCount = 0;
    for (size_t k = 0; k < kBands; ++k) {
        gain *= DesignBand(k, gains[k]);
        if (active[k])
            running[runningCount++] = uint8_t(k);
    }
    overallGain = float(gain);
    // The bands' states were built by the old gains.
    if (!reinitialise)
        guard.Arm();
    parametersChanged = false;
}

void CORVGraphicEQBase::Reset()
{
    states = {};
    guard.Disarm();
}

float CORVGraphicEQBase::ProcessChannel(std::array<BiquadState, kBands>& channel, float x) const
{
    if (x == 0.0f)
        x = kSilenceInput;
    for (size_t n = 0; n < runningCount; ++n) {
        const Recursion& r = recursions[running[n]];
        BiquadState& s = channel[running[n]];
        const float w = s.state1 + x;
        s.state1 = r.b1 * x + s.state2 - r.a1 * w;
        s.state2 = r.b2 * x - r.a2 * w;
        x = w;
    }
    return overallGain * x;
}

void CORVGraphicEQBase::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    guard.Process(states, inputs, outputs, frameCount, [this](BandStates& s, float left, float right) {
        return StereoFrame{ProcessChannel(s[0], left), ProcessChannel(s[1], right)};
    });
}
