#include "effects/modulation/CORVExpanderGateDSP.h"

#include "tests/DynamicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dynamics_testing;
using Eg = CORVExpanderGateDSP;

namespace {

// A square wave of constant magnitude: the detector sees a steady level.
std::vector<float> Square(float amplitude, size_t frames, size_t period = 100)
{
    std::vector<float> signal(frames);
    for (size_t i = 0; i < frames; ++i)
        signal[i] = (i % period) < period / 2 ? amplitude : -amplitude;
    return signal;
}

std::unique_ptr<Eg> MakeExpander(float thresholdDb, float ratio, float attackMs, float releaseMs,
                                 double rate = 44100.0)
{
    auto expander = Make<Eg>(rate);
    Set(*expander, Eg::kThresholdLevel, thresholdDb);
    Set(*expander, Eg::kRatio, ratio);
    Set(*expander, Eg::kAttackTime, attackMs);
    Set(*expander, Eg::kReleaseTime, releaseMs);
    return expander;
}

// The detector takes up 0.4 of a rise and loses 0.01 per sample, so on a
// steady magnitude it settles at 0.4 / 0.41 of it.
constexpr double kSettledShare = 0.4 / 0.41;

} // namespace

TEST(ExpanderGateTables, IdentityParametersAndPresets)
{
    auto expander = Make<Eg>();
    EXPECT_EQ(expander->longName, "EG - Expander Gate");
    EXPECT_EQ(expander->shortName, "EG");
    EXPECT_EQ(CodeBytes(*expander), "1uge");
    EXPECT_EQ(Texts(*expander), (std::vector<std::string>{"Treshold Level: 0.0 dB", "Attack Time: 20.0 ms",
                                                          "Release Time: 200.0 ms", "Ratio: 0.0 "}));
    EXPECT_EQ(expander->GetParameter(Eg::kThresholdLevel)->minValue, -60.0f);
    EXPECT_EQ(expander->GetParameter(Eg::kReleaseTime)->maxValue, 4000.0f);
    EXPECT_EQ(expander->GetParameter(Eg::kRatio)->maxValue, 50.0f);
    ExpectPresets(*expander, {{"Default", {0, 20, 200, 0}}, {"Half 2:1", {-6, 5, 400, 25}}});
}

TEST(ExpanderGateCurve, RatioZeroOnlyOpensFromTheClosedStart)
{
    auto expander = Make<Eg>();
    Set(*expander, Eg::kThresholdLevel, -20.0f);
    const std::vector<float> gains = GainCurve(*expander, Square(FromDb(-50.0), 22050));
    EXPECT_EQ(gains[0], 0.0f);
    EXPECT_LT(gains[100], 0.5f);
    // A slow glide in single precision stops within a few ulp / c of its goal.
    EXPECT_NEAR(gains.back(), 1.0f, 2e-5);
    EXPECT_EQ(expander->GateActive(), 0);
}

TEST(ExpanderGateCurve, StaticCurveBelowTheThreshold)
{
    // Ratio 25 is 1:2, the gain is envelope / threshold; ratio 40 leaves
    // r = 0.2 and the gain is (envelope / threshold) ^ 4.
    const struct {
        float ratio;
        double levelDb;
        double power;
    } cases[] = {{25, -26, 1}, {25, -32, 1}, {25, -40, 1}, {40, -26, 4}, {40, -23, 4}};
    for (const auto& c : cases) {
        auto expander = MakeExpander(-20.0f, c.ratio, 1.0f, 1.0f);
        const float level = FromDb(c.levelDb);
        const float gain = GainCurve(*expander, Square(level, 11025)).back();
        const double expected = std::pow(kSettledShare * level / FromDb(-20.0), c.power);
        EXPECT_NEAR(gain / expected, 1.0, 1e-4) << c.ratio << " " << c.levelDb;
        EXPECT_EQ(expander->GateActive(), 1);
    }
    for (double levelDb : {-19.5, -10.0, 0.0}) {
        auto expander = MakeExpander(-20.0f, 25.0f, 1.0f, 1.0f);
        EXPECT_NEAR(GainCurve(*expander, Square(FromDb(levelDb), 11025)).back(), 1.0f, 1e-6) << levelDb;
    }
}

TEST(ExpanderGateCurve, TopRatioIsAHardGate)
{
    auto expander = MakeExpander(-20.0f, 50.0f, 1.0f, 1.0f);
    // Only the start value of the target leaks through, far below audibility.
    const std::vector<float> quiet = GainCurve(*expander, Square(FromDb(-26.0), 22050));
    EXPECT_LT(testing_support::Peak(quiet), 1e-7f);
    EXPECT_EQ(quiet.back(), 0.0f);
    EXPECT_EQ(expander->GateActive(), 1);
    EXPECT_NEAR(GainCurve(*expander, Square(FromDb(-14.0), 22050)).back(), 1.0f, 1e-6);
    EXPECT_EQ(expander->GateActive(), 0);
}

TEST(ExpanderGateCurve, BottomThresholdSwitchesTheGateOff)
{
    auto off = MakeExpander(-60.0f, 50.0f, 1.0f, 1.0f);
    EXPECT_NEAR(GainCurve(*off, Square(FromDb(-70.0), 22050)).back(), 1.0f, 1e-6);
    auto on = MakeExpander(-59.5f, 50.0f, 1.0f, 1.0f);
    EXPECT_EQ(GainCurve(*on, Square(FromDb(-70.0), 22050)).back(), 0.0f);
}

TEST(ExpanderGateCurve, DetectorFollowsTheChannelWithMoreEnergy)
{
    // One channel a steady square under the threshold, the other short loud
    // bursts with a larger peak but less energy: the gate hears the square.
    const size_t frames = 44100;
    const std::vector<float> steady = Square(0.3f, frames);
    std::vector<float> bursts(frames, 0.0f);
    for (size_t i = 1000; i < frames; i += 2000)
        std::fill(bursts.begin() + long(i), bursts.begin() + long(i + 10), 0.9f);

    for (bool steadyLeft : {true, false}) {
        auto expander = MakeExpander(-6.0f, 50.0f, 1.0f, 1.0f);
        std::vector<float> left = steadyLeft ? steady : bursts;
        std::vector<float> right = steadyLeft ? bursts : steady;
        testing_support::ProcessInBlocks(*expander, left, right, 512);
        EXPECT_LT(testing_support::Peak(steadyLeft ? left : right, 4410), 1e-6f) << steadyLeft;
    }

    // A louder square on the right opens the gate for the quiet left.
    auto expander = MakeExpander(-6.0f, 50.0f, 1.0f, 1.0f);
    std::vector<float> left = steady;
    std::vector<float> right = Square(0.6f, frames);
    testing_support::ProcessInBlocks(*expander, left, right, 512);
    EXPECT_NEAR(left.back(), steady.back(), 1e-6f);
}

TEST(ExpanderGateTiming, AttackZeroJumpsToTheTarget)
{
    auto expander = MakeExpander(0.0f, 0.0f, 0.0f, 200.0f);
    const std::vector<float> jump = GainCurve(*expander, Square(0.1f, 100));
    // The output takes the gain of the sample before, which glides toward the
    // target of the sample before that.
    EXPECT_EQ(jump[0], 0.0f);
    EXPECT_FLOAT_EQ(jump[1], 1e-6f);
    EXPECT_EQ(jump[2], 1.0f);
    EXPECT_EQ(jump.back(), 1.0f);

    auto slower = MakeExpander(0.0f, 0.0f, 1.0f, 200.0f);
    EXPECT_LT(GainCurve(*slower, Square(0.1f, 100))[2], 0.1f);
}

TEST(ExpanderGateTiming, GateOpensWithTheAttackTime)
{
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        auto expander = MakeExpander(-20.0f, 50.0f, 20.0f, 200.0f, rate);
        const size_t quiet = size_t(rate / 5);
        std::vector<float> input = Square(FromDb(-40.0), quiet);
        const std::vector<float> loud = Square(FromDb(-6.0), size_t(rate / 5));
        input.insert(input.end(), loud.begin(), loud.end());
        const std::vector<float> gains = GainCurve(*expander, input);
        // 1 - e^-2.2 of the way up after the attack time, counted from the
        // sample after the first loud one.
        const size_t reached = FirstWhere(gains, quiet, [](float g) { return g >= 1.0f - std::exp(-2.2f); });
        EXPECT_NEAR(double(reached - quiet - 1), rate * 0.02, 2.0) << rate;
    }
}

TEST(ExpanderGateTiming, FallingTargetGlidesWithTheReleaseTime)
{
    // A tone fading by 20 dB per second under a 1:2 expander: the target
    // falls by q per sample, and a release glide c trails it by the factor
    // c q / (q - 1 + c) compared with an instant one.
    const double rate = 44100.0;
    const size_t frames = size_t(rate);
    std::vector<float> input = Square(1.0f, frames);
    for (size_t i = 0; i < frames; ++i)
        input[i] *= FromDb(-25.0 - 20.0 * double(i) / rate);
    auto instant = MakeExpander(-20.0f, 25.0f, 0.0f, 0.0f);
    auto gliding = MakeExpander(-20.0f, 25.0f, 0.0f, 200.0f);
    const double lag = GainCurve(*gliding, input).back() / GainCurve(*instant, input).back();
    const double q = std::pow(10.0, -1.0 / rate);
    const double c = 1.0 - std::exp(-2.2 / (0.2 * rate));
    EXPECT_NEAR(lag, c * q / (q - 1.0 + c), 2e-3);
}

TEST(ExpanderGateFrame, BypassClearsTheGateLamp)
{
    auto expander = MakeExpander(-20.0f, 50.0f, 1.0f, 1.0f);
    GainCurve(*expander, Square(FromDb(-40.0), 4410));
    EXPECT_EQ(expander->GateActive(), 1);
    expander->OnParameterChange(1, 1.0f);
    const std::vector<float> input = Square(FromDb(-40.0), 512);
    EXPECT_EQ(GainCurve(*expander, input), std::vector<float>(512, 1.0f));
    EXPECT_EQ(expander->GateActive(), 0);
}
