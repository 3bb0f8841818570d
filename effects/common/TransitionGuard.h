#pragma once
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// When a recursive filter's coefficients jump, its old state meets the new
// coefficients: a transient can ring far louder than either setting ever
// plays, and changes that keep coming can pump it up without bound.  The
// guard follows the input's peak level all the time; for a while after each
// change it sets a ceiling at the loudest the new setting can play a tone of
// that level (its largest gain times the level), and a filter whose output
// passes the ceiling starts again from a cleared state.  Outside that while it never acts, so steady
// settings sound exactly as designed.
class TransitionGuard {
public:
    void SetSampleRate(double sampleRate)
    {
        decay = float(std::exp(-1.0 / (kLevelHoldSeconds * sampleRate)));
        watchFrames = int32_t(kWatchSeconds * sampleRate);
    }

    // After a coefficient change; largestGain is the new setting's largest
    // gain over all frequencies.
    void Arm(double largestGain)
    {
        ceilingGain = float(largestGain);
        remaining = watchFrames;
    }

    // On a reset: the state is clear and the level forgotten.
    void Disarm()
    {
        remaining = 0;
        level = 0.0f;
    }

    bool Watching() const { return remaining > 0; }

    // One frame's input, both channels: follows the peak level.
    void Hear(float left, float right)
    {
        level = std::max({std::fabs(left), std::fabs(right), level * decay});
    }

    // Whether an output sample passes the ceiling (or is not a number);
    // only while watching.
    bool Breached(float y) const { return !(std::fabs(y) <= ceilingGain * std::max(level, kQuietestLevel)); }

    // The end of one watched frame.
    void Advance() { --remaining; }

    // One frame under the guard: compute gives both outputs from the
    // filter's state; when they pass the ceiling, clear wipes the state and
    // the frame is computed again from it.
    template <class Compute, class Clear>
    StereoFrame Frame(float left, float right, Compute compute, Clear clear)
    {
        Hear(left, right);
        StereoFrame out = compute();
        if (Watching()) {
            if (Breached(out.left) || Breached(out.right)) {
                clear();
                out = compute();
            }
            Advance();
        }
        return out;
    }

private:
    // The level falls by 1/e in this time, slower than the slowest
    // filter's ring, so a legitimate tail stays under the ceiling.
    static constexpr double kLevelHoldSeconds = 0.5;
    // Below -100 dB the level counts as this: a filter's own offsets and
    // rounding in near silence never trip the ceiling.
    static constexpr float kQuietestLevel = 1e-5f;
    // Long enough for the slowest filter's transient to die away.
    static constexpr double kWatchSeconds = 0.25;

    float decay = 1.0f;
    int32_t watchFrames = 0;
    int32_t remaining = 0;
    float ceilingGain = 0.0f;
    float level = 0.0f;
};
