#include "effects/modulation/BassCrossover.h"

#include <algorithm>
#include <cmath>

BassCrossover::BassCrossover(int32_t filterType, float frequency, const ImpactTable& frequencyByImpact)
    : frequencyByImpact_(frequencyByImpact), filterType_(filterType),
      filterPassesLow_(filterType == BiquadLowPass1 || filterType == BiquadLowPass2), frequency_(frequency)
{
}

void BassCrossover::Update(float impact, bool reinitialise, double sampleRate)
{
    // A list value picks the entry its text shows: the nearest one.
    const float entry = std::floor(impact + 0.5f);
    const size_t last = frequencyByImpact_.size() - 1;
    const size_t index = entry >= 0.0f ? std::min(size_t(entry), last) : 0;
    frequency_ = frequencyByImpact_[index];
    left_.setFrequency(frequency_);
    right_.setFrequency(frequency_);
    if (reinitialise)
        Rebuild(sampleRate);
}

void BassCrossover::Rebuild(double sampleRate)
{
    for (BiquadSection* section : {&left_, &right_}) {
        *section = BiquadSection{};
        section->setSampleRate(std::trunc(sampleRate));
        section->setType(filterType_);
        section->setFrequency(frequency_);
    }
}

std::vector<std::string> ImpactEntries()
{
    return {"Gentle |==== Full", "Gentle ==|== Full", "Gentle ====| Full"};
}
