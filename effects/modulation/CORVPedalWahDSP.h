#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/modulation/WahBandFilter.h"

#include <array>

// "PW - Pedal Wah": the band filter's centre follows the "Pedal" position
// between the "Range" frequency and 2500 Hz.  The position glides toward the
// pedal at a fixed step per sample, so knob jumps and coarse automation sweep
// instead of clicking.
class CORVPedalWahDSP : public CORVParRelations {
public:
    enum ParameterIndex : int32_t {
        kPedal = 2,
        kResonance = 3,
        kRange = 4,
    };

    CORVPedalWahDSP(double sampleRate, uint32_t maxFrames);

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    // Fixed polynomial approximations, accurate to float precision over the
    // angles a wah reaches and far cheaper than the library calls that would
    // otherwise run twice per sample.
    static float PolynomialTan(float x);
    static float PolynomialCos(float x);

    float Position() const { return glide.position; }
    float CentreFrequency() const { return glide.centre; }
    int32_t QCode() const { return qCode; }

protected:
    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    // The pedal position, 0..1, and the centre frequency it puts the filter
    // at, on a logarithmic scale from the "Range" frequency to the top.
    struct Glide {
        float position = 0.0f;
        float centre = 1000.0f;
        float target = 0.0f;
        float logRange = 0.0f;
        float logSpan = 0.0f;
        void Step();
    };

    std::array<WahChannel, 2> channels;
    Glide glide;
    float bandwidthFactor = 0.0f;
    float angleFactor = 0.0f;
    int32_t qCode = kWahDefaultQCode;
};
