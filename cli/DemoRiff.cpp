#include "cli/DemoRiff.h"

#include "cli/CORVPluckedString.h"
#include "effects/common/BiquadSection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Notes as MIDI numbers: E2 = 40 is the low string of a guitar.
constexpr int kA4 = 69;
constexpr double kA4Hz = 440.0;
constexpr int kMaxChordNotes = 6;

struct RiffEvent {
    double beat;
    double beats;
    int notes[kMaxChordNotes]; // zero-terminated when shorter
    float velocity;
    bool upStroke;
};

// clang-format off
const RiffEvent kRiff[] = {
//   beat   beats  notes                      velocity up
    { 0.0,  1.5,  {40, 47, 52},               0.95f, false},  // E5
    { 1.5,  0.5,  {40, 47, 52},               0.70f, true},
    { 2.0,  1.0,  {43, 50, 55},               0.85f, false},  // G5
    { 3.0,  1.0,  {45, 52, 57},               0.85f, false},  // A5
    { 4.0,  0.5,  {52},                       0.80f, false},  // run up
    { 4.5,  0.5,  {55},                       0.70f, false},
    { 5.0,  0.5,  {57},                       0.75f, false},
    { 5.5,  0.5,  {59},                       0.70f, false},
    { 6.0,  1.0,  {62},                       0.90f, false},
    { 7.0,  1.0,  {59},                       0.75f, false},
    { 8.0,  1.5,  {40, 47, 52},               0.95f, false},  // E5
    { 9.5,  0.5,  {40, 47, 52},               0.70f, true},
    {10.0,  1.0,  {43, 50, 55},               0.85f, false},  // G5
    {11.0,  0.5,  {50, 57, 62},               0.85f, false},  // D5
    {11.5,  0.5,  {45, 52, 57},               0.80f, true},   // A5
    {12.0,  0.5,  {64},                       0.90f, false},  // run down
    {12.5,  0.5,  {62},                       0.75f, false},
    {13.0,  0.5,  {59},                       0.80f, false},
    {13.5,  0.5,  {57},                       0.75f, false},
    {14.0,  0.5,  {55},                       0.80f, false},
    {14.5,  0.5,  {52},                       0.75f, false},
    {15.0,  0.5,  {50},                       0.80f, false},
    {15.5,  0.5,  {47},                       0.75f, false},
    {16.0,  4.0,  {40, 47, 52, 55, 59, 64},   1.00f, false},  // Em, left ringing
};
// clang-format on

constexpr double kStrumSeconds = 0.012; // between two strings of a strum
constexpr double kSustainSeconds = 6.0;
constexpr float kPickPosition = 0.13f; // a bridge-side pick
constexpr double kReleaseTailSeconds = 0.3;
constexpr uint32_t kSeedBase = 0x5EED;

// The body's low resonance, the pickup's presence peak and the cable's
// roll-off, which together turn a bare string into an electric guitar.
struct ToneStage {
    enum Kind { HighPass, Peak, LowPass } kind;
    float frequency;
    float gainDb;
    float q;
};

const ToneStage kTone[] = {
    {ToneStage::HighPass, 70.0f, 0.0f, 0.0f},
    {ToneStage::Peak, 110.0f, 4.0f, 2.0f},
    {ToneStage::Peak, 2600.0f, 5.0f, 2.0f},
    {ToneStage::LowPass, 5200.0f, 0.0f, 0.0f},
};

double NoteHz(int note) { return kA4Hz * std::pow(2.0, double(note - kA4) / 12.0); }

void AddNote(std::vector<float>& mix, double sampleRate, const CORVPluckedString::Pluck& pluck, size_t start,
             size_t release)
{
    CORVPluckedString string(sampleRate, pluck);
    const size_t end = std::min(mix.size(), release + size_t(kReleaseTailSeconds * sampleRate));
    for (size_t i = start; i < end; ++i) {
        if (i == release)
            string.Release();
        mix[i] += string.Next();
    }
}

void PlayEvent(std::vector<float>& mix, double sampleRate, const RiffEvent& event, uint32_t& seed)
{
    const double samplesPerBeat = sampleRate * 60.0 / kDemoTempo;
    int count = 0;
    while (count < kMaxChordNotes && event.notes[count] != 0)
        ++count;
    const size_t release = size_t((event.beat + event.beats) * samplesPerBeat);
    for (int k = 0; k < count; ++k) {
        // A down stroke hits the low string first, an up stroke the high one.
        const int order = event.upStroke ? count - 1 - k : k;
        const size_t start = size_t(event.beat * samplesPerBeat + order * kStrumSeconds * sampleRate);
        const CORVPluckedString::Pluck pluck{NoteHz(event.notes[k]), event.velocity, kPickPosition, kSustainSeconds,
                                             seed++};
        AddNote(mix, sampleRate, pluck, start, release);
    }
}

void ApplyTone(std::vector<float>& signal, double sampleRate)
{
    for (const ToneStage& stage : kTone) {
        BiquadSection section;
        section.setSampleRate(sampleRate);
        switch (stage.kind) {
        case ToneStage::HighPass: section.designHighPass(stage.frequency, true); break;
        case ToneStage::Peak: section.designPeak(stage.frequency, stage.gainDb, stage.q); break;
        case ToneStage::LowPass: section.designLowPass(stage.frequency, true); break;
        }
        for (float& sample : signal)
            sample = section.process(sample);
    }
}

void Normalise(std::vector<float>& signal, float peak)
{
    float largest = 0.0f;
    for (float sample : signal)
        largest = std::max(largest, std::fabs(sample));
    if (largest > 0.0f) {
        const float gain = peak / largest;
        for (float& sample : signal)
            sample *= gain;
    }
}

} // namespace

std::vector<float> SynthesiseDemoRiff(double sampleRate)
{
    std::vector<float> mix(size_t(kDemoSeconds * sampleRate), 0.0f);
    uint32_t seed = kSeedBase;
    for (const RiffEvent& event : kRiff)
        PlayEvent(mix, sampleRate, event, seed);
    ApplyTone(mix, sampleRate);
    Normalise(mix, kDemoPeak);
    return mix;
}
