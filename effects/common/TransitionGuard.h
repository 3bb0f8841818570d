#pragma once
#include "dsp/CORVDSPAlgInterface.h"
#include "effects/common/ChannelStages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

// When a recursive filter's coefficients jump, its old state meets the new
// coefficients: a transient can ring far louder than either setting ever
// plays, and changes that keep coming can pump it up without bound.
//
// For a while after each change the guard runs a second copy of the
// filter's state beside the real one, started from rest: the new setting's
// clean start, which plays what that setting plays and the onset of what it
// hears, nothing more.  The filters are linear, so the real state differs
// from its clean copy only by what the old state brings: the sound built up
// before the change, and the transient.  A filter whose output passes the
// ceiling takes the clean copy's state and is that copy until the next
// change.
//
// The ceiling comes from output known to be sound, not from the loudest the
// setting could play a tone: a boost the signal barely reaches gives no
// licence to a transient ringing in it.  Two peak levels are followed.  One
// is the filter's own output in blocks that start outside a watch: the
// steady sound.  A note that began just before a change may keep building
// up in a boost well above what was heard so far, so that level gets a wide
// margin.  The other is the clean starts' output (the copy's, or the
// filter's while it is one): it already holds the new setting's build-up
// but also the onset of a signal met mid-way, which can reach about twice
// its steady level, so it gets a narrow one.  Neither level ever follows
// output that merely stayed under the ceiling, so a transient cannot raise
// its own limit.
//
// Outside the watch the filter runs alone, so steady settings sound exactly
// as designed.
template <class State>
class TransitionGuard {
public:
    void SetSampleRate(double sampleRate)
    {
        fallPerFrame = 1.0 / (kLevelHoldSeconds * sampleRate);
        watchFrames = int32_t(kWatchSeconds * sampleRate);
    }

    // After a coefficient change: the clean start begins at the next frame.
    void Arm()
    {
        clean = State{};
        onClean = false;
        remaining = watchFrames;
    }

    // On a reset: the state is clear and the levels forgotten.
    void Disarm()
    {
        remaining = 0;
        steadyLevel = 0.0f;
        cleanLevel = 0.0f;
    }

    // A block of a filter whose frames need nothing but its state:
    // perFrame(s, left, right) advances state s by one frame and gives both
    // outputs.  A block that starts outside a watch runs the filter alone,
    // with its peak taken on the side.
    template <class PerFrame>
    void Process(State& state, const float* const* inputs, float* const* outputs, int32_t frameCount,
                 PerFrame perFrame)
    {
        if (remaining > 0) {
            ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
                return Frame(state, [&](State& s) { return perFrame(s, left, right); });
            });
            Heard(outputs, frameCount);
            return;
        }
        // The peak runs on the samples' bit patterns, as the meters' does:
        // integer work beside a filter that keeps the floating-point units
        // busy costs it nothing.
        uint32_t leftPeak = 0;
        uint32_t rightPeak = 0;
        ForEachFrame(inputs, outputs, frameCount, [&](float left, float right) {
            const StereoFrame out = perFrame(state, left, right);
            leftPeak = std::max(leftPeak, Magnitude(out.left));
            rightPeak = std::max(rightPeak, Magnitude(out.right));
            return out;
        });
        Fall(frameCount);
        HearSteady(std::max(leftPeak, rightPeak));
    }

    // One frame, for a loop with work of its own besides the filter:
    // compute(s) advances state s by one frame and gives both outputs.
    // Within the watch the clean copy runs too, until the filter passes the
    // ceiling (or gives a non-number) and takes the copy's state and output.
    template <class Compute>
    StereoFrame Frame(State& state, Compute compute)
    {
        const StereoFrame out = compute(state);
        if (remaining == 0)
            return out;
        --remaining;
        watchedBlock = true;
        if (onClean) {
            Follow(cleanLevel, out);
            return out;
        }
        const StereoFrame reference = compute(clean);
        Follow(cleanLevel, reference);
        if (Breached(out.left) || Breached(out.right)) {
            state = clean;
            onClean = true;
            return reference;
        }
        return out;
    }

    // After each block run with Frame, with what it played.
    void Heard(const float* const* outputs, int32_t frameCount)
    {
        Fall(frameCount);
        if (!watchedBlock) {
            float peaks[2];
            MeasurePeaks(outputs, peaks, frameCount);
            steadyLevel = std::max({steadyLevel, peaks[0], peaks[1]});
        }
        watchedBlock = false;
    }

private:
    static uint32_t Magnitude(float x)
    {
        uint32_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        return bits & 0x7fffffffu;
    }

    // Both levels fall by the time a block took.
    void Fall(int32_t frameCount)
    {
        const float fall = float(std::exp(-double(frameCount) * fallPerFrame));
        steadyLevel *= fall;
        cleanLevel *= fall;
    }

    // A non-number's pattern lies above infinity's; it never raises a level.
    void HearSteady(uint32_t peakBits)
    {
        float peak;
        std::memcpy(&peak, &peakBits, sizeof peak);
        steadyLevel = std::max(steadyLevel, peak);
    }

    // A non-number compares false, so it never raises a level.
    static void Follow(float& level, const StereoFrame& sound)
    {
        level = std::max(std::max(level, std::fabs(sound.left)), std::fabs(sound.right));
    }

    bool Breached(float y) const
    {
        const float ceiling = std::max({kSteadyHeadroom * steadyLevel, kCleanHeadroom * cleanLevel, kQuietestLevel});
        return !(std::fabs(y) <= ceiling);
    }

    // With a clean start's onset at up to about twice its steady level, both
    // margins keep a transient under four times (12 dB above) the louder
    // setting's steady output.
    static constexpr float kSteadyHeadroom = 3.0f;
    static constexpr float kCleanHeadroom = 1.5f;
    // The levels fall by 1/e in this time, slower than the slowest
    // filter's ring, so a legitimate tail stays under the ceiling.
    static constexpr double kLevelHoldSeconds = 0.5;
    // Below -100 dB a filter's own offsets and rounding in near silence
    // never trip the ceiling.
    static constexpr float kQuietestLevel = 1e-5f;
    // Long enough for the slowest filter's transient to die away.
    static constexpr double kWatchSeconds = 0.25;

    double fallPerFrame = 0.0;
    int32_t watchFrames = 0;
    int32_t remaining = 0;
    bool onClean = false;
    bool watchedBlock = false;
    float steadyLevel = 0.0f;
    float cleanLevel = 0.0f;
    State clean{};
};
