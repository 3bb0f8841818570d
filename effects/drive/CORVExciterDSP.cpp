#include "effects/drive/CORVExciterDSP.h"
#include "effects/common/Units.h"

#include "dsp/FourCC.h"
#include "effects/common/ChannelStages.h"
#include "effects/common/Decibels.h"

#include <algorithm>
#include <cmath>

namespace {


// "Drive" 0..150 % spans −20..+40 dB of gain into the normaliser, 0 dB at
// the default of 50 %.  A guitar's band above a few hundred hertz peaks well
// below full scale, so the upper half of the range is where it reaches the
// limit and the harmonic levels apply exactly.
constexpr float kExciterDriveDbPerPercent = 0.4f;
constexpr float kExciterDriveFloorDb = -20.0f;

// Each stage of the level detector settles with this time constant: fast
// enough to follow a picked note, slow enough that the ripple of the squared
// signal stays far below the harmonics it would otherwise modulate.
constexpr double kDetectorSeconds = 0.010;

// The band edge keeps clear of the Nyquist frequency at low sample rates.
constexpr double kMaxCornerFraction = 0.45;

// A list value switches at the half-way point between its entries.
constexpr float kSwitchThreshold = 0.5f;

} // namespace

CORVExciterDSP::CORVExciterDSP(double sampleRate_, uint32_t maxFrames_)
    : CORVParRelations(sampleRate_, maxFrames_)
{
    longName = "EC - Exciter";
    shortName = "EC";
    fourCC = FourCC("ecu1");

    AddPresets({
        // preset           Drive   1st     2nd     3rd     Frequency  Mix    4nd    5nd     x5
        {"Default",       {50.0f,  50.0f,  50.0f,  50.0f,  500.0f,    50.0f, 50.0f, 50.0f,  0.0f}},
        {"X Cabinet",     {106.6f, 100.0f, 0.0f,   100.0f, 2565.0f,   61.7f, 0.0f,  29.0f,  0.0f}},
        {"Fright Bender", {105.7f, 100.0f, 42.0f,  31.0f,  3056.0f,   26.1f, 18.0f, 100.0f, 0.0f}},
        {"Loudster",      {70.3f,  100.0f, 38.0f,  22.0f,  1915.0f,   23.1f, 37.0f, 100.0f, 1.0f}},
        {"Warm Tube",     {94.6f,  31.0f,  100.0f, 100.0f, 1516.0f,   50.6f, 50.0f, 50.0f,  1.0f}},
    });
    AddParameters({
        // index         name               texts           min     max       step  default taper
        {kDrive,          "Drive",           {"%"},          0.0f,   150.0f,   1.0f, 50.0f,  ScaleLinear},
        {kFirstHarmonic,  "1st Harmonic",    {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kSecondHarmonic, "2nd Harmonic",    {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kThirdHarmonic,  "3rd Harmonic",    {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kFrequency,      "Frequency",       {"Hz"},         500.0f, 10000.0f, 1.0f, 500.0f, ScaleLog},
        {kExciterMix,     "Exciter Mix",     {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kFourthHarmonic, "4nd Harmonic",    {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kFifthHarmonic,  "5nd Harmonic",    {"%"},          0.0f,   100.0f,   1.0f, 50.0f,  ScaleLinear},
        {kOversampling,   "x5 Oversampling", {"Off", "On"},  0.0f,   1.0f,     1.0f, 0.0f,   ScaleList},
    });
    ApplyPreset("Default");
    UpdateParameters(true);
}

void CORVExciterDSP::UpdateParameters(bool reinitialise)
{
    const float drive = Value(kDrive);
    const float frequency = Value(kFrequency);
    const float mix = Value(kExciterMix) / kPercent;
    const bool oversampling = Value(kOversampling) >= kSwitchThreshold;

    if (reinitialise) {
        for (ExciterChannel& channel : channels)
            channel.SetSampleRate(sampleRate);
        settings.smoothing = float(1.0 - std::exp(-1.0 / (kDetectorSeconds * sampleRate)));
        Reset();
        needsReinit = false;
    }
    // The oversampler's history is from the last time it ran; starting from
    // silence fades the excited signal in instead.
    if (oversampling != oversampled)
        for (ExciterChannel& channel : channels)
            channel.ResetOversampler();
    oversampled = oversampling;

    const float corner = float(std::min(double(frequency), kMaxCornerFraction * sampleRate));
    for (ExciterChannel& channel : channels)
        channel.SetFrequency(corner);

    const float newDrive = DecibelsToGain(kExciterDriveDbPerPercent * drive + kExciterDriveFloorDb);
    if (!reinitialise && newDrive != settings.drive)
        for (ExciterChannel& channel : channels)
            channel.ScaleDrive(newDrive / settings.drive);
    settings.drive = newDrive;
    settings.inverseDrive = 1.0f / settings.drive;
    settings.mix = mix;
    settings.SetHarmonicLevels({Value(kFirstHarmonic) / kPercent, Value(kSecondHarmonic) / kPercent,
                                Value(kThirdHarmonic) / kPercent, Value(kFourthHarmonic) / kPercent,
                                Value(kFifthHarmonic) / kPercent});
    parametersChanged = false;
}

void CORVExciterDSP::Reset()
{
    for (ExciterChannel& channel : channels)
        channel.Reset();
}

void CORVExciterDSP::ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    if (oversampled)
        Run<true>(inputs, outputs, frameCount);
    else
        Run<false>(inputs, outputs, frameCount);
}

template <bool kOversampled>
void CORVExciterDSP::Run(const float* const* inputs, float* const* outputs, int32_t frameCount)
{
    const ExciterSettings s = settings;
    ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
        return StereoFrame{channels[0].Process<kOversampled>(s, left), channels[1].Process<kOversampled>(s, right)};
    });
}
