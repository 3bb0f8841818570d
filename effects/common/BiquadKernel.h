#pragma once
#include <bit>
#include <cstdint>

// The five coefficients of one second-order section,
//   H(z) = g·(1 + b1·z⁻¹ + b2·z⁻²) / (1 + a1·z⁻¹ + a2·z⁻²).
// Keeping the overall gain apart from a monic numerator lets a designer scale
// a section without touching its zeros.  The default is the identity.
struct BiquadCoefs {
    float g = 1.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
};

// The two delay values a section carries from one sample to the next.  Owners
// of plain BiquadCoefs keep one of these beside each record.
struct BiquadState {
    float state1 = 0.0f;
    float state2 = 0.0f;

    void Reset()
    {
        state1 = 0.0f;
        state2 = 0.0f;
    }
};

// Replaces every value whose exponent field is zero -- subnormals and both
// zeros -- by +0.  Testing the bits rather than comparing against FLT_MIN keeps
// the result independent of the FPU's denormals-are-zero mode, and the
// recursive state never sits in slow subnormal arithmetic while a tail decays.
inline float FlushToZero(float v)
{
    constexpr uint32_t kExponentMask = 0x7F800000u;
    return (std::bit_cast<uint32_t>(v) & kExponentMask) == 0 ? 0.0f : v;
}

// One sample through a transposed direct-form II section.  Every product and
// sum is formed in double and only the results are rounded to float, so the
// float state carries no more rounding than one step per update.
inline float ProcessBiquad(const BiquadCoefs& c, BiquadState& s, float x)
{
    const float u = FlushToZero(static_cast<float>(double(c.g) * x));
    const float w = FlushToZero(static_cast<float>(double(u) + s.state1));
    s.state1 = static_cast<float>(double(c.b1) * u - double(c.a1) * w + s.state2);
    s.state2 = static_cast<float>(double(c.b2) * u - double(c.a2) * w);
    return w;
}
