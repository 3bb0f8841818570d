#include "effects/modulation/CORVPhaserBase.h"
#include "effects/common/Units.h"

#include "dsp/SyncCoeff.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>

namespace {


// Resonance at 100 % feeds three quarters of the chain output back: close
// enough to 1 for sharp peaks between the notches, far enough to stay stable
// while the coefficient moves.
constexpr float kMaxFeedback = 0.75f;

// The sweep nominally covers 350 Hz to 4520 Hz at full depth, the band where the
// notches of six stages are most audible on a guitar.
constexpr double kSweepBottomHz = 350.0;
constexpr double kSweepTopHz = 4520.0;

// The bass's "Impact" entries: how much of the low end escapes the phasing.
struct ImpactEntry {
    const char* text;
    float crossover;
};

constexpr std::array<ImpactEntry, 4> kImpacts{{
    {"Gentle |=== Full", 400.0f},
    {"Gentle =|== Full", 160.0f},
    {"Gentle ==|= Full", 100.0f},
    {"Gentle ===| Full", CORVPhaserBase::kNoSplitCrossover},
}};

std::vector<std::string> PhaserImpactEntries()
{
    std::vector<std::string> entries;
    for (const ImpactEntry& entry : kImpacts)
        entries.emplace_back(entry.text);
    return entries;
}

} // namespace

CORVPhaserBase::CORVPhaserBase(double sampleRate_, uint32_t maxFrames_, const PhaserLayout& layout_)
    : CORVParRelations(sampleRate_, maxFrames_), layout(layout_)
{
}

std::vector<ParameterSpec> CORVPhaserBase::ParameterTable() const
{
    const PhaserLayout& l = layout;
    std::vector<ParameterSpec> table{
        // index      name          texts               min    max     step   default taper
        {l.mix,       "Mix",        {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {l.rate,      "Rate",       {"Hz"},             0.05f, 10.0f,  0.05f, 0.5f,   ScaleLog, ParameterRole::Rate},
        {l.depth,     "Depth",      {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {l.resonance, "Resonance",  {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {l.syncCoeff, "Sync coeff", SyncCoeffEntries(), 0.0f,  8.0f,   1.0f,  0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {l.tap,       "Tap",        TapEntries(),       0.0f,  1.0f,   1.0f,  0.0f,   ScaleList, ParameterRole::Tap},
    };
    if (l.impact != 0)
        table.push_back({l.impact, "Impact", PhaserImpactEntries(), 0.0f, 3.0f, 1.0f, 2.0f, ScaleList});
    return table;
}

float CORVPhaserBase::ValueInRange(int32_t index) const
{
    const CORVDSPParameter* parameter = GetParameter(index);
    if (!parameter)
        return 0.0f;
    // Written so that a NaN lands on the minimum as well.
    const float v = parameter->value;
    return v >= parameter->minValue ? std::min(v, parameter->maxValue) : parameter->minValue;
}

void CORVPhaserBase::UpdateCrossover()
{
    if (layout.impact == 0)
        return;
    const int32_t entry = std::clamp(int32_t(Value(layout.impact)), int32_t(0), int32_t(kImpacts.size()) - 1);
    crossover = kImpacts[size_t(entry)].crossover;
    for (BandSplit& band : bands) {
        band.input.setFrequency(crossover);
        band.output.setFrequency(crossover);
    }
}

void CORVPhaserBase::Rebuild()
{
    lfo.SetSampleRate(float(sampleRate));
    if (layout.impact != 0) {
        // The sections run at the whole-number rate, as the host reports it.
        const double sectionRate = double(int64_t(sampleRate));
        for (BandSplit& band : bands) {
            for (BiquadSection* section : {&band.input, &band.output}) {
                *section = BiquadSection();
                section->setSampleRate(sectionRate);
                section->designHighPass(crossover, false);
            }
        }
    }
    Reset();
    needsReinit = false;
}

void CORVPhaserBase::UpdateParameters(bool reinitialise)
{
    const float wet = ValueInRange(layout.mix) / kPercent;
    const float rate = Value(layout.rate);
    const float depth = ValueInRange(layout.depth);
    const float resonance = ValueInRange(layout.resonance);
    const float syncCoeff = Value(layout.syncCoeff);

    UpdateCrossover();
    if (reinitialise)
        Rebuild();

    wetGain = wet;
    dryGain = 1.0f - wet;
    // The LFO's shape stays triangular: the sweep reads its arc, the rounded
    // wave, whatever the shape.
    if (int32_t(syncCoeff) >= 1)
        lfo.SetFrequencyBpm(float(SyncedTempo(syncCoeff, 0.0, tempo)));
    else
        lfo.SetFrequencyHz(rate);
    feedback = resonance * kMaxFeedback / kPercent;

    // The sweep runs in frequency relative to half the sample rate.
    const double nyquist = sampleRate * 0.5;
    sweepMinimum = float(kSweepBottomHz / nyquist);
    sweepRange = float((kSweepTopHz / nyquist - double(sweepMinimum)) * depth / kPercent);
    parametersChanged = false;
}

void CORVPhaserBase::Reset()
{
    for (BandSplit& band : bands) {
        band.input.reset();
        band.output.reset();
    }
    lfo.Reset();
    lastOutput = {};
    chains = {};
}

float CORVPhaserBase::CoefficientAt(float arcValue) const
{
    // p is the stages' corner relative to half the sample rate, and
    // (p - 1) / (p + 1) the first-order all-pass coefficient for it without
    // prewarping: no tangent per sample, at the price of corners that sit
    // somewhat below their nominal frequencies.
    const float p = (arcValue + 1.0f) * 0.5f * sweepRange + sweepMinimum;
    return (p - 1.0f) / (p + 1.0f);
}

float CORVPhaserBase::AllPassChain::Run(float u, float c)
{
    // (c + z^-1) / (1 + c z^-1) per stage, one state each.  A decaying tail
    // would otherwise leave the states in subnormal arithmetic.
    for (float& s : state) {
        const float y = FlushToZero(c * u + s);
        s = FlushToZero(u - c * y);
        u = y;
    }
    return u;
}

template <bool kSplit>
void CORVPhaserBase::Run(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // Local copies: the output stores could otherwise alias the members and
    // force the compiler to reload the whole state on every sample.
    CLfo oscillator = lfo;
    std::array<AllPassChain, 2> chain = chains;
    std::array<float, 2> last = lastOutput;
    const float dry = dryGain;
    const float wet = wetGain;
    const float loop = feedback;
    ForEachFrame(inputs, outputs, frameCount, [&](float inLeft, float inRight) {
        const std::array<float, 2> in{inLeft, inRight};
        const float c = CoefficientAt(oscillator.ArcValue());
        std::array<float, 2> out;
        for (size_t ch = 0; ch < 2; ++ch) {
            float high = in[ch];
            float low = 0.0f;
            if constexpr (kSplit) {
                high = bands[ch].input.process(in[ch]);
                low = in[ch] - high;
            }
            const float y = chain[ch].Run(high + loop * last[ch], c);
            last[ch] = y;
            if constexpr (kSplit)
                out[ch] = dry * high + low + wet * bands[ch].output.process(y);
            else
                out[ch] = wet * y + dry * high;
        }
        oscillator.Advance();
        // The tail of the loop, scaled by the mix, would otherwise hand
        // subnormal samples to whatever follows.
        return StereoFrame{FlushToZero(out[0]), FlushToZero(out[1])};
    });
    lfo = oscillator;
    chains = chain;
    lastOutput = last;
}

void CORVPhaserBase::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (crossover > kNoSplitCrossover)
        Run<true>(inputs, outputs, frameCount);
    else
        Run<false>(inputs, outputs, frameCount);
}
