#include "effects/modulation/CORVNoiseGateDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

#include <algorithm>
#include <cmath>

namespace {

// The power never reads below this (-70 dB): a learn run over silence ends
// on a usable threshold rather than minus infinity.
constexpr float kPowerFloor = 1e-07f;
// The closed target is 140 dB down rather than zero, so the release glide
// settles on a normal float instead of decaying into subnormal values.
constexpr float kOpenGain = 1.0f;
constexpr float kClosedGain = 1e-07f;
// Below this gain the panel shows the gate as closed (-60 dB).
constexpr float kClosedIndication = 0.001f;
// Targets are exactly one of two values: any move changes the glide speed.
constexpr float kNoDeadBand = 0.0f;

constexpr ReadingSpec kNoiseGateReadings[] = {
    // kind                      symbol         name          min   max   idle  integer unit     comment
    {ReadingKind::GateClosed,   "gate_closed", "Gate closed", 0.0f, 1.0f, 0.0f, true,   nullptr,
     "1 while the gate is shut"},
    {ReadingKind::GateLearning, "learning",    "Learning",    0.0f, 1.0f, 0.0f, true,   nullptr,
     "1 while the threshold is being measured"},
};

} // namespace

CORVNoiseGateDSP::CORVNoiseGateDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "NG - Noise Gate";
    shortName = "NG";
    fourCC = FourCC("ngu1");

    AddParameters({
        // index          name               texts     min      max      step  default  scale
        {kThresholdLevel, "Threshold Level", {"dB"},   -100.0f, 0.0f,    0.5f, -50.0f,  ScaleLinear},
        {kAttack,         "Attack",          {"ms"},   0.0f,    200.0f,  1.0f, 5.0f,    ScaleLinear},
        {kRelease,        "Release",         {"ms"},   1.0f,    2000.0f, 1.0f, 185.0f,  ScaleLinear},
        {kLearn,          "Learn",           {"Measuring finished", "Measuring input level"},
                                                       0.0f,    1.0f,    1.0f, 0.0f,    ScaleList},
    });
    AddPresets({
        // preset       Threshold Attack  Release  Learn
        {"Default",   {-50.0f,   5.0f,   185.0f,  0.0f}},
        {"Very Fast", {-50.0f,   5.0f,   61.0f,   0.0f}},
        {"Fast",      {-50.0f,   5.0f,   185.0f,  0.0f}},
        {"Standard",  {-50.0f,   50.0f,  1000.0f, 0.0f}},
        {"Slow",      {-36.0f,   120.0f, 1630.0f, 0.0f}},
        {"Very Slow", {-62.0f,   170.0f, 1880.0f, 0.0f}},
    });
    DeclareReadings(kNoiseGateReadings);
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVNoiseGateDSP::UpdateParameters(bool reinitialise)
{
    measuring = Value(kLearn) != 0.0f;
    if (reinitialise) {
        Reset();
        needsReinit = false;
    }
    const float threshold = DecibelsToGain(Value(kThresholdLevel));
    thresholdPower = threshold * threshold;

    // The power follower runs at the attack speed, so the gate hears a note
    // as soon as it can open for it.
    const float attack = LinearGlideCoefficient(sampleRate, std::max(Value(kAttack), kShortestAttackMs));
    envelopeCoefficient = attack;
    envelopeKeep = 1.0f - attack;
    glide.SetCoefficients(attack, LinearGlideCoefficient(sampleRate, Value(kRelease)));
    parametersChanged = false;
}

void CORVNoiseGateDSP::Reset()
{
    closed = false;
    envelope = 0.0f;
    glide.previousTarget = 0.0f;
    glide.gain = 0.0f;
    // The glide speed latched on the last move; a fresh gate opens first.
    glide.Use(glide.rising);
    learnCounter = 0;
    learnPeak = 0.0f;
}

void CORVNoiseGateDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    GainGlide gain = glide;
    float level = envelope;
    const float coefficient = envelopeCoefficient;
    const float keep = envelopeKeep;
    const float threshold = thresholdPower;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        // The signed larger sample: one detector for both channels, as
        // cheap as a single-channel one.
        const float p = std::max(left, right);
        const float power = std::max(p * p, kPowerFloor);
        level = Glide(level, keep, coefficient, power);
        if (measuring)
            Learn(power);
        const float applied = gain.Step(level >= threshold ? kOpenGain : kClosedGain, kNoDeadBand);
        return StereoFrame{left * applied, right * applied};
    });
    glide = gain;
    envelope = level;
    closed = gain.gain < kClosedIndication;
}

void CORVNoiseGateDSP::Learn(float power)
{
    if (double(learnCounter) < sampleRate) {
        ++learnCounter;
        learnPeak = std::max(learnPeak, std::sqrt(power));
    } else {
        FinishLearning();
    }
}

void CORVNoiseGateDSP::FinishLearning()
{
    // The new threshold reaches the gate with the next block's update.
    learnCounter = 0;
    measuring = false;
    GetParameter(kThresholdLevel)->SetValue(GainToDecibels(learnPeak));
    GetParameter(kLearn)->SetValue(0.0f);
    parametersChanged = true;
    learnPeak = 0.0f;
}

float CORVNoiseGateDSP::Read(ReadingKind kind) const
{
    switch (kind) {
    case ReadingKind::GateClosed: return closed ? 1.0f : 0.0f;
    case ReadingKind::GateLearning: return measuring ? 1.0f : 0.0f;
    default: return 0.0f;
    }
}
