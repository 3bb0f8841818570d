#include "effects/modulation/CPitchAnalyser.h"

#include "effects/common/BiquadKernel.h"
#include "effects/common/Pi.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDefaultReference = 440.0f;
// Semitones from C0 up to A4.
constexpr int32_t kA4Note = 57;
constexpr int32_t kSemitones = 12;
constexpr float kLowestHz = 50.0f;
constexpr float kHighestHz = 2200.0f;
// The analysis rate at high sample rates is the sample rate divided by a
// whole number, at least this.
constexpr int32_t kAnalysisRate = 44100;
// Peaks further below the strongest one than this (dB) are ignored.
constexpr float kPeakRangeDb = 45.0f;
// The smoother's corner in the frame-rate domain: the design frequency that
// relates to the frame rate as 300 Hz to one sample per second.
constexpr double kSmootherCorner = 300.0;
// Units of deviation from one note to the next.
constexpr double kDeviationPerSemitone = 50.0;
// Octaves stay at two digits.
constexpr int32_t kHighestNote = 100 * kSemitones - 1;

struct Semitone {
    char letter;
    bool sharp;
};
constexpr std::array<Semitone, kSemitones> kSemitoneNames{{
    {'C', false}, {'C', true}, {'D', false}, {'D', true}, {'E', false}, {'F', false},
    {'F', true},  {'G', false}, {'G', true}, {'A', false}, {'A', true}, {'B', false},
}};

// The low-pass of the pre-filter, at the highest frequency searched, is
// steep enough to serve as the anti-alias filter of the decimation.
int32_t Decimation(int32_t sampleRate) { return std::max(1, sampleRate / kAnalysisRate); }

} // namespace

float CPitchAnalyser::Smoother::Step(float x)
{
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = FlushToZero(float(y));
    return y1;
}

CPitchAnalyser::CPitchAnalyser(int32_t frameLength_, int32_t sampleRate_)
    : sampleRate(sampleRate_),
      frameLength(frameLength_),
      semitoneRatio(std::pow(2.0, 1.0 / kSemitones)),
      reference(kDefaultReference),
      c0(kDefaultReference / std::pow(semitoneRatio, kA4Note)),
      framesPerSecond(double(sampleRate_) / frameLength_),
      lowest(kLowestHz),
      highest(kHighestHz),
      coarse(frameLength_ - 1, sampleRate_ / Decimation(sampleRate_)),
      spectral(frameLength_, sampleRate_ / Decimation(sampleRate_), kLowestHz, kHighestHz, kPeakRangeDb),
      preFilter(sampleRate_),
      work(size_t(frameLength_)),
      decimation(Decimation(sampleRate_)),
      span(size_t(frameLength_), 0.0f)
{
    // Second-order Butterworth low-pass over the sequence of frames.
    const double fs = double(sampleRate);
    const double k = std::tan(kPi / (fs / (framesPerSecond * kSmootherCorner)));
    const double c = std::cos(kPi / 4.0);
    const double d = 1.0 + 2.0 * c * k + k * k;
    smoother.b0 = k * k / d;
    smoother.b1 = 2.0 * smoother.b0;
    smoother.b2 = smoother.b0;
    smoother.a1 = 2.0 * (k * k - 1.0) / d;
    smoother.a2 = (1.0 - 2.0 * c * k + k * k) / d;
}

void CPitchAnalyser::SetReference(float a4)
{
    reference = a4;
    c0 = a4 / std::pow(semitoneRatio, kA4Note);
}

float CPitchAnalyser::Analyse(const float* frame)
{
    std::copy(frame, frame + frameLength, work.begin());
    preFilter.Run(work.data(), frameLength - 1, lowest, highest);
    AppendToSpan();
    spectral.SetReference(coarse.Estimate(span.data()));
    const float y = Track(spectral.Estimate(span.data()));
    noteIndex = NearestNote(y);
    noteName = NameOf(noteIndex);
    deviation = DeviationFrom(y, noteIndex);
    return y;
}

void CPitchAnalyser::Reset()
{
    preFilter.Reset();
    std::fill(span.begin(), span.end(), 0.0f);
    smoother.x1 = smoother.x2 = smoother.y1 = smoother.y2 = 0.0f;
    std::fill(std::begin(history), std::end(history), 0.0f);
    averaged = 0.0f;
    noteIndex = -1;
    noteName = {};
    deviation = 0.0f;
}

void CPitchAnalyser::AppendToSpan()
{
    // The last sample of a frame is never filled; the span keeps it at zero.
    const int32_t collected = frameLength - 1;
    const int32_t fresh = collected / decimation;
    std::copy(span.begin() + fresh, span.begin() + collected, span.begin());
    for (int32_t i = 0; i < fresh; ++i)
        span[size_t(collected - fresh + i)] = work[size_t(i * decimation)];
}

float CPitchAnalyser::Track(float raw)
{
    // A frame without a pitch keeps the history and the last average.
    if (raw != 0.0f) {
        history[2] = history[1];
        history[1] = history[0];
        history[0] = raw;
        averaged = history[1] != 0.0f && history[2] != 0.0f ? (history[1] + raw + history[2]) / 3.0f : raw;
    }
    return smoother.Step(averaged);
}

int32_t CPitchAnalyser::NearestNote(double frequency) const
{
    int32_t k = 0;
    for (double f = frequency; f > c0 && k < kHighestNote; f /= semitoneRatio)
        ++k;
    int32_t nearest = k - 1;
    for (int32_t note = k; note <= k + 1; ++note)
        if (std::fabs(frequency - NoteFrequency(note)) < std::fabs(frequency - NoteFrequency(nearest)))
            nearest = note;
    return nearest;
}

double CPitchAnalyser::NoteFrequency(int32_t note) const { return c0 * std::pow(semitoneRatio, note); }

NoteText CPitchAnalyser::NameOf(int32_t note)
{
    NoteText text;
    if (note < 0 || note > kHighestNote)
        return text;
    const int32_t octave = note / kSemitones;
    const Semitone& semitone = kSemitoneNames[size_t(note - kSemitones * octave)];
    // The octave in two columns, a blank before a single digit.
    text.chars = {semitone.letter, octave < 10 ? ' ' : char('0' + octave / 10), char('0' + octave % 10),
                  semitone.sharp ? '#' : '\0'};
    text.length = semitone.sharp ? 4 : 3;
    return text;
}

float CPitchAnalyser::DeviationFrom(double frequency, int32_t note) const
{
    const double fn = NoteFrequency(note);
    if (frequency > fn)
        return float((frequency - fn) / ((NoteFrequency(note + 1) - fn) / kDeviationPerSemitone));
    if (frequency < fn)
        return float((frequency - fn) / ((fn - NoteFrequency(note - 1)) / kDeviationPerSemitone));
    return 0.0f;
}
