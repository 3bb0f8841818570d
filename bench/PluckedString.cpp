#include "bench/PluckedString.h"

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

constexpr double kLowestFrequency = 40.0;    // below a bass guitar's low E
constexpr double kRingSecondsAt220Hz = 3.0;  // ring time (to -60 dB) of an open A string
constexpr double kShortestRingSeconds = 1.2;
constexpr double kMutedRingSeconds = 0.08;
constexpr double kPickPosition = 0.2;        // fraction of the string from the bridge
constexpr float kSoftPickSmoothing = 0.95f;  // soft picking rounds off the excitation
constexpr float kHardPickSmoothing = 0.7f;

double MidiFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// The loop gain per period that makes a note of this frequency fall by
// 60 dB in the given time.
float LoopGain(double frequency, double ringSeconds)
{
    return float(std::pow(10.0, -3.0 / (frequency * ringSeconds)));
}

} // namespace

PluckedString::PluckedString(double sampleRate)
    : sampleRate_(sampleRate), line_(size_t(sampleRate / kLowestFrequency) + 2, 0.0f)
{
}

void PluckedString::Pluck(int midiNote, float velocity, std::mt19937& random)
{
    frequency_ = MidiFrequency(midiNote);
    length_ = std::clamp(size_t(std::lround(sampleRate_ / frequency_)), size_t(2), line_.size());
    position_ = 0;
    // Higher notes ring shorter, as on a real neck.
    const double ringSeconds = std::max(kShortestRingSeconds, kRingSecondsAt220Hz * std::sqrt(220.0 / frequency_));
    feedback_ = LoopGain(frequency_, ringSeconds);

    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    const float smoothing = kSoftPickSmoothing + (kHardPickSmoothing - kSoftPickSmoothing) * velocity;
    float smoothed = 0.0f;
    for (size_t i = 0; i < length_; ++i) {
        smoothed += (1.0f - smoothing) * (noise(random) - smoothed);
        line_[i] = velocity * smoothed;
    }
    // Picking away from the bridge cancels the harmonics that have a node
    // there: subtract the excitation delayed by the pick distance.
    const size_t pickOffset = std::max(size_t(1), size_t(double(length_) * kPickPosition));
    for (size_t i = length_; i-- > pickOffset;)
        line_[i] -= line_[i - pickOffset];
}

void PluckedString::Mute()
{
    if (frequency_ > 0.0)
        feedback_ = LoopGain(frequency_, kMutedRingSeconds);
}

float PluckedString::Tick()
{
    const size_t next = position_ + 1 == length_ ? 0 : position_ + 1;
    const float out = line_[position_];
    line_[position_] = feedback_ * 0.5f * (out + line_[next]);
    position_ = next;
    return out;
}

} // namespace bench
