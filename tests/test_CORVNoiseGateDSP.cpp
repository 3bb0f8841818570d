#include "effects/modulation/CORVNoiseGateDSP.h"

#include "tests/DynamicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dynamics_testing;
using Ng = CORVNoiseGateDSP;

namespace {

std::unique_ptr<Ng> MakeGate(float thresholdDb, float attackMs, float releaseMs, double rate = 44100.0)
{
    auto gate = Make<Ng>(rate);
    Set(*gate, Ng::kThresholdLevel, thresholdDb);
    Set(*gate, Ng::kAttack, attackMs);
    Set(*gate, Ng::kRelease, releaseMs);
    return gate;
}

// Samples until a one-pole follower from `from` toward `to` passes `level`,
// counting the first step as 1.  The gate keeps 1 - c in single precision,
// which matters for the slow glides at high rates.
double StepsToPass(double from, double to, double level, double coefficient)
{
    const double keep = double(1.0f - float(coefficient));
    return std::ceil(std::log((level - to) / (from - to)) / std::log(keep));
}

void Feed(CORVDSPAlgInterface& effect, const std::vector<float>& input, int32_t blockSize = 512)
{
    std::vector<float> left = input;
    std::vector<float> right = input;
    testing_support::ProcessInBlocks(effect, left, right, blockSize);
}

} // namespace

TEST(NoiseGateTables, IdentityParametersAndPresets)
{
    auto gate = Make<Ng>();
    EXPECT_EQ(gate->longName, "NG - Noise Gate");
    EXPECT_EQ(gate->shortName, "NG");
    EXPECT_EQ(CodeBytes(*gate), "1ugn");
    EXPECT_EQ(Texts(*gate), (std::vector<std::string>{"Threshold Level: -50.0 dB", "Attack: 5.0 ms",
                                                      "Release: 185.0 ms", "Learn:  Measuring finished"}));
    EXPECT_EQ(gate->GetParameter(Ng::kLearn)->GetText(false, false, 1.0f), "Measuring input level");
    EXPECT_EQ(gate->GetParameter(Ng::kThresholdLevel)->minValue, -100.0f);
    EXPECT_EQ(gate->GetParameter(Ng::kRelease)->minValue, 1.0f);
    EXPECT_EQ(gate->GetParameter(Ng::kRelease)->maxValue, 2000.0f);
    ExpectPresets(*gate, {
        {"Default", {-50, 5, 185, 0}},     {"Very Fast", {-50, 5, 61, 0}}, {"Fast", {-50, 5, 185, 0}},
        {"Standard", {-50, 50, 1000, 0}}, {"Slow", {-36, 120, 1630, 0}}, {"Very Slow", {-62, 170, 1880, 0}},
    });
}

TEST(NoiseGateThreshold, OpensAtThePeakPowerOfTheThreshold)
{
    auto open = MakeGate(-30.0f, 5.0f, 185.0f);
    // The glide in single precision stops within a few ulp / c of 1.
    EXPECT_NEAR(GainCurve(*open, Steps({{8820, FromDb(-29.5)}})).back(), 1.0f, 1e-5);
    EXPECT_FALSE(open->Closed());

    auto shut = MakeGate(-30.0f, 5.0f, 185.0f);
    EXPECT_NEAR(GainCurve(*shut, Steps({{8820, FromDb(-30.5)}})).back(), 1e-7f, 1e-9f);
    EXPECT_TRUE(shut->Closed());
}

TEST(NoiseGateThreshold, BottomThresholdOpensOnSilence)
{
    // -100 dB is a power of 1e-10, under the detector's floor of 1e-7.
    auto gate = MakeGate(-100.0f, 5.0f, 185.0f);
    std::vector<float> left(1, 0.0f);
    std::vector<float> right(1, 0.0f);
    testing_support::ProcessInBlocks(*gate, left, right, 1);
    EXPECT_FALSE(gate->Closed());
    Feed(*gate, std::vector<float>(44100, 0.0f));
    EXPECT_NEAR(gate->Gain(), 1.0f, 1e-5);

    auto standard = Make<Ng>();
    Feed(*standard, std::vector<float>(44100, 0.0f));
    EXPECT_TRUE(standard->Closed());
}

TEST(NoiseGateThreshold, DetectorTakesTheSignedLargerSample)
{
    // A large negative left against a small positive right: the power is
    // that of the right sample, under the -30 dB threshold.
    for (const auto& [right, opens] : {std::pair{0.01f, false}, std::pair{0.05f, true}}) {
        auto gate = MakeGate(-30.0f, 5.0f, 185.0f);
        std::vector<float> l(8820, -0.5f);
        std::vector<float> r(8820, right);
        testing_support::ProcessInBlocks(*gate, l, r, 512);
        EXPECT_EQ(gate->Closed(), !opens) << right;
        EXPECT_NEAR(l.back(), opens ? -0.5f : -0.5e-7f, 1e-5f) << right;
    }
}

TEST(NoiseGateTiming, AttackZeroBehavesAsHalfAMillisecond)
{
    const std::vector<float> input = Steps({{2000, 0.001f}, {2000, 0.3f}, {6000, 0.0f}});
    auto zero = MakeGate(-30.0f, 0.0f, 50.0f);
    auto half = MakeGate(-30.0f, 0.5f, 50.0f);
    auto one = MakeGate(-30.0f, 1.0f, 50.0f);
    const std::vector<float> reference = GainCurve(*half, input);
    EXPECT_EQ(GainCurve(*zero, input), reference);
    EXPECT_NE(GainCurve(*one, input), reference);
}

TEST(NoiseGateTiming, OpensWithTheAttackAndClosesWithTheRelease)
{
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        const size_t quiet = size_t(rate / 2);
        const size_t loud = size_t(rate / 2);
        const float low = FromDb(-60.0);
        const float high = FromDb(-20.0);
        auto gate = MakeGate(-50.0f, 5.0f, 185.0f, rate);
        const std::vector<float> gains = GainCurve(*gate, Steps({{quiet, low}, {loud, high}, {size_t(rate), low}}));

        // Both the power follower and the opening glide run at the attack speed.
        const double b = 2200.0 / rate / 5.0;
        const double threshold = double(FromDb(-50.0)) * double(FromDb(-50.0));
        const double p0 = double(low) * double(low);
        const double p1 = double(high) * double(high);
        const double opening = StepsToPass(p0, p1, threshold, b) + StepsToPass(0.0, 1.0, 0.9, b) - 1.0;
        const size_t opened = FirstWhere(gains, quiet, [](float g) { return g >= 0.9f; });
        EXPECT_NEAR(double(opened - quiet + 1), opening, 2.0) << rate;

        // The follower falls below the threshold, then the release glide.
        const double cr = 2200.0 / rate / 185.0;
        const double closing = StepsToPass(p1, p0, threshold, b) + StepsToPass(1.0, 0.0, 0.1, cr) - 1.0;
        const size_t closed = FirstWhere(gains, quiet + loud, [](float g) { return g <= 0.1f; });
        EXPECT_NEAR(double(closed - quiet - loud + 1), closing, 2.0) << rate;
        EXPECT_TRUE(gate->Closed());
    }
}

TEST(NoiseGateLearn, SilenceLearnsTheDetectorFloor)
{
    auto gate = Make<Ng>();
    gate->OnParameterChange(Ng::kLearn, 1.0f);
    Feed(*gate, std::vector<float>(50000, 0.0f));
    // 20 x log10(sqrt(1e-7)).
    EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), -70.0f, 1e-3f);
    EXPECT_EQ(gate->Value(Ng::kLearn), 0.0f);
    EXPECT_EQ(gate->GetParameter(Ng::kLearn)->GetText(true, true), "Learn:  Measuring finished");
    EXPECT_FALSE(gate->Measuring());
}

TEST(NoiseGateLearn, PeakOfAToneBecomesTheThreshold)
{
    auto gate = Make<Ng>();
    gate->OnParameterChange(Ng::kLearn, 1.0f);
    // 441 Hz at 44.1 kHz puts a sample on every crest of both signs.
    Feed(*gate, testing_support::Sine(441.0, 44100.0, 44101, 0.25f));
    EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), Db(0.25), 1e-4);
    EXPECT_TRUE(gate->parametersChanged); // the next block takes the new threshold

    // A second run starts afresh.
    gate->OnParameterChange(Ng::kLearn, 1.0f);
    Feed(*gate, testing_support::Sine(441.0, 44100.0, 44101, 0.1f));
    EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), Db(0.1), 1e-4);
}

TEST(NoiseGateLearn, LastsOneSecondOfSamplesAtTheCurrentRate)
{
    for (double rate : {22050.0, 48000.0, 192000.0}) {
        auto gate = Make<Ng>(rate);
        gate->OnParameterChange(Ng::kLearn, 1.0f);
        Feed(*gate, std::vector<float>(size_t(rate), 0.01f), 8192);
        EXPECT_TRUE(gate->Measuring()) << rate;
        EXPECT_EQ(gate->LearnCounter(), int32_t(rate));
        EXPECT_EQ(gate->Value(Ng::kLearn), 1.0f);
        // The sample after a full second ends the cycle without being measured.
        Feed(*gate, std::vector<float>(1, 0.5f), 1);
        EXPECT_FALSE(gate->Measuring()) << rate;
        EXPECT_EQ(gate->LearnCounter(), 0);
        EXPECT_EQ(gate->Value(Ng::kLearn), 0.0f);
        EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), -40.0f, 1e-4f) << rate;
    }
}
