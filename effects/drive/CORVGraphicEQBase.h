#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/BiquadKernel.h"
#include "effects/common/TransitionGuard.h"

#include <array>
#include <span>

// One band of a seven-band graphic equaliser as the effect's table lists it:
// the parameter it answers to, the name shown, and where it really sits.
struct GraphicBand {
    int32_t index;
    const char* name;
    float centre; // Hz; the last band's shelf corner
};

// The processing both seven-band graphic equalisers share: six peaking bands
// and a second-order high shelf, then an output gain.  A band at exactly
// 0 dB is switched off and skipped; the gain factors of all sections are
// gathered into one multiply at the end.
class CORVGraphicEQBase : public CORVParRelations {
public:
    static constexpr size_t kBands = 7;
    static constexpr int32_t kOutput = 9;

    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    // Band k's recursion, g = 1 (the gain is in OverallGain), and whether it runs.
    BiquadCoefs BandCoefs(size_t k) const;
    bool BandActive(size_t k) const { return active[k] != 0; }
    float OverallGain() const { return overallGain; }
    const std::array<BiquadState, kBands>& States(int channel) const { return states[size_t(channel)]; }

protected:
    // Publishes the bands (in parameter order, in static storage) and
    // "Output" as parameters, all on the same dB scale.
    CORVGraphicEQBase(double sampleRate, uint32_t maxFrames, std::span<const GraphicBand, kBands> bands);

    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    struct Recursion {
        float b1 = 0.0f;
        float b2 = 0.0f;
        float a1 = 0.0f;
        float a2 = 0.0f;
    };

    // Designs band k for gainDb and returns the gain factor it leaves out.
    double DesignBand(size_t k, float gainDb);
    float ProcessChannel(std::array<BiquadState, kBands>& channel, float x) const;

    std::span<const GraphicBand, kBands> bands;
    std::array<Recursion, kBands> recursions{};
    float overallGain = 1.0f;
    std::array<uint8_t, kBands> active{};
    // The running bands' numbers, so the sample loop never tests a switch.
    std::array<uint8_t, kBands> running{};
    size_t runningCount = 0;
    using BandStates = std::array<std::array<BiquadState, kBands>, 2>;
    BandStates states{};
    TransitionGuard<BandStates> guard;
};
