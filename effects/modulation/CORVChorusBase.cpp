#include "effects/modulation/CORVChorusBase.h"
#include "effects/common/Units.h"

#include "dsp/SyncCoeff.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"
#include "effects/modulation/ParameterRange.h"

namespace {


// Delays in tenths of a millisecond.  The sweep swings around the base delay
// by up to the depth; the stereo spread stretches one channel's swing by up
// to 74 % and shrinks the other's, so the line covers the base delay plus
// twice the depth, and one tenth more for the interpolation neighbour.
constexpr int32_t kBaseDelayTenths = 60;
constexpr int32_t kDepthTenths = 10;
constexpr int32_t kNeighbourTenths = 1;
constexpr int32_t kLineTenths = kBaseDelayTenths + 2 * kDepthTenths + kNeighbourTenths;
constexpr float kStereoSpreadPercent = 74.0f;

} // namespace

CORVChorusBase::CORVChorusBase(double sampleRate_, uint32_t maxFrames_, int32_t syncCoeffIndex_,
                               int32_t tapIndex)
    : CORVParRelations(sampleRate_, maxFrames_), syncCoeffIndex(syncCoeffIndex_)
{
    AddParameters({
        // index         name          texts               min   max     step  default taper
        {kMix,           "Mix",        {"%"},              0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kRate,          "Rate",       {"Hz"},             0.1f, 10.0f,  0.1f, 1.0f,   ScaleLog, ParameterRole::Rate},
        {kDepth,         "Depth",      {"%"},              0.0f, 100.0f, 1.0f, 50.0f,  ScaleLinear},
        {kStereo,        "Stereo",     {"%"},              0.0f, 100.0f, 1.0f, 10.0f,  ScaleLinear},
        {syncCoeffIndex, "Sync coeff", SyncCoeffEntries(), 0.0f, 8.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {tapIndex,       "Tap",        TapEntries(),       0.0f, 1.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::Tap},
    });
}

void CORVChorusBase::UpdateChorus(bool reinitialise)
{
    const float mix = ValueInRange(*this, kMix);
    const float depth = ValueInRange(*this, kDepth);
    const float stereo = ValueInRange(*this, kStereo);

    if (reinitialise) {
        lines.Allocate(TenthsToSamples(kLineTenths, sampleRate));
        maxDepth = TenthsToSamples(kDepthTenths, sampleRate);
        baseDelay = TenthsToSamples(kBaseDelayTenths, sampleRate);
        Reset();
        needsReinit = false;
    }

    wetGain = mix / kPercent;
    dryGain = 1.0f - wetGain;

    const float swing = depth / kPercent * float(maxDepth);
    const float spread = kStereoSpreadPercent / kPercent * stereo / kPercent;
    leftDepth = (1.0f + spread) * swing;
    rightDepth = (1.0f - spread) * swing;

    lines.SetCentre(baseDelay);
    speed = SweepSpeedFromControls(*this, kRate, syncCoeffIndex);
    lfo.SetSpeed(speed);
    parametersChanged = false;
}

void CORVChorusBase::Reset() { lines.Clear(); }

template <class Split>
void CORVChorusBase::Sweep(const float* const* inputs, float* const* outputs, int32_t frameCount, Split& split)
{
    // Local copies: the output stores could otherwise alias the state and
    // force it to be reloaded on every sample.
    CLfo oscillator = lfo;
    DelayCursor cursor = lines.cursor;
    const SweepSpeed step = speed;
    const float depthLeft = leftDepth;
    const float depthRight = rightDepth;
    const float wet = wetGain;
    const float dry = dryGain;
    float* lineLeft = lines.Left();
    float* lineRight = lines.Right();

    ForEachFrame(inputs, outputs, frameCount, [&](float inLeft, float inRight) {
        const float sweep = oscillator.ArcValue();
        oscillator.Step(step);
        const float tapLeft = cursor.Tap(lineLeft, sweep * depthLeft);
        const float tapRight = cursor.Tap(lineRight, sweep * depthRight);
        const Bands left = split.Left(inLeft);
        const Bands right = split.Right(inRight);
        lineLeft[cursor.writeIndex] = left.high;
        lineRight[cursor.writeIndex] = right.high;
        cursor.Advance();
        // A bass band's filter tail can leave products just below the
        // normal range; they never reach the host.
        return StereoFrame{FlushToZero(dry * left.high + left.low + wet * tapLeft),
                           FlushToZero(dry * right.high + right.low + wet * tapRight)};
    });
    lfo = oscillator;
    lines.cursor = cursor;
}

template void CORVChorusBase::Sweep<FullBand>(const float* const*, float* const*, int32_t, FullBand&);
template void CORVChorusBase::Sweep<BassCrossover>(const float* const*, float* const*, int32_t, BassCrossover&);
