#pragma once
#include "effects/modulation/CCoarsePitchEstimator.h"
#include "effects/modulation/CPitchPreFilter.h"
#include "effects/modulation/CSpectralPeakEstimator.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// A note's name as the tuner shows it ("A 4", "C 4#"), held in place so that
// naming a note on the audio thread allocates nothing.
struct NoteText {
    std::array<char, 8> chars{};
    int32_t length = 0;

    std::string_view View() const { return {chars.data(), size_t(length)}; }
};

// Finds the fundamental of one tuner frame, smooths it across frames and
// names the nearest note with the deviation from it, relative to a reference
// pitch for A4.
//
// A frame is a fixed number of samples, so at high sample rates it covers
// too short a time to separate the partials of a low string.  There the
// band-limited frames are decimated to the rate of a CD and the estimators
// look at the most recent frames together, so that every rate analyses about
// the same stretch of time; at 44.1 and 48 kHz and below, the span is the
// frame itself.
class CPitchAnalyser {
public:
    CPitchAnalyser(int32_t frameLength, int32_t sampleRate);

    // The pitch of A4 in Hz; every note is counted from it.
    void SetReference(float a4);

    // Analyses frameLength samples (of which the last is not used) and
    // returns the smoothed frequency in Hz.  The frame is not changed.
    float Analyse(const float* frame);
    // Forgets every frame heard: filters, recent frames, the track and the
    // last results.
    void Reset();

    // The results of the last frame.  A note index counts semitones from C0
    // (A4 is 57); -1 has no name.
    int32_t NoteIndex() const { return noteIndex; }
    std::string_view NoteName() const { return noteName.View(); }
    const NoteText& NoteNameText() const { return noteName; }
    // 50 units to the neighbouring note: about -25 to +25 between the
    // midpoints to the neighbours.
    float Deviation() const { return deviation; }

    // The note index nearest to a frequency, and a note's frequency and name.
    int32_t NearestNote(double frequency) const;
    double NoteFrequency(int32_t note) const;
    static NoteText NameOf(int32_t note);

private:
    // The frame-to-frame smoother of the frequency track.
    struct Smoother {
        double b0, b1, b2, a1, a2;
        float x1 = 0.0f;
        float x2 = 0.0f;
        float y1 = 0.0f;
        float y2 = 0.0f;

        float Step(float x);
    };

    void AppendToSpan();
    float Track(float raw);
    float DeviationFrom(double frequency, int32_t note) const;

    int32_t sampleRate;
    int32_t frameLength;
    double semitoneRatio;
    float reference;
    double c0;
    double framesPerSecond;
    float lowest;
    float highest;
    Smoother smoother;
    float history[3] = {0.0f, 0.0f, 0.0f};
    float averaged = 0.0f;
    int32_t noteIndex = -1;
    NoteText noteName;
    float deviation = 0.0f;
    CCoarsePitchEstimator coarse;
    CSpectralPeakEstimator spectral;
    CPitchPreFilter preFilter;
    std::vector<float> work;
    int32_t decimation;
    // The decimated, band-limited recent frames the estimators look at, as
    // many samples as a frame.
    std::vector<float> span;
};
