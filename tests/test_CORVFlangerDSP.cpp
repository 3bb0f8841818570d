#include "effects/modulation/CORVFlangerDSP.h"

#include "dsp/FourCC.h"
#include "tests/ModulatedDelayProbe.h"

#include <gtest/gtest.h>

using namespace modulated_delay_probe;

namespace {

using Fl = CORVFlangerDSP;

void SetWindow(Fl& flanger, float fxTune, float depth)
{
    flanger.GetParameter(Fl::kFxTune)->SetValue(fxTune);
    flanger.GetParameter(Fl::kDepth)->SetValue(depth);
    RunMono(flanger, std::vector<float>(1, 0.0f));
}

// The steady-state gain of a sine through the flanger.
double SineGain(Fl& flanger, double frequency)
{
    const std::vector<float> input = testing_support::Sine(frequency, 44100.0, 60000, 0.1f);
    const Stereo out = RunMono(flanger, input);
    return double(testing_support::Peak(out.left, 55000)) / 0.1;
}

} // namespace

TEST(FlangerTables, IdentityAndParameters)
{
    auto flanger = Make<Fl>();
    EXPECT_EQ(flanger->longName, "FL - Flanger");
    EXPECT_EQ(flanger->shortName, "FL");
    EXPECT_EQ(CodeBytes(*flanger), "1ulf");

    ASSERT_EQ(flanger->parameters.size(), 6u);
    EXPECT_EQ(flanger->GetParameter(Fl::kFxTune)->GetText(true, true), "Fx Tune: 50.0 %");
    EXPECT_EQ(flanger->GetParameter(Fl::kRate)->GetText(true, true), "Rate: 0.7 Hz");
    EXPECT_EQ(flanger->GetParameter(Fl::kDepth)->GetText(true, true), "Depth: 50.0 %");
    EXPECT_EQ(flanger->GetParameter(Fl::kRegeneration)->GetText(true, true), "Regeneration: 50.0 %");
    EXPECT_EQ(flanger->GetParameter(Fl::kSyncCoeff)->GetText(true, true), "Sync coeff:  Off");
    EXPECT_EQ(flanger->GetParameter(Fl::kTap)->GetText(false, false, 1.0f), "Press On-Off to start");

    const CORVDSPParameter& rate = *flanger->GetParameter(Fl::kRate);
    EXPECT_EQ(rate.value, 0.692f);
    EXPECT_EQ(rate.minValue, 0.05f);
    EXPECT_EQ(rate.maxValue, 10.0f);
    EXPECT_EQ(rate.step, 0.05f);
    EXPECT_EQ(rate.scaleType, ScaleLog);

    flanger->OnParameterChange(Fl::kSyncCoeff, ListEntry(1, 8));
    EXPECT_EQ(flanger->OnParameterChange(Fl::kRate, 1.0f), "Rate: 10.0 Hz (Sync !)");
}

TEST(FlangerTables, FactoryPresets)
{
    // Fx Tune, Rate, Depth, Regeneration.
    ExpectPresets(*Make<Fl>(), {
        {"Default", {50, 0.692f, 50, 50}},      {"Clean G1", {33, 0.219f, 37, 78}},
        {"Clean G2", {0, 0.129f, 100, 86}},     {"Wet & Slow", {0, 0.081f, 100, 91}},
        {"Big & High", {100, 0.151f, 16, 90}},  {"Big & Low", {0, 0.23f, 44, 75}},
        {"Destroyer", {0, 9.33f, 88, 33}},      {"Flatrix 1", {10, 2.455f, 0, 80}},
        {"Flatrix 2", {56, 2.455f, 0, 80}},     {"Flatrix 3", {91, 2.455f, 0, 80}},
        {"Flatrix Low Detune", {0, 0.49f, 5, 85}},
    });
}

TEST(FlangerGeometry, DelaysInSamplesAt44100)
{
    auto flanger = Make<Fl>();
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_EQ(flanger->LineLength(), 573);
    EXPECT_EQ(flanger->MaxDelay(), 529);
    EXPECT_EQ(flanger->MinDelay(), 49);
    // Fx Tune 50, Depth 50.
    EXPECT_EQ(flanger->LongDelay(), 289);
    EXPECT_EQ(flanger->ShortDelay(), 49);
    EXPECT_EQ(flanger->Centre(), 169);
    EXPECT_EQ(flanger->SweepDepth(), 120.0f);
    EXPECT_EQ(flanger->WetGain(), 0.5f);
    EXPECT_EQ(flanger->DryGain(), 0.58f);
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.49f);
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * double(0.692f) / 44100.0));
}

TEST(FlangerGeometry, FxTuneAndDepthPlaceTheWindow)
{
    struct Case {
        float fxTune, depth;
        int32_t longDelay, shortDelay, centre;
        float sweepDepth;
    };
    const Case cases[] = {
        {0, 0, 529, 529, 529, 0.0f},
        {100, 0, 49, 49, 49, 0.0f},
        {25, 50, 409, 169, 289, 120.0f},
        {1, 1, 524, 519, 521, 2.5f}, // an odd sum: the centre truncates
        // Reaching below the minimum lifts the sweep instead of cutting it.
        {0, 100, 529, 49, 289, 240.0f},
        {30, 80, 433, 49, 241, 192.0f},
        {100, 100, 529, 49, 289, 240.0f},
    };
    auto flanger = Make<Fl>();
    for (const Case& c : cases) {
        SetWindow(*flanger, c.fxTune, c.depth);
        EXPECT_EQ(flanger->LongDelay(), c.longDelay) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->ShortDelay(), c.shortDelay) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->Centre(), c.centre) << c.fxTune << " " << c.depth;
        EXPECT_EQ(flanger->SweepDepth(), c.sweepDepth) << c.fxTune << " " << c.depth;
    }
}

TEST(FlangerGeometry, OtherRates)
{
    struct Case {
        double rate;
        int32_t length, maxDelay, minDelay;
    };
    for (const Case& c : {Case{22050.0, 287, 265, 24}, Case{192000.0, 2496, 2304, 211}}) {
        auto flanger = Make<Fl>(c.rate);
        flanger->OnParameterChange(Fl::kFxTune, 0.0f);
        flanger->OnParameterChange(Fl::kDepth, 0.0f);
        const Stereo out = RunMono(*flanger, Impulse(3000));
        EXPECT_EQ(flanger->LineLength(), c.length) << c.rate;
        EXPECT_EQ(flanger->MinDelay(), c.minDelay) << c.rate;
        ASSERT_EQ(flanger->MaxDelay(), c.maxDelay) << c.rate;
        EXPECT_EQ(out.left[size_t(c.maxDelay)], 0.5f) << c.rate;
        EXPECT_EQ(out.right[size_t(c.maxDelay)], 0.5f) << c.rate;
    }
}

TEST(FlangerDelay, ImpulseEchoesDecayByTheFeedback)
{
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kFxTune, 0.0f);
    flanger->OnParameterChange(Fl::kDepth, 0.0f);
    flanger->OnParameterChange(Fl::kRegeneration, 0.0f);
    const Stereo out = RunMono(*flanger, Impulse(2000));
    for (const std::vector<float>* channel : {&out.left, &out.right}) {
        EXPECT_FLOAT_EQ((*channel)[0], 0.58f);
        EXPECT_FLOAT_EQ((*channel)[529], 0.5f);
        EXPECT_FLOAT_EQ((*channel)[1058], 0.05f);
        EXPECT_FLOAT_EQ((*channel)[1587], 0.005f);
        float elsewhere = 0.0f;
        for (size_t t = 1; t < channel->size(); ++t)
            if (t % 529 != 0)
                elsewhere = std::max(elsewhere, std::fabs((*channel)[t]));
        EXPECT_EQ(elsewhere, 0.0f);
    }
}

TEST(FlangerDelay, FullRegenerationPeaksAndNotchesOfTheComb)
{
    // A fixed 529-sample comb with feedback 0.88: a whole number of periods
    // in the delay adds up to 0.58 + 0.5 / (1 - 0.88); half a period more
    // subtracts to 0.58 - 0.5 / (1 + 0.88).  Bounded either way.
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kFxTune, 0.0f);
    flanger->OnParameterChange(Fl::kDepth, 0.0f);
    flanger->OnParameterChange(Fl::kRegeneration, 1.0f);
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.88f);
    EXPECT_NEAR(SineGain(*flanger, 10.0 * 44100.0 / 529.0), 0.58 + 0.5 / 0.12, 0.01);
    EXPECT_NEAR(SineGain(*flanger, 10.5 * 44100.0 / 529.0), 0.58 - 0.5 / 1.88, 0.01);

    flanger->OnParameterChange(Fl::kRegeneration, 0.0f);
    RunMono(*flanger, std::vector<float>(1, 0.0f));
    EXPECT_FLOAT_EQ(flanger->Feedback(), 0.10f);
    EXPECT_NEAR(SineGain(*flanger, 10.0 * 44100.0 / 529.0), 0.58 + 0.5 / 0.9, 0.01);
}

TEST(FlangerSweep, DelayMovesBetweenTheShortAndLongEnds)
{
    auto flanger = Make<Fl>();
    flanger->GetParameter(Fl::kRate)->SetValue(2.0f);
    const Stereo out = RunMono(*flanger, Ramp(30000));
    const std::vector<double> left = SweptDelays(out.left, 0.58, 0.5, 0.49, 300);
    const std::vector<double> right = SweptDelays(out.right, 0.58, 0.5, 0.49, 300);

    // 169 +- 120: the ends 49 and 289.  The right channel's triangle reaches
    // them exactly; the left channel's arc within a hair.
    for (const std::vector<double>* delays : {&left, &right}) {
        const auto [low, high] = Range(*delays);
        EXPECT_NEAR(low, 49.0, 0.1);
        EXPECT_NEAR(high, 289.0, 0.1);
    }
    // The right ramp starts at its middle, rising, a quarter period behind
    // the left one at its top; the left arc peaks where its ramp crosses the
    // middle.  So both sweeps peak a quarter period (5512.5 samples at 2 Hz)
    // in and bottom out three quarters in, the triangle sharply, the arc
    // roundly.
    EXPECT_NEAR(double(ArgMax(right, 300, 11025)), 5513.0, 2.0);
    EXPECT_NEAR(right[5513], 289.0, 0.1);
    EXPECT_NEAR(right[16538], 49.0, 0.1);
    EXPECT_NEAR(left[5514], 289.0, 0.1);
    EXPECT_NEAR(left[16539], 49.0, 0.1);
    // Half way up, the arc (a parabola of the ramp) is 3/4 of the way to its
    // peak where the triangle is only half way.
    EXPECT_NEAR(left[2757] - 169.0, 0.75 * 120.0, 0.5);
    EXPECT_NEAR(right[2757] - 169.0, 0.5 * 120.0, 0.5);
}

TEST(FlangerRate, SyncAndTap)
{
    auto flanger = Make<Fl>();
    flanger->OnParameterChange(Fl::kSyncCoeff, ListEntry(8, 8)); // "1/16 T": 12 Hz at 120 BPM
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * 12.0 / 44100.0));
    EXPECT_EQ(flanger->LeftLfo().SignedIncrement(), -flanger->Speed().increment);
    EXPECT_EQ(flanger->RightLfo().SignedIncrement(), flanger->Speed().increment);

    flanger->tempo = 100.0;
    flanger->OnParameterChange(Fl::kSyncCoeff, ListEntry(1, 8)); // "1/1": a quarter of 100 BPM
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * (100.0 * 0.25 / 60.0) / 44100.0));

    flanger->OnParameterChange(Fl::kSyncCoeff, 0.0f);
    TapTwoPressesHalfASecondApart(*flanger, Fl::kTap);
    EXPECT_EQ(flanger->Value(Fl::kRate), 2.0f);
    RunMono(*flanger, std::vector<float>(16, 0.0f));
    EXPECT_EQ(flanger->Speed().increment, float(4.0 * 2.0 / 44100.0));
}
