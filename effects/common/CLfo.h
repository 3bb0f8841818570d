#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// How fast a sweep runs: the ramp step per sample and the gain that turns the
// ramp into its arc.  One speed can drive every channel of an effect.
struct SweepSpeed {
    float increment = 0.0f;
    float arcGain = 0.0f;
};

// The speed of a sweep at rateHz, or, with "Sync coeff" on, at the host
// tempo's division of it.  One period is one full ramp cycle.
SweepSpeed SweepSpeedAt(float rateHz, float syncCoeff, double hostTempo, double sampleRate);

// The low-frequency oscillator of the modulation effects.  Its core is a
// triangle ramp between -1 and +1; integrating the ramp gives the "arc", a
// parabolic, sine-like wave of the same period (a dip to about -1 while the
// ramp rises, a hump to about +1 while it falls), from which the rounded
// shapes are derived without any transcendental function per sample.
//
// The object is small and trivially copyable, so a processing loop can run
// on a local copy that the compiler keeps in registers.
//
// The tremolo, the auto pan and the phasers set a frequency and a shape and
// read Value().  The modulated delays and the auto wah drive it by a
// SweepSpeed instead and read the arc or the ramp directly; for them it
// remembers which way the ramp is heading, so a new speed takes the sign of
// the current direction and a rate change never turns a sweep round, and
// each channel can start at its own phase.
class CLfo {
public:
    // The "Wave shape" entries, in list order.
    enum Shape : int32_t {
        Triangular = 0,
        Logarithmic = 1,
        Rectangular = 2,
        Exponential = 3,
        Sinusoidal = 4,
    };

    CLfo() = default;
    // Starts at startRamp heading up (+1) or down (-1); a stereo sweep starts
    // its channels apart this way.
    CLfo(float startRamp, int16_t startDirection);

    // Ignored unless positive and new; a new rate restarts the phase.
    void SetSampleRate(float hz);
    // Ignored outside 0 <= hz < sample rate / 2, and when unchanged.
    void SetFrequencyHz(float hz);
    void SetFrequencyBpm(float beatsPerMinute);
    void SetShape(int32_t newShape);

    // Restarts at the top of the ramp heading down with a full unit step, so
    // the ramp passes 0 on the next sample and sits at -1 on the one after,
    // from where it rises at the normal speed: a fixed, known start phase.
    void Reset();

    // The current output for the stored shape.
    float Value() const
    {
        switch (shape) {
        case Logarithmic:
            return 2.0f * std::fabs(arcValue) - 1.0f;
        case Rectangular:
            return std::clamp(kRectangularSteepness * arcValue, -1.0f, 1.0f);
        case Exponential:
            return 1.0f - 2.0f * std::fabs(arcValue);
        case Sinusoidal:
            return arcValue;
        default:
            return ramp;
        }
    }

    // Takes a new speed over in the current direction.
    void SetSpeed(const SweepSpeed& speed);

    // One sample step at the oscillator's own speed.
    void Advance() { Step({increment, arcGain}); }

    // One sample step at speed, the one last handed to SetSpeed.  Passing it
    // in lets the oscillators that one speed drives share it in registers
    // inside a loop instead of each carrying its own copy.
    void Step(const SweepSpeed& speed)
    {
        const float next = ramp + signedIncrement;
        arcValue += speed.arcGain * next;
        ramp = next;
        // At either end the arc has come back to zero; pinning it there keeps
        // rounding errors from accumulating over the hours a session runs.
        if (ramp >= 1.0f) {
            ramp = 1.0f;
            arcValue = 0.0f;
            signedIncrement = -speed.increment;
            direction = -1;
        }
        if (ramp <= -1.0f) {
            ramp = -1.0f;
            arcValue = 0.0f;
            signedIncrement = speed.increment;
            direction = 1;
        }
    }

    int32_t GetShape() const { return shape; }
    float Frequency() const { return frequency; }
    float SampleRate() const { return sampleRate; }
    float ArcValue() const { return arcValue; }
    float Ramp() const { return ramp; }
    float Increment() const { return increment; }
    float SignedIncrement() const { return signedIncrement; }
    float ArcGain() const { return arcGain; }
    // +1 while the ramp rises, -1 while it falls.
    int16_t Direction() const { return direction; }

private:
    // Scales the arc so that the clipped wave is at full scale for all but
    // the short stretches around the arc's zero crossings.
    static constexpr float kRectangularSteepness = 7.0f;

    void RecomputeIncrement();

    int32_t shape = Triangular;
    float frequency = 441.0f;
    float sampleRate = 44100.0f;
    float arcValue = 0.0f;
    float ramp = 1.0f;
    float increment = 0.04f;
    float signedIncrement = -0.04f;
    float arcGain = 0.08f;
    int16_t direction = -1;
};

// The entry texts of a "Wave shape" list parameter, in CLfo::Shape order.
std::vector<std::string> WaveShapeEntries();
