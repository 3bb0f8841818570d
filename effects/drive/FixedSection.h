#pragma once
#include "effects/common/BiquadKernel.h"

#include <cstdint>

// One second-order section of a drive pedal's fixed voicing, with its own
// state.  Same transfer function as the shared sections,
//   H(z) = g·(1 + b1·z⁻¹ + b2·z⁻²) / (1 + a1·z⁻¹ + a2·z⁻²),
// but run by ProcessFixedSection, which applies g after the recursion.
struct FixedSection {
    BiquadState state;
    BiquadCoefs coefs;
};

// The kinds of voicing section a table row can ask for.
enum EqSectionType : int32_t {
    kEqPeak = 1,
    kEqLowShelf = 2,        // first order
    kEqHighShelf = 3,       // first order
    kEqSecondLowShelf = 4,  // second order, boost only
};

// One row of a voicing table, integers as the pedal's tables hold them.
struct EqSectionSpec {
    int32_t type;       // an EqSectionType; any other code designs the identity
    int32_t frequency;  // Hz: centre (peak) or corner (shelves)
    int32_t gain;       // tenths of a dB
    int32_t width;      // peak bandwidth in semitones
};

// Designs the coefficients of one section for the given sample rate from a
// table row; the section's state is left alone.
void DesignEqSection(const EqSectionSpec& row, FixedSection& section, double sampleRate);

// One sample through a transposed direct-form II section whose gain comes
// last.  Both the recursion's sum and the output are flushed, so a decaying
// tail falls to exact zero instead of lingering in subnormal arithmetic.
inline float ProcessFixedSection(const BiquadCoefs& c, BiquadState& s, float x)
{
    const float w = FlushToZero(x + s.state1);
    s.state1 = c.b1 * x + s.state2 - c.a1 * w;
    s.state2 = c.b2 * x - c.a2 * w;
    return FlushToZero(c.g * w);
}

inline float ProcessFixedSection(FixedSection& section, float x)
{
    return ProcessFixedSection(section.coefs, section.state, x);
}
