#include "cli/CORVPluckedString.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The averaging filter delays the loop by half a sample; the all-pass takes
// the rest of the fraction, kept away from zero where it would turn unstable.
constexpr double kAveragingDelay = 0.5;
constexpr double kMinAllPassDelay = 0.1;
constexpr double kReleaseSeconds = 0.08;
constexpr double kSixtyDecibels = 0.001;
// The pick's attack: a one-pole low-pass on the burst whose pole closes as
// the velocity drops, so soft notes are darker as well as quieter.
constexpr float kSoftestAttackPole = 0.85f;
constexpr float kAttackPoleRange = 0.7f;

// A small deterministic noise source (xorshift32); the standard library's
// distributions differ between implementations.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : state_(seed ? seed : 1u) {}
    float Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return float(state_) / 2147483648.0f - 1.0f;
    }

private:
    uint32_t state_;
};

} // namespace

CORVPluckedString::CORVPluckedString(double sampleRate, const Pluck& pluck)
    : sampleRate_(sampleRate), frequency_(pluck.frequency)
{
    const double period = sampleRate / pluck.frequency;
    const double lineLength = std::floor(period - kAveragingDelay - kMinAllPassDelay);
    const double fraction = period - kAveragingDelay - lineLength;
    allPassCoefficient_ = float((1.0 - fraction) / (1.0 + fraction));
    line_.assign(size_t(std::max(1.0, lineLength)), 0.0f);
    loopGain_ = LoopGain(pluck.sustain);
    Excite(pluck);
}

float CORVPluckedString::LoopGain(double seconds) const
{
    // One pass of the loop is one period; the gain per pass reaches -60 dB
    // after the given time.
    return float(std::pow(kSixtyDecibels, 1.0 / (seconds * frequency_)));
}

void CORVPluckedString::Excite(const Pluck& pluck)
{
    NoiseSource noise(pluck.seed);
    const float pole = kSoftestAttackPole - kAttackPoleRange * std::clamp(pluck.velocity, 0.0f, 1.0f);
    std::vector<float> burst(line_.size());
    float smoothed = 0.0f;
    for (float& sample : burst) {
        smoothed += (1.0f - pole) * (noise.Next() - smoothed);
        sample = smoothed;
    }
    // Picking at a fraction p of the string removes every harmonic with a
    // node there: a comb of the burst with itself p periods later.
    const size_t pick = size_t(std::lround(double(pluck.pickPosition) * double(line_.size())));
    for (size_t i = 0; i < line_.size(); ++i)
        line_[i] = burst[i] - (i >= pick ? burst[i - pick] : 0.0f);
    const float mean = std::accumulate(line_.begin(), line_.end(), 0.0f) / float(line_.size());
    for (float& sample : line_)
        sample = (sample - mean) * pluck.velocity;
}

float CORVPluckedString::Next()
{
    const float output = line_[position_];
    const float averaged = 0.5f * (output + previousOutput_) * loopGain_;
    previousOutput_ = output;
    allPassOutput_ = allPassCoefficient_ * (averaged - allPassOutput_) + allPassInput_;
    allPassInput_ = averaged;
    line_[position_] = allPassOutput_;
    position_ = position_ + 1 == line_.size() ? 0 : position_ + 1;
    return output;
}

void CORVPluckedString::Release() { loopGain_ = std::min(loopGain_, LoopGain(kReleaseSeconds)); }
