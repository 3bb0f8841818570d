#include "effects/modulation/CORVAutoPanDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "dsp/SyncCoeff.h"
#include "effects/common/ChannelStages.h"

namespace {

// The left gain g and the right gain (kGainSum - g) move in opposition
// around 1 each.
constexpr float kGainSum = 2.0f;

} // namespace

CORVAutoPanDSP::CORVAutoPanDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "AP - Auto Pan";
    shortName = "AP";
    fourCC = FourCC("apu1");

    AddParameters({
        // index     name          texts                  min     max     step  default taper
        {kWaveShape, "Wave shape", WaveShapeEntries(),    0.0f,   4.0f,   1.0f, 0.0f,   ScaleList},
        {kTempo,     "Tempo",      {"BPM"},               10.0f,  700.0f, 1.0f, 100.0f, ScaleLinear, ParameterRole::Tempo},
        {kCenter,    "Center",     {"% Left", "% Right"}, -40.0f, 40.0f,  1.0f, 0.0f,   ScaleTwoSided},
        {kStereo,    "Stereo",     {"%"},                 0.0f,   100.0f, 1.0f, 100.0f, ScaleLinear},
        {kSyncCoeff, "Sync coeff", SyncCoeffEntries(),    0.0f,   8.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {kTap,       "Tap",        TapEntries(),          0.0f,   1.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::Tap},
    });
    AddPresets({
        // preset           Wave shape  Tempo   Center  Stereo  Sync coeff  Tap
        {"Default",       {0.0f,       100.0f, 0.0f,   100.0f, 0.0f,       0.0f}},
        {"Slow song",     {0.0f,       100.0f, 0.0f,   62.0f,  0.0f,       0.0f}},
        {"Leslie rotary", {1.0f,       240.0f, 0.0f,   78.0f,  0.0f,       0.0f}},
        {"Slow pan",      {3.0f,       100.0f, 0.0f,   100.0f, 0.0f,       0.0f}},
        {"Stereo gap",    {2.0f,       200.0f, 0.0f,   100.0f, 0.0f,       0.0f}},
    });
    // No coefficient update here: the preset raised parametersChanged, and
    // the first block (after the instance's reinitialisation) computes them.
    ApplyPreset("Default");
}

void CORVAutoPanDSP::UpdateParameters(bool reinitialise)
{
    const float waveShape = Value(kWaveShape);
    const float ownTempo = Value(kTempo);
    const float center = Value(kCenter);
    const float stereo = Value(kStereo);
    const float syncCoeff = Value(kSyncCoeff);

    if (reinitialise) {
        lfo.SetSampleRate(float(sampleRate));
        Reset();
        needsReinit = false;
    }
    lfo.SetFrequencyBpm(float(SyncedTempo(syncCoeff, ownTempo, tempo)));
    lfo.SetShape(int32_t(waveShape));

    panOffset = 1.0f - center / kPercent;
    panDepth = stereo / kPercent;
    parametersChanged = false;
}

void CORVAutoPanDSP::Reset() { lfo.Reset(); }

template <bool kMonoSum>
void CORVAutoPanDSP::Pan(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // A local copy of the oscillator: the output stores could otherwise alias
    // its fields and force a reload of the whole state on every sample.
    CLfo oscillator = lfo;
    const float offset = panOffset;
    const float depth = panDepth;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        // Not clipped: with the centre off the middle and a wide swing, the
        // far side's gain dips below zero at the extreme, inverting polarity.
        const float gain = oscillator.Value() * depth + offset;
        oscillator.Advance();
        if constexpr (kMonoSum)
            left = right = (left + right) * 0.5f;
        return StereoFrame{left * gain, right * (kGainSum - gain)};
    });
    lfo = oscillator;
}

void CORVAutoPanDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (panMode)
        Pan<false>(inputs, outputs, frameCount);
    else
        Pan<true>(inputs, outputs, frameCount);
}
