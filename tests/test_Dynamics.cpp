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

using namespace testing_support;

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
    const std::vector<float> input = Sine(2205.0, 44100.0, frames, FromDb(levelDb));
    std::vector<float> left = input;
    std::vector<float> right = input;
    ProcessInBlocks(compressor, left, right, 1024);
    const size_t from = frames - 22050;
    return levelDb + Db(Rms(left, from) / Rms(input, from));
}

} // namespace

TEST(CompressorGainComputer, DefaultMakeUpAndTheReductionLamp)
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

    // 0 dBFS is 6 dB over the threshold at ratio 8: 0.546, made up to 0.994,
    // which the lamp does not count as a reduction.
    compressor = Make<Cm>();
    const double reduction = std::pow(10.0, -6.0 * 0.875 / 20.0);
    EXPECT_NEAR(GainCurve(*compressor, Steps({{132300, 1.0f}})).back(), reduction * 1.81918, 1e-4);
    EXPECT_FALSE(compressor->GainReduced());
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

TEST(CompressorTiming, GainFallsWithTheAttackGlide)
{
    // A step up selects the falling glide for one sample only: the next
    // sample the detector lets go a little and the target rises again, which
    // selects the rising glide, set by the attack time, for the rest of the
    // fall (or by the release time, if that is the shorter one: the glides
    // exchange).  On a steady level the detector settles at level / (1 + cr).
    struct Case {
        double rate;
        float attackMs, releaseMs, fallMs;
    };
    for (const Case& c : {Case{22050.0, 10, 100, 10}, Case{44100.0, 10, 100, 10}, Case{192000.0, 10, 100, 10},
                          Case{44100.0, 200, 20, 20}}) {
        auto compressor = MakePlain(c.rate, c.attackMs, c.releaseMs);
        const size_t quiet = size_t(c.rate / 10);
        const std::vector<float> gains = GainCurve(*compressor, Steps({{quiet, 0.01f}, {size_t(c.rate), 1.0f}}));
        const float target = float(std::pow(10.0, -0.75));
        const size_t reached = FirstWhere(gains, quiet, [&](float g) { return g <= target + 0.1f * (1 - target); });
        const double expected = 1.0 + double(NinetyPercentSamples(GlideCoefficient(c.rate, c.fallMs)));
        EXPECT_NEAR(double(reached - quiet + 1), expected, 3.0) << c.rate << " " << c.attackMs;
        if (c.attackMs < c.releaseMs) {
            const double settled = std::pow(10.0 / (1.0 + GlideCoefficient(c.rate, c.releaseMs)), -0.75);
            EXPECT_NEAR(gains.back(), settled, 2e-6) << c.rate;
        }
    }
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

TEST(ExpanderGateCurve, TopRatioIsAHardGateAndTheBottomThresholdIsOff)
{
    auto expander = MakeExpander(-20.0f, 50.0f, 1.0f, 1.0f);
    // Only the start value of the target leaks through, far below audibility.
    const std::vector<float> quiet = GainCurve(*expander, Square(FromDb(-26.0), 22050));
    EXPECT_LT(Peak(quiet), 1e-7f);
    EXPECT_EQ(quiet.back(), 0.0f);
    EXPECT_EQ(expander->GateActive(), 1);
    EXPECT_NEAR(GainCurve(*expander, Square(FromDb(-14.0), 22050)).back(), 1.0f, 1e-6);
    EXPECT_EQ(expander->GateActive(), 0);

    auto off = MakeExpander(-60.0f, 50.0f, 1.0f, 1.0f);
    EXPECT_NEAR(GainCurve(*off, Square(FromDb(-70.0), 22050)).back(), 1.0f, 1e-6);
    auto on = MakeExpander(-59.5f, 50.0f, 1.0f, 1.0f);
    EXPECT_EQ(GainCurve(*on, Square(FromDb(-70.0), 22050)).back(), 0.0f);
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

} // namespace

// The gate opens when the peak power reaches the threshold's.  Its detector
// takes the signed larger sample of the two sides; it cannot fall below a
// power of 1e-7, so the bottom threshold, 1e-10, leaves it open in silence.
TEST(NoiseGateThreshold, OpensAtThePeakPowerOfTheThreshold)
{
    const struct {
        float thresholdDb, left, right;
        bool opens;
    } cases[] = {
        {-30, FromDb(-29.5), FromDb(-29.5), true}, {-30, FromDb(-30.5), FromDb(-30.5), false},
        {-30, -0.5f, 0.01f, false},                {-30, -0.5f, 0.05f, true},
        {-100, 0, 0, true},                        {-50, 0, 0, false},
    };
    for (const auto& c : cases) {
        auto gate = MakeGate(c.thresholdDb, 5.0f, 185.0f);
        std::vector<float> left(8820, c.left);
        std::vector<float> right(8820, c.right);
        ProcessInBlocks(*gate, left, right, 512);
        EXPECT_EQ(gate->Closed(), !c.opens) << c.thresholdDb << " " << c.left << " " << c.right;
        // The glide in single precision stops within a few ulp / c of 1.
        EXPECT_NEAR(gate->Gain(), c.opens ? 1.0f : 1e-7f, c.opens ? 1e-5f : 1e-9f) << c.left << " " << c.right;
        EXPECT_NEAR(left.back(), c.left * gate->Gain(), 1e-7f) << c.left << " " << c.right;
    }
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

TEST(NoiseGateLearn, PeakOfAToneOrTheDetectorFloorBecomesTheThreshold)
{
    auto gate = Make<Ng>();
    gate->OnParameterChange(Ng::kLearn, 1.0f);
    // 441 Hz at 44.1 kHz puts a sample on every crest of both signs.
    Play(*gate, Sine(441.0, 44100.0, 44101, 0.25f));
    EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), Db(0.25), 1e-4);
    EXPECT_TRUE(gate->parametersChanged); // the next block takes the new threshold

    // A second run starts afresh; silence measures the floor, 20 x log10(sqrt(1e-7)).
    gate->OnParameterChange(Ng::kLearn, 1.0f);
    Play(*gate, std::vector<float>(44101, 0.0f));
    EXPECT_NEAR(gate->Value(Ng::kThresholdLevel), -70.0f, 1e-3f);
    EXPECT_EQ(gate->Value(Ng::kLearn), 0.0f);
}

// Each output is a mix of the two inputs: (ll, lr) of the left and right
// input make the left output, (rl, rr) the right one.
TEST(LevelControl, RoutingAndGain)
{
    using Lc = CORVLevelControlDSP;
    const float g = FromDb(-6.0);
    const struct {
        const char* preset;
        float gainDb, left, right, mode;
        float ll, lr, rl, rr;
    } cases[] = {
        {"Mono", 0, 0, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f},
        {"Both to L", 0, 0, 0, 0, 1, 1, 0, 0},
        {"Both to R", 0, 0, 0, 0, 0, 0, 1, 1},
        {"Wide Stereo", 0, 0, 0, 0, 1, -0.5f, -0.5f, 1},
        // Left 20 %: 0.8 of the left input stays left; Right 70 %: 0.7 of the
        // right input stays right.
        {nullptr, 0, 20, 70, 0, 0.8f, 0.3f, 0.2f, 0.7f},
        // Wide: (1.5 l - 0.5, 1 - 1.5 r) and (1 - 1.5 l, 1.5 r - 0.5) at l = 0.8, r = 0.7.
        {nullptr, -6, 20, 70, 1, 0.7f * g, -0.05f * g, -0.2f * g, 0.55f * g},
        {nullptr, -60, 0, 100, 0, 0, 0, 0, 0}, // the bottom mutes
        {nullptr, -59.5f, 0, 100, 0, FromDb(-59.5), 0, 0, FromDb(-59.5)},
    };
    constexpr float kL = 0.6f;
    constexpr float kR = -0.25f;
    for (const auto& c : cases) {
        auto level = Make<Lc>();
        if (c.preset) {
            level->ApplyPreset(c.preset);
        } else {
            Set(*level, Lc::kGain, c.gainDb);
            Set(*level, Lc::kLeft, c.left);
            Set(*level, Lc::kRight, c.right);
            Set(*level, Lc::kStereoMode, c.mode);
        }
        std::vector<float> left(1, kL), right(1, kR);
        ProcessInBlocks(*level, left, right, 1);
        const std::string where = c.preset ? c.preset : std::to_string(c.gainDb) + " dB " + std::to_string(c.left);
        EXPECT_NEAR(left[0], c.ll * kL + c.lr * kR, 1e-6f) << where;
        EXPECT_NEAR(right[0], c.rl * kL + c.rr * kR, 1e-6f) << where;
    }
}

