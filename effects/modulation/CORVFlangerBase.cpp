#include "effects/modulation/CORVFlangerBase.h"
#include "effects/common/Units.h"

#include "dsp/SyncCoeff.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"
#include "effects/modulation/ParameterRange.h"

namespace {


// Delays in tenths of a millisecond.  The sweep lives inside a window from
// the minimum to the full window length; the line reaches one millisecond
// beyond the window so the interpolation neighbour is always inside it.
constexpr int32_t kWindowTenths = 120;
constexpr int32_t kMinimumTenths = 11;
constexpr int32_t kLineHeadroomTenths = 10;

// Regeneration maps onto this feedback range in percent: some feedback is
// always there to give the comb its edge, and the ceiling keeps it clear of
// self-oscillation.
constexpr float kFeedbackFloorPercent = 10.0f;
constexpr float kFeedbackCeilingPercent = 88.0f;
// The dry path is slightly louder than the wet one, so the notches never
// cancel the signal completely.
constexpr float kDryPercent = 58.0f;
constexpr float kWetPercent = 50.0f;

} // namespace

CORVFlangerBase::CORVFlangerBase(double sampleRate_, uint32_t maxFrames_, int32_t syncCoeffIndex_,
                                 int32_t tapIndex)
    : CORVParRelations(sampleRate_, maxFrames_), syncCoeffIndex(syncCoeffIndex_)
{
    AddParameters({
        // index         name            texts               min    max     step   default taper
        {kFxTune,        "Fx Tune",      {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {kRate,          "Rate",         {"Hz"},             0.05f, 10.0f,  0.05f, 0.692f, ScaleLog, ParameterRole::Rate},
        {kDepth,         "Depth",        {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {kRegeneration,  "Regeneration", {"%"},              0.0f,  100.0f, 1.0f,  50.0f,  ScaleLinear},
        {syncCoeffIndex, "Sync coeff",   SyncCoeffEntries(), 0.0f,  8.0f,   1.0f,  0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {tapIndex,       "Tap",          TapEntries(),       0.0f,  1.0f,   1.0f,  0.0f,   ScaleList, ParameterRole::Tap},
    });
}

void CORVFlangerBase::UpdateFlanger(bool reinitialise)
{
    const float fxTune = ValueInRange(*this, kFxTune);
    const float depth = ValueInRange(*this, kDepth);
    const float regeneration = ValueInRange(*this, kRegeneration);

    if (reinitialise) {
        lines.Allocate(TenthsToSamples(kWindowTenths + kLineHeadroomTenths, sampleRate));
        maxDelay = TenthsToSamples(kWindowTenths, sampleRate);
        minDelay = TenthsToSamples(kMinimumTenths, sampleRate);
        Reset();
        needsReinit = false;
    }

    wetGain = kWetPercent / kPercent;
    dryGain = kDryPercent / kPercent;
    feedback = ((kFeedbackCeilingPercent - kFeedbackFloorPercent) * regeneration / kPercent + kFeedbackFloorPercent) /
               kPercent;

    PlaceSweep(fxTune, depth);
    lines.SetCentre(centre);
    speed = SweepSpeedFromControls(*this, kRate, syncCoeffIndex);
    leftLfo.SetSpeed(speed);
    rightLfo.SetSpeed(speed);
    parametersChanged = false;
}

// "Fx Tune" moves the long end of the sweep down from the top of the window;
// "Depth" moves the short end further down from there.
void CORVFlangerBase::PlaceSweep(float fxTune, float depthPercent)
{
    const float range = float(maxDelay - minDelay);
    longDelay = maxDelay - int32_t(fxTune / kPercent * range + 0.5f);
    shortDelay = maxDelay - int32_t((depthPercent + fxTune) / kPercent * range + 0.5f);
    if (longDelay < minDelay)
        longDelay = minDelay;
    // A sweep that would reach below the minimum is lifted rather than cut,
    // so it keeps the width "Depth" asks for.
    if (shortDelay < minDelay) {
        longDelay += minDelay - shortDelay;
        shortDelay = minDelay;
    }
    centre = (longDelay + shortDelay) / 2;
    sweepDepth = float(longDelay - shortDelay) * 0.5f;
}

void CORVFlangerBase::Reset() { lines.Clear(); }

template <class Split>
void CORVFlangerBase::Sweep(const float* const* inputs, float* const* outputs, int32_t frameCount, Split& split)
{
    // Local copies: the output stores could otherwise alias the state and
    // force it to be reloaded on every sample.
    CLfo left = leftLfo;
    CLfo right = rightLfo;
    DelayCursor cursor = lines.cursor;
    const SweepSpeed step = speed;
    const float depth = sweepDepth;
    const float wet = wetGain;
    const float dry = dryGain;
    const float regeneration = feedback;
    float* lineLeft = lines.Left();
    float* lineRight = lines.Right();

    ForEachFrame(inputs, outputs, frameCount, [&](float xLeft, float xRight) {
        const float offsetLeft = depth * left.ArcValue();
        left.Step(step);
        const float tapLeft = cursor.Tap(lineLeft, offsetLeft);
        const float offsetRight = depth * right.Ramp();
        right.Step(step);
        const float tapRight = cursor.Tap(lineRight, offsetRight);
        const Bands inLeft = split.Left(xLeft);
        const Bands inRight = split.Right(xRight);
        // The feedback loop decays through the subnormal range when the
        // input falls silent; flushing keeps the line out of it.
        lineLeft[cursor.writeIndex] = FlushToZero(regeneration * tapLeft + inLeft.high);
        lineRight[cursor.writeIndex] = FlushToZero(regeneration * tapRight + inRight.high);
        cursor.Advance();
        return StereoFrame{FlushToZero(dry * inLeft.high + inLeft.low + wet * tapLeft),
                           FlushToZero(dry * inRight.high + inRight.low + wet * tapRight)};
    });
    leftLfo = left;
    rightLfo = right;
    lines.cursor = cursor;
}

template void CORVFlangerBase::Sweep<FullBand>(const float* const*, float* const*, int32_t, FullBand&);
template void CORVFlangerBase::Sweep<BassCrossover>(const float* const*, float* const*, int32_t, BassCrossover&);
