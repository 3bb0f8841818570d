#include "effects/common/BiquadDesigners.h"
#include "effects/common/BiquadResponse.h"
#include "effects/drive/CORVSpeakerSimulatorBassDSP.h"
#include "effects/drive/CORVSpeakerSimulatorGuitarDSP.h"
#include "effects/drive/ThirdOrderButterworth.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

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

TEST(SpeakerSimulators, EverySectionIsStableAtTheLowestRate)
{
    // At 22.05 kHz rows tuned above 11 kHz have no band to shape and stay
    // flat; every section keeps its poles inside the unit circle.
    const auto guitar = MakeAtHostRate<Guitar>(22050.0);
    const auto bass = MakeAtHostRate<Bass>(22050.0);
    EXPECT_TRUE(SameCoefs(Select(*guitar, 0.0f).Stage(0).Coefs()[11], BiquadCoefs{}));
    ExpectStablePoles(*guitar, 15);
    ExpectStablePoles(*bass, 6);
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

