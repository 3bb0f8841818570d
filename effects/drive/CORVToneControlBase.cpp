#include "effects/drive/CORVToneControlBase.h"

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
        Reset();
        needsReinit = false;
    }
    const PotPositions pots = PotFractions(Value(kBass), Value(kMid), Value(kTreble));
    sections = DesignToneStack(SelectedVoicing(), pots, sampleRate);
    volumeGain = DecibelsToGain(Value(kVolume));
    parametersChanged = false;
}

void CORVToneControlBase::Reset() { channels = {}; }

float CORVToneControlBase::Run(const ToneStackSections& c, ChannelState& state, float x)
{
    return ProcessBiquad(c.body, state.body, ProcessBiquad(c.highPass, state.highPass, x));
}

void CORVToneControlBase::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    const ToneStackSections c = sections;
    const float gain = volumeGain;
    ChannelState left = channels[0];
    ChannelState right = channels[1];
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    // The output is flushed as well: a tail still normal inside the stack can
    // turn subnormal once "Volume" scales it down.
    for (int32_t i = 0; i < frameCount; ++i) {
        const float l = inLeft[i];
        const float r = inRight[i];
        outLeft[i] = FlushToZero(gain * Run(c, left, l));
        outRight[i] = FlushToZero(gain * Run(c, right, r));
    }
    channels[0] = left;
    channels[1] = right;
}
