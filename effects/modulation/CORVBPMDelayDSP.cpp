#include "effects/modulation/CORVBPMDelayDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "dsp/SyncCoeff.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {


// At the top of the "Tempo" range the echo is no longer a beat (50 ms) but a
// fixed 20 ms doubling: a minute's worth of samples over 3000.
constexpr int32_t kDoublingsPerMinute = 3000;

// The echo is mixed at half the "Effect Level", leaving headroom for the
// odd and even repeats that coincide on one side.
constexpr float kWetScale = 0.5f;

// The repeats have fallen by this much after the "Decay" time.
constexpr double kDecayDb = -60.0;

// In mono mode "Stereo" between these values splits the echo equally, so the
// centre of the knob is easy to find.
constexpr float kCentreFrom = 47.0f;
constexpr float kCentreTo = 53.0f;
constexpr float kEqualShare = 0.5f;

// Line headroom.  Synced lines take six beats and serve down to a twelfth of
// a beat, so moving between the divisions of one host tempo ("1/1" is a
// quarter, "1/8 T" three times the beat rate) rarely empties them; free lines
// take two beats and serve down to half a beat.
constexpr int32_t kSyncedCapacityBeats = 6;
constexpr int32_t kSyncedLowerDivisor = 12;
constexpr int32_t kFreeCapacityBeats = 2;
constexpr int32_t kFreeLowerDivisor = 2;

constexpr std::array<const char*, 4> kHoldStateNames{"Normal", "Bypassing", "Sampling", "Playing"};

// v held within lo..hi; a NaN lands on lo.
double InRange(double v, double lo, double hi) { return v >= lo ? std::min(v, hi) : lo; }

// The repeats one channel's lines hand out in one sample.
struct Repeats {
    float odd;
    float even;
};

// One sample of one channel's lines: take the repeats due now and write back
// what comes round again, keep times the recirculated part plus record times
// the input.  The odd pair swaps every beat, so an odd repeat loses keep once
// per two beats, as the even line's does.
inline Repeats StepLines(float* odd, float* ret, float* even, int32_t i1, int32_t i2, float x, float keep,
                         float record)
{
    const float a = odd[i1];
    odd[i1] = FlushToZero(ret[i1] * keep) + x * record;
    ret[i1] = a;
    const float b = even[i2];
    even[i2] = FlushToZero(b * keep) + x * record;
    return {a, b};
}

constexpr ReadingSpec kBPMDelayReadings[] = {
    // kind                   symbol        name         min   max   idle  integer unit     comment
    {ReadingKind::HoldState, "hold_state", "Hold state", 0.0f, 3.0f, 0.0f, true,   nullptr,
     "0 normal, 1 bypassing, 2 sampling, 3 playing"},
};

} // namespace

CORVBPMDelayDSP::CORVBPMDelayDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVBPMParRelations(sampleRate_, maxFrames_)
{
    longName = "BD - BPM Delay";
    shortName = "BD";
    fourCC = FourCC("bdu1");

    AddParameters({
        // index       name            texts               min    max      step  default taper
        {kEffectLevel, "Effect Level", {"%"},              0.0f,  100.0f,  1.0f, 50.0f,  ScaleLinear},
        {kTempo,       "Tempo",        {"BPM"},            20.0f, 1200.0f, 1.0f, 160.0f, ScaleLinear, ParameterRole::Tempo},
        {kDecay,       "Decay",        {"s"},              0.02f, 20.0f,   1.0f, 1.62f,  ScaleLog},
        {kStereo,      "Stereo",       {""},               0.0f,  100.0f,  1.0f, 50.0f,  ScaleLinear},
        {kMode,        "Mode",         {"Mono", "Stereo"}, 0.0f,  1.0f,    1.0f, 0.0f,   ScaleList},
        {kSyncCoeff,   "Sync coeff",   SyncCoeffEntries(), 0.0f,  8.0f,    1.0f, 0.0f,   ScaleList, ParameterRole::SyncCoeff},
        {kTap,         "Tap",          TapEntries(),       0.0f,  1.0f,    1.0f, 0.0f,   ScaleList, ParameterRole::Tap},
    });
    // "Double sound" and "Hold on" sit just above the top of their ranges so
    // that their knobs show the end stop.
    AddPresets({
        // preset           Effect Level  Tempo       Decay   Stereo  Mode  Sync coeff  Tap
        {"Default",       {50.0f,        160.0f,     1.62f,  50.0f,  0.0f, 0.0f,       0.0f}},
        {"Vektra Rhythm", {36.0f,        160.0f,     0.1f,   50.0f,  0.0f, 0.0f,       0.0f}},
        {"Slow solo",     {23.0f,        160.0f,     0.1f,   -18.0f, 0.0f, 0.0f,       0.0f}},
        {"Double sound",  {54.0f,        1200.0001f, 0.02f,  50.0f,  0.0f, 0.0f,       0.0f}},
        {"Hold on",       {57.0f,        100.0f,     20.01f, 50.0f,  0.0f, 0.0f,       0.0f}},
    });
    DeclareReadings(kBPMDelayReadings);
    ApplyPreset("Default");
    UpdateParameters(true);
}

const char* CORVBPMDelayDSP::HoldStateName(int32_t state)
{
    return state >= 0 && state < int32_t(kHoldStateNames.size()) ? kHoldStateNames[size_t(state)] : "";
}

double CORVBPMDelayDSP::BeatRate() const
{
    // Tap tempo writes its measurement unclamped (two presses within the same
    // millisecond even give infinity), and a preset may sit just beyond the
    // end of the range; the lines are sized for the knob's range only.  A
    // host tempo is followed as far as the slowest beat the knob reaches,
    // which bounds the memory, and the fastest division of its fastest beat.
    const CORVDSPParameter& own = *GetParameter(kTempo);
    const double ownTempo = InRange(own.value, own.minValue, own.maxValue);
    const double fastestSynced = double(own.maxValue) * kSyncDivisions.back().multiplier;
    return InRange(SyncedTempo(Value(kSyncCoeff), ownTempo, tempo), own.minValue, fastestSynced);
}

int32_t CORVBPMDelayDSP::BeatInSamples(double beatRate) const
{
    return int32_t(sampleRate * kSecondsPerMinute / beatRate);
}

int32_t CORVBPMDelayDSP::DoublingInSamples() const
{
    return int32_t(sampleRate * kSecondsPerMinute) / kDoublingsPerMinute;
}

void CORVBPMDelayDSP::UpdateParameters(bool reinitialise)
{
    const CORVDSPParameter& tempoParameter = *GetParameter(kTempo);
    const CORVDSPParameter& sync = *GetParameter(kSyncCoeff);
    const double beatRate = BeatRate();
    const bool doubling = beatRate == double(tempoParameter.maxValue);
    const int32_t beat = BeatInSamples(beatRate);
    // The doubling's length is fixed, so it never asks for other lines.
    const int32_t candidate = doubling ? lowerBound : beat;
    const bool syncedDivision = sync.value > sync.minValue && sync.value < sync.maxValue;

    if (reinitialise)
        AllocateLines();
    if (reinitialise || syncedDivision != syncedClass || candidate > capacity || candidate < lowerBound)
        RebuildLines(beat, syncedDivision);

    delay1 = doubling ? DoublingInSamples() : beat;
    delay2 = 2 * delay1;
    stereoMode = Value(kMode) != 0.0f;
    dryGain = 1.0f;
    wetLevel = Value(kEffectLevel) / kPercent * kWetScale;
    UpdateFeedback();
    UpdateTapGains();
    parametersChanged = false;
}

void CORVBPMDelayDSP::AllocateLines()
{
    // Enough for the slowest beat the tempo can be clamped to, whatever the
    // capacity a rebuild settles on later.
    const int32_t needed = BeatInSamples(GetParameter(kTempo)->minValue);
    if (needed == storage && !allocationFailed)
        return;
    storage = needed;
    allocationFailed = false;
    for (Lines& line : lines) {
        // Old lines go first, so the old and new sets never have to fit at once.
        line = Lines{};
        line.odd.reset(new (std::nothrow) float[size_t(storage)]());
        line.ret.reset(new (std::nothrow) float[size_t(storage)]());
        line.even.reset(new (std::nothrow) float[2 * size_t(storage)]());
        allocationFailed = allocationFailed || !line.odd || !line.ret || !line.even;
    }
}

void CORVBPMDelayDSP::RebuildLines(int32_t beat, bool synced)
{
    syncedClass = synced;
    capacity = beat * (synced ? kSyncedCapacityBeats : kFreeCapacityBeats);
    lowerBound = beat / (synced ? kSyncedLowerDivisor : kFreeLowerDivisor);
    index1 = 0;
    index2 = 0;
    ClearLines(true);
    needsReinit = false;
}

void CORVBPMDelayDSP::ClearLines(bool withReturn)
{
    // Every delay lies within the capacity except the doubling, which lines
    // rebuilt for a very fast synced beat ("1/16 T" of a fast host) may be
    // shorter than; nothing beyond the two is ever read.
    const size_t used = size_t(std::min(std::max(capacity, DoublingInSamples()), storage));
    for (Lines& line : lines) {
        if (line.odd)
            std::fill_n(line.odd.get(), used, 0.0f);
        if (line.ret && withReturn)
            std::fill_n(line.ret.get(), used, 0.0f);
        if (line.even)
            std::fill_n(line.even.get(), 2 * used, 0.0f);
    }
}

void CORVBPMDelayDSP::ClearPendingLines()
{
    if (clearPending)
        ClearLines(true);
    else if (clearInputLinesPending)
        ClearLines(false);
    clearPending = false;
    clearInputLinesPending = false;
}

void CORVBPMDelayDSP::UpdateFeedback()
{
    const CORVDSPParameter& decay = *GetParameter(kDecay);
    // The top of the range holds: the loop plays on undiminished.
    if (decay.value == decay.maxValue) {
        feedback = 1.0f;
        return;
    }
    // Written so that a NaN counts as the shortest decay.
    const double seconds = decay.value >= decay.minValue ? double(decay.value) : double(decay.minValue);
    const double passes = seconds / (double(delay2) / sampleRate);
    feedback = passes < 1.0 ? 0.0f : float(std::pow(10.0, (kDecayDb / passes) / 20.0));
}

void CORVBPMDelayDSP::UpdateTapGains()
{
    const CORVDSPParameter& stereo = *GetParameter(kStereo);
    const float s = stereo.value;
    const float m = stereo.maxValue;
    if (stereoMode) {
        // g1/g2 place the odd repeats, g3/g4 the even ones, on opposite sides.
        const float g1 = (m - s) / (2.0f * m);
        const float g2 = 1.0f - g1;
        const float g3 = (m + s) / (2.0f * m);
        const float g4 = 1.0f - g2;
        tapGains = {g1 * wetLevel, g2 * wetLevel, g3 * wetLevel, g4 * wetLevel};
        oddToLeft = tapGains[0];
        oddToRight = tapGains[1];
        evenToLeft = tapGains[2];
        evenToRight = tapGains[3];
    } else {
        // Mono mode pans all repeats together; g3 and g4 are not used.
        const bool centred = s >= kCentreFrom && s <= kCentreTo;
        const float g2 = centred ? kEqualShare : s / kPercent;
        const float g1 = centred ? kEqualShare : 1.0f - g2;
        tapGains[0] = g1 * wetLevel;
        tapGains[1] = g2 * wetLevel;
        oddToLeft = evenToLeft = tapGains[0];
        oddToRight = evenToRight = tapGains[1];
    }
}

void CORVBPMDelayDSP::Reset() { clearPending = true; }

void CORVBPMDelayDSP::SetHoldMode(float mode)
{
    holdState = int32_t(mode);
    // Sampling starts from empty recording lines.  The foot switch arrives
    // on the control thread while the audio thread owns the lines, so they
    // are emptied before the next block rather than here.
    if (holdState == kSampling)
        clearInputLinesPending = true;
    bypassed = holdState == kBypassing;
}

void CORVBPMDelayDSP::StopRunning()
{
    if (wasRunning)
        clearPending = true;
    wasRunning = false;
}

void CORVBPMDelayDSP::PassThrough(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // The common frame measures the peaks of this block itself.
    float unusedPeaks[2][2] = {};
    CORVDSPAlgInterface::ProcessBypassed(inputs, outputs, unusedPeaks[0], unusedPeaks[1], frameCount);
}

void CORVBPMDelayDSP::ProcessBypassed(const float* const* inputs, float* const* outputs, float* inputPeaks_,
                                      float* outputPeaks_, int32_t frameCount)
{
    CORVDSPAlgInterface::ProcessBypassed(inputs, outputs, inputPeaks_, outputPeaks_, frameCount);
    StopRunning();
}

void CORVBPMDelayDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    ClearPendingLines();
    // "Bypassing" normally comes with the bypass flag, but turning "Tap" off
    // hands the flag back to the foot switch's last state.
    if (holdState == kBypassing) {
        PassThrough(inputs, outputs, frameCount);
        StopRunning();
        return;
    }
    if (allocationFailed) {
        PassThrough(inputs, outputs, frameCount);
        return;
    }
    wasRunning = true;

    // Sampling replaces the line contents by the input, playing loops them
    // unchanged without input; normal use adds the input to the decaying
    // repeats.
    const float keep = holdState == kSampling ? 0.0f : feedback;
    const float record = holdState == kPlaying ? 0.0f : 1.0f;
    const float dry = dryGain;
    const float oddL = oddToLeft;
    const float evenL = evenToLeft;
    const float oddR = oddToRight;
    const float evenR = evenToRight;
    const int32_t d1 = delay1;
    const int32_t d2 = delay2;
    int32_t i1 = index1;
    int32_t i2 = index2;
    Lines& left = lines[0];
    Lines& right = lines[1];
    ForEachFrame(inputs, outputs, frameCount, [&](float xL, float xR) {
        const Repeats l = StepLines(left.odd.get(), left.ret.get(), left.even.get(), i1, i2, xL, keep, record);
        const Repeats r = StepLines(right.odd.get(), right.ret.get(), right.even.get(), i1, i2, xR, keep, record);
        const float odd = l.odd + r.odd;
        const float even = l.even + r.even;
        // A tempo change without a rebuild may shorten the delay below the
        // current position; wrapping from there keeps within the lines.
        if (++i1 >= d1)
            i1 = 0;
        if (++i2 >= d2)
            i2 = 0;
        // The last repeats of a fading tail, scaled by the tap gains, would
        // otherwise reach the output as subnormals.
        return StereoFrame{FlushToZero(dry * xL + oddL * odd + evenL * even),
                           FlushToZero(dry * xR + oddR * odd + evenR * even)};
    });
    index1 = i1;
    index2 = i2;
}

float CORVBPMDelayDSP::Read(ReadingKind kind) const
{
    return kind == ReadingKind::HoldState ? float(holdState) : 0.0f;
}
