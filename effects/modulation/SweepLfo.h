#pragma once
#include <cstdint>

// How fast a delay sweep runs: the ramp step per sample and the gain that
// turns the ramp into its arc.  One speed drives every channel of an effect.
struct SweepSpeed {
    float increment = 0.0f;
    float arcGain = 0.0f;
};

// The speed of a sweep at rateHz, or, with "Sync coeff" on, at the host
// tempo's division of it.  One period is one full ramp cycle.
SweepSpeed SweepSpeedAt(float rateHz, float syncCoeff, double hostTempo, double sampleRate);

// The triangle ramp and parabolic arc of CLfo, reduced to what a modulated
// delay needs and small enough to live in registers inside its loop.  Unlike
// CLfo it remembers which way the ramp is heading, so a new speed takes the
// sign of the current direction and a rate change never turns a sweep round;
// and each channel can start at its own phase.
class SweepLfo {
public:
    SweepLfo(float ramp, int16_t direction) : ramp_(ramp), direction_(direction) {}

    // Takes a new speed over in the current direction.
    void SetSpeed(const SweepSpeed& speed) { signedIncrement_ = float(direction_) * speed.increment; }

    // One sample step.  At either end the arc has come back to zero; pinning
    // it there keeps rounding from accumulating over a long session.
    void Step(const SweepSpeed& speed)
    {
        const float next = ramp_ + signedIncrement_;
        arcValue_ += speed.arcGain * next;
        ramp_ = next;
        if (ramp_ >= 1.0f) {
            ramp_ = 1.0f;
            arcValue_ = 0.0f;
            signedIncrement_ = -speed.increment;
            direction_ = -1;
        }
        if (ramp_ <= -1.0f) {
            ramp_ = -1.0f;
            arcValue_ = 0.0f;
            signedIncrement_ = speed.increment;
            direction_ = 1;
        }
    }

    // The sine-like wave: a hump up to about +1 while the ramp falls, a dip
    // to about -1 while it rises.
    float ArcValue() const { return arcValue_; }
    // The triangle, -1..+1.
    float Ramp() const { return ramp_; }
    int16_t Direction() const { return direction_; }
    float SignedIncrement() const { return signedIncrement_; }

private:
    float signedIncrement_ = 0.0f;
    float arcValue_ = 0.0f;
    float ramp_;
    int16_t direction_;
};
