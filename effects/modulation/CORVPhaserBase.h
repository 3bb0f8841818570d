#pragma once
#include "dsp/CORVParRelations.h"
#include "effects/common/BiquadSection.h"
#include "effects/common/CLfo.h"

#include <array>
#include <vector>

// Where a phaser keeps its controls.  The guitar and bass phasers share one
// design and differ only in this layout: the bass adds "Impact", which moves
// "Sync coeff" and "Tap" up by one.  impact 0 means the variant has none.
struct PhaserLayout {
    int32_t mix;
    int32_t rate;
    int32_t depth;
    int32_t resonance;
    int32_t impact;
    int32_t syncCoeff;
    int32_t tap;
};

// The phaser both variants run: per channel six first-order all-pass stages
// share one LFO-swept coefficient, the chain output is fed back to its input,
// and the result is mixed with the dry signal.  With a crossover above
// kNoSplitCrossover (the bass's "Impact") only the band above it is phased
// and the low band passes untouched.
class CORVPhaserBase : public CORVParRelations {
public:
    void UpdateParameters(bool reinitialise) override;
    void Reset() override;

    // The all-pass coefficient the next sample will use.
    float SweepCoefficient() const { return CoefficientAt(lfo.ArcValue()); }
    float Crossover() const { return crossover; }
    const CLfo& Lfo() const { return lfo; }

    // "Impact" at its last entry: the whole signal is phased.
    static constexpr float kNoSplitCrossover = 20.0f;

protected:
    CORVPhaserBase(double sampleRate, uint32_t maxFrames, const PhaserLayout& layout);

    // The parameter table of the variant, one row per control of the layout.
    std::vector<ParameterSpec> ParameterTable() const;

    void ProcessBlock(const float* const* inputs, float* const* outputs, int32_t frameCount) override;

private:
    static constexpr int kStages = 6;

    // One channel's chain.  The stages all take the coefficient of the
    // current sample, so only their states are kept.
    struct AllPassChain {
        std::array<float, kStages> state{};
        float Run(float u, float c);
    };

    // Input split and output filter of one channel: first-order high-passes
    // at the crossover.
    struct BandSplit {
        BiquadSection input;
        BiquadSection output;
    };

    float CoefficientAt(float arcValue) const;
    // The plain value of a control held inside its range: a preset may carry
    // any number, and depth or resonance beyond the range would make the
    // sweep leave the audio band or the feedback loop unstable.
    float ValueInRange(int32_t index) const;
    void UpdateCrossover();
    void Rebuild();

    template <bool kSplit>
    void Run(const float* const* inputs, float* const* outputs, int32_t frameCount);

    PhaserLayout layout;
    float crossover = kNoSplitCrossover;
    std::array<BandSplit, 2> bands;
    float dryGain = 0.5f;
    float wetGain = 0.5f;
    float sweepRange = 0.0f;
    float feedback = 0.0f;
    float sweepMinimum = 0.0f;
    CLfo lfo;
    std::array<AllPassChain, 2> chains;
    std::array<float, 2> lastOutput{};
};
