#include "effects/modulation/CORVChorusBassDSP.h"
#include "effects/modulation/CORVChorusDSP.h"

#include "tests/ModulatedDelayProbe.h"

#include <gtest/gtest.h>

using namespace modulated_delay_probe;

namespace {

using Chb = CORVChorusBassDSP;

// Full wet and no sweep: the low band passes as it is and the high band
// (input minus the first-order low-pass) comes out 265 samples late.
std::vector<float> SplitModel(const std::vector<float>& input, float crossover)
{
    BiquadSection lowPass;
    lowPass.setSampleRate(44100.0);
    lowPass.designLowPass(crossover, false);
    std::vector<float> low(input.size());
    std::vector<float> output(input.size());
    for (size_t t = 0; t < input.size(); ++t) {
        low[t] = lowPass.process(input[t]);
        const float delayedHigh = t >= 265 ? input[t - 265] - low[t - 265] : 0.0f;
        output[t] = low[t] + delayedHigh;
    }
    return output;
}

} // namespace

TEST(BassChorusTables, IdentityParametersAndPresets)
{
    auto chorus = Make<Chb>();
    EXPECT_EQ(chorus->longName, "CHB - Bass Chorus");
    EXPECT_EQ(chorus->shortName, "CHB");
    EXPECT_EQ(CodeBytes(*chorus), "1bhc");

    ASSERT_EQ(chorus->parameters.size(), 7u);
    EXPECT_EQ(chorus->GetParameter(Chb::kMix)->GetText(true, true), "Mix: 50.0 %");
    EXPECT_EQ(chorus->GetParameter(Chb::kStereo)->GetText(true, true), "Stereo: 10.0 %");
    const CORVDSPParameter& impact = *chorus->GetParameter(Chb::kImpact);
    EXPECT_EQ(impact.GetText(true, true), "Impact:  Gentle |==== Full");
    EXPECT_EQ(impact.GetText(false, false, 1.0f), "Gentle ==|== Full");
    EXPECT_EQ(impact.GetText(false, false, 2.0f), "Gentle ====| Full");
    EXPECT_EQ(impact.maxValue, 2.0f);
    EXPECT_EQ(impact.scaleType, ScaleList);
    EXPECT_EQ(chorus->GetParameter(Chb::kSyncCoeff)->name, "Sync coeff");
    EXPECT_EQ(chorus->GetParameter(Chb::kTap)->name, "Tap");

    // Mix, Rate, Depth, Stereo, Impact.
    ExpectPresets(*chorus, {
        {"Default", {50, 1.0f, 50, 10, 0}},           {"Light wide chorus", {88, 0.282f, 90, 100, 0}},
        {"Medium chorus", {80, 1.0f, 88, 50, 1}},     {"Hard chorus", {88, 1.66f, 90, 100, 2}},
        {"Ultra vibe chorus", {100, 5.89f, 35, 73, 2}},
    });
}

TEST(BassChorusCrossover, ImpactPicksTheCrossover)
{
    auto chorus = Make<Chb>(48000.0);
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    const BassCrossover& crossover = chorus->Crossover();
    EXPECT_EQ(crossover.Frequency(), 400.0f);
    EXPECT_TRUE(crossover.Splits());
    for (const BiquadSection* section : {&crossover.LeftSection(), &crossover.RightSection()}) {
        EXPECT_EQ(section->type(), BiquadLowPass1);
        EXPECT_EQ(section->sampleRate(), 48000.0f);
        EXPECT_EQ(section->frequency(), 400.0f);
    }

    chorus->OnParameterChange(Chb::kImpact, ListEntry(1, 2));
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    EXPECT_EQ(crossover.Frequency(), 140.0f);
    EXPECT_TRUE(crossover.Splits());
    EXPECT_EQ(crossover.LeftSection().frequency(), 140.0f);

    // "Full": a crossover of 0, which the sections ignore, and no split.
    chorus->OnParameterChange(Chb::kImpact, 1.0f);
    RunMono(*chorus, std::vector<float>(16, 0.0f));
    EXPECT_EQ(crossover.Frequency(), 0.0f);
    EXPECT_FALSE(crossover.Splits());
    EXPECT_EQ(crossover.RightSection().frequency(), 140.0f);
}

TEST(BassChorusCrossover, LowBandPassesDryAndTheHighBandIsDelayed)
{
    const std::vector<float> input = Chord(6000);
    for (const auto& [entry, crossover] : {std::pair{0, 400.0f}, std::pair{1, 140.0f}}) {
        auto chorus = Make<Chb>();
        chorus->OnParameterChange(Chb::kMix, 1.0f);
        chorus->OnParameterChange(Chb::kDepth, 0.0f);
        chorus->OnParameterChange(Chb::kImpact, ListEntry(entry, 2));
        const Stereo out = RunMono(*chorus, input);
        const std::vector<float> expected = SplitModel(input, crossover);
        for (size_t t = 0; t < input.size(); ++t) {
            ASSERT_NEAR(out.left[t], expected[t], 1e-6f) << crossover << " at " << t;
            ASSERT_NEAR(out.right[t], expected[t], 1e-6f) << crossover << " at " << t;
        }
    }

    // Measured: of a low E at 41 Hz only the tenth above the 400 Hz
    // crossover is delayed, where the guitar chorus, also fully wet, swaps
    // the whole note for its copy 6 ms late (a 78 degree phase shift).
    const std::vector<float> lowE = testing_support::Sine(41.2, 44100.0, 8820);
    auto bass = Make<Chb>();
    auto guitar = Make<CORVChorusDSP>();
    for (CORVDSPAlgInterface* chorus : std::initializer_list<CORVDSPAlgInterface*>{bass.get(), guitar.get()}) {
        chorus->OnParameterChange(CORVChorusBase::kMix, 1.0f);
        chorus->OnParameterChange(CORVChorusBase::kDepth, 0.0f);
    }
    EXPECT_LT(Deviation(RunMono(*bass, lowE).left, lowE, 4410), 0.2);
    EXPECT_GT(Deviation(RunMono(*guitar, lowE).left, lowE, 4410), 1.2);
}

TEST(BassChorusCrossover, FullImpactIsTheGuitarChorus)
{
    auto bass = Make<Chb>();
    auto guitar = Make<CORVChorusDSP>();
    bass->ApplyPreset("Hard chorus");
    for (int32_t index = CORVChorusBase::kMix; index <= CORVChorusBase::kStereo; ++index)
        guitar->GetParameter(index)->SetValue(bass->Value(index));
    const std::vector<float> left = Chord(20000);
    const std::vector<float> right = Chord(20000, -0.7f);
    const Stereo fromBass = RunStereo(*bass, left, right);
    const Stereo fromGuitar = RunStereo(*guitar, left, right);
    EXPECT_EQ(fromBass.left, fromGuitar.left);
    EXPECT_EQ(fromBass.right, fromGuitar.right);
}

TEST(BassChorusCrossover, NewSampleRateRebuildsTheSections)
{
    auto chorus = Make<Chb>();
    chorus->OnParameterChange(Chb::kImpact, ListEntry(1, 2));
    RunMono(*chorus, Chord(2000));
    EXPECT_NE(chorus->Crossover().LeftSection().state().state1, 0.0f);

    chorus->sampleRate = 22050.0;
    chorus->needsReinit = true;
    RunMono(*chorus, std::vector<float>(1, 0.0f));
    const BiquadSection& left = chorus->Crossover().LeftSection();
    EXPECT_EQ(left.sampleRate(), 22050.0f);
    EXPECT_EQ(left.frequency(), 140.0f);
    EXPECT_EQ(left.type(), BiquadLowPass1);
    BiquadSection fresh;
    fresh.setSampleRate(22050.0);
    fresh.designLowPass(140.0f, false);
    EXPECT_EQ(left.copyCoefficients().g, fresh.copyCoefficients().g);
    EXPECT_EQ(left.copyCoefficients().a1, fresh.copyCoefficients().a1);
    EXPECT_EQ(chorus->LineLength(), 179);
}
