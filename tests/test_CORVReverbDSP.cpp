#include "effects/modulation/CORVReverbDSP.h"

#include "core/FourCC.h"
#include "effects/common/BiquadSection.h"
#include "tests/WahReverbTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace wah_reverb_testing;
using Rv = CORVReverbDSP;

namespace {

std::unique_ptr<Rv> Wet(float mode, float decay, float color = 0.0f, double sampleRate = 44100.0)
{
    auto reverb = Make<Rv>(sampleRate);
    Set(*reverb, Rv::kMix, 100.0f);
    Set(*reverb, Rv::kDecay, decay);
    Set(*reverb, Rv::kColor, color);
    Set(*reverb, Rv::kMode, mode);
    reverb->UpdateParameters(true);
    return reverb;
}

std::vector<float> Filtered(std::vector<float> signal, BiquadSection section)
{
    for (float& v : signal)
        v = section.process(v);
    return signal;
}

// T30 from Schroeder's backward-integrated energy: the slope of the decay
// curve between -5 and -35 dB, extended to 60 dB.
double ReverberationTime(const std::vector<float>& response, double sampleRate)
{
    std::vector<double> remaining(response.size() + 1, 0.0);
    for (size_t i = response.size(); i-- > 0;)
        remaining[i] = remaining[i + 1] + double(response[i]) * response[i];
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < response.size(); ++i) {
        const double level = 10.0 * std::log10(remaining[i] / remaining[0]);
        if (level <= -5.0 && level >= -35.0) {
            const double t = double(i) / sampleRate;
            n += 1;
            sx += t;
            sy += level;
            sxx += t * t;
            sxy += t * level;
        }
    }
    return -60.0 * (n * sxx - sx * sx) / (n * sxy - sx * sy);
}

// Energy above 4 kHz over energy below 1 kHz.
double Brightness(const std::vector<float>& response, double sampleRate)
{
    BiquadSection high;
    BiquadSection low;
    high.setSampleRate(sampleRate);
    low.setSampleRate(sampleRate);
    high.designHighPass(4000.0f, true);
    low.designLowPass(1000.0f, true);
    const double highRms = testing_support::Rms(Filtered(response, high));
    const double lowRms = testing_support::Rms(Filtered(response, low));
    return highRms * highRms / (lowRms * lowRms);
}

} // namespace

TEST(CORVReverbDSP, PublishesItsFace)
{
    auto reverb = Make<Rv>();
    EXPECT_EQ(reverb->longName, "RV - Reverb");
    EXPECT_EQ(reverb->shortName, "RV");
    EXPECT_EQ(reverb->fourCC, FourCC("rvu1"));
    EXPECT_EQ(std::vector<float>({reverb->Value(2), reverb->Value(3), reverb->Value(4), reverb->Value(5)}),
              (std::vector<float>{42.0f, 61.0f, 0.0f, 0.0f}));
    const char* names[] = {"Default",      "On Stage",    "Big room",      "Hall",    "Tunnel",
                           "Concert hall", "Spring verb", "Clean Hi verb", "No Early"};
    ASSERT_EQ(reverb->presets.size(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(reverb->presets.at(i)->name, names[i]);
    EXPECT_EQ(reverb->presets.at(6)->values, (std::vector<float>{31.0f, 61.0f, -37.0f, 4.0f}));

    // "Color" carries its unit on both sides of 0; the modes read as listed.
    CORVDSPParameter& color = *reverb->GetParameter(Rv::kColor);
    color.SetValue(-37.0f);
    EXPECT_EQ(color.GetText(true, true), "Color: -37.0 %");
    EXPECT_EQ(color.GetText(true, true, 80.0f), "Color: 80.0 %");
    reverb->ApplyPreset("Concert hall");
    EXPECT_EQ(reverb->GetParameter(Rv::kMode)->GetText(false, false), "Long Hall");
    reverb->ApplyPreset("No Early");
    EXPECT_EQ(reverb->GetParameter(Rv::kMode)->GetText(false, false), "Verb");
    EXPECT_EQ(reverb->GetParameter(Rv::kMode)->GetText(false, false, 6.0f), "Tunnel");
}

TEST(CORVReverbDSP, LinesScaleWithTheSampleRate)
{
    auto reverb = Make<Rv>(48000.0);
    EXPECT_EQ(reverb->CombLength(0, 0), 1214);
    EXPECT_EQ(reverb->PreDelayLength(), 24001);

    reverb->sampleRate = 44100.0;
    reverb->UpdateParameters(true);
    EXPECT_EQ(reverb->PreDelayLength(), 22051);
    EXPECT_EQ(reverb->CombLength(0, 0), 1116);
    EXPECT_EQ(reverb->CombLength(1, 0), 1139);
    EXPECT_EQ(reverb->CombLength(1, 7), 1640);
    EXPECT_EQ(reverb->AllPassLength(0, 0), 556);
    EXPECT_EQ(reverb->AllPassLength(1, 3), 248);
    // The reflection lines follow the mode's pattern length.
    EXPECT_EQ(reverb->EarlyLength(), 1764);
    Set(*reverb, Rv::kMode, 2.0f);
    reverb->UpdateParameters(false);
    EXPECT_EQ(reverb->EarlyLength(), 5292);
}

TEST(CORVReverbDSP, MeasuredDecayMatchesTheComputedTime)
{
    // Rooms are quoted by the decay of their middle band; the highs die
    // sooner by design.
    struct Case {
        float mode;
        float decay;
        double rate;
    };
    std::vector<Case> cases{{0, 61, 22050.0}, {3, 61, 96000.0}};
    for (float mode = 0; mode < 7; ++mode)
        for (float decay : {0.0f, 61.0f, 100.0f})
            cases.push_back({mode, decay, 44100.0});
    for (const Case& c : cases) {
        BiquadSection midBand;
        midBand.setSampleRate(c.rate);
        midBand.designBandPass(1000.0f, 700.0f);
        auto reverb = Wet(c.mode, c.decay, 0.0f, c.rate);
        const double computed = reverb->DecayTime();
        const auto response = Play(*reverb, Impulse(size_t(c.rate * (1.5 * computed + 0.6))));
        EXPECT_NEAR(ReverberationTime(Filtered(response, midBand), c.rate) / computed, 1.0, 0.2)
            << c.mode << " " << c.decay << " " << c.rate << " " << computed;
    }
}

TEST(CORVReverbDSP, SpacesSoundTheirPart)
{
    const auto decayOf = [](float mode) { return Wet(mode, 50.0f)->DecayTime(); };
    // Small rooms short, halls long.
    EXPECT_LT(decayOf(0), 0.7f);
    EXPECT_LT(decayOf(0), decayOf(1));
    EXPECT_LT(decayOf(1), decayOf(2));
    EXPECT_LT(decayOf(2), decayOf(3));
    EXPECT_GT(decayOf(3), 3.0f);

    const auto brightnessOf = [](float mode, float color) {
        auto reverb = Wet(mode, 50.0f, color);
        return Brightness(Play(*reverb, Impulse(44100)), 44100.0);
    };
    // The plate is brighter than the hall, the tunnel darker; "Color" tilts.
    EXPECT_GT(brightnessOf(5, 0), 2.0 * brightnessOf(2, 0));
    EXPECT_LT(brightnessOf(6, 0), 0.5 * brightnessOf(2, 0));
    EXPECT_GT(brightnessOf(2, 100), 4.0 * brightnessOf(2, 0));
    EXPECT_LT(brightnessOf(2, -100), 0.25 * brightnessOf(2, 0));
}

TEST(CORVReverbDSP, MixBlendsDryAndWetAtEqualPower)
{
    // Nothing of the reverb arrives within the first sample, so it shows the
    // dry gain alone.
    for (float mix : {0.0f, 42.0f, 100.0f}) {
        auto reverb = Make<Rv>();
        Set(*reverb, Rv::kMix, mix);
        const auto response = Play(*reverb, Impulse(22050));
        EXPECT_FLOAT_EQ(response[0], std::sqrt(1.0f - mix / 100.0f)) << mix;
        EXPECT_EQ(testing_support::Peak(response, 1) == 0.0f, mix == 0.0f) << mix;
    }
    auto dry = Make<Rv>();
    Set(*dry, Rv::kMix, 0.0f);
    const auto tone = testing_support::Sine(440.0, 44100.0, 8192);
    EXPECT_EQ(Play(*dry, tone), tone);
}

TEST(CORVReverbDSP, SwitchingOffAndOnStartsFromSilence)
{
    auto reverb = Make<Rv>();
    Play(*reverb, testing_support::Sine(300.0, 44100.0, 8192));
    EXPECT_GT(testing_support::Peak(Play(*reverb, std::vector<float>(512, 0.0f))), 0.01f);
    reverb->OnParameterChange(1, 1.0f);
    Play(*reverb, std::vector<float>(64, 0.25f));
    EXPECT_FALSE(reverb->Running());
    reverb->OnParameterChange(1, 0.0f);
    EXPECT_EQ(testing_support::Peak(Play(*reverb, std::vector<float>(44100, 0.0f))), 0.0f);
}
