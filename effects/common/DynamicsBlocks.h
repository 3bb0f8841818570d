#pragma once
#include "effects/common/BiquadKernel.h"

#include <algorithm>
#include <cmath>

// The small steps the level-controlled effects (compressor, expander gate,
// noise gate) are built from: how a time knob becomes a per-sample
// coefficient, a one-pole glide, a peak follower and a gain that glides toward
// its target at one speed on the way up and another on the way down.
//
// A time set in milliseconds is the time a glide needs to cover about 89 % of
// a step, i.e. 2.2 time constants.  Every recursive value is flushed to zero
// once it turns subnormal: gains and envelopes decay toward zero in silence.

inline constexpr double kGlideTimeConstants = 2.2;
inline constexpr double kMillisecondsPerSecond = 1000.0;

// An attack of zero would make the first-order coefficient infinite; half a
// millisecond is the fastest attack glide.
inline constexpr float kShortestAttackMs = 0.5f;

// The first-order form of the glide coefficient, 2.2 divided by the time in
// samples.  Close to the exact form for any time longer than a few samples,
// and it costs no exponential.
inline float LinearGlideCoefficient(double sampleRate, float timeMs)
{
    return float(kGlideTimeConstants * kMillisecondsPerSecond / sampleRate / double(timeMs));
}

// The exact form, 1 - exp(-2.2 / samples); a time of zero (or less) gives 1,
// a jump to the target within one sample.
inline float ExponentialGlideCoefficient(double sampleRate, float timeMs)
{
    if (!(timeMs > 0.0f))
        return 1.0f;
    const double samples = sampleRate * double(timeMs) / kMillisecondsPerSecond;
    return float(1.0 - std::exp(-kGlideTimeConstants / samples));
}

// One step of a one-pole smoother toward x.  keep is 1 - coefficient, held by
// the caller so that it is formed once per coefficient change.
inline float Glide(float state, float keep, float coefficient, float x)
{
    return FlushToZero(state * keep + coefficient * x);
}

// One step of a peak detector: the part of x above the envelope is taken up
// with the share rise, and the envelope otherwise decays by the factor decay.
inline float FollowPeak(float envelope, float x, float decay, float rise)
{
    return FlushToZero(envelope * decay + rise * std::max(x - envelope, 0.0f));
}

// A gain gliding toward a target with a rising and a falling coefficient.  The
// coefficient is chosen when the target moves by more than the dead band and
// kept while it holds still, so a steady target finishes its glide at the
// speed of the move that set it.
struct GainGlide {
    float coefficient = 0.0f;
    float keep = 1.0f;
    float gain = 0.0f;
    float rising = 0.0f;
    float falling = 0.0f;
    float previousTarget = 0.0f;

    // New speeds take effect at once, starting with the rising one.
    void SetCoefficients(float rise, float fall)
    {
        rising = rise;
        falling = fall;
        Use(rise);
    }

    void Use(float c)
    {
        coefficient = c;
        keep = 1.0f - c;
    }

    float Step(float target, float deadBand)
    {
        const float move = target - previousTarget;
        if (move > deadBand)
            Use(rising);
        else if (move < -deadBand)
            Use(falling);
        previousTarget = target;
        gain = Glide(gain, keep, coefficient, target);
        return gain;
    }
};
