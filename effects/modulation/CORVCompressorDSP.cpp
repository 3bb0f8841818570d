#include "effects/modulation/CORVCompressorDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

#include <algorithm>
#include <cmath>

namespace {

// The detector never reads below this, so the level ratio stays finite.
constexpr float kDetectorFloor = 1e-07f;
// Target moves smaller than this keep the glide direction of the last move.
constexpr float kTargetDeadBand = 1e-06f;
// At the top of the range the ratio becomes infinite: the output envelope is
// held at the threshold.
constexpr float kLimitingRatio = 50.0f;
constexpr float kLimitingExponent = -1.0f;
// Automatic make-up restores a little less than the reduction at full scale,
// leaving 1 % of headroom in dB.
constexpr float kMakeUpShare = 0.99f;
// The lamp lights from 3 dB of reduction.
constexpr float kIndicatorLevel = 0.707f;

constexpr ReadingSpec kCompressorReadings[] = {
    // kind                     symbol          name             min   max   idle  integer unit     comment
    {ReadingKind::GainReduced, "gain_reduced", "Gain reduction", 0.0f, 1.0f, 0.0f, true,   nullptr,
     "1 while the gain is held more than 3 dB down"},
};

} // namespace

CORVCompressorDSP::CORVCompressorDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "CM - Compressor";
    shortName = "CM";
    fourCC = FourCC("cmu1");

    AddParameters({
        // index          name              texts          min     max      step  default scale
        {kThresholdLevel, "Treshold Level", {"dB"},        -60.0f, 0.0f,    0.5f, -6.0f,  ScaleLinear},
        {kAttackTime,     "Attack Time",    {"ms"},        0.0f,   200.0f,  1.0f, 20.0f,  ScaleLinear},
        {kReleaseTime,    "Release Time",   {"ms"},        20.0f,  4000.0f, 1.0f, 600.0f, ScaleLinear},
        {kRatio,          "Ratio",          {""},          1.0f,   50.0f,   1.0f, 8.0f,   ScaleLinear},
        {kAutoGain,       "Auto Gain",      {"Off", "On"}, 0.0f,   1.0f,    1.0f, 1.0f,   ScaleList},
    });
    AddPresets({
        // preset            Treshold Attack  Release  Ratio   Auto Gain
        {"Default",        {-6.0f,   20.0f,  600.0f,  8.0f,   1.0f}},
        {"Hard 1",         {-10.0f,  2.0f,   2000.0f, 10.0f,  0.0f}},
        {"Hard 2",         {-17.0f,  10.0f,  410.0f,  50.0f,  0.0f}},
        {"Hi Attack",      {-15.0f,  120.0f, 3200.0f, 2.0f,   0.0f}},
        {"Hi Sustain",     {-20.0f,  2.0f,   560.0f,  10.0f,  0.0f}},
        {"2:1 Compressor", {-12.0f,  20.0f,  150.0f,  2.0f,   0.0f}},
    });
    DeclareReadings(kCompressorReadings);
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVCompressorDSP::UpdateParameters(bool reinitialise)
{
    const float thresholdDb = Value(kThresholdLevel);
    const float attackMs = std::max(Value(kAttackTime), kShortestAttackMs);
    const float releaseMs = Value(kReleaseTime);
    const float ratio = Value(kRatio);

    if (reinitialise) {
        gainReduced = false;
        Reset();
        needsReinit = false;
    }
    inverseThreshold = 1.0f / DecibelsToGain(thresholdDb);

    // The detector rises at once and falls with the release time.  The gain
    // takes the rising coefficient whenever the target rises, which on a real
    // signal is every sample between the detector's peaks, so the attack
    // time sets how fast the gain settles on a new level; the falling one
    // acts only while the detector climbs.  The faster of the two times
    // always takes the rising part, so the gain keeps up with the detector.
    const float attack = LinearGlideCoefficient(sampleRate, attackMs);
    const float release = LinearGlideCoefficient(sampleRate, releaseMs);
    detectorDecay = 1.0f - release;
    if (attackMs > releaseMs)
        glide.SetCoefficients(release, attack);
    else
        glide.SetCoefficients(attack, release);

    const bool limiting = ratio == kLimitingRatio;
    exponent = limiting ? kLimitingExponent : 1.0f / ratio - 1.0f;
    const float reductionShare = limiting ? 1.0f : 1.0f - 1.0f / ratio;
    makeUpGain = DecibelsToGain(reductionShare * -kMakeUpShare * thresholdDb);
    autoGain = Value(kAutoGain) != 0.0f;
    parametersChanged = false;
}

void CORVCompressorDSP::Reset()
{
    envelope = 0.0f;
    glide.previousTarget = 0.0f;
    glide.gain = 1.0f;
}

void CORVCompressorDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // Local copies: the output stores could otherwise alias the state and
    // force it back to memory on every sample.
    GainGlide gain = glide;
    float level = envelope;
    const float decay = detectorDecay;
    const float inverse = inverseThreshold;
    const float power = exponent;
    const float makeUp = autoGain ? makeUpGain : 1.0f;
    float applied = gain.gain * makeUp;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        level = FollowPeak(level, std::max({left, right, kDetectorFloor}), decay, 1.0f);
        const float x = level * inverse;
        const float target = x > 1.0f ? std::pow(x, power) : 1.0f;
        applied = gain.Step(target, kTargetDeadBand) * makeUp;
        return StereoFrame{left * applied, right * applied};
    });
    glide = gain;
    envelope = level;
    gainReduced = applied < kIndicatorLevel;
}

float CORVCompressorDSP::Read(ReadingKind kind) const
{
    return kind == ReadingKind::GainReduced && gainReduced ? 1.0f : 0.0f;
}
