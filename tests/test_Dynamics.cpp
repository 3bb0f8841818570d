// The dynamics family: the compressor's gain computer and glides, the
// expander gate's curve and timing, the noise gate's threshold, timing and
// learning, the level control's routing, each against the one-pole and
// power laws it is defined by; and what they share in silence.
#include "effects/modulation/CORVCompressorDSP.h"
#include "effects/modulation/CORVExpanderGateDSP.h"
#include "effects/modulation/CORVLevelControlDSP.h"
#include "effects/modulation/CORVNoiseGateDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

using testing_support::Db;
using testing_support::FirstWhere;
using testing_support::FromDb;
using testing_support::GainCurve;
using testing_support::Make;
using testing_support::Set;
using testing_support::Steps;

using Cm = CORVCompressorDSP;

namespace {

// A fast attack and the given release; threshold -20 dB, ratio 4, no make-up.
std::unique_ptr<Cm> MakePlain(double rate = 44100.0, float attackMs = 10.0f, float releaseMs = 100.0f)
{
    auto compressor = Make<Cm>(rate);
    Set(*compressor, Cm::kThresholdLevel, -20.0f);
    Set(*compressor, Cm::kAttackTime, attackMs);
    Set(*compressor, Cm::kReleaseTime, releaseMs);
    Set(*compressor, Cm::kRatio, 4.0f);
    Set(*compressor, Cm::kAutoGain, 0.0f);
    return compressor;
}

double GlideCoefficient(double rate, double ms) { return 2200.0 / rate / ms; }

// Samples a one-pole glide with coefficient c needs for 90 % of a step.
size_t NinetyPercentSamples(double c) { return size_t(std::ceil(std::log(0.1) / std::log(1.0 - c))); }

// Output level of a steady sine whose peaks fall on samples (period of 20).
double SteadyOutputDb(Cm& compressor, double levelDb)
{
    const size_t frames = 44100 * 3;
    const std::vector<float> input = testing_support::Sine(2205.0, 44100.0, frames, FromDb(levelDb));
    std::vector<float> left = input;
    std::vector<float> right = input;
    testing_support::ProcessInBlocks(compressor, left, right, 1024);
    const size_t from = frames - 22050;
    return levelDb + Db(testing_support::Rms(left, from) / testing_support::Rms(input, from));
}

} // namespace

TEST(CompressorGainComputer, DefaultMakeUpLiftsQuietSignalsBy1_82)
{
    auto compressor = Make<Cm>();
    // 10 ^ (0.875 x 0.99 x 6 / 20): seven eighths of the reduction at full
    // scale, less one percent.
    const std::vector<float> gains = GainCurve(*compressor, Steps({{4410, 0.01f}}));
    EXPECT_NEAR(gains.back(), 1.81918, 1e-4);
    EXPECT_FALSE(compressor->GainReduced());

    // At the top of the ratio range the whole reduction is made up.
    compressor->ApplyPreset("Hard 2");
    Set(*compressor, Cm::kAutoGain, 1.0f);
    EXPECT_NEAR(GainCurve(*compressor, Steps({{512, 0.01f}})).back(), 6.94225, 1e-3);
}

TEST(CompressorGainComputer, StaticCurves)
{
    // Ratio 4 above -20 dB; the top ratio holds the output at the threshold.
    for (float ratio : {4.0f, 50.0f}) {
        for (double in : {-26.0, -14.0, -8.0, -2.0}) {
            auto compressor = MakePlain(44100.0, 0.0f, 500.0f);
            Set(*compressor, Cm::kRatio, ratio);
            const double above = ratio == 50.0f ? -20.0 : -20.0 + (in + 20.0) / 4.0;
            EXPECT_NEAR(SteadyOutputDb(*compressor, in), in < -20.0 ? in : above, 0.05) << ratio << " " << in;
        }
    }
}

TEST(CompressorGainComputer, RatioOneChangesNothingEvenWithAutoGain)
{
    auto compressor = MakePlain();
    Set(*compressor, Cm::kRatio, 1.0f);
    Set(*compressor, Cm::kAutoGain, 1.0f);
    const std::vector<float> gains = GainCurve(*compressor, Steps({{2000, 0.01f}, {2000, 1.0f}, {2000, 0.3f}}));
    for (size_t i = 0; i < gains.size(); i += 97)
        EXPECT_NEAR(gains[i], 1.0f, 1e-6) << i;
    EXPECT_EQ(compressor->MakeUpGain(), 1.0f);
}

TEST(CompressorGainComputer, NegativeHalfWavesAreNotDetected)
{
    auto compressor = MakePlain();
    const std::vector<float> negative = GainCurve(*compressor, Steps({{8820, -0.9f}}));
    EXPECT_NEAR(negative.back(), 1.0f, 1e-6);
    EXPECT_FALSE(compressor->GainReduced());

    compressor = MakePlain();
    const std::vector<float> positive = GainCurve(*compressor, Steps({{44100, 0.9f}}));
    EXPECT_NEAR(positive.back(), std::pow(9.0, -0.75), 1e-4);
    EXPECT_TRUE(compressor->GainReduced());
}

TEST(CompressorGainComputer, ReductionLampCountsTheMakeUp)
{
    // Default: 0 dBFS is 6 dB over the threshold, ratio 8: 0.546 before the
    // make-up, 0.994 after it.
    auto compressor = Make<Cm>();
    const double reduction = std::pow(std::pow(10.0, 6.0 / 20.0), -0.875);
    EXPECT_NEAR(GainCurve(*compressor, Steps({{132300, 1.0f}})).back(), reduction * 1.81918, 1e-4);
    EXPECT_FALSE(compressor->GainReduced());
    Set(*compressor, Cm::kAutoGain, 0.0f);
    GainCurve(*compressor, Steps({{512, 1.0f}}));
    EXPECT_TRUE(compressor->GainReduced());
}

TEST(CompressorTiming, GainFallsWithTheAttackGlide)
{
    // A step up selects the falling glide for one sample only: the next
    // sample the detector lets go a little and the target rises again, which
    // selects the rising glide, set by the attack time, for the rest of the
    // fall.  On a steady level the detector settles at level / (1 + cr).
    for (double rate : {22050.0, 44100.0, 192000.0}) {
        auto compressor = MakePlain(rate);
        const size_t quiet = size_t(rate / 10);
        const std::vector<float> gains = GainCurve(*compressor, Steps({{quiet, 0.01f}, {size_t(rate), 1.0f}}));
        const float target = float(std::pow(10.0, -0.75));
        const size_t reached = FirstWhere(gains, quiet, [&](float g) { return g <= target + 0.1f * (1 - target); });
        const double expected = 1.0 + double(NinetyPercentSamples(GlideCoefficient(rate, 10.0)));
        EXPECT_NEAR(double(reached - quiet + 1), expected, 2.0) << rate;
        const double settled = std::pow(10.0 / (1.0 + GlideCoefficient(rate, 100.0)), -0.75);
        EXPECT_NEAR(gains.back(), settled, 2e-6) << rate;
    }
}

TEST(CompressorTiming, AttackLongerThanReleaseExchangesTheGlides)
{
    auto compressor = MakePlain(44100.0, 200.0f, 20.0f);
    const std::vector<float> gains = GainCurve(*compressor, Steps({{4410, 0.01f}, {44100, 1.0f}}));
    const float target = float(std::pow(10.0, -0.75));
    const size_t reached = FirstWhere(gains, 4410, [&](float g) { return g <= target + 0.1f * (1 - target); });
    // The fall takes the faster, 20 ms glide instead of the 200 ms one.
    const double expected = 1.0 + double(NinetyPercentSamples(GlideCoefficient(44100.0, 20.0)));
    EXPECT_NEAR(double(reached - 4410 + 1), expected, 3.0);
}

TEST(CompressorTiming, RisingLevelPullsTheGainDownWithTheFallingGlide)
{
    // A level rising by 20 dB per second lifts the detector with it on every
    // sample, so the target keeps falling, by a factor q per sample, and the
    // falling glide c (the release time here) trails it by c q / (q - 1 + c).
    const double rate = 44100.0;
    const size_t frames = size_t(rate);
    std::vector<float> input(frames);
    for (size_t i = 0; i < frames; ++i)
        input[i] = FromDb(-30.0 + 20.0 * double(i) / rate);
    auto compressor = MakePlain(rate, 10.0f, 100.0f);
    const std::vector<float> gains = GainCurve(*compressor, input);

    const double p = std::pow(10.0, 1.0 / rate);
    const double cr = GlideCoefficient(rate, 100.0);
    const double envelope = double(input.back()) * p / (p + cr);
    const double target = std::pow(envelope / double(FromDb(-20.0)), -0.75);
    const double q = std::pow(p, -0.75);
    EXPECT_NEAR(gains.back() / target, cr * q / (q - 1.0 + cr), 2e-3);
}

TEST(CompressorTiming, RecoveryTracksTheDetectorWithTheAttackGlide)
{
    auto compressor = MakePlain();
    const size_t loud = 22050;
    const std::vector<float> gains = GainCurve(*compressor, Steps({{loud, 1.0f}, {22050, 0.01f}}));
    // The detector lets go exponentially with the release time; the target
    // (10 x envelope) ^ -0.75 therefore rises by a constant factor q per
    // sample, and the attack glide c trails it by the factor c q / (q - 1 + c).
    const double decay = 1.0 - double(float(GlideCoefficient(44100.0, 100.0)));
    const double c = GlideCoefficient(44100.0, 10.0);
    const double q = std::pow(decay, -0.75);
    const size_t k = FirstWhere(gains, loud, [](float g) { return g >= 0.5f; }) - loud;
    const double target = std::pow(10.0 * std::pow(decay, double(k + 1)), -0.75);
    EXPECT_NEAR(gains[loud + k] / target, c * q / (q - 1.0 + c), 3e-3);
    // Once the detector is back below the threshold the gain returns to 1.
    EXPECT_NEAR(gains.back(), 1.0f, 1e-5);
}

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
    testing_support::Play(effect, input, blockSize);
}

} // namespace

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

using Lc = CORVLevelControlDSP;

namespace {

struct Frame {
    float left;
    float right;
};

// One stereo frame through the stage.
Frame Through(Lc& level, float left, float right)
{
    std::vector<float> l(1, left);
    std::vector<float> r(1, right);
    testing_support::ProcessInBlocks(level, l, r, 1);
    return {l[0], r[0]};
}

std::unique_ptr<Lc> MakeLevel(float gainDb, float leftPercent, float rightPercent, float mode)
{
    auto level = Make<Lc>();
    Set(*level, Lc::kGain, gainDb);
    Set(*level, Lc::kLeft, leftPercent);
    Set(*level, Lc::kRight, rightPercent);
    Set(*level, Lc::kStereoMode, mode);
    return level;
}

constexpr float kL = 0.6f;
constexpr float kR = -0.25f;

} // namespace

TEST(LevelControlRouting, WorksWithoutAReinitialisation)
{
    // The constructor leaves nothing pending.
    auto level = std::make_unique<Lc>(44100.0, 256);
    EXPECT_FALSE(level->parametersChanged);
    EXPECT_FALSE(level->needsReinit);
    const Frame passed = Through(*level, kL, kR);
    EXPECT_EQ(passed.left, kL);
    EXPECT_EQ(passed.right, kR);
}

TEST(LevelControlRouting, NormalPlacements)
{
    auto level = Make<Lc>();
    level->ApplyPreset("Mono");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.5f * kL + 0.5f * kR);
    EXPECT_EQ(out.right, out.left);

    level->ApplyPreset("Both to L");
    out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, kL + kR);
    EXPECT_EQ(out.right, 0.0f);

    level->ApplyPreset("Both to R");
    out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.0f);
    EXPECT_EQ(out.right, kL + kR);

    // Left 20 %: 0.8 of the left input stays left; Right 70 %: 0.7 of the
    // right input stays right.
    level = MakeLevel(0.0f, 20.0f, 70.0f, 0.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left, 0.8f * kL + 0.3f * kR, 1e-6f);
    EXPECT_NEAR(out.right, 0.2f * kL + 0.7f * kR, 1e-6f);
}

TEST(LevelControlRouting, WideSubtractsTheOppositeChannel)
{
    auto level = Make<Lc>();
    level->ApplyPreset("Wide Stereo");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, kL - 0.5f * kR);
    EXPECT_EQ(out.right, kR - 0.5f * kL);

    // l = 0.8, r = 0.7: (1.5 l - 0.5, 1 - 1.5 r) and (1 - 1.5 l, 1.5 r - 0.5).
    level = MakeLevel(-6.0f, 20.0f, 70.0f, 1.0f);
    out = Through(*level, kL, kR);
    const float g = FromDb(-6.0);
    EXPECT_NEAR(out.left, g * (0.7f * kL - 0.05f * kR), 1e-6f);
    EXPECT_NEAR(out.right, g * (-0.2f * kL + 0.55f * kR), 1e-6f);

    // "Mono" widened: each output is the sum at a quarter, less the other side.
    level = MakeLevel(0.0f, 50.0f, 50.0f, 1.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left, 0.25f * kL + 0.25f * kR, 1e-6f);
    EXPECT_NEAR(out.right, 0.25f * kL + 0.25f * kR, 1e-6f);
}

TEST(LevelControlGain, BottomMutesTopGainsAbout3_98)
{
    auto level = MakeLevel(-60.0f, 0.0f, 100.0f, 0.0f);
    EXPECT_EQ(level->GetParameter(Lc::kGain)->GetText(true, true), "Gain: -Inf ");
    Frame out = Through(*level, kL, kR);
    EXPECT_EQ(out.left, 0.0f);
    EXPECT_EQ(out.right, 0.0f);

    level->OnParameterChange(Lc::kGain, 1.0f);
    out = Through(*level, kL, kR);
    EXPECT_NEAR(out.left / kL, 3.98107f, 1e-5f);
    EXPECT_NEAR(out.right / kR, 3.98107f, 1e-5f);

    level->GetParameter(Lc::kGain)->SetValue(-59.5f);
    EXPECT_NEAR(Through(*level, kL, kR).left / kL, FromDb(-59.5), 1e-8f);
}






namespace {

// The recursive state each effect carries, for the subnormal check.
std::vector<float> StateOf(const CORVCompressorDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVExpanderGateDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVNoiseGateDSP& e) { return {e.Envelope(), e.Gain()}; }
std::vector<float> StateOf(const CORVLevelControlDSP&) { return {}; }

// A tone in sections of very different levels and a gap, so that every
// effect opens, reduces, closes and recovers.  The right channel is the left
// one inverted at half level: the larger channel alternates between the
// half-waves, and the left one always carries more energy.
struct Program {
    std::vector<float> left;
    std::vector<float> right;
};

Program MakeProgram(double rate, double seconds)
{
    const size_t frames = size_t(rate * seconds);
    const float levels[] = {0.8f, 0.05f, 0.0f, 0.3f, 0.002f, 1.0f};
    Program program{testing_support::Sine(220.0, rate, frames, 1.0f), {}};
    for (size_t i = 0; i < frames; ++i)
        program.left[i] *= levels[(i * 12 / frames) % 6];
    for (float sample : program.left)
        program.right.push_back(-0.5f * sample);
    return program;
}

template <class Effect>
Program Processed(Effect& effect, Program program, int32_t blockSize)
{
    testing_support::ProcessInBlocks(effect, program.left, program.right, blockSize);
    return program;
}

} // namespace

template <class Effect>
class DynamicsFrame : public ::testing::Test {};

using DynamicsEffects =
    ::testing::Types<CORVCompressorDSP, CORVExpanderGateDSP, CORVNoiseGateDSP, CORVLevelControlDSP>;
TYPED_TEST_SUITE(DynamicsFrame, DynamicsEffects);

TYPED_TEST(DynamicsFrame, SilenceLeavesNoSubnormals)
{
    for (double rate : {44100.0, 192000.0}) {
        for (bool lastPreset : {false, true}) {
            auto effect = Make<TypeParam>(rate);
            if (lastPreset)
                effect->ApplyPresetByIndex(int32_t(effect->presets.size()) - 1);
            Processed(*effect, MakeProgram(rate, 0.5), 512);
            const size_t silence = size_t(rate * 4);
            const Program out = Processed(*effect, {std::vector<float>(silence), std::vector<float>(silence)}, 512);
            for (size_t i = 0; i < silence; ++i) {
                ASSERT_FALSE(testing_support::IsSubnormal(out.left[i])) << rate << " " << i;
                ASSERT_FALSE(testing_support::IsSubnormal(out.right[i])) << rate << " " << i;
            }
            for (float v : StateOf(*effect))
                EXPECT_FALSE(testing_support::IsSubnormal(v)) << rate << " " << v;
        }
    }
}
