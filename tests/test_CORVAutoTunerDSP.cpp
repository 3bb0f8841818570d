#include "effects/modulation/CORVAutoTunerDSP.h"

#include "tests/DynamicsTestSupport.h"
#include "tests/PitchTestSupport.h"

#include <gtest/gtest.h>

using namespace dynamics_testing;
using namespace pitch_testing;
using At = CORVAutoTunerDSP;

namespace {

// A note held long enough for the smoother to settle (40 frames).
constexpr size_t kSettledFrames = 40 * 4096;

std::unique_ptr<At> Tuned(double frequency, float a4 = 440.0f, double rate = 44100.0, int harmonics = 1)
{
    auto tuner = Make<At>(rate);
    Set(*tuner, At::kA4, a4);
    std::vector<float> left = HarmonicTone(frequency, rate, kSettledFrames, harmonics);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(*tuner, left, right, 512);
    return tuner;
}

} // namespace

TEST(AutoTunerTables, IdentityParametersAndPreset)
{
    auto tuner = Make<At>();
    EXPECT_EQ(tuner->longName, "AT - Auto Tuner");
    EXPECT_EQ(tuner->shortName, "AT");
    EXPECT_EQ(CodeBytes(*tuner), "1uta");
    EXPECT_EQ(Texts(*tuner), (std::vector<std::string>{"A4: 440.0 Hz", "Tone Frequency: 440.0 Hz"}));
    EXPECT_EQ(tuner->GetParameter(At::kA4)->minValue, 340.0f);
    EXPECT_EQ(tuner->GetParameter(At::kA4)->maxValue, 500.0f);
    EXPECT_EQ(tuner->GetParameter(At::kToneFrequency)->minValue, 20.0f);
    EXPECT_EQ(tuner->GetParameter(At::kToneFrequency)->maxValue, 20000.0f);
    ExpectPresets(*tuner, {{"Default", {440, 440}}});
    EXPECT_FALSE(tuner->HasReading());
    EXPECT_EQ(tuner->NoteName(), "");
}

TEST(AutoTunerReading, ConcertAAndTheReferencePitch)
{
    struct Case {
        double frequency;
        float a4;
        const char* name;
        float deviation;
    };
    const double quarterToneUp = 440.0 * std::pow(2.0, 1.0 / 24.0);
    const Case cases[] = {
        {440.0, 440.0f, "A 4", 0.0f},
        // 2 Hz under a 442 Hz A: 2 / ((442 - 442 / 2^(1/12)) / 50) units flat.
        {440.0, 442.0f, "A 4", -4.03f},
        {quarterToneUp, 440.0f, "A 4", 24.63f},
        {277.18, 440.0f, "C 4#", 0.0f},
        {82.41, 440.0f, "E 2", 0.0f},
    };
    for (const Case& c : cases) {
        auto tuner = Tuned(c.frequency, c.a4);
        EXPECT_TRUE(tuner->HasReading());
        EXPECT_EQ(tuner->NoteName(), c.name) << c.frequency;
        EXPECT_NEAR(tuner->Deviation(), c.deviation, 0.1f) << c.frequency << " " << c.a4;
        EXPECT_NEAR(tuner->DetectedFrequency(), c.frequency, 0.002 * c.frequency);
        EXPECT_EQ(tuner->Value(At::kToneFrequency), tuner->DetectedFrequency());
    }
    EXPECT_EQ(Tuned(440.0)->NoteIndex(), 57);
    EXPECT_EQ(Tuned(440.0)->Octave(), 4);
}

TEST(AutoTunerReading, GuitarAndBassRangeWithinACent)
{
    // Strings from a bass's low E (its fundamental under the searched band)
    // to a guitar's high E at the 24th fret, as tones with eight harmonics.
    const std::vector<double> notes = {41.20, 55.00, 73.42, 98.00, 146.83, 196.00, 329.63, 659.26, 987.77, 1318.51};
    const std::vector<double> ends = {41.20, 196.00, 1318.51};
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
        // The common rates over the whole range, the extreme ones at its ends.
        for (double note : rate == 44100.0 || rate == 48000.0 ? notes : ends) {
            auto tuner = Tuned(note, 440.0f, rate, 8);
            ASSERT_TRUE(tuner->HasReading()) << rate << " " << note;
            EXPECT_NEAR(Cents(tuner->DetectedFrequency(), note), 0.0, 1.0) << rate << " " << note;
        }
    }
}

TEST(AutoTunerReading, PureToneAndNoise)
{
    // A pure tone needs no harmonics; noise and silence give no pitch.
    EXPECT_NEAR(Cents(Tuned(1318.51, 440.0f, 48000.0)->DetectedFrequency(), 1318.51), 0.0, 1.0);
    EXPECT_NEAR(Cents(Tuned(55.0, 440.0f, 48000.0)->DetectedFrequency(), 55.0), 0.0, 1.0);

    auto tuner = Make<At>();
    std::vector<float> left(kSettledFrames);
    uint32_t seed = 1;
    for (float& v : left) {
        seed = seed * 1664525u + 1013904223u;
        v = float(int32_t(seed)) / 4.3e9f;
    }
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(*tuner, left, right, 512);
    EXPECT_FALSE(tuner->HasReading());
}

TEST(AutoTunerReading, ResultsHoldThroughSilenceAndBypass)
{
    auto tuner = Tuned(196.0);
    const float frequency = tuner->DetectedFrequency();
    std::vector<float> silence(20 * 4096);
    std::vector<float> copy = silence;
    testing_support::ProcessInBlocks(*tuner, silence, copy, 512);
    EXPECT_NEAR(tuner->DetectedFrequency(), frequency, 0.05f);
    EXPECT_EQ(tuner->NoteName(), "G 3");

    // Bypassed, nothing is collected: a different note leaves no trace.
    tuner->OnParameterChange(1, 1.0f);
    std::vector<float> left = HarmonicTone(300.0, 44100.0, 10 * 4096, 1);
    std::vector<float> right = left;
    testing_support::ProcessInBlocks(*tuner, left, right, 512);
    EXPECT_EQ(tuner->NoteName(), "G 3");
    tuner->OnParameterChange(1, 0.0f);
    testing_support::ProcessInBlocks(*tuner, silence, copy, 512);
    EXPECT_NEAR(tuner->DetectedFrequency(), frequency, 0.05f);
}

TEST(AutoTunerFrame, AudioPassesUnchanged)
{
    auto tuner = Make<At>(48000.0);
    const std::vector<float> left = HarmonicTone(110.0, 48000.0, 30000, 5);
    const std::vector<float> right = HarmonicTone(333.0, 48000.0, 30000, 2);
    std::vector<float> outLeft(left.size());
    std::vector<float> outRight(right.size());
    float peaks[2][2];
    for (size_t start = 0; start < left.size(); start += 1000) {
        const float* in[2] = {&left[start], &right[start]};
        float* out[2] = {&outLeft[start], &outRight[start]};
        tuner->Process(in, out, peaks[0], peaks[1], 1000);
    }
    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);
    EXPECT_TRUE(tuner->HasReading());
}

TEST(PitchAnalyser, NotesNamesAndDeviations)
{
    CPitchAnalyser analyser(4097, 44100);
    EXPECT_EQ(analyser.NearestNote(440.0), 57);
    EXPECT_EQ(analyser.NearestNote(16.0), 0);
    // At or below C0 the counting can end one under it, on a nameless note.
    EXPECT_EQ(analyser.NearestNote(8.0), -1);
    EXPECT_EQ(CPitchAnalyser::NameOf(-1).View(), "");
    EXPECT_EQ(CPitchAnalyser::NameOf(0).View(), "C 0");
    EXPECT_EQ(CPitchAnalyser::NameOf(46).View(), "A 3#");
    EXPECT_EQ(CPitchAnalyser::NameOf(125).View(), "F10");
    analyser.SetReference(442.0f);
    EXPECT_DOUBLE_EQ(analyser.NoteFrequency(57), 442.0);
}
