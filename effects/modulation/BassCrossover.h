#pragma once
#include "effects/common/BiquadSection.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One sample split at a crossover.
struct Bands {
    float low;
    float high;
};

// The guitar effects modulate the whole band.
struct FullBand {
    Bands Left(float x) const { return {0.0f, x}; }
    Bands Right(float x) const { return {0.0f, x}; }
};

// The crossover of the bass effects.  Modulating the fundamentals of a bass
// makes the low end wobble and lose weight, so the band below the crossover
// passes unprocessed and only the band above it is modulated.  One filter per
// channel gives one band and the other is the input minus it, so the two
// bands always add up to the input.  "Impact" picks the crossover.
class BassCrossover {
public:
    // Crossover frequencies in Hz, in "Impact" entry order.
    using ImpactTable = std::array<float, 3>;

    // filterType is a low-pass (the filter passes the low band) or a
    // high-pass (it passes the high band); frequency holds until the first
    // update.
    BassCrossover(int32_t filterType, float frequency, const ImpactTable& frequencyByImpact);

    // Picks the crossover for the "Impact" value and passes it to both
    // sections (which ignore a frequency of 0); with reinitialise, recreates
    // the sections at the integer part of sampleRate.
    void Update(float impact, bool reinitialise, double sampleRate);

    // Crossovers below this mark the "Full" end of "Impact": the whole band
    // is modulated and the filters stay out of the path.
    static constexpr float kLowestSplit = 120.0f;
    bool Splits() const { return frequency_ >= kLowestSplit; }

    void Reset()
    {
        left_.reset();
        right_.reset();
    }

    Bands Left(float x) { return Split(left_, x); }
    Bands Right(float x) { return Split(right_, x); }

    float Frequency() const { return frequency_; }
    const BiquadSection& LeftSection() const { return left_; }
    const BiquadSection& RightSection() const { return right_; }

private:
    Bands Split(BiquadSection& section, float x) const
    {
        const float filtered = section.process(x);
        const float rest = x - filtered;
        return filterPassesLow_ ? Bands{filtered, rest} : Bands{rest, filtered};
    }

    void Rebuild(double sampleRate);

    ImpactTable frequencyByImpact_;
    int32_t filterType_;
    bool filterPassesLow_;
    float frequency_;
    BiquadSection left_;
    BiquadSection right_;
};

// The entries of the "Impact" list, from the lowest crossover to the full band.
std::vector<std::string> ImpactEntries();
