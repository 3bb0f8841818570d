// The guitar and the bass phaser share one design; the bass cases cover what
// its crossover adds.
#include "effects/modulation/CORVPhaserBassDSP.h"
#include "effects/modulation/CORVPhaserDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace testing_support;

namespace {

using Ph = CORVPhaserDSP;
using Phb = CORVPhaserBassDSP;

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
        const std::vector<float> response = Play(*phaser, impulse);
        const std::vector<double> expected = AllPassCascade(CoefficientFor(350.0, rate), impulse);
        for (size_t i = 0; i < response.size(); ++i)
            ASSERT_NEAR(response[i], expected[i], 2e-5) << rate << " sample " << i;
    }
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
        return Rms(Play(*phaser, Sine(hz, 44100.0, 44100)), 22050);
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
        const std::vector<float> output = Play(*phaser, std::vector<float>(30000, 0.1f));
        EXPECT_NEAR(output.back(), 0.1 * gain, 1e-4) << resonance;
    }
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
    EXPECT_EQ(Play(*bass, input), Play(*guitar, input));
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
        const std::vector<float> output = Play(phaser, input);
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

TEST(PhaserMix, MixZeroIsExactlyDryOrTheRecombinedBands)
{
    // The guitar phaser passes the input as it is while the sweep runs; the
    // bass one adds its two bands back together.
    const std::vector<float> input = Sine(150.0, 44100.0, 10000);
    auto guitar = Make<Ph>();
    guitar->OnParameterChange(Ph::kMix, 0.0f);
    guitar->OnParameterChange(Ph::kResonance, 1.0f);
    EXPECT_EQ(Play(*guitar, input), input);
    for (float impact : {0.0f, 1.0f / 3.0f, 2.0f / 3.0f}) {
        auto phaser = Make<Phb>();
        phaser->OnParameterChange(Phb::kImpact, impact);
        phaser->OnParameterChange(Phb::kMix, 0.0f);
        const std::vector<float> output = Play(*phaser, input);
        for (size_t i = 0; i < input.size(); ++i)
            ASSERT_NEAR(output[i], input[i], 1e-6f) << impact << " sample " << i;
    }
}

