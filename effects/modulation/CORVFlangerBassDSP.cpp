#include "effects/modulation/CORVFlangerBassDSP.h"

#include "dsp/FourCC.h"
#include "effects/modulation/ParameterRange.h"

namespace {

// The comb of a flanger with feedback is sharper than a chorus, so the
// crossover takes the steeper Butterworth high-pass to keep the resonances
// off the fundamentals.  "Full" (20 Hz, below the split threshold) flanges
// the whole band.
constexpr float kInitialCrossover = 400.0f;
constexpr BassCrossover::ImpactTable kCrossoverByImpact{400.0f, 120.0f, 20.0f};

} // namespace

CORVFlangerBassDSP::CORVFlangerBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVFlangerBase(sampleRate_, maxFrames_, kSyncCoeff, kTap),
      crossover(BiquadHighPass2, kInitialCrossover, kCrossoverByImpact)
{
    longName = "FLB - Bass Flanger";
    shortName = "FLB";
    fourCC = FourCC("flb1");

    AddParameters({
        // index  name      texts            min   max   step  default taper
        {kImpact, "Impact", ImpactEntries(), 0.0f, 2.0f, 1.0f, 0.0f,   ScaleList},
    });
    AddPresets({
        // preset          Fx Tune  Rate    Depth   Regeneration  Impact  Sync coeff  Tap
        {"Default",      {50.0f,   0.692f, 50.0f,  50.0f,        0.0f,   0.0f,       0.0f}},
        {"Stop flange",  {17.0f,   1.0f,   35.0f,  73.0f,        2.0f,   0.0f,       0.0f}},
        {"Slow flange",  {40.0f,   0.47f,  100.0f, 84.0f,        2.0f,   0.0f,       0.0f}},
        {"Synth flange", {0.0f,    0.79f,  100.0f, 100.0f,       2.0f,   0.0f,       0.0f}},
        {"Space Flange", {50.0f,   1.0f,   100.0f, 100.0f,       2.0f,   0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVFlangerBassDSP::UpdateParameters(bool reinitialise)
{
    crossover.Update(ValueInRange(*this, kImpact), reinitialise, sampleRate);
    UpdateFlanger(reinitialise);
}

void CORVFlangerBassDSP::Reset()
{
    CORVFlangerBase::Reset();
    crossover.Reset();
}

void CORVFlangerBassDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (crossover.Splits()) {
        Sweep(inputs, outputs, frameCount, crossover);
    } else {
        FullBand wholeBand;
        Sweep(inputs, outputs, frameCount, wholeBand);
    }
}
