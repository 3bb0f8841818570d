#include "effects/modulation/CORVReverbDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/Pi.h"
#include "effects/common/ChannelStages.h"

#include <cmath>

namespace {

constexpr double kReferenceRate = 44100.0;
// Half a second of pre-delay at any rate, plus the sample being written.
constexpr int32_t kPreDelayAtReference = 22050;

// The Freeverb tunings; the right channel's lines are longer by the stereo
// spread so the two tails never ring in step.
constexpr std::array<int32_t, CORVReverbDSP::kCombCount> kCombLengths{1116, 1188, 1277, 1356,
                                                                     1422, 1491, 1557, 1617};
constexpr std::array<int32_t, CORVReverbDSP::kAllPassCount> kAllPassLengths{556, 441, 341, 225};
constexpr int32_t kStereoSpread = 23;

constexpr float kPerMille = 1000.0f;
constexpr float kTenthsOfDb = 10.0f;
constexpr double kMillisecond = 0.001;
constexpr double kSixtyDbInDecades = 3.0;
constexpr double kBrightHighPassRatio = 4.0;
// Filter corners stay clear of the Nyquist frequency at the lowest rates.
constexpr double kHighestCorner = 0.45;

// The tail's level follows the comb bank's power gain only half way (its
// fourth root rather than its square root): a longer decay then sounds
// somewhat louder, as a more reverberant room does, without the level jumps
// a raw comb bank makes as "Decay" turns.  The reference is the bank's power
// gain at about one second, where the tail sits at the dry level.
constexpr double kReferenceTailPower = 24.0;
// Headroom for the wet sound: at full "Mix" it lands a few dB under the dry
// level, so turning the mix up never makes the pedal jump in loudness.
constexpr float kWetTrim = 0.7f;

// The frequency at which a mode states how much faster the highs decay.
constexpr double kHighReference = 8000.0;

// The pole d of the DC-normalised loss filter (1 - d)/(1 - d·z⁻¹) whose gain
// at omega (radians per sample) is ratio: the smaller root of
// (1 - r²)·d² - 2(1 - r²·cos ω)·d + (1 - r²) = 0.
float LossPole(double ratio, double omega)
{
    if (ratio >= 1.0)
        return 0.0f;
    const double r2 = ratio * ratio;
    const double p = 1.0 - r2 * std::cos(omega);
    const double q = 1.0 - r2;
    return float((p - std::sqrt(p * p - q * q)) / q);
}

std::vector<std::string> ModeEntries()
{
    std::vector<std::string> entries;
    for (const ReverbMode& mode : kReverbModes)
        entries.emplace_back(mode.name);
    return entries;
}

float Setting(const ReverbMode& mode, ReverbModeSetting setting) { return float(mode.settings[size_t(setting)]); }

float Level(const ReverbMode& mode, ReverbModeSetting setting) { return Setting(mode, setting) / kPerMille; }

const ReverbMode& ModeAt(float value)
{
    const int32_t index = std::clamp(int32_t(std::lround(value)), 0, kReverbModeCount - 1);
    return kReverbModes[size_t(index)];
}

} // namespace

CORVReverbDSP::CORVReverbDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "RV - Reverb";
    shortName = "RV";
    fourCC = FourCC("rvu1");

    AddPresets({
        // preset          Mix    Decay  Color   Mode
        {"Default",       {42.0f, 61.0f, 0.0f,   0.0f}},
        {"On Stage",      {42.0f, 61.0f, 0.0f,   0.0f}},
        {"Big room",      {50.0f, 83.0f, 0.0f,   1.0f}},
        {"Hall",          {26.0f, 50.0f, 0.0f,   2.0f}},
        {"Tunnel",        {41.0f, 50.0f, 0.0f,   6.0f}},
        {"Concert hall",  {40.0f, 50.0f, 0.0f,   3.0f}},
        {"Spring verb",   {31.0f, 61.0f, -37.0f, 4.0f}},
        {"Clean Hi verb", {31.0f, 50.0f, 80.0f,  3.0f}},
        {"No Early",      {31.0f, 64.0f, -7.0f,  5.0f}},
    });
    AddParameters({
        // index name     texts          min      max     step  default taper
        {kMix,   "Mix",   {"%"},         0.0f,    100.0f, 1.0f, 42.0f,  ScaleLinear},
        {kDecay, "Decay", {"%"},         0.0f,    100.0f, 1.0f, 61.0f,  ScaleLinear},
        {kColor, "Color", {"%"},         -100.0f, 100.0f, 1.0f, 0.0f,   ScaleLinear},
        {kMode,  "Mode",  ModeEntries(), 0.0f,    6.0f,   1.0f, 0.0f,   ScaleList},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

int32_t CORVReverbDSP::Scaled(int32_t samplesAt44100) const
{
    return int32_t(double(samplesAt44100) * sampleRate / kReferenceRate);
}

int32_t CORVReverbDSP::CombLength(int channel, int comb) const
{
    return channels[size_t(channel)].combs[size_t(comb)].line.Length();
}

int32_t CORVReverbDSP::AllPassLength(int channel, int stage) const
{
    return channels[size_t(channel)].allPasses[size_t(stage)].line.Length();
}

void CORVReverbDSP::AllocateLines()
{
    preDelay.Allocate(Scaled(kPreDelayAtReference) + 1);
    // The reflection lines get room for the longest pattern of any mode, so
    // that a mode change only moves their length and never allocates.
    int32_t longestPattern = 1;
    for (const EarlyReflectionRow& row : kEarlyReflectionRows)
        longestPattern = std::max(longestPattern, Scaled(row[0]));
    for (int c = 0; c < 2; ++c) {
        Channel& channel = channels[size_t(c)];
        const int32_t spread = c * kStereoSpread;
        for (int i = 0; i < kCombCount; ++i)
            channel.combs[size_t(i)].line.Allocate(Scaled(kCombLengths[size_t(i)] + spread));
        for (int i = 0; i < kAllPassCount; ++i)
            channel.allPasses[size_t(i)].line.Allocate(Scaled(kAllPassLengths[size_t(i)] + spread));
        channel.early.Allocate(longestPattern);
        channel.echo.Allocate(longestPattern);
        channel.colorShelf.setSampleRate(sampleRate);
        channel.toneShelf.setSampleRate(sampleRate);
    }
    highPass.setSampleRate(sampleRate);
}

void CORVReverbDSP::UpdateParameters(bool reinitialise)
{
    const float mix = Value(kMix) / kPercent;
    const ReverbMode& mode = ModeAt(Value(kMode));

    if (reinitialise) {
        AllocateLines();
        Reset();
        needsReinit = false;
    }
    UpdateEarlyReflections(mode);
    UpdateTail(mode, Value(kDecay) / kPercent);
    UpdateTone(mode, Value(kColor) / kPercent);

    // Equal power: dry and wet, heard as unrelated sounds, keep their sum.
    dryGain = std::sqrt(1.0f - mix);
    wetGain = std::sqrt(mix) * kWetTrim;
    parametersChanged = false;
}

void CORVReverbDSP::UpdateEarlyReflections(const ReverbMode& mode)
{
    const EarlyReflectionRow& row = kEarlyReflectionRows[size_t(Setting(mode, kModeEarlyRow))];
    // A new pattern length restarts the reflection lines: the old contents
    // would replay at the wrong spacing.
    const int32_t length = Scaled(row[0]);
    for (Channel& channel : channels) {
        if (channel.early.Length() != length) {
            channel.early.SetLength(length);
            channel.echo.SetLength(length);
            channel.echoStore = 0.0f;
        }
    }
    for (int i = 0; i < kEarlyTapCount; ++i) {
        tapDelays[size_t(i)] = std::clamp(Scaled(row[size_t(1 + 2 * i)]), 1, length);
        tapGains[size_t(i)] = float(row[size_t(2 + 2 * i)]) / kPerMille;
    }
    echoFeedback = Level(mode, kModeEchoFeedback);
    echoDamping = float(std::pow(double(Level(mode, kModeEchoDamping)), kReferenceRate / sampleRate));
    earlyToTail = Level(mode, kModeEarlyToTail);
    const float diffusion = Level(mode, kModeEarlyDiffusion);
    discreteEarly = Level(mode, kModeEarlyLevel) * (1.0f - diffusion);
    diffuseEarly = Level(mode, kModeEarlyLevel) * diffusion;
    preDelaySamples = std::clamp(Scaled(int32_t(Setting(mode, kModePreDelay))), 1, preDelay.Capacity());
}

void CORVReverbDSP::UpdateTail(const ReverbMode& mode, float decay)
{
    // The decay time moves on a logarithmic scale between the mode's ends,
    // so each step of "Decay" lengthens the tail by the same proportion.
    const double shortest = Setting(mode, kModeShortestDecay) * kMillisecond;
    const double longest = Setting(mode, kModeLongestDecay) * kMillisecond;
    const double seconds = shortest * std::pow(longest / shortest, double(decay));
    decayTime = float(seconds);

    // Every comb loses 60 dB over the decay time at low frequencies, whatever
    // its length, so the tail falls evenly instead of leaving the longest
    // comb ringing on its own.  Its loss filter shortens the decay at the
    // high reference to the mode's share of it, the same for every comb, so
    // the tail darkens as it fades the way air and soft surfaces make it.
    const double highShare = Level(mode, kModeHighDecay);
    const double highOmega = kTwoPi * std::min(kHighReference, kHighestCorner * sampleRate) / sampleRate;
    double tailPower = 0.0;
    for (Channel& channel : channels) {
        for (CombFilter& comb : channel.combs) {
            const double passes = seconds * sampleRate / double(comb.line.Length());
            const double feedback = std::pow(10.0, -kSixtyDbInDecades / passes);
            comb.feedback = float(feedback);
            comb.damping = LossPole(std::pow(feedback, 1.0 / highShare - 1.0), highOmega);
            tailPower += 0.5 / (1.0 - feedback * feedback);
        }
    }
    combGain = Level(mode, kModeTailLevel) * float(1.0 / std::sqrt(std::sqrt(tailPower * kReferenceTailPower)));
    // Freeverb's width: at 1 each side hears only its own tail, at 0 both
    // hear the same mono tail.
    const float width = Level(mode, kModeWidth);
    widthDirect = 0.5f + 0.5f * width;
    widthCross = 0.5f - 0.5f * width;
}

void CORVReverbDSP::UpdateTone(const ReverbMode& mode, float color)
{
    const double highest = kHighestCorner * sampleRate;
    // A brighter colour also thins the low end of the tail, where a long
    // reverb muddies first: up to two octaves higher at "Color" +100.
    const double corner =
        Setting(mode, kModeHighPass) * std::pow(kBrightHighPassRatio, double(std::max(color, 0.0f)));
    highPass.designHighPass(float(std::min(corner, highest)), true);

    const float colorShelf = float(std::min(double(Setting(mode, kModeColorShelf)), highest));
    const float colorGain = Setting(mode, kModeColorRange) / kTenthsOfDb * color;
    const float toneShelf = float(std::min(double(Setting(mode, kModeToneShelf)), highest));
    const float toneGain = Setting(mode, kModeToneGain) / kTenthsOfDb;
    for (Channel& channel : channels) {
        channel.colorShelf.designHighShelf(colorShelf, colorGain, true);
        channel.toneShelf.designHighShelf(toneShelf, toneGain, true);
    }
}

void CORVReverbDSP::Reset()
{
    preDelay.Clear();
    highPass.reset();
    for (Channel& channel : channels) {
        channel.early.Clear();
        channel.echo.Clear();
        channel.echoStore = 0.0f;
        for (CombFilter& comb : channel.combs)
            comb.Clear();
        for (AllPassFilter& allPass : channel.allPasses)
            allPass.line.Clear();
        channel.colorShelf.reset();
        channel.toneShelf.reset();
    }
    running = false;
}

void CORVReverbDSP::ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks_,
                                    float* outputPeaks_, int32_t frameCount)
{
    if (running)
        Reset();
    CORVParRelations::ProcessBypassed(inputs, outputs, inputPeaks_, outputPeaks_, frameCount);
}

float CORVReverbDSP::EarlyReflections(Channel& channel, int parity, float x)
{
    float sum = 0.0f;
    for (int i = parity; i < kEarlyTapCount; i += 2)
        sum += tapGains[size_t(i)] * channel.early.Tap(tapDelays[size_t(i)]);
    channel.early.Push(x);
    // The recirculation repeats the whole pattern once per pattern length,
    // each time duller: the flutter of a tunnel, the ring of a spring.
    const float recirculated = channel.echo.Front();
    channel.echoStore = FlushToZero(recirculated + (channel.echoStore - recirculated) * echoDamping);
    const float reflections = sum + echoFeedback * channel.echoStore;
    channel.echo.Push(FlushToZero(reflections));
    return reflections;
}

float CORVReverbDSP::Shaped(Channel& channel, float wet)
{
    // The last gain can carry a fading tail's final normal values into the
    // subnormal range; the output then falls straight to zero instead.
    return FlushToZero(wetGain * channel.toneShelf.process(channel.colorShelf.process(wet)));
}

float CORVReverbDSP::Tail(Channel& channel, float feed, float early)
{
    float sum = 0.0f;
    for (CombFilter& comb : channel.combs)
        sum += comb.Process(feed);
    sum = combGain * sum + diffuseEarly * early;
    for (AllPassFilter& allPass : channel.allPasses)
        sum = allPass.Process(sum);
    return sum;
}

void CORVReverbDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    Channel& left = channels[0];
    Channel& right = channels[1];
    ForEachFrame(inputs, outputs, frameCount, [&](float inLeft, float inRight) {
        const float earlyLeft = EarlyReflections(left, 0, inLeft);
        const float earlyRight = EarlyReflections(right, 1, inRight);

        const float feed =
            highPass.process(0.5f * (inLeft + inRight) + 0.5f * earlyToTail * (earlyLeft + earlyRight));
        const float delayed = preDelay.Tap(preDelaySamples);
        preDelay.Push(feed);
        const float tailLeft = Tail(left, delayed, earlyLeft);
        const float tailRight = Tail(right, delayed, earlyRight);

        const float wetLeft = discreteEarly * earlyLeft + widthDirect * tailLeft + widthCross * tailRight;
        const float wetRight = discreteEarly * earlyRight + widthDirect * tailRight + widthCross * tailLeft;
        return StereoFrame{dryGain * inLeft + Shaped(left, wetLeft), dryGain * inRight + Shaped(right, wetRight)};
    });
    running = true;
}
