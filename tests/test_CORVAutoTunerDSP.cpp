#include "effects/modulation/CORVAutoTunerDSP.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;
using At = CORVAutoTunerDSP;

namespace {

// A note held long enough for the smoother to settle (40 frames).
constexpr size_t kSettledFrames = 40 * 4096;

std::unique_ptr<At> Hearing(const std::vector<float>& tone, double rate, float a4 = 440.0f)
{
    auto tuner = Make<At>(rate);
    Set(*tuner, At::kA4, a4);
    Play(*tuner, tone);
    return tuner;
}

// A sine held long enough to settle.
std::unique_ptr<At> Tuned(double frequency, float a4 = 440.0f)
{
    return Hearing(HarmonicTone(frequency, 44100.0, kSettledFrames, 1), 44100.0, a4);
}

} // namespace

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
    const auto a4 = Tuned(440.0);
    EXPECT_EQ(a4->NoteIndex(), 57);
    EXPECT_EQ(a4->Octave(), 4);
}

namespace {

// Equal-tempered pitch of a note counted in semitones from C0, A4 = 440 Hz.
double NoteHz(int note) { return 440.0 * std::pow(2.0, (note - 57) / 12.0); }

// A plucked string: eight harmonics at 1/h, the higher ones dying faster, as
// a string's partials do.
std::vector<float> Pluck(double frequency, double rate, size_t frames)
{
    std::vector<float> tone(frames);
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        double v = 0.0;
        for (int h = 1; h <= 8; ++h)
            v += 0.4 / h * std::exp(-0.4 * h * t) * std::sin(2.0 * std::numbers::pi * frequency * h * t + 0.7 * h);
        tone[i] = float(v);
    }
    return tone;
}

} // namespace

TEST(AutoTunerReading, OpenStringsOfGuitarAndBass)
{
    // Bass E1 A1 D2 G2 (E1 at 41.2 Hz lies under the searched band: only its
    // harmonics' spacing gives it), guitar E2 A2 D3 G3 B3 E4, and the high E
    // at the 24th fret (1318.5 Hz).
    struct String {
        int note;
        const char* name;
    };
    const String strings[] = {{16, "E 1"}, {21, "A 1"}, {26, "D 2"}, {31, "G 2"}, {28, "E 2"}, {33, "A 2"},
                              {38, "D 3"}, {43, "G 3"}, {47, "B 3"}, {52, "E 4"}, {76, "E 6"}};
    for (const String& s : strings) {
        auto tuner = Hearing(Pluck(NoteHz(s.note), 48000.0, kSettledFrames), 48000.0);
        EXPECT_EQ(tuner->NoteName(), s.name);
        EXPECT_NEAR(tuner->Deviation(), 0.0f, 1.0f) << s.name;
    }
    // The other rates, at the ends of the range.
    for (double rate : {22050.0, 192000.0})
        for (int note : {16, 76}) {
            auto tuner = Hearing(Pluck(NoteHz(note), rate, kSettledFrames), rate);
            EXPECT_EQ(tuner->NoteIndex(), note) << rate;
            EXPECT_NEAR(tuner->Deviation(), 0.0f, 1.0f) << rate << " " << note;
        }
}

TEST(AutoTunerReading, SilenceAndNoiseReadNoNote)
{
    EXPECT_FALSE(Hearing(std::vector<float>(kSettledFrames), 44100.0)->HasReading());
    std::vector<float> noise(kSettledFrames);
    uint32_t seed = 1;
    for (float& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = float(int32_t(seed)) / 4.3e9f;
    }
    auto tuner = Hearing(noise, 44100.0);
    EXPECT_FALSE(tuner->HasReading());
    EXPECT_EQ(tuner->NoteName(), "");
}

// Reset forgets the reading; an input loud enough to overflow the analysis
// filters does not leave the tuner deaf to the notes that follow.
TEST(AutoTunerReading, ResetForgetsAndOverflowRecovers)
{
    auto tuner = Tuned(196.0);
    ASSERT_EQ(tuner->NoteName(), "G 3");
    tuner->Reset();
    EXPECT_FALSE(tuner->HasReading());
    EXPECT_EQ(tuner->NoteName(), "");
    std::vector<float> left = HarmonicTone(110.0, 44100.0, kSettledFrames, 1);
    left[100] = 3e38f;
    std::vector<float> right = left;
    ProcessInBlocks(*tuner, left, right, 512);
    EXPECT_EQ(tuner->NoteName(), "A 2");
}

TEST(AutoTunerFrame, AudioPassesUnchanged)
{
    auto tuner = Make<At>(48000.0);
    const Stereo input{HarmonicTone(110.0, 48000.0, 30000, 5), HarmonicTone(333.0, 48000.0, 30000, 2)};
    const Stereo output = PlayStereo(*tuner, input, 1000);
    EXPECT_EQ(output.left, input.left);
    EXPECT_EQ(output.right, input.right);
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
