#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/drive/FixedSection.h"

#include <array>
#include <cstddef>

// Sections of each fixed voicing, sections of the colour low-pass (a sixth-
// order Butterworth-like slope) and cells of the feedback ring, which a loop
// of at most three samples needs.
inline constexpr size_t kVoicingSections = 4;
inline constexpr size_t kColourSections = 3;
inline constexpr size_t kFeedbackCells = 3;

// A gain law in tenths of a dB over a 0..100 % knob: 10^((slope·P + offset)/200).
struct TenthsDbLaw {
    double slope;
    double offset;

    double Gain(double percent) const;
};

// Where the hard clipper sits relative to the short feedback loop.
enum class ClipperPlacement {
    BeforeLoop,  // the loop adds its echo on top of the clipped signal
    InsideLoop,  // the echo is clipped together with the signal
};

// What follows the clipper: a level knob, or a knob that mixes the driven
// signal with the untouched input.
enum class OutputStage {
    Level,
    DryMix,
};

// What the pedals of one family share: how hard they drive, where they
// clip, how much the loop feeds back, and how the result is voiced.
struct DriveCharacter {
    TenthsDbLaw drive;        // drive gain over the drive knob
    ClipperPlacement clipper;
    float feedback;           // share of the colour output fed back into the loop
    std::array<EqSectionSpec, kVoicingSections> outputSections;  // in processing order
};

// What each pedal makes of its output knob.
struct OutputLaw {
    OutputStage stage;
    TenthsDbLaw fade;         // level gain, or the fade of each side of the mix
    double drivenScale;       // factor on the driven signal's gain
    double dryScale;          // factor on the dry signal's fade (DryMix only)
};

// The loop delay: d = whole + fraction samples, read from two neighbouring
// cells weighted 1 − fraction and fraction.
struct FeedbackTaps {
    float delay = 1.0f;
    int32_t whole = 1;
    float nearWeight = 1.0f;
    float farWeight = 0.0f;
};

// Everything the sample loop multiplies by, recomputed at block starts.
struct DriveCoefficients {
    float driveGain = 1.0f;
    float levelGain = 1.0f;
    float dryGain = 0.0f;
    float feedback = 0.0f;
    BiquadCoefs colour;  // one set for every colour section of both channels
    FeedbackTaps taps;
};

// Where the loop writes this sample and where it reads the two taps; the
// three cells form a ring.
struct LoopPositions {
    int32_t write = 0;
    int32_t near = 0;
    int32_t far = 0;

    void Advance();
};

// The signal state of one channel.
struct DriveChannel {
    std::array<FixedSection, kVoicingSections> input;
    std::array<BiquadState, kColourSections> colour;
    std::array<float, kFeedbackCells> cells{};
    std::array<FixedSection, kVoicingSections> output;
};

// The overdrive and distortion pedals: drive gain, a fixed input voicing, a
// hard clipper with a one-to-three-sample feedback loop around a steep
// "Color" low-pass, an output gain or dry mix, and a fixed output voicing.
// The pedals differ only in the constants they pass in; each publishes its
// own parameter and preset tables.
class CORVDriveDSP : public CORVParRelations {
public:
    // Parameter indices: index 2 is "Level" or "Mix", index 4 "Drive" or
    // "Distortion", depending on the pedal.
    enum ParameterIndex : int32_t {
        kOutputKnob = 2,
        kColorKnob = 3,
        kDriveKnob = 4,
    };

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    float DriveGain() const { return coefs.driveGain; }
    float LevelGain() const { return coefs.levelGain; }
    float DryGain() const { return coefs.dryGain; }
    const BiquadCoefs& ColourCoefs() const { return coefs.colour; }
    const FeedbackTaps& Taps() const { return coefs.taps; }
    const LoopPositions& Positions() const { return positions; }
    const DriveChannel& Channel(int32_t channel) const { return channels[size_t(channel)]; }

protected:
    CORVDriveDSP(double sampleRate, uint32_t maxFrames, const DriveCharacter& character, const OutputLaw& output);

    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    template <ClipperPlacement kClipper>
    void Run(const float* const* inputs, float* const* outputs, int32_t frameCount);

    void DesignVoicing();
    void SetOutputGains(double knob);
    void DesignColour(double knob);
    void SetFeedbackTaps();
    void PlaceTaps();

    const DriveCharacter& character;
    const OutputLaw& outputLaw;
    DriveCoefficients coefs;
    // Both channels run side by side, sample by sample, so one set of loop
    // positions serves them both and each channel still hears its own echo
    // exactly d samples late across block boundaries.
    LoopPositions positions;
    std::array<DriveChannel, 2> channels{};
};
