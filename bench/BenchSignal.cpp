#include "bench/BenchSignal.h"

#include "cli/CORVPluckedString.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>

namespace bench {

std::vector<float> GuitarLikeSignal(double sampleRate, size_t frames)
{
    constexpr double kNoteSeconds = 0.5;
    constexpr double kFundamentals[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    std::vector<float> signal(frames);
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 0.002f);
    const size_t noteLength = size_t(kNoteSeconds * sampleRate);
    for (size_t i = 0; i < frames; ++i) {
        const size_t note = i / noteLength;
        const double t = double(i % noteLength) / sampleRate;
        const double f = kFundamentals[note % 6];
        double sample = 0.0;
        for (int partial = 1; partial <= 6; ++partial)
            sample += std::sin(2.0 * M_PI * f * partial * t) * std::exp(-t * 3.0 * partial) / partial;
        signal[i] = float(0.3 * sample) + noise(random);
    }
    return signal;
}

} // namespace bench

namespace bench {
namespace {

constexpr int kStrings = 6;
constexpr double kBeatsPerMinute = 96.0;
constexpr int kEighthsPerBar = 8;
constexpr double kDownStrumSpacing = 0.012;   // seconds between strings of a down strum
constexpr double kUpStrumSpacing = 0.008;
constexpr double kTimingSpread = 0.005;       // a player's looseness, seconds either way
constexpr float kPeakLevel = 0.5f;            // -6 dBFS
constexpr float kNoiseFloor = 1.26e-4f;       // -78 dBFS, a quiet pickup and interface
constexpr float kPickPosition = 0.2f;         // fraction of the string from the bridge
constexpr double kSustainAt220Hz = 3.0;       // seconds to -60 dB for an open A string
constexpr double kShortestSustain = 1.2;
constexpr int kMuted = -1;

// Chord shapes as MIDI notes from the low E string up; kMuted strings are
// not played.
using Chord = std::array<int, kStrings>;
constexpr Chord kE{40, 47, 52, 56, 59, 64};
constexpr Chord kA{kMuted, 45, 52, 57, 61, 64};
constexpr Chord kD{kMuted, kMuted, 50, 57, 62, 66};
constexpr Chord kG{43, 47, 50, 55, 59, 67};
constexpr Chord kC{kMuted, 48, 52, 55, 60, 64};
constexpr Chord kAm{kMuted, 45, 52, 57, 60, 64};
constexpr Chord kEm{40, 47, 52, 55, 59, 64};
constexpr std::array<Chord, 8> kProgression{kE, kA, kD, kE, kG, kC, kAm, kEm};

// A line in E minor pentatonic on the two top strings.
constexpr std::array<int, kEighthsPerBar> kMelody{64, 67, 69, 71, 74, 76, 74, 71};
constexpr int kMelodySplit = 64; // notes from here on go to the top string

struct Event {
    size_t frame;
    int string;
    int note; // kMuted damps the string
    float velocity;
};

// A note on a string; higher notes ring shorter, as on a real neck.
CORVPluckedString::Pluck NotePluck(int note, float velocity, std::mt19937& random)
{
    const double frequency = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    const double sustain = std::max(kShortestSustain, kSustainAt220Hz * std::sqrt(220.0 / frequency));
    return {frequency, velocity, kPickPosition, sustain, uint32_t(random())};
}

// The four kinds of bar the part cycles through.
enum class Bar { Strummed, Arpeggio, Melody, StopChord };

class Score {
public:
    Score(double sampleRate, std::mt19937& random) : sampleRate_(sampleRate), random_(random) {}

    void AddBar(int bar, double start)
    {
        const Chord& chord = kProgression[size_t(bar) % kProgression.size()];
        // Dynamics swell from soft to loud and back over six bars.
        dynamic_ = float(0.25 + 0.7 * 0.5 * (1.0 - std::cos(2.0 * M_PI * bar / 6.0)));
        switch (Bar(bar % 4)) {
        case Bar::Strummed: AddStrums(chord, start); break;
        case Bar::Arpeggio: AddArpeggio(chord, start); break;
        case Bar::Melody: AddMelody(start); break;
        case Bar::StopChord: AddStopChord(chord, start); break;
        }
    }

    std::vector<Event> Sorted()
    {
        std::stable_sort(events_.begin(), events_.end(),
                         [](const Event& a, const Event& b) { return a.frame < b.frame; });
        return events_;
    }

private:
    static constexpr double Eighth() { return 30.0 / kBeatsPerMinute; }

    void Add(double seconds, int string, int note, float velocity)
    {
        std::uniform_real_distribution<double> loose(-kTimingSpread, kTimingSpread);
        const double at = std::max(0.0, seconds + loose(random_));
        events_.push_back({size_t(at * sampleRate_), string, note, std::min(1.0f, velocity)});
    }

    float Velocity(bool accent)
    {
        std::uniform_real_distribution<float> touch(0.85f, 1.0f);
        return dynamic_ * (accent ? 1.0f : 0.8f) * touch(random_);
    }

    void Strum(const Chord& chord, double at, bool down, float velocity)
    {
        for (int i = 0; i < kStrings; ++i) {
            const int string = down ? i : kStrings - 1 - i;
            if (chord[size_t(string)] != kMuted)
                Add(at + i * (down ? kDownStrumSpacing : kUpStrumSpacing), string, chord[size_t(string)], velocity);
        }
    }

    // Damping is placed exactly, ahead of any loosely timed note it precedes.
    void MuteAll(double at)
    {
        const double exact = std::max(0.0, at - kTimingSpread);
        for (int string = 0; string < kStrings; ++string)
            events_.push_back({size_t(exact * sampleRate_), string, kMuted, 0.0f});
    }

    void AddStrums(const Chord& chord, double start)
    {
        constexpr std::array<int, 6> kEighths{0, 2, 3, 5, 6, 7};
        constexpr std::array<bool, 6> kDown{true, true, false, false, true, false};
        for (size_t i = 0; i < kEighths.size(); ++i)
            Strum(chord, start + kEighths[i] * Eighth(), kDown[i], Velocity(i == 0));
    }

    void AddArpeggio(const Chord& chord, double start)
    {
        std::vector<int> sounding;
        for (int string = 0; string < kStrings; ++string)
            if (chord[size_t(string)] != kMuted)
                sounding.push_back(string);
        constexpr std::array<size_t, kEighthsPerBar> kPattern{0, 2, 3, 4, 5, 4, 3, 2};
        for (int i = 0; i < kEighthsPerBar; ++i) {
            const int string = sounding[std::min(kPattern[size_t(i)], sounding.size() - 1)];
            Add(start + i * Eighth(), string, chord[size_t(string)], Velocity(i % 4 == 0));
        }
    }

    void AddMelody(double start)
    {
        MuteAll(start);
        for (int i = 0; i < kEighthsPerBar; ++i) {
            const int note = kMelody[size_t(i)];
            Add(start + i * Eighth(), note >= kMelodySplit ? 5 : 4, note, Velocity(i % 2 == 0));
        }
    }

    // One loud chord left to ring, then a rest.
    void AddStopChord(const Chord& chord, double start)
    {
        Strum(chord, start, true, std::min(1.0f, dynamic_ * 1.2f));
        MuteAll(start + 5 * Eighth());
    }

    double sampleRate_;
    std::mt19937& random_;
    float dynamic_ = 1.0f;
    std::vector<Event> events_;
};

void Normalise(StereoSignal& signal)
{
    float peak = 0.0f;
    for (const std::vector<float>* channel : {&signal.left, &signal.right})
        for (float sample : *channel)
            peak = std::max(peak, std::fabs(sample));
    const float scale = peak > 0.0f ? kPeakLevel / peak : 0.0f;
    for (std::vector<float>* channel : {&signal.left, &signal.right})
        for (float& sample : *channel)
            sample *= scale;
}

} // namespace

StereoSignal GuitarPerformance(double sampleRate, double seconds)
{
    const size_t frames = size_t(seconds * sampleRate);
    std::mt19937 random(1);
    Score score(sampleRate, random);
    const double barSeconds = kEighthsPerBar * 30.0 / kBeatsPerMinute;
    for (int bar = 0; bar * barSeconds < seconds; ++bar)
        score.AddBar(bar, bar * barSeconds);
    const std::vector<Event> events = score.Sorted();

    // Strings spread a little across the stereo field, low strings to the left.
    std::array<std::optional<CORVPluckedString>, kStrings> strings;
    std::array<float, kStrings> leftGain{}, rightGain{};
    for (int s = 0; s < kStrings; ++s) {
        const double pan = 0.35 + 0.06 * s;
        leftGain[size_t(s)] = float(std::cos(pan * M_PI / 2.0));
        rightGain[size_t(s)] = float(std::sin(pan * M_PI / 2.0));
    }

    StereoSignal signal{std::vector<float>(frames), std::vector<float>(frames)};
    size_t next = 0;
    for (size_t i = 0; i < frames; ++i) {
        for (; next < events.size() && events[next].frame <= i; ++next) {
            const Event& event = events[next];
            std::optional<CORVPluckedString>& string = strings[size_t(event.string)];
            // A new pluck replaces what still rings, as on a real string.
            if (event.note != kMuted)
                string.emplace(sampleRate, NotePluck(event.note, event.velocity, random));
            else if (string)
                string->Release();
        }
        for (int s = 0; s < kStrings; ++s) {
            const float sample = strings[size_t(s)] ? strings[size_t(s)]->Next() : 0.0f;
            signal.left[i] += leftGain[size_t(s)] * sample;
            signal.right[i] += rightGain[size_t(s)] * sample;
        }
    }
    Normalise(signal);
    std::normal_distribution<float> hiss(0.0f, kNoiseFloor);
    for (size_t i = 0; i < frames; ++i) {
        signal.left[i] += hiss(random);
        signal.right[i] += hiss(random);
    }
    return signal;
}

} // namespace bench
