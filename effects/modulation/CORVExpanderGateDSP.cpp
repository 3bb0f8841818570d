#include "effects/modulation/CORVExpanderGateDSP.h"

#include "dsp/FourCC.h"
#include "effects/common/Decibels.h"

#include <cmath>

namespace {

// The detector takes up 40 % of a rise per sample and lets 1 % go: it tracks
// the waveform's peaks closely, with the smoothing left to the gain glide.
constexpr float kPeakDecay = 0.01f;
constexpr float kPeakRise = 0.4f;
// Start values: a tiny envelope, and a closed gate that opens with the attack.
constexpr float kStartLevel = 1e-06f;
constexpr float kMaxRatio = 50.0f;
// At the top of the range the exponent is huge rather than infinite: a hard
// gate that still computes in finite numbers.
constexpr float kGateExponent = -10000.0f;
// The glide picks its speed at most once per this many samples, so a target
// that wobbles sample by sample does not flip the speed on every sample.
constexpr int32_t kLatchLength = 20;
constexpr float kActiveBelow = 0.707f;

constexpr ReadingSpec kExpanderGateReadings[] = {
    // kind                   symbol        name          min    max   idle  integer unit     comment
    {ReadingKind::GateState, "gate_state", "Gate state", -1.0f, 1.0f, 0.0f, true,   nullptr,
     "1 while the gain is held down, 0 while the gate is open"},
};

} // namespace

CORVExpanderGateDSP::CORVExpanderGateDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "EG - Expander Gate";
    shortName = "EG";
    fourCC = FourCC("egu1");

    AddParameters({
        // index          name              texts    min     max      step  default scale
        {kThresholdLevel, "Treshold Level", {"dB"},  -60.0f, 0.0f,    0.5f, 0.0f,   ScaleLinear},
        {kAttackTime,     "Attack Time",    {"ms"},  0.0f,   200.0f,  1.0f, 20.0f,  ScaleLinear},
        {kReleaseTime,    "Release Time",   {"ms"},  0.0f,   4000.0f, 1.0f, 200.0f, ScaleLinear},
        {kRatio,          "Ratio",          {""},    0.0f,   50.0f,   1.0f, 0.0f,   ScaleLinear},
    });
    AddPresets({
        // preset      Treshold Attack Release  Ratio
        {"Default",  {0.0f,    20.0f, 200.0f,  0.0f}},
        {"Half 2:1", {-6.0f,   5.0f,  400.0f,  25.0f}},
    });
    DeclareReadings(kExpanderGateReadings);
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVExpanderGateDSP::UpdateParameters(bool reinitialise)
{
    if (reinitialise) {
        peakDecay = kPeakDecay;
        peakRise = kPeakRise;
        Reset();
        needsReinit = false;
    }
    // The bottom of the threshold range switches the expander off.
    const CORVDSPParameter& thresholdLevel = *GetParameter(kThresholdLevel);
    threshold = thresholdLevel.normValue == 0.0f ? 0.0f : DecibelsToGain(thresholdLevel.value);

    const float r = 1.0f - Value(kRatio) / kMaxRatio;
    exponent = r == 0.0f ? kGateExponent : 1.0f - 1.0f / r;

    attackCoefficient = ExponentialGlideCoefficient(sampleRate, Value(kAttackTime));
    releaseCoefficient = ExponentialGlideCoefficient(sampleRate, Value(kReleaseTime));
    state.coefficient = attackCoefficient;
    parametersChanged = false;
}

void CORVExpanderGateDSP::Reset()
{
    state = State{};
    state.envelope = state.target = kStartLevel;
    state.coefficient = attackCoefficient;
    gateActive = 0;
}

void CORVExpanderGateDSP::ProcessBypassed(const float* const* inputs, float* const* outputs,
                                          float* inputPeaks_, float* outputPeaks_, int32_t frameCount)
{
    gateActive = 0;
    CORVParRelations::ProcessBypassed(inputs, outputs, inputPeaks_, outputPeaks_, frameCount);
}

const float* CORVExpanderGateDSP::DetectorChannel(const float* const* inputs, int32_t frameCount)
{
    // Comparing the sums of squares ranks the channels as their RMS would.
    double energy[2] = {0.0, 0.0};
    for (int channel = 0; channel < 2; ++channel)
        for (int32_t i = 0; i < frameCount; ++i)
            energy[channel] += double(inputs[channel][i]) * double(inputs[channel][i]);
    return energy[1] > energy[0] ? inputs[1] : inputs[0];
}

float CORVExpanderGateDSP::TargetGain(float level) const
{
    // (level / threshold) ^ (1/r - 1): the gain falls by the ratio's power of
    // the distance below the threshold.
    if (!(threshold > level && level > 0.0f))
        return 1.0f;
    return FlushToZero(std::pow(level / threshold, -exponent));
}

void CORVExpanderGateDSP::ChooseCoefficient(State& s) const
{
    // A choice holds for the rest of the latch window, whichever way the
    // target turns in the meantime; a steady target counts as rising.
    if (!s.latched) {
        s.coefficient = s.target >= s.previousTarget ? attackCoefficient : releaseCoefficient;
        s.latched = true;
    }
    if (++s.latchCounter >= kLatchLength) {
        s.latchCounter = 0;
        s.latched = false;
    }
}

void CORVExpanderGateDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // A local copy of the state: the output stores could otherwise alias it
    // and force it back to memory on every sample.
    State s = state;
    const float decay = 1.0f - peakDecay;
    const float rise = peakRise;
    const float* detector = DetectorChannel(inputs, frameCount);
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    for (int32_t i = 0; i < frameCount; ++i) {
        const float level = std::fabs(detector[i]);
        const float left = inLeft[i];
        const float right = inRight[i];
        s.previousTarget = s.target;
        s.envelope = FollowPeak(s.envelope, level, decay, rise);
        s.target = TargetGain(s.envelope);
        ChooseCoefficient(s);
        // The output takes the gain as it stood before this sample; the new
        // gain glides toward the target of one sample back.
        outLeft[i] = left * s.gain;
        outRight[i] = right * s.gain;
        s.gain = Glide(s.gain, 1.0f - s.coefficient, s.coefficient, s.previousTarget);
    }
    state = s;
    gateActive = s.gain < kActiveBelow ? 1 : 0;
}

float CORVExpanderGateDSP::Read(ReadingKind kind) const
{
    return kind == ReadingKind::GateState ? float(gateActive) : 0.0f;
}
