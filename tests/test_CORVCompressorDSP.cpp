#include "effects/modulation/CORVCompressorDSP.h"

#include "dsp/FourCC.h"
#include "tests/DynamicsTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dynamics_testing;
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

TEST(CompressorTables, IdentityParametersAndPresets)
{
    auto compressor = Make<Cm>();
    EXPECT_EQ(compressor->longName, "CM - Compressor");
    EXPECT_EQ(compressor->shortName, "CM");
    EXPECT_EQ(CodeBytes(*compressor), "1umc");
    EXPECT_EQ(Texts(*compressor), (std::vector<std::string>{"Treshold Level: -6.0 dB", "Attack Time: 20.0 ms",
                                                            "Release Time: 600.0 ms", "Ratio: 8.0 ",
                                                            "Auto Gain:  On"}));
    const CORVDSPParameter& release = *compressor->GetParameter(Cm::kReleaseTime);
    EXPECT_EQ(release.minValue, 20.0f);
    EXPECT_EQ(release.maxValue, 4000.0f);
    EXPECT_EQ(compressor->GetParameter(Cm::kThresholdLevel)->step, 0.5f);
    EXPECT_EQ(compressor->GetParameter(Cm::kRatio)->minValue, 1.0f);

    ExpectPresets(*compressor, {
        {"Default", {-6, 20, 600, 8, 1}},     {"Hard 1", {-10, 2, 2000, 10, 0}},
        {"Hard 2", {-17, 10, 410, 50, 0}},    {"Hi Attack", {-15, 120, 3200, 2, 0}},
        {"Hi Sustain", {-20, 2, 560, 10, 0}}, {"2:1 Compressor", {-12, 20, 150, 2, 0}},
    });
}

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
