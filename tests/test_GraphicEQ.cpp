#include "effects/common/BiquadResponse.h"
#include "effects/drive/CORVGraphicEQBassDSP.h"
#include "effects/drive/CORVGraphicEQGuitarDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using testing_support::MakeAtHostRate;
using testing_support::MeasuredGainDb;

namespace {

using Base = CORVGraphicEQBase;

// Each equaliser with the centres its bands really use.
struct Family {
    const char* name;
    std::function<std::unique_ptr<Base>(double)> make;
    std::array<double, Base::kBands> centres;
};

const Family kFamilies[] = {
    {"GEG", [](double fs) -> std::unique_ptr<Base> { return MakeAtHostRate<CORVGraphicEQGuitarDSP>(fs); },
     {85, 200, 400, 800, 1600, 3200, 6400}},
    {"GEB", [](double fs) -> std::unique_ptr<Base> { return MakeAtHostRate<CORVGraphicEQBassDSP>(fs); },
     {50, 120, 400, 500, 800, 4500, 10000}},
};

Base& SetBand(Base& eq, size_t k, float gainDb)
{
    eq.GetParameter(int32_t(2 + k))->SetValue(gainDb);
    eq.UpdateParameters(eq.needsReinit);
    return eq;
}

// The whole equaliser's response from its coefficients.
std::complex<double> Response(const Base& eq, double f)
{
    std::complex<double> h = eq.OverallGain();
    for (size_t k = 0; k < Base::kBands; ++k)
        if (eq.BandActive(k))
            h *= BiquadResponse(eq.BandCoefs(k), f, eq.sampleRate);
    return h;
}

} // namespace

TEST(GraphicEQ, EachPeakMeasuresItsGainAtItsCentreAndTheShelfAtTheTop)
{
    for (const Family& family : kFamilies) {
        for (double fs : {44100.0, 96000.0}) {
            for (float gain : {9.0f, -12.0f}) {
                for (size_t k = 0; k + 1 < Base::kBands; ++k) {
                    auto eq = family.make(fs);
                    SetBand(*eq, k, gain);
                    EXPECT_NEAR(MeasuredGainDb(*eq, family.centres[k], fs), gain, 0.1)
                        << family.name << " band " << k + 1 << " at " << fs;
                }
                auto eq = family.make(fs);
                SetBand(*eq, Base::kBands - 1, gain);
                EXPECT_NEAR(testing_support::Db(std::abs(Response(*eq, fs / 2.0))), gain, 1e-4) << family.name;
                EXPECT_NEAR(testing_support::Db(std::abs(Response(*eq, 0.0))), 0.0, 1e-4) << family.name;
            }
        }
    }
    // The band named "Gain 100 Hz" is centred on 85 Hz.
    auto geg = MakeAtHostRate<CORVGraphicEQGuitarDSP>();
    SetBand(*geg, 0, 12.0f);
    EXPECT_NEAR(testing_support::Db(std::abs(Response(*geg, 85.0))), 12.0, 1e-3);
    EXPECT_LT(testing_support::Db(std::abs(Response(*geg, 100.0))), 11.5);
}

TEST(GraphicEQ, EqualBoostsAndCutsAreExactInverses)
{
    for (const Family& family : kFamilies) {
        auto boost = family.make(44100.0);
        auto cut = family.make(44100.0);
        for (size_t k = 0; k < Base::kBands; ++k) {
            SetBand(*boost, k, 6.0f);
            SetBand(*cut, k, -6.0f);
        }
        for (double f = 20.0; f < 22000.0; f *= 1.1)
            EXPECT_NEAR(std::abs(Response(*boost, f) * Response(*cut, f)), 1.0, 2e-5) << family.name << " " << f;
    }
}

// Each channel runs its own bands: a tone on the left only leaves the right
// output at the offset's level, and the left one boosted.
TEST(GraphicEQ, EachChannelKeepsItsOwnSignal)
{
    for (const Family& family : kFamilies) {
        auto eq = family.make(44100.0);
        SetBand(*eq, 3, 6.0f);
        const std::vector<float> tone = testing_support::Sine(family.centres[3], 44100.0, 8192);
        std::vector<float> left = tone;
        std::vector<float> right(tone.size(), 0.0f);
        testing_support::ProcessInBlocks(*eq, left, right, 512);
        EXPECT_GT(testing_support::Rms(left, 4096), 1.8 * testing_support::Rms(tone, 4096)) << family.name;
        EXPECT_LT(testing_support::Peak(right), 1e-5f) << family.name;
    }
}

