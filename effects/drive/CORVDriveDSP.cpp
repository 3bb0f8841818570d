#include "effects/drive/CORVDriveDSP.h"

#include "effects/common/BiquadDesigners.h"
#include "effects/common/Pi.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTenthsDbPerDecade = 200.0;

// Input voicing shared by all four pedals: a deep first-order cut below
// 40 Hz and a triple cut at 68 Hz keep the lowest frequencies out of the
// clipper, where at high drive they would swamp everything above them.
constexpr std::array<EqSectionSpec, kVoicingSections> kInputSections{{
    // type        Hz   tenths dB  semitones
    {kEqLowShelf,  40,  -240,      0},
    {kEqPeak,      68,  -240,      2},
    {kEqPeak,      68,  -240,      2},
    {kEqPeak,      68,  -240,      2},
}};

// The mix crossover: below it the driven signal fades in under a constant
// dry signal, above it the dry signal fades out under a constant driven one.
constexpr double kMixCrossover = 50.0;
constexpr double kFullScale = 100.0;

// The colour knob sweeps the low-pass corner from 3 kHz to 6 kHz; its
// Butterworth terms take the voicing π (see Pi.h) and √2 rounded to a float,
// the values the colour low-pass is defined with: exact ones would change its
// rounded coefficients and so every output sample of the pedals.
constexpr double kColourBaseHz = 3000.0;
constexpr double kColourHzPerPercent = 30.0;
const double kColourSqrt2 = double(float(std::sqrt(2.0)));

// The loop delay is one sample at 32 kHz and the same time at higher rates,
// up to the three samples the ring holds.
constexpr double kLoopReferenceRate = 32000.0;
constexpr float kShortestLoop = 1.0f;
constexpr float kLongestLoop = float(kFeedbackCells);

constexpr float kClipLimit = 1.0f;

int32_t Wrap(int32_t position)
{
    constexpr auto kCells = int32_t(kFeedbackCells);
    return (position % kCells + kCells) % kCells;
}

float Clip(float x) { return std::min(std::max(x, -kClipLimit), kClipLimit); }

} // namespace

double TenthsDbLaw::Gain(double percent) const
{
    return std::pow(10.0, (slope * percent + offset) / kTenthsDbPerDecade);
}

void LoopPositions::Advance()
{
    constexpr auto kLast = int32_t(kFeedbackCells) - 1;
    write = write == kLast ? 0 : write + 1;
    near = near == kLast ? 0 : near + 1;
    far = far == kLast ? 0 : far + 1;
}

CORVDriveDSP::CORVDriveDSP(double sampleRate_, uint32_t maxFrames_, const DriveCharacter& character_,
                           const OutputLaw& output_)
    : CORVParRelations(sampleRate_, maxFrames_), character(character_), outputLaw(output_)
{
    coefs.feedback = character.feedback;
}

void CORVDriveDSP::UpdateParameters(bool reinitialise)
{
    const float outputKnob = Value(kOutputKnob);
    const float colourKnob = Value(kColorKnob);
    const float driveKnob = Value(kDriveKnob);

    if (reinitialise) {
        DesignVoicing();
        Reset();
        needsReinit = false;
    }
    coefs.driveGain = float(character.drive.Gain(driveKnob));
    SetOutputGains(outputKnob);
    DesignColour(colourKnob);
    SetFeedbackTaps();
    parametersChanged = false;
}

void CORVDriveDSP::Reset()
{
    for (DriveChannel& channel : channels) {
        for (FixedSection& section : channel.input)
            section.state.Reset();
        for (BiquadState& state : channel.colour)
            state.Reset();
        channel.cells.fill(0.0f);
        for (FixedSection& section : channel.output)
            section.state.Reset();
    }
    // The taps move with the write position so the loop keeps its delay.
    positions.write = 0;
    PlaceTaps();
}

void CORVDriveDSP::DesignVoicing()
{
    for (DriveChannel& channel : channels) {
        for (size_t k = 0; k < kVoicingSections; ++k) {
            DesignEqSection(kInputSections[k], channel.input[k], sampleRate);
            DesignEqSection(character.outputSections[k], channel.output[k], sampleRate);
        }
    }
}

void CORVDriveDSP::SetOutputGains(double knob)
{
    const TenthsDbLaw& fade = outputLaw.fade;
    if (outputLaw.stage == OutputStage::Level) {
        coefs.levelGain = float(outputLaw.drivenScale * fade.Gain(knob));
        coefs.dryGain = 0.0f;
        return;
    }
    const double driven = knob < kMixCrossover ? knob : kMixCrossover;
    const double dry = knob < kMixCrossover ? kMixCrossover : kFullScale - knob;
    coefs.levelGain = float(outputLaw.drivenScale * fade.Gain(driven));
    coefs.dryGain = float(outputLaw.dryScale * fade.Gain(dry));
}

void CORVDriveDSP::DesignColour(double knob)
{
    const double corner = kColourBaseHz + kColourHzPerPercent * knob;
    const double k = std::tan(corner * kVoicingPi / sampleRate);
    const double k2 = k * k;
    const double n = double(float(1.0 + kColourSqrt2 * k + k2));
    coefs.colour = RoundCoefs(k2 / n, 2.0, 1.0, 2.0 * (k2 - 1.0) / n, (1.0 - kColourSqrt2 * k + k2) / n);
}

void CORVDriveDSP::SetFeedbackTaps()
{
    FeedbackTaps& taps = coefs.taps;
    taps.delay = std::clamp(float(sampleRate / kLoopReferenceRate), kShortestLoop, kLongestLoop);
    taps.whole = int32_t(taps.delay);
    const float fraction = taps.delay - float(taps.whole);
    taps.nearWeight = 1.0f - fraction;
    taps.farWeight = fraction;
    PlaceTaps();
}

void CORVDriveDSP::PlaceTaps()
{
    positions.near = Wrap(positions.write - coefs.taps.whole);
    positions.far = Wrap(positions.near - 1);
}

namespace {

// One sample of one channel through the whole chain.
template <ClipperPlacement kClipper>
float DriveSample(DriveChannel& channel, const DriveCoefficients& c, const LoopPositions& at, float x)
{
    float u = c.driveGain * x;
    for (FixedSection& section : channel.input)
        u = ProcessFixedSection(section, u);
    if constexpr (kClipper == ClipperPlacement::BeforeLoop)
        u = Clip(u);
    float v = u + c.taps.nearWeight * channel.cells[size_t(at.near)] +
              c.taps.farWeight * channel.cells[size_t(at.far)];
    if constexpr (kClipper == ClipperPlacement::InsideLoop)
        v = Clip(v);
    float y = v;
    for (BiquadState& state : channel.colour)
        y = ProcessFixedSection(c.colour, state, y);
    channel.cells[size_t(at.write)] = c.feedback * y;
    // With no dry path the dry gain is 0 and adds nothing.
    float z = c.levelGain * y + c.dryGain * x;
    for (FixedSection& section : channel.output)
        z = ProcessFixedSection(section, z);
    return z;
}

} // namespace

template <ClipperPlacement kClipper>
void CORVDriveDSP::Run(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    // Local copies: the output stores could otherwise alias the state and
    // force it to be reloaded on every sample.
    const DriveCoefficients c = coefs;
    LoopPositions at = positions;
    DriveChannel left = channels[0];
    DriveChannel right = channels[1];
    ForEachFrame(inputs, outputs, frameCount, [&](float xLeft, float xRight) {
        const StereoFrame out{DriveSample<kClipper>(left, c, at, xLeft), DriveSample<kClipper>(right, c, at, xRight)};
        at.Advance();
        return out;
    });
    channels[0] = left;
    channels[1] = right;
    positions = at;
}

void CORVDriveDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (character.clipper == ClipperPlacement::BeforeLoop)
        Run<ClipperPlacement::BeforeLoop>(inputs, outputs, frameCount);
    else
        Run<ClipperPlacement::InsideLoop>(inputs, outputs, frameCount);
}
