#pragma once
#include <array>
#include <cstddef>
#include <limits>

// A triode stage as a saturating polynomial: p(v) = c1·v + c2·v² + c3·v³ +
// c4·v⁴ between lo and hi, and the constants p(lo) below and p(hi) above, so
// the curve is continuous and flattens out where the tube cuts off or
// saturates.  The negative limit is the smaller one: that asymmetry is where
// the even harmonics of a tube stage come from.
struct TriodeShaper {
    std::array<float, 4> coefs;  // c1..c4
    float lo;
    float atLo;                  // p(lo), as a float
    float hi;
    float atHi;                  // p(hi), as a float
};

// The first high-gain stage is never driven into its limits, so it has none.
inline constexpr float kNoLimit = std::numeric_limits<float>::infinity();

enum TriodeShaperId : size_t {
    kClean1,
    kClean2,
    kCrunch1,
    kCrunch2,
    kCrunch3,
    kHighGain0,
    kHighGain1,
    kHighGain2,
    kTriodeShaperCount,
};

inline constexpr std::array<TriodeShaper, kTriodeShaperCount> kTriodeShapers{{
    // {v¹, v², v³, v⁴},
    //  lo, p(lo), hi, p(hi)
    // clean 1
    {{0.2819329931f,        0.01403408101f,        -0.003701060478f,        0.0f},
      -3.931192f,           -0.66659313f,          3.5f,                    1.0f},
    // clean 2
    {{0.1555719892f,        0.02230833481f,        -0.00268454653f,         0.0f},
      -2.425192775f,        -0.2077921f,           5.0f,                    1.0f},
    // crunch 1
    {{0.2274823f,           0.0234331f,            -0.0034624f,             0.0f},
      -2.939192752f,        -0.37826452f,          3.75f,                   0.99999911f},
    // crunch 2
    {{0.179489f,            0.0372926f,            -0.0037454f,             0.0f},
      -1.876194887f,        -0.18074624f,          3.75f,                   0.99999958f},
    // crunch 3
    {{0.1964888f,           0.0041427f,            0.0003329f,              0.0007424f},
      -3.92348276f,         -0.5513311f,           3.85f,                   0.99999458f},
    // high-gain 0
    {{0.8689607381820679f,  0.13882417976856232f,  -0.007784927263855934f,  0.0f},
      -kNoLimit,            -kNoLimit,             kNoLimit,                kNoLimit},
    // high-gain 1
    {{0.2506817877292633f,  0.017196299508213997f, -0.0034489999525249004f, 0.0f},
      -3.533191442489624f,  -0.51891482f,          3.75f,                   0.99999893f},
    // high-gain 2
    {{0.1629542f,           0.0031404f,            0.0001475f,              0.0014458f},
      -2.9487593f,          -0.34767684f,          3.8499999046325684f,     0.9999912f},
}};

// The polynomial alone, without the limits.
inline float TriodePolynomial(const TriodeShaper& s, float v)
{
    return (((s.coefs[3] * v + s.coefs[2]) * v + s.coefs[1]) * v + s.coefs[0]) * v;
}

inline float Shape(const TriodeShaper& s, float v)
{
    const float inside = TriodePolynomial(s, v);
    const float belowOrInside = v < s.lo ? s.atLo : inside;
    return v > s.hi ? s.atHi : belowOrInside;
}

inline float Shape(TriodeShaperId id, float v) { return Shape(kTriodeShapers[id], v); }

// The crunch and high-gain chains see exact digital silence as a tiny
// constant instead.  Their recursive sections then settle on that constant's
// steady state rather than decaying towards zero through the subnormal
// range, and the coupling high-passes remove it before the output.
inline constexpr float kSilenceOffset = 1e-8f;

inline float OffsetSilence(float x) { return x == 0.0f ? kSilenceOffset : x; }
