#pragma once
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

// The curves of the guitar power amp, each a continuous piecewise cubic over
// fixed segments of its input.  The segment comes straight from the input by
// a truncating conversion and a shift, never from a search; beyond the first
// and last segment a curve stays at its end value.

// c0·v³ + c1·v² + c2·v + c3 in the absolute input v.
struct CubicSegment {
    float c0;
    float c1;
    float c2;
    float c3;
};

// Evaluated in double: the segments far from zero hold large terms that
// largely cancel.
inline double EvaluateSegment(const CubicSegment& s, double v)
{
    return ((double(s.c0) * v + double(s.c1)) * v + double(s.c2)) * v + double(s.c3);
}

// The phase splitter drives two halves: A falls as the input rises, B rises.
struct SplitterSegment {
    CubicSegment a;
    CubicSegment b;
};

inline constexpr size_t kSplitterSegments = 32;
inline constexpr size_t kTubeSegments = 64;
inline constexpr size_t kTransformerSegments = 16;

using SplitterTable = std::array<SplitterSegment, kSplitterSegments>;
using TubeTable = std::array<CubicSegment, kTubeSegments>;
using TransformerTable = std::array<CubicSegment, kTransformerSegments>;

extern const SplitterTable kPhaseSplitterTable;
extern const TubeTable kEl34Table;
extern const TubeTable k6L6Table;
extern const TransformerTable kOutputTransformerTable;

// The halves where the splitter runs out of table.
inline constexpr float kSplitterBelowA = 141.77133f;
inline constexpr float kSplitterBelowB = -192.22488f;
inline constexpr float kSplitterAboveA = -192.0067f;
inline constexpr float kSplitterAboveB = 141.77165f;

// The transformer saturates symmetrically.
inline constexpr float kTransformerLimit = 1.3f;

// A tube curve with its levels at cut-off and at saturation.
struct TubeCurve {
    const TubeTable* table;
    float below;
    float above;
};

inline constexpr TubeCurve kEl34Curve{&kEl34Table, 8.612871e-07f, 0.8434333f};
inline constexpr TubeCurve k6L6Curve{&k6L6Table, 4.322529e-05f, 0.8954548f};

// Truncation toward zero that stays defined for any input, NaN included:
// the limit lies far outside every table, so it never changes a segment.
inline int32_t TruncateToSegmentScale(float x)
{
    constexpr float kLimit = 1.0e9f;
    return int32_t(std::fmin(std::fmax(x, -kLimit), kLimit));
}

// Segment 16 spans −1/32 .. 1; the others are one unit wide.
inline int32_t SplitterSegmentIndex(float v) { return (TruncateToSegmentScale(32.0f * v) >> 5) + 16; }

// Four units per segment from −56 to 200; truncating first makes the
// segment around zero reach down to −1.
inline int32_t TubeSegmentIndex(float v) { return (TruncateToSegmentScale(v) + 56) >> 2; }

// Segment 8 spans −1/256 .. 1/8; the others are 1/8 wide, over −1 .. 1.
inline int32_t TransformerSegmentIndex(float v) { return (TruncateToSegmentScale(256.0f * v) >> 5) + 8; }

struct SplitHalves {
    float a;
    float b;
};

inline SplitHalves PhaseSplit(float v)
{
    const int32_t k = SplitterSegmentIndex(v);
    if (k < 0)
        return {kSplitterBelowA, kSplitterBelowB};
    if (k >= int32_t(kSplitterSegments))
        return {kSplitterAboveA, kSplitterAboveB};
    const SplitterSegment& segment = kPhaseSplitterTable[size_t(k)];
    return {float(EvaluateSegment(segment.a, v)), float(EvaluateSegment(segment.b, v))};
}

inline double TubeTransfer(const TubeCurve& tube, float v)
{
    const int32_t k = TubeSegmentIndex(v);
    if (k < 0)
        return tube.below;
    if (k >= int32_t(kTubeSegments))
        return tube.above;
    return EvaluateSegment((*tube.table)[size_t(k)], v);
}

inline float OutputTransformer(float v)
{
    const int32_t k = TransformerSegmentIndex(v);
    if (k < 0)
        return -kTransformerLimit;
    if (k >= int32_t(kTransformerSegments))
        return kTransformerLimit;
    return float(EvaluateSegment(kOutputTransformerTable[size_t(k)], v));
}
