#pragma once
#include "effects/common/BiquadKernel.h"

#include <cstdint>

// Filter-type codes of a BiquadSection.
enum BiquadType : int32_t {
    BiquadPassThrough = 0,
    BiquadPeak = 1,
    BiquadLowPass1 = 2,
    BiquadLowPass2 = 3,
    BiquadHighPass1 = 4,
    BiquadHighPass2 = 5,
    BiquadLowShelf1 = 6,
    BiquadLowShelf2 = 7,
    BiquadHighShelf1 = 8,
    BiquadHighShelf2 = 9,
    BiquadBandPass = 10,
    BiquadNotch = 11,
    BiquadTypeCount = 12,
};

// A self-contained second-order filter that remembers its sample rate,
// frequency, gain, Q and type, redesigns itself when one of them moves, and
// keeps its own state.
//
// The set operations change one value and redesign from the stored others;
// the design operations set several at once.  Frequency and gain changes keep
// the state so a swept control does not click; a new type, a new sample rate
// and reset clear it, because the old state belongs to a different filter.
class BiquadSection {
public:
    BiquadSection() = default;

    void setType(int32_t type);
    void setFrequency(float frequency);
    void setGain(float gainDb);
    void setSampleRate(double sampleRate);
    void reset();

    BiquadCoefs copyCoefficients() const { return coefs_; }

    void designPeak(float frequency, float gainDb, float q);
    void designLowPass(float frequency, bool secondOrder);
    void designHighPass(float frequency, bool secondOrder);
    void designLowShelf(float frequency, float gainDb, bool secondOrder);
    void designHighShelf(float frequency, float gainDb, bool secondOrder);
    void designBandPass(float frequency, float bandwidth);
    void designNotch(float frequency, float q);

    float process(float x) { return ProcessBiquad(coefs_, state_, x); }

    float sampleRate() const { return sampleRate_; }
    float frequency() const { return frequency_; }
    float gainDb() const { return gainDb_; }
    // Q of a peak or notch, the bandwidth in Hz of a band-pass.
    float q() const { return q_; }
    int32_t type() const { return type_; }
    const BiquadState& state() const { return state_; }

private:
    void redesign();

    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr float kDefaultFrequency = 4410.0f;
    static constexpr float kDefaultQ = 3.0f;

    float sampleRate_ = kDefaultSampleRate;
    float frequency_ = kDefaultFrequency;
    float gainDb_ = 0.0f;
    float q_ = kDefaultQ;
    BiquadState state_;
    BiquadCoefs coefs_;
    int32_t type_ = BiquadPassThrough;
};
