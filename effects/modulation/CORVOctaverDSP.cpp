#include "effects/modulation/CORVOctaverDSP.h"

#include "dsp/FourCC.h"

#include <algorithm>

namespace {

constexpr int32_t kOversampling = 6;
constexpr float kOctaveDown = -12.0f;
constexpr float kOctaveUp = 12.0f;

// A silent voice costs nothing: its shifter is not run and keeps its state.
void RunVoice(CORVPitchShifter& shifter, float gain, const float* mono, float* voice, int32_t frameCount)
{
    if (gain == 0.0f)
        std::fill(voice, voice + frameCount, 0.0f);
    else
        shifter.Process(mono, voice, frameCount);
}

} // namespace

CORVOctaverDSP::CORVOctaverDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "OT - Octaver";
    shortName = "OT";
    fourCC = FourCC("otu1");

    AddParameters({
        // index      name                  texts  min   max     step  default scale
        {kCleanLevel, "Clean Signal Level", {"%"}, 0.0f, 100.0f, 1.0f, 50.0f, ScaleLinear},
        {kLowerLevel, "Lower Octave Level", {"%"}, 0.0f, 100.0f, 1.0f, 50.0f, ScaleLinear},
        {kUpperLevel, "Upper Octave Level", {"%"}, 0.0f, 100.0f, 1.0f, 50.0f, ScaleLinear},
    });
    AddPresets({
        // preset         Clean    Lower    Upper
        {"Default",     {50.0f,  50.0f,  50.0f}},
        {"Under Stand", {0.0f,   100.0f, 0.0f}},
        {"Stand Up",    {0.0f,   0.0f,   56.0f}},
        {"Where Is",    {0.0f,   50.0f,  50.0f}},
        {"There Is",    {100.0f, 50.0f,  50.0f}},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

CORVOctaverDSP::~CORVOctaverDSP() = default;

void CORVOctaverDSP::UpdateParameters(bool reinitialise)
{
    const CORVDSPParameter& clean = *GetParameter(kCleanLevel);
    const CORVDSPParameter& lower = *GetParameter(kLowerLevel);
    const CORVDSPParameter& upper = *GetParameter(kUpperLevel);

    if (reinitialise) {
        const int32_t rate = int32_t(sampleRate);
        const int32_t frames = int32_t(maxFrames);
        lowerShifter.reset();
        upperShifter.reset();
        lowerShifter = std::make_unique<CORVPitchShifter>(rate, frames, kOversampling, kOctaveDown);
        upperShifter = std::make_unique<CORVPitchShifter>(rate, frames, kOversampling, kOctaveUp);
        lowerBuffer.assign(maxFrames, 0.0f);
        upperBuffer.assign(maxFrames, 0.0f);
        monoBuffer.assign(maxFrames, 0.0f);
        Reset();
        needsReinit = false;
    }
    cleanGain = clean.normValue;
    lowerGain = lower.normValue;
    upperGain = upper.normValue;
    parametersChanged = false;
}

void CORVOctaverDSP::Reset() { shifterResetPending = true; }

void CORVOctaverDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (shifterResetPending) {
        lowerShifter->Reset();
        upperShifter->Reset();
        shifterResetPending = false;
    }
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* mono = monoBuffer.data();
    for (int32_t i = 0; i < frameCount; ++i)
        mono[i] = inLeft[i] + inRight[i];
    RunVoice(*lowerShifter, lowerGain, mono, lowerBuffer.data(), frameCount);
    RunVoice(*upperShifter, upperGain, mono, upperBuffer.data(), frameCount);

    const float* lowerVoice = lowerBuffer.data();
    const float* upperVoice = upperBuffer.data();
    const float clean = cleanGain;
    const float lowerLevel = lowerGain;
    const float upperLevel = upperGain;
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    for (int32_t i = 0; i < frameCount; ++i) {
        const float left = inLeft[i];
        const float right = inRight[i];
        const float octaves = lowerVoice[i] * lowerLevel + upperVoice[i] * upperLevel;
        outLeft[i] = octaves + left * clean;
        outRight[i] = octaves + right * clean;
    }
}
