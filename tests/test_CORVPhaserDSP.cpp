// The guitar and the bass phaser share one design; the bass cases cover what
// its crossover adds.
#include "effects/modulation/CORVPhaserBassDSP.h"
#include "effects/modulation/CORVPhaserDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

using testing_support::Impulse;
using testing_support::ProcessInBlocks;
using testing_support::Rms;
using testing_support::Sine;

namespace {

using Ph = CORVPhaserDSP;
using Phb = CORVPhaserBassDSP;

// Constructed the way the effect instance does it: a reinitialisation is due
// before the first block.
template <class Phaser>
std::unique_ptr<Phaser> Make(double sampleRate = 44100.0)
{
    auto phaser = std::make_unique<Phaser>(sampleRate, 256);
    phaser->needsReinit = true;
    return phaser;
}

// Both channels of a signal through the effect; the left result.
std::vector<float> Phase(CORVPhaserBase& phaser, const std::vector<float>& input, int32_t blockSize = 512)
{
    std::vector<float> left = input;
    std::vector<float> right = input;
    ProcessInBlocks(phaser, left, right, blockSize);
    EXPECT_EQ(left, right);
    return left;
}

// The guitar or the bass phaser.
std::unique_ptr<CORVPhaserBase> MakeVariant(bool bass, double sampleRate = 44100.0)
{
    if (bass)
        return Make<Phb>(sampleRate);
    return Make<Ph>(sampleRate);
}

// Six stages of (c + z^-1) / (1 + c z^-1), run as the direct-form difference
// equation y[n] = c x[n] + x[n-1] - c y[n-1] in double.
std::vector<double> AllPassCascade(double c, const std::vector<float>& input)
{
    std::vector<double> u(input.begin(), input.end());
    for (int stage = 0; stage < 6; ++stage) {
        double previousIn = 0.0;
        double previousOut = 0.0;
        for (double& sample : u) {
            const double y = c * sample + previousIn - c * previousOut;
            previousIn = sample;
            previousOut = y;
            sample = y;
        }
    }
    return u;
}

// The all-pass coefficient for a sweep position of hz.
double CoefficientFor(double hz, double sampleRate)
{
    const double p = hz / (sampleRate * 0.5);
    return (p - 1.0) / (p + 1.0);
}

// Smallest and largest coefficient over the given number of samples.
std::pair<float, float> CoefficientRange(CORVPhaserBase& phaser, size_t frames)
{
    float lowest = 1.0f;
    float highest = -1.0f;
    std::vector<float> left(1, 0.0f);
    std::vector<float> right(1, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        ProcessInBlocks(phaser, left, right, 1);
        lowest = std::min(lowest, phaser.SweepCoefficient());
        highest = std::max(highest, phaser.SweepCoefficient());
    }
    return {lowest, highest};
}

} // namespace

TEST(PhaserSweep, DepthSpansThe350To4520HzBand)
{
    // At 44100 Hz the bottom is 350/22050 = 1/63, so c = -62/64 exactly;
    // full depth reaches 4520 Hz (c about -0.660), half depth 2435 Hz.
    for (const auto& [depth, topHz] : {std::pair{1.0f, 4520.0}, std::pair{0.5f, 350.0 + 4170.0 * 0.5}}) {
        auto phaser = Make<Ph>();
        phaser->OnParameterChange(Ph::kDepth, depth);
        phaser->GetParameter(Ph::kRate)->SetValue(5.0f);
        const auto [lowest, highest] = CoefficientRange(*phaser, 8820);
        EXPECT_NEAR(lowest, -0.96875f, 1e-4f) << depth;
        EXPECT_NEAR(highest, CoefficientFor(topHz, 44100.0), 1e-3) << depth;
    }
    EXPECT_NEAR(CoefficientFor(4520.0, 44100.0), -0.65977, 1e-5);

    for (double rate : {22050.0, 192000.0}) {
        auto other = Make<Ph>(rate);
        other->OnParameterChange(Ph::kDepth, 1.0f);
        other->GetParameter(Ph::kRate)->SetValue(1.0f);
        const auto [low, high] = CoefficientRange(*other, size_t(rate) + 10);
        EXPECT_NEAR(low, CoefficientFor(350.0, rate), 1e-4) << rate;
        EXPECT_NEAR(high, CoefficientFor(4520.0, rate), 1e-3) << rate;
    }
}

TEST(PhaserSweep, DepthZeroIsAStaticCascadeAtTheBottomOfTheSweep)
{
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        auto phaser = Make<Ph>(rate);
        phaser->OnParameterChange(Ph::kDepth, 0.0f);
        phaser->OnParameterChange(Ph::kResonance, 0.0f);
        phaser->OnParameterChange(Ph::kMix, 1.0f);
        const std::vector<float> impulse = Impulse(4096);
        const std::vector<float> response = Phase(*phaser, impulse);
        const std::vector<double> expected = AllPassCascade(CoefficientFor(350.0, rate), impulse);
        double energy = 0.0;
        for (size_t i = 0; i < response.size(); ++i) {
            ASSERT_NEAR(response[i], expected[i], 2e-5) << rate << " sample " << i;
            energy += double(response[i]) * response[i];
        }
        // An all-pass keeps the energy of the impulse.
        EXPECT_NEAR(energy, 1.0, 1e-3) << rate;
        EXPECT_FLOAT_EQ(phaser->SweepCoefficient(), float(CoefficientFor(350.0, rate))) << rate;
    }
}

TEST(PhaserMix, MixZeroIsExactlyDryWhileTheSweepRuns)
{
    auto phaser = Make<Ph>();
    phaser->OnParameterChange(Ph::kMix, 0.0f);
    phaser->OnParameterChange(Ph::kResonance, 1.0f);
    const std::vector<float> input = Sine(440.0, 44100.0, 20000);
    EXPECT_EQ(Phase(*phaser, input), input);
}

TEST(PhaserMix, HalfMixNotchesWhereTheChainTurnsByOddHalfTurns)
{
    // A stage with coefficient c turns the phase by -2·atan(tan(ω/2)·(1-c)/(1+c)),
    // and (1-c)/(1+c) = 63 at the bottom of the sweep at 44100 Hz.  Six stages
    // reach -540° (a notch against the dry half) where tan(ω/2) = 1/63, and
    // -360° (in phase, full level) where tan(ω/2) = tan(30°)/63.
    const auto levelAt = [](double tangent) {
        auto phaser = Make<Ph>();
        phaser->OnParameterChange(Ph::kDepth, 0.0f);
        phaser->OnParameterChange(Ph::kResonance, 0.0f);
        const double hz = 2.0 * std::atan(tangent) * 44100.0 / (2.0 * M_PI);
        return Rms(Phase(*phaser, Sine(hz, 44100.0, 44100)), 22050);
    };
    const double inPhase = levelAt(std::tan(M_PI / 6.0) / 63.0);
    EXPECT_NEAR(inPhase, 0.5 / std::sqrt(2.0), 1e-3);
    EXPECT_LT(levelAt(1.0 / 63.0), 0.005 * inPhase);
}

TEST(PhaserFeedback, ResonanceSetsTheLoopGain)
{
    // The all-pass stages pass DC unchanged, so a DC input settles at
    // x / (1 - feedback): 4x at Resonance 100 (0.75), 1.6x at 50 (0.375).
    for (const auto& [resonance, gain] : {std::pair{1.0f, 4.0}, std::pair{0.5f, 1.6}, std::pair{0.0f, 1.0}}) {
        auto phaser = Make<Ph>();
        phaser->OnParameterChange(Ph::kDepth, 0.0f);
        phaser->OnParameterChange(Ph::kMix, 1.0f);
        phaser->OnParameterChange(Ph::kResonance, resonance);
        const std::vector<float> output = Phase(*phaser, std::vector<float>(30000, 0.1f));
        EXPECT_NEAR(output.back(), 0.1 * gain, 1e-4) << resonance;
    }
}

TEST(PhaserRate, FreeRateSyncAndTap)
{
    auto phaser = Make<Ph>();
    Phase(*phaser, std::vector<float>(16, 0.0f));
    EXPECT_EQ(phaser->Lfo().Frequency(), 0.5f);
    EXPECT_EQ(phaser->Lfo().GetShape(), 0);

    phaser->tempo = 120.0;
    phaser->OnParameterChange(Ph::kSyncCoeff, 3.0f / 8.0f); // "1/4": 120 BPM is 2 Hz
    Phase(*phaser, std::vector<float>(16, 0.0f));
    EXPECT_EQ(phaser->Lfo().Frequency(), 2.0f);
    phaser->OnParameterChange(Ph::kSyncCoeff, 1.0f); // "1/16 T"
    Phase(*phaser, std::vector<float>(16, 0.0f));
    EXPECT_EQ(phaser->Lfo().Frequency(), 12.0f);

    phaser->OnParameterChange(Ph::kSyncCoeff, 0.0f);
    testing_support::TapInterval(*phaser, Ph::kTap, 250);
    EXPECT_FALSE(phaser->bypassed);
    EXPECT_EQ(phaser->Value(Ph::kRate), 4.0f);
    Phase(*phaser, std::vector<float>(16, 0.0f));
    EXPECT_EQ(phaser->Lfo().Frequency(), 4.0f);
}

TEST(PhaserRate, StopPhaseFreezesTheSweep)
{
    auto phaser = Make<Phb>();
    phaser->GetParameter(Phb::kRate)->SetValue(1.0f);
    Phase(*phaser, std::vector<float>(5000, 0.0f));
    const float arc = phaser->Lfo().ArcValue();
    ASSERT_NE(arc, 0.0f);
    phaser->ApplyPreset("Stop Phase");
    Phase(*phaser, std::vector<float>(16, 0.0f));
    const float frozen = phaser->SweepCoefficient();
    const std::vector<float> output = Phase(*phaser, Sine(1000.0, 44100.0, 20000));
    EXPECT_EQ(phaser->Lfo().ArcValue(), arc);
    EXPECT_EQ(phaser->SweepCoefficient(), frozen);
    EXPECT_GT(Rms(output), 0.05);
}

TEST(PhaserBass, CrossoverFollowsImpact)
{
    auto phaser = Make<Phb>();
    const float expected[] = {400.0f, 160.0f, 100.0f, 20.0f};
    for (int entry = 0; entry < 4; ++entry) {
        phaser->OnParameterChange(Phb::kImpact, float(entry) / 3.0f);
        Phase(*phaser, std::vector<float>(16, 0.0f));
        EXPECT_EQ(phaser->Crossover(), expected[entry]) << entry;
    }
    EXPECT_EQ(Make<Ph>()->Crossover(), CORVPhaserBase::kNoSplitCrossover);
}

TEST(PhaserBass, FullImpactBehavesAsTheGuitarPhaser)
{
    auto bass = Make<Phb>();
    auto guitar = Make<Ph>();
    bass->OnParameterChange(Phb::kImpact, 1.0f);
    for (CORVPhaserBase* phaser : std::array<CORVPhaserBase*, 2>{bass.get(), guitar.get()}) {
        phaser->GetParameter(Ph::kMix)->SetValue(70.0f);
        phaser->GetParameter(Ph::kRate)->SetValue(1.7f);
        phaser->GetParameter(Ph::kDepth)->SetValue(90.0f);
        phaser->GetParameter(Ph::kResonance)->SetValue(80.0f);
    }
    const std::vector<float> input = Sine(110.0, 44100.0, 30000);
    EXPECT_EQ(Phase(*bass, input), Phase(*guitar, input));
}

TEST(PhaserBass, LowBandPassesUnphased)
{
    // 60 Hz, fully wet, static cascade: six stages turn it by about 180° on
    // the guitar, while the bass keeps it below a 400 Hz crossover.
    const std::vector<float> input = Sine(60.0, 44100.0, 44100);
    const auto error = [&](CORVPhaserBase& phaser) {
        phaser.OnParameterChange(Ph::kDepth, 0.0f);
        phaser.OnParameterChange(Ph::kResonance, 0.0f);
        phaser.OnParameterChange(Ph::kMix, 1.0f);
        const std::vector<float> output = Phase(phaser, input);
        std::vector<float> difference(output.size());
        for (size_t i = 0; i < output.size(); ++i)
            difference[i] = output[i] - input[i];
        return Rms(difference, 22050) / Rms(input, 22050);
    };
    auto bass = Make<Phb>();
    bass->OnParameterChange(Phb::kImpact, 0.0f);
    EXPECT_LT(error(*bass), 0.25);
    EXPECT_GT(error(*Make<Ph>()), 1.5);
}

TEST(PhaserBass, MixZeroRecombinesTheBands)
{
    for (float impact : {0.0f, 1.0f / 3.0f, 2.0f / 3.0f}) {
        auto phaser = Make<Phb>();
        phaser->OnParameterChange(Phb::kImpact, impact);
        phaser->OnParameterChange(Phb::kMix, 0.0f);
        const std::vector<float> input = Sine(150.0, 44100.0, 10000);
        const std::vector<float> output = Phase(*phaser, input);
        for (size_t i = 0; i < input.size(); ++i)
            ASSERT_NEAR(output[i], input[i], 1e-6f) << impact << " sample " << i;
    }
}

TEST(PhaserFrame, SilenceLeavesNoSubnormalTail)
{
    for (bool bass : {false, true}) {
        auto phaser = MakeVariant(bass);
        phaser->OnParameterChange(Ph::kResonance, 1.0f);
        if (bass)
            phaser->OnParameterChange(Phb::kImpact, 0.0f);
        std::vector<float> signal = Impulse(400000);
        const std::vector<float> output = Phase(*phaser, signal, 4096);
        for (size_t i = 0; i < output.size(); ++i)
            ASSERT_FALSE(testing_support::IsSubnormal(output[i])) << bass << " sample " << i;
        EXPECT_EQ(output.back(), 0.0f) << bass;
    }
}

