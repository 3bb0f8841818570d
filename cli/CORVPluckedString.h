#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One plucked string after Karplus and Strong: a delay line one period long,
// filled with a burst of noise shaped like a pick's attack, circulating
// through a two-point averaging loss filter and a fractional all-pass that
// tunes the loop exactly.  The pick position cuts the harmonics that have a
// node there, which gives a pluck near the bridge its thin bite.
class CORVPluckedString {
public:
    struct Pluck {
        double frequency;   // Hz
        float velocity;     // 0..1: level and brightness of the attack
        float pickPosition; // fraction of the string from the bridge, 0..0.5
        double sustain;     // seconds for the fundamental to fall by 60 dB
        uint32_t seed;      // the noise burst, so a riff sounds the same every time
    };

    CORVPluckedString(double sampleRate, const Pluck& pluck);

    float Next();

    // The fretting hand lifts: the string is damped within a few tens of
    // milliseconds.
    void Release();

private:
    void Excite(const Pluck& pluck);
    float LoopGain(double seconds) const;

    double sampleRate_;
    double frequency_;
    std::vector<float> line_;
    size_t position_ = 0;
    float loopGain_;
    float allPassCoefficient_;
    float previousOutput_ = 0.0f;
    float allPassInput_ = 0.0f;
    float allPassOutput_ = 0.0f;
};
