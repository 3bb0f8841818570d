#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/drive/CORVSpeakerSimulatorBassDSP.h"
#include "effects/drive/CORVSpeakerSimulatorGuitarDSP.h"
#include "effects/drive/ThirdOrderButterworth.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using testing_support::MakeAtHostRate;
using testing_support::MeasuredGainDb;

namespace {

using Guitar = CORVSpeakerSimulatorGuitarDSP;
using Bass = CORVSpeakerSimulatorBassDSP;

template <class Effect>
Effect& Select(Effect& effect, float speakerType, float volumeDb = 0.0f)
{
    effect.GetParameter(Effect::kSpeakerType)->SetValue(speakerType);
    effect.GetParameter(Effect::kVolume)->SetValue(volumeDb);
    effect.UpdateParameters(effect.needsReinit);
    return effect;
}

double WooferDb(const SpeakerStage& stage, double f)
{
    return CascadeMagnitudeDb(stage.Coefs().first(kWooferSlots), f, stage.SampleRate());
}

// Share of a response's energy above 5 kHz, on a linear grid over the band.
double ShareAbove5k(const SpeakerStage& stage)
{
    double above = 0.0, all = 0.0;
    for (double f = 20.0; f < 20000.0; f += 20.0) {
        const double power = std::norm(SpeakerResponse(stage, f));
        all += power;
        above += f > 5000.0 ? power : 0.0;
    }
    return above / all;
}

bool SameCoefs(const BiquadCoefs& a, const BiquadCoefs& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A table row's reference design, from the free designers.
using Reference = std::function<void(double fs, BiquadCoefs&)>;
Reference P(double g, double f, double q) { return [=](double fs, BiquadCoefs& c) { DesignPeak(g, f, q, fs, c); }; }
Reference Lp(double f) { return [=](double fs, BiquadCoefs& c) { DesignButterworthLowPass(f, fs, c); }; }
Reference Hp(double f) { return [=](double fs, BiquadCoefs& c) { DesignButterworthHighPass(f, fs, c); }; }

void ExpectRows(std::span<const BiquadCoefs> slots, const std::vector<Reference>& rows, double fs)
{
    for (size_t k = 0; k < slots.size(); ++k) {
        BiquadCoefs expected;
        if (k < rows.size())
            rows[k](fs, expected);
        EXPECT_TRUE(SameCoefs(slots[k], expected)) << "slot " << k;
    }
}

template <class Effect>
void ExpectStablePoles(Effect& effect, int32_t models)
{
    for (int32_t m = 0; m < models; ++m)
        for (const BiquadCoefs& c : Select(effect, float(m)).Stage(0).Coefs())
            EXPECT_TRUE(std::fabs(c.a2) < 1.0f && std::fabs(c.a1) < 1.0f + c.a2) << m << " at " << effect.sampleRate;
}

} // namespace

TEST(SpeakerSimulators, ThirdOrderPairIsAButterworthLowPassTimesTheHighPassPole)
{
    // |H|² = 1/(1 + (K/Kc)⁶) for the prewarped cubic, times the high-pass
    // (1 − z⁻¹)/(1 + p·z⁻¹), which peaks at (1 + Kh) without its gain factor.
    for (double fs : {22050.0, 44100.0, 192000.0}) {
        for (auto [lowPass, highPass] : {std::pair{3400.0, 800.0}, {5100.0, 125.0}, {6000.0, 100.0}}) {
            const ThirdOrderSections pair = DesignThirdOrderLowPass(lowPass, highPass, fs);
            const double kc = PrewarpedTan(lowPass, fs), kh = PrewarpedTan(highPass, fs);
            for (double f : {30.0, 300.0, 1000.0, 3000.0, 8000.0, 10000.0}) {
                const double k = PrewarpedTan(f, fs);
                const double expected = 10.0 * std::log10(std::pow(1.0 + kh, 2) * k * k / (k * k + kh * kh) /
                                                          (1.0 + std::pow(k / kc, 6)));
                const BiquadCoefs sections[] = {pair.lowPassPair, pair.realPoleWithHighPass};
                EXPECT_NEAR(CascadeMagnitudeDb(sections, f, fs), expected, 2e-3) << fs << " " << lowPass << " " << f;
            }
        }
    }
}

TEST(SpeakerSimulators, PublishedRowsAreDesignedExactly)
{
    constexpr double fs = 44100.0;
    const auto guitar = MakeAtHostRate<Guitar>(fs);
    ExpectRows(Select(*guitar, 0.0f).Stage(0).Coefs(),
               {Hp(300), P(10, 160, 8), P(-4.1, 405, 4), P(-4, 1000, 2), P(-20, 1650, 50), P(-6, 2400, 8),
                P(-20, 3400, 17), P(5, 5000, 10), P(-7, 8400, 9), Lp(5000), P(-2.5, 1900, 5), P(-13, 14000, 6),
                P(-6, 8400, 16)},
               fs);

    const auto bass = MakeAtHostRate<Bass>(fs);
    const std::vector<Reference> offAxis = {
        Hp(60), Lp(4500), Hp(50), Lp(4600), P(-2.5, 240, 2), P(-7.5, 460, 12), P(-7, 630, 3), P(-5, 1000, 12),
        P(-8, 1550, 6), P(-8, 1900, 18), P(3, 2150, 23), P(-11, 2400, 25), P(-23, 3000, 26), P(-11.5, 3600, 14),
        P(-19, 4400, 44), P(-18, 4800, 82), P(-27, 5700, 14), P(-16, 7500, 13), P(-18, 8500, 55), P(-10, 11500, 13)};
    ExpectRows(Select(*bass, 2.0f).Stage(1).Coefs(), offAxis, fs);
    EXPECT_FALSE(bass->Stage(1).HasHorn());

    ExpectRows(Select(*bass, 1.0f).Stage(0).Coefs().subspan(kWooferSlots),
               {Hp(1700), Lp(10000), Hp(1600), P(4, 1500, 5), P(-6.5, 2550, 7), P(-7, 3150, 18), P(-9, 7000, 3),
                P(-18, 10300, 55), P(-10, 12100, 15), P(-15, 15500, 13), P(-14, 18000, 14)},
               fs);
    EXPECT_TRUE(bass->Stage(0).HasHorn());

    // At 22.05 kHz rows tuned above 11 kHz have no band to shape and stay flat;
    // every section keeps its poles inside the unit circle.
    guitar->sampleRate = bass->sampleRate = 22050.0;
    EXPECT_TRUE(SameCoefs(Select(*guitar, 0.0f).Stage(0).Coefs()[11], BiquadCoefs{}));
    ExpectStablePoles(*guitar, 15);
    ExpectStablePoles(*bass, 6);
}

TEST(SpeakerSimulators, ModelSelectionTruncatesAndOnlyANewModelClearsTheState)
{
    auto guitar = MakeAtHostRate<Guitar>();
    Select(*guitar, 7.9f);
    EXPECT_EQ(guitar->Stage(0).Model(), 7);
    EXPECT_EQ(guitar->Stage(1).Model(), 7);

    std::vector<float> left = testing_support::Sine(330.0, 44100.0, 2048), right = left;
    testing_support::ProcessInBlocks(*guitar, left, right, 512);
    const std::vector<BiquadState> before(guitar->Stage(0).States().begin(), guitar->Stage(0).States().end());
    ASSERT_NE(before[0].state1, 0.0f);

    auto statesEqual = [&](const std::vector<BiquadState>& expected) {
        const auto now = guitar->Stage(0).States();
        return std::equal(now.begin(), now.end(), expected.begin(), [](const BiquadState& a, const BiquadState& b) {
            return a.state1 == b.state1 && a.state2 == b.state2;
        });
    };
    Select(*guitar, 7.0f, -6.0f);
    EXPECT_TRUE(statesEqual(before));
    EXPECT_FLOAT_EQ(guitar->Stage(0).VolumeGain(), 0.5011872f);

    // A new rate redesigns the model in place, state and all.
    guitar->sampleRate = 96000.0;
    guitar->UpdateParameters(false);
    EXPECT_TRUE(statesEqual(before));
    SpeakerStage fresh(GuitarSpeakerModels(), kWooferSlots);
    fresh.SetSampleRate(96000.0f);
    fresh.SetModel(7);
    for (size_t k = 0; k < kWooferSlots; ++k)
        EXPECT_TRUE(SameCoefs(guitar->Stage(1).Coefs()[k], fresh.Coefs()[k])) << k;

    Select(*guitar, 8.0f);
    EXPECT_TRUE(statesEqual(std::vector<BiquadState>(kWooferSlots)));
}

TEST(SpeakerSimulators, GuitarModelsSoundLikeMicrophonedCabinets)
{
    for (double fs : {44100.0, 48000.0}) {
        auto guitar = MakeAtHostRate<Guitar>(fs);
        std::vector<std::vector<double>> curves;
        std::vector<double> shares;
        for (int32_t m = 0; m < 15; ++m) {
            const SpeakerStage& stage = Select(*guitar, float(m)).Stage(0);
            const double at1k = WooferDb(stage, 1000.0);
            EXPECT_LE(WooferDb(stage, 10000.0), at1k - 12.0) << m << " at " << fs;
            EXPECT_LE(WooferDb(stage, 30.0), at1k - 9.0) << m << " at " << fs;
            shares.push_back(ShareAbove5k(stage));
            curves.emplace_back();
            for (double f = 20.0; f < 20000.0; f *= 1.05)
                curves.back().push_back(WooferDb(stage, f));
        }
        // Moving the microphone away from the cone's axis, and further back,
        // takes the top away: On Axis/Near > Off Axis > Far.
        for (auto [near, far] : {std::pair{0, 1}, {2, 3}, {4, 5}, {6, 8}, {9, 11}, {12, 14}})
            EXPECT_LT(shares[size_t(far)], 0.5 * shares[size_t(near)]) << near << " vs " << far;
        for (int32_t on : {6, 9, 12})
            EXPECT_TRUE(shares[size_t(on)] > shares[size_t(on + 1)] && shares[size_t(on + 1)] > shares[size_t(on + 2)])
                << on;
        // Every model is a sound of its own: each pair differs by at least 3 dB somewhere.
        for (size_t a = 0; a < curves.size(); ++a)
            for (size_t b = a + 1; b < curves.size(); ++b) {
                double largest = 0.0;
                for (size_t i = 0; i < curves[a].size(); ++i)
                    largest = std::max(largest, std::fabs(curves[a][i] - curves[b][i]));
                EXPECT_GT(largest, 3.0) << a << " vs " << b;
            }
    }
}

TEST(SpeakerSimulators, HornModelsAddTheHornFilteredWooferSignal)
{
    // Measured through the effect: W·(1 + 1.4·H) with a horn, W without,
    // from the stage's own sections, at the volume's gain.
    constexpr double fs = 44100.0;
    auto bass = MakeAtHostRate<Bass>(fs);
    for (int32_t m = 0; m < 6; ++m) {
        const SpeakerStage& stage = Select(*bass, float(m), -6.0f).Stage(0);
        EXPECT_EQ(stage.HasHorn(), m % 2 == 1);
        for (double f : {400.0, 1800.0, 2500.0}) {
            std::complex<double> expected = 1.0;
            for (size_t k = 0; k < kWooferSlots; ++k)
                expected *= BiquadResponse(stage.Coefs()[k], f, fs);
            std::complex<double> horn = 1.0;
            for (size_t k = kWooferSlots; k < SpeakerStage::kMaxSlots; ++k)
                horn *= BiquadResponse(stage.Coefs()[k], f, fs);
            if (m % 2 == 1)
                expected *= 1.0 + 1.4 * horn;
            const double expectedDb = testing_support::Db(std::abs(expected)) - 6.0;
            EXPECT_NEAR(MeasuredGainDb(*bass, f, fs, 0.3), expectedDb, 0.05) << m << " at " << f;
        }
    }
}

TEST(SpeakerSimulators, SilenceSettlesToZeroThroughTheHighPasses)
{
    for (double fs : {22050.0, 192000.0}) {
        std::unique_ptr<CORVDSPAlgInterface> effects[] = {MakeAtHostRate<Bass>(fs), MakeAtHostRate<Guitar>(fs)};
        for (auto& effect : effects) {
            std::vector<float> left(size_t(fs), 0.0f), right = left;
            testing_support::ProcessInBlocks(*effect, left, right, 4096);
            EXPECT_GT(testing_support::Peak(left), 0.0f);
            EXPECT_LT(testing_support::Peak(left, left.size() / 2), 1e-12f);
        }
    }
}
