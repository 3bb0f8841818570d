#include "effects/modulation/CORVTremoloDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "dsp/SyncCoeff.h"
#include "effects/common/ChannelStages.h"

namespace {

// At full depth the swing is centred on -3 dB, reaching silence at the bottom
// and +3 dB at the top.  As depth goes down the centre climbs back by the
// headroom to unity, so that depth 0 leaves the signal at exactly gain 1.
constexpr float kHalfPowerGain = 0.7071f;
constexpr float kHeadroomToUnity = 0.2929f;

} // namespace

CORVTremoloDSP::CORVTremoloDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "TR - Tremolo";
    shortName = "TR";
    fourCC = FourCC("tru1");

    AddParameters({
        // index     name          texts               min    max     step  default taper
        {kTempo,     "Tempo",      {"BPM"},            10.0f, 700.0f, 1.0f, 300.0f, ScaleLinear, ParameterRole::Tempo},
        {kWaveShape, "Wave shape", WaveShapeEntries(), 0.0f,  4.0f,   1.0f, 0.0f,   ScaleList},
        {kDepth,     "Depth",      {"%"},              0.0f,  100.0f, 1.0f, 21.0f,  ScaleLinear},
        {kSyncCoeff, "Sync coeff", SyncCoeffEntries(), 0.0f,  8.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {kTap,       "Tap",        TapEntries(),       0.0f,  1.0f,   1.0f, 0.0f,   ScaleList, ParameterRole::Tap},
    });
    AddPresets({
        // preset           Tempo   Wave shape  Depth   Sync coeff  Tap
        {"Default",       {300.0f, 0.0f,       21.0f,  0.0f,       0.0f}},
        {"Light tremolo", {300.0f, 0.0f,       21.0f,  0.0f,       0.0f}},
        {"Fast tremolo",  {671.0f, 4.0f,       31.0f,  0.0f,       0.0f}},
        {"Hard tremolo",  {98.4f,  0.0f,       100.0f, 0.0f,       0.0f}},
        {"Gap",           {240.0f, 2.0f,       100.0f, 0.0f,       0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVTremoloDSP::UpdateParameters(bool reinitialise)
{
    const float ownTempo = Value(kTempo);
    const float waveShape = Value(kWaveShape);
    const float depth = Value(kDepth) / kPercent;
    const float syncCoeff = Value(kSyncCoeff);

    if (reinitialise) {
        lfo.SetSampleRate(float(sampleRate));
        Reset();
        needsReinit = false;
    }
    lfo.SetFrequencyBpm(float(SyncedTempo(syncCoeff, ownTempo, tempo)));
    lfo.SetShape(int32_t(waveShape));

    gainDepth = kHalfPowerGain * depth;
    gainOffset = kHalfPowerGain + kHeadroomToUnity * (1.0f - depth);
    parametersChanged = false;
}

void CORVTremoloDSP::Reset() { lfo.Reset(); }

void CORVTremoloDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // A local copy of the oscillator: the output stores could otherwise alias
    // its fields and force a reload of the whole state on every sample.
    CLfo oscillator = lfo;
    const float offset = gainOffset;
    const float depth = gainDepth;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        const float gain = offset + oscillator.Value() * depth;
        oscillator.Advance();
        return StereoFrame{left * gain, right * gain};
    });
    lfo = oscillator;
}
