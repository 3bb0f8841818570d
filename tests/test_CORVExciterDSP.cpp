#include "effects/drive/CORVExciterDSP.h"

#include "effects/common/RealFft.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using Ec = CORVExciterDSP;

namespace {

constexpr double kRate = 48000.0;
constexpr int32_t kWindow = 4800; // 10 Hz bins at 48 kHz: every tone below is periodic in it
constexpr size_t kSettle = 12000; // the level detector and the filters settle in a quarter second
constexpr double kBinHz = kRate / kWindow;
constexpr float kAmplitude = 0.5f;

struct Setting {
    int32_t index;
    float value;
};

// An exciter at 48 kHz with the given plain values over "Default", prepared
// the way an effect instance prepares it.
std::unique_ptr<Ec> Make(std::initializer_list<Setting> settings)
{
    auto ec = std::make_unique<Ec>(kRate, 256);
    for (const Setting& s : settings)
        ec->GetParameter(s.index)->SetValue(s.value);
    ec->needsReinit = true;
    return ec;
}

// Squared amplitude of each 10 Hz bin over the window after the settling time.
std::vector<double> Power(const std::vector<float>& signal)
{
    RealFft fft(kWindow);
    std::memcpy(fft.Time(), signal.data() + kSettle, sizeof(float) * kWindow);
    fft.Forward();
    std::vector<double> power(size_t(fft.Bins()));
    for (int32_t k = 0; k < fft.Bins(); ++k)
        power[size_t(k)] = std::norm(2.0f * fft.Spectrum()[k] / float(kWindow));
    return power;
}

double AmplitudeAt(const std::vector<double>& power, double hz) { return std::sqrt(power[size_t(hz / kBinHz)]); }

std::vector<float> Tone(double hz) { return testing_support::Sine(hz, kRate, kSettle + kWindow, kAmplitude); }

} // namespace

// A tone an octave and more below the band is not excited: the output is the
// input (delayed by the oversampler's latency when it runs), and nothing is
// added at its harmonics, even at full drive, levels and mix.
TEST(Exciter, ToneBelowTheBandPassesUntouched)
{
    for (float oversampling : {0.0f, 1.0f}) {
        auto ec = Make({{Ec::kDrive, 150}, {Ec::kFirstHarmonic, 100}, {Ec::kSecondHarmonic, 100},
                        {Ec::kThirdHarmonic, 100}, {Ec::kFourthHarmonic, 100}, {Ec::kFifthHarmonic, 100},
                        {Ec::kExciterMix, 100}, {Ec::kFrequency, 2000}, {Ec::kOversampling, oversampling}});
        const std::vector<float> input = Tone(200.0);
        const std::vector<float> output = testing_support::Play(*ec, input);
        const size_t latency = size_t(ec->Latency());
        EXPECT_EQ(latency, oversampling > 0 ? 60u : 0u);
        double worst = 0.0;
        for (size_t n = kSettle; n < output.size(); ++n)
            worst = std::max(worst, double(std::fabs(output[n] - input[n - latency])));
        EXPECT_LT(worst, kAmplitude * 1e-3) << "oversampling " << oversampling;
        const std::vector<double> power = Power(output);
        for (int n = 2; n <= 5; ++n)
            EXPECT_LT(AmplitudeAt(power, 200.0 * n), kAmplitude * 1e-3) << n << ", oversampling " << oversampling;
    }
}

// Driven to the normaliser's limit, a tone in the band comes out with each
// harmonic at its own level times the band's amplitude, and a level of zero
// removes its harmonic.
TEST(Exciter, HarmonicsFollowTheirLevels)
{
    const Ec::ParameterIndex levels[] = {Ec::kSecondHarmonic, Ec::kThirdHarmonic, Ec::kFourthHarmonic,
                                         Ec::kFifthHarmonic};
    for (float oversampling : {0.0f, 1.0f}) {
        for (int n = 2; n <= 5; ++n) {
            double full = 0.0;
            for (float level : {100.0f, 50.0f, 0.0f}) {
                auto ec = Make({{Ec::kDrive, 100}, {Ec::kExciterMix, 100}, {levels[n - 2], level},
                                {Ec::kOversampling, oversampling}});
                const double amplitude = AmplitudeAt(Power(testing_support::Play(*ec, Tone(3000.0))), 3000.0 * n);
                const std::string where = "harmonic " + std::to_string(n) + " at " + std::to_string(level) +
                                          " %, oversampling " + std::to_string(oversampling);
                if (level == 100.0f)
                    full = amplitude;
                if (level > 0.0f)
                    EXPECT_NEAR(amplitude / kAmplitude, level / 100.0f, 5e-3) << where;
                else
                    EXPECT_LT(amplitude, full * 0.01) << where;
            }
        }
    }
}

// A 7 kHz tone at 48 kHz has its fourth and fifth harmonics above the
// Nyquist frequency; generated at the base rate they fold back to 20 and
// 13 kHz.  Oversampled, what lies off the multiples of 7 kHz drops by more
// than 30 dB.
TEST(Exciter, OversamplingRemovesFoldedHarmonics)
{
    double folded[2];
    for (int oversampling : {0, 1}) {
        auto ec = Make({{Ec::kDrive, 100}, {Ec::kExciterMix, 100}, {Ec::kOversampling, float(oversampling)}});
        const std::vector<double> power = Power(testing_support::Play(*ec, Tone(7000.0)));
        const size_t harmonicSpacing = size_t(7000.0 / kBinHz);
        folded[oversampling] = 0.0;
        for (size_t k = 0; k < power.size(); ++k)
            if (k % harmonicSpacing != 0)
                folded[oversampling] += power[k];
    }
    EXPECT_GT(folded[0], kAmplitude * kAmplitude * 0.01); // the fold-back is real without oversampling
    EXPECT_GT(10.0 * std::log10(folded[0] / folded[1]), 30.0);
}

// In a linear setting (first harmonic only, far below the normaliser's limit)
// the oversampled output equals the plain one delayed by the latency: the dry
// signal is delayed with the excited one, so mixing them does not comb.
TEST(Exciter, DrySignalStaysAlignedWithTheOversampledPath)
{
    std::vector<float> input = Tone(700.0);
    for (double hz : {2300.0, 9100.0, 17900.0}) {
        const std::vector<float> tone = Tone(hz);
        for (size_t n = 0; n < input.size(); ++n)
            input[n] = 0.4f * (input[n] + tone[n]);
    }
    std::vector<float> outputs[2];
    for (int oversampling : {0, 1}) {
        auto ec = Make({{Ec::kDrive, 0}, {Ec::kFirstHarmonic, 100}, {Ec::kSecondHarmonic, 0}, {Ec::kThirdHarmonic, 0},
                        {Ec::kFourthHarmonic, 0}, {Ec::kFifthHarmonic, 0}, {Ec::kExciterMix, 100},
                        {Ec::kFrequency, 1000}, {Ec::kOversampling, float(oversampling)}});
        outputs[oversampling] = testing_support::Play(*ec, input);
    }
    const size_t latency = Oversampler5::Latency();
    for (size_t n = kSettle; n < input.size(); ++n)
        ASSERT_NEAR(outputs[1][n], outputs[0][n - latency], 2e-4f) << n;
}
