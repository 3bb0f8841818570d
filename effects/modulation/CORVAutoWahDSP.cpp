#include "effects/modulation/CORVAutoWahDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "dsp/SyncCoeff.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>

namespace {


// The fixed voicing, kept as integer settings: no dry signal, the filter at
// 170 %, a depth scale of 24/1000 per percent of "Depth", and the envelope,
// attack and release speeds (larger is slower).
constexpr int32_t kDrySetting = 0;
constexpr int32_t kFilterGainSetting = 170;
constexpr int32_t kDepthSetting = 24;
constexpr int32_t kEnvelopeSetting = 460;
constexpr int32_t kAttackSetting = 720;
constexpr int32_t kReleaseSetting = 2700;
constexpr double kEnvelopeScale = 10000.0;
constexpr double kGateScale = 22000.0;
constexpr float kDepthScale = 1000.0f;

// "Center" spans 1.4 decades below the top of the sweep, which sits at the
// sample rate divided by (depth setting + 10) / 5: 6485 Hz at 44.1 kHz.
constexpr float kCenterDecades = 1.4f;
constexpr float kTopDivisor = float(kDepthSetting + 10) / 5.0f;
// The swing covers a quarter of the span from fc/D to fc·D.
constexpr float kSwingShare = 0.25f;

// The gate rests just above zero rather than at it, so the gate value never
// decays into subnormal numbers; the input power has the same floor.
constexpr float kClosedTarget = 1e-07f;
constexpr float kPowerFloor = 1e-07f;

} // namespace

CORVAutoWahDSP::CORVAutoWahDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "AW - Auto Wah";
    shortName = "AW";
    fourCC = FourCC("awu1");

    AddParameters({
        // index       name           texts               min      max     step   default  taper
        {kSensitivity, "Sensitivity", {"dB"},             -100.0f, 0.0f,   1.0f,  -16.0f,  ScaleLinear},
        {kRate,        "Rate",        {"Hz"},             0.05f,   10.0f,  0.05f, 0.692f,  ScaleLog, ParameterRole::Rate},
        {kDepth,       "Depth",       {"%"},              0.0f,    100.0f, 1.0f,  50.0f,   ScaleLinear},
        {kCenter,      "Center",      {"%"},              1.0f,    100.0f, 1.0f,  50.0f,   ScaleLinear},
        {kMode,        "Mode",        {"A", "B"},         0.0f,    1.0f,   1.0f,  0.0f,    ScaleList},
        {kSyncCoeff,   "Sync coeff",  SyncCoeffEntries(), 0.0f,    8.0f,   1.0f,  0.0f,    ScaleList, ParameterRole::SyncCoeff},
        {kTap,         "Tap",         TapEntries(),       0.0f,    1.0f,   1.0f,  0.0f,    ScaleList, ParameterRole::Tap},
    });
    AddPresets({
        // preset         Sensitivity Rate    Depth   Center Mode  Sync  Tap
        {"Default",     {-16.0f,      0.692f, 50.0f,  50.0f, 0.0f, 0.0f, 0.0f}},
        {"Classic",     {-50.0f,      0.575f, 100.0f, 40.0f, 1.0f, 0.0f, 0.0f}},
        {"Fast & Deep", {-100.0f,     3.235f, 100.0f, 50.0f, 1.0f, 0.0f, 0.0f}},
        {"Fast & High", {-60.0f,      3.311f, 63.0f,  59.0f, 1.0f, 0.0f, 0.0f}},
        {"Decay wah",   {-33.3f,      3.311f, 80.0f,  38.0f, 0.0f, 0.0f, 0.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVAutoWahDSP::UpdateParameters(bool reinitialise)
{
    const float sensitivity = Value(kSensitivity);
    float rate = Value(kRate);
    const float depth = Value(kDepth);
    const float center = Value(kCenter);
    const float syncCoeff = Value(kSyncCoeff);
    const double fs = sampleRate;

    if (reinitialise) {
        filterGain = float(kFilterGainSetting) / kPercent;
        dryGain = float(kDrySetting) / kPercent;
        bandwidthFactor = WahBandwidthFactor(kWahDefaultQCode, fs);
        angleFactor = WahAngleFactor(fs);
        gate.envelopeCoefficient = float(kEnvelopeScale / fs / kEnvelopeSetting);
        gate.envelopeKeep = 1.0f - gate.envelopeCoefficient;
        gate.attack = float(kGateScale / fs / kAttackSetting);
        gate.release = float(kGateScale / fs / kReleaseSetting);
        gate.coefficient = gate.attack;
        gate.keep = 1.0f - gate.coefficient;
        // Until the next control change a synced wah runs one cycle per beat.
        if (syncCoeff >= 1.0f)
            rate = float(tempo / kSecondsPerMinute);
        guard.SetSampleRate(fs);
        Reset();
        needsReinit = false;
    }
    const float threshold = std::pow(10.0f, sensitivity / 20.0f);
    gate.threshold = threshold * threshold;
    modeB = Value(kMode) >= 1.0f;

    const float fc = std::pow(10.0f, kCenterDecades * (center / kPercent - 1.0f)) * float(fs) / kTopDivisor;
    const float d = 1.0f + float(kDepthSetting) / kDepthScale * depth;
    upperFrequency = fc * d;
    swing = (fc * d - fc / d) * kSwingShare;
    lowerFrequency = fc - swing;

    speed = SweepSpeedAt(rate, reinitialise ? 0.0f : syncCoeff, tempo, fs);
    lfo.SetSpeed(speed);
    // A new "Center" or "Depth" moves the centre at once, under states
    // built around the old one.
    if (!reinitialise)
        guard.Arm();
    parametersChanged = false;
}

void CORVAutoWahDSP::Reset()
{
    for (WahChannel& channel : channels)
        channel.Reset();
    guard.Disarm();
    gate.envelope = 0.0f;
    gate.previousTarget = 0.0f;
    gate.value = 0.0f;
}

float CORVAutoWahDSP::LevelGate::Step(float power)
{
    envelope = envelope * envelopeKeep + power * envelopeCoefficient;
    const float target = envelope > threshold ? 1.0f : kClosedTarget;
    // The glide speed latches on the direction of the last change, so a
    // gate that has opened keeps its attack speed until it starts closing.
    if (target > previousTarget)
        coefficient = attack;
    else if (target < previousTarget)
        coefficient = release;
    keep = 1.0f - coefficient;
    previousTarget = target;
    value = keep * value + target * coefficient;
    return value;
}

void CORVAutoWahDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    CLfo oscillator = lfo;
    LevelGate levelGate = gate;
    std::array<WahChannel, 2> wah = channels;
    Guard watch = guard;
    const SweepSpeed step = speed;
    const bool swingWhenLoud = modeB;
    const float lower = lowerFrequency;
    const float span = swing;
    const float bandwidth = bandwidthFactor;
    const float angle = angleFactor;
    const float wet = filterGain;
    const float dry = dryGain;
    ForEachFrame(inputs, outputs, frameCount, [&](float inLeft, float inRight) {
        const float power = std::max({kPowerFloor, inLeft * inLeft, inRight * inRight});
        const float open = levelGate.Step(power);
        const float s = (swingWhenLoud ? open : 1.0f - open) * oscillator.ArcValue();
        const float centre = (1.0f + s) * span + lower;
        const WahBand band = WahBandFrom(std::tan(bandwidth * centre), -std::cos(angle * centre));
        const StereoFrame out = watch.Frame(wah, [&](std::array<WahChannel, 2>& s) {
            return StereoFrame{s[0].Process(band, inLeft) * wet + inLeft * dry,
                               s[1].Process(band, inRight) * wet + inRight * dry};
        });
        oscillator.Step(step);
        return out;
    });
    lfo = oscillator;
    gate = levelGate;
    channels = wah;
    watch.Heard(outputs, frameCount);
    guard = watch;
}
