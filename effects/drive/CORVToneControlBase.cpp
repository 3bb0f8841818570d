#include "effects/drive/CORVToneControlBase.h"

#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr float kMinVolumeDb = -40.0f;
constexpr float kMaxVolumeDb = 20.0f;
constexpr float kVolumeStepDb = 0.5f;
constexpr float kKnobMax = 100.0f;
constexpr float kKnobDefault = 50.0f;

} // namespace

CORVToneControlBase::CORVToneControlBase(double sampleRate_, uint32_t maxFrames_,
                                         std::span<const ToneStackVoicing> voicings_)
    : CORVParRelations(sampleRate_, maxFrames_), voicings(voicings_)
{
}

void CORVToneControlBase::AddToneControls(float defaultType)
{
    std::vector<std::string> types;
    for (const ToneStackVoicing& voicing : voicings)
        types.emplace_back(voicing.name);
    const float lastType = float(voicings.size() - 1);

    AddParameters({
        // index  name      texts   min           max           step           default        taper
        {kVolume, "Volume", {"dB"}, kMinVolumeDb, kMaxVolumeDb, kVolumeStepDb, 0.0f,          ScaleLinear},
        {kBass,   "Bass",   {"%"},  0.0f,         kKnobMax,     1.0f,          kKnobDefault,  ScaleLinear},
        {kMid,    "Mid",    {"%"},  0.0f,         kKnobMax,     1.0f,          kKnobDefault,  ScaleLinear},
        {kTreble, "Treble", {"%"},  0.0f,         kKnobMax,     1.0f,          kKnobDefault,  ScaleLinear},
        {kType,   "Type",   types,  0.0f,         lastType,     1.0f,          defaultType,   ScaleList},
    });
}

const ToneStackVoicing& CORVToneControlBase::SelectedVoicing() const
{
    const long last = long(voicings.size()) - 1;
    return voicings[size_t(std::clamp(std::lround(Value(kType)), 0L, last))];
}

void CORVToneControlBase::UpdateParameters(bool reinitialise)
{
    if (reinitialise) {
        guard.SetSampleRate(sampleRate);
        Reset();
        needsReinit = false;
    }
    const PotPositions pots = PotFractions(Value(kBass), Value(kMid), Value(kTreble));
    sections = DesignToneStack(SelectedVoicing(), pots, sampleRate);
    volumeGain = DecibelsToGain(Value(kVolume));
    // The states carried over were built by the old stack: a bass or mid
    // pot thrown across its track can leave them ringing far above what
    // either setting plays.
    if (!reinitialise)
        guard.Arm();
    parametersChanged = false;
}

void CORVToneControlBase::Reset()
{
    channels = {};
    guard.Disarm();
}

namespace {

// Far below anything audible, and far above the range where double
// arithmetic turns subnormal.
constexpr double kTinyState = 1e-30;

double FlushTinyValue(double v) { return std::abs(v) < kTinyState ? 0.0 : v; }

} // namespace

inline double CORVToneControlBase::Step(const Section& c, SectionState& s, double x)
{
    // Everything that does not wait for this sample's output is summed
    // first, so only one product and one difference follow it.
    const double u = c.g * x;
    const double w = u + s.s1;
    s.s1 = (c.b1 * u + s.s2) - c.a1 * w;
    s.s2 = c.b2 * u - c.a2 * w;
    return w;
}

void CORVToneControlBase::FlushTiny(ChannelState& state)
{
    for (SectionState* s : {&state.highPass, &state.body}) {
        s->s1 = FlushTinyValue(s->s1);
        s->s2 = FlushTinyValue(s->s2);
    }
}

void CORVToneControlBase::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    const auto widen = [](const BiquadCoefs& c) { return Section{c.g, c.b1, c.b2, c.a1, c.a2}; };
    const Section highPass = widen(sections.highPass);
    const Section body = widen(sections.body);
    const double gain = volumeGain;
    ChannelStates state = channels;
    // The output is flushed as well: a tail still normal inside the stack can
    // turn subnormal once "Volume" scales it down.
    guard.Process(state, inputs, outputs, frameCount, [&](ChannelStates& s, float l, float r) {
        return StereoFrame{FlushToZero(float(gain * Step(body, s[0].body, Step(highPass, s[0].highPass, l)))),
                           FlushToZero(float(gain * Step(body, s[1].body, Step(highPass, s[1].highPass, r))))};
    });
    // A silent input lets the state fade for ever; between blocks it ends
    // in exact zeros.
    for (ChannelState& channel : state)
        FlushTiny(channel);
    channels = state;
}
