#include "effects/modulation/CORVChorusBassDSP.h"

#include "dsp/FourCC.h"
#include "effects/modulation/ParameterRange.h"

namespace {

// A gentle first-order slope keeps the seam between the dry lows and the
// chorused highs inaudible.  "Full" (0 Hz) choruses the whole band.
constexpr float kInitialCrossover = 150.0f;
constexpr BassCrossover::ImpactTable kCrossoverByImpact{400.0f, 140.0f, 0.0f};

} // namespace

CORVChorusBassDSP::CORVChorusBassDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVChorusBase(sampleRate_, maxFrames_, kSyncCoeff, kTap),
      crossover(BiquadLowPass1, kInitialCrossover, kCrossoverByImpact)
{
    longName = "CHB - Bass Chorus";
    shortName = "CHB";
    fourCC = FourCC("chb1");

    AddParameters({
        // index  name      texts            min   max   step  default taper
        {kImpact, "Impact", ImpactEntries(), 0.0f, 2.0f, 1.0f, 0.0f,   ScaleList},
    });
    AddPresets({
        // preset               Mix     Rate    Depth  Stereo  Impact  Sync coeff  Tap
        {"Default",           {50.0f,  1.0f,   50.0f, 10.0f,  0.0f,   0.0f,       0.0f}},
        {"Light wide chorus", {88.0f,  0.282f, 90.0f, 100.0f, 0.0f,   0.0f,       0.0f}},
        {"Medium chorus",     {80.0f,  1.0f,   88.0f, 50.0f,  1.0f,   0.0f,       0.0f}},
        {"Hard chorus",       {88.0f,  1.66f,  90.0f, 100.0f, 2.0f,   0.0f,       0.0f}},
        {"Ultra vibe chorus", {100.0f, 5.89f,  35.0f, 73.0f,  2.0f,   0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVChorusBassDSP::UpdateParameters(bool reinitialise)
{
    crossover.Update(ValueInRange(*this, kImpact), reinitialise, sampleRate);
    UpdateChorus(reinitialise);
}

void CORVChorusBassDSP::Reset()
{
    CORVChorusBase::Reset();
    crossover.Reset();
}

void CORVChorusBassDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (crossover.Splits()) {
        Sweep(inputs, outputs, frameCount, crossover);
    } else {
        FullBand wholeBand;
        Sweep(inputs, outputs, frameCount, wholeBand);
    }
}
