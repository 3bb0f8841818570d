#include "tests/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

using testing_support::Channels;
using testing_support::TemporaryFolder;

namespace {

constexpr int kRate = 44100;
constexpr size_t kFrames = 3 * kRate;

// A string plucked at 110 Hz (A2), its harmonics dying faster than its
// fundamental.
std::vector<float> PluckedA2()
{
    std::vector<float> tone(kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        const double t = double(i) / kRate;
        for (int h = 1; h <= 6; ++h)
            tone[i] += float(0.3 / h * std::exp(-0.5 * h * t) * std::sin(2.0 * std::numbers::pi * 110.0 * h * t));
    }
    return tone;
}

struct Line {
    double seconds;
    std::string note;
    std::string octave;
    double frequency;
    double deviation;
};

std::vector<Line> Readings(const std::string& out)
{
    std::istringstream text(out);
    std::string line;
    std::getline(text, line);
    EXPECT_EQ(line, "    time  note   frequency  deviation");
    std::vector<Line> lines;
    while (std::getline(text, line)) {
        std::istringstream fields(line);
        Line l{};
        fields >> l.seconds >> l.note;
        if (l.note != "-") {
            std::string hz;
            fields >> l.octave >> l.frequency >> hz >> l.deviation;
            EXPECT_EQ(hz, "Hz") << line;
        }
        lines.push_back(l);
    }
    return lines;
}

} // namespace

TEST(CliTune, PrintsOneReadingPerFrame)
{
    const TemporaryFolder folder;
    const std::vector<float> tone = PluckedA2();
    testing_support::WriteFloatWav(folder / "a2.wav", {tone}, kRate);
    // The same string a little flat on the right only: the tuner hears the sum.
    testing_support::WriteFloatWav(folder / "stereo.wav", {tone, std::vector<float>(kFrames, 0.0f)}, kRate);

    for (const char* file : {"a2.wav", "stereo.wav"}) {
        const auto run = testing_support::RunStompsetBinary({"tune", "-i", folder / file});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<Line> lines = Readings(run.out);
        ASSERT_EQ(lines.size(), kFrames / 4096) << file;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_NEAR(lines[i].seconds, double((i + 1) * 4096) / kRate, 0.0005);
        const Line& last = lines.back();
        EXPECT_EQ(last.note + " " + last.octave, "A 2") << file;
        EXPECT_NEAR(last.frequency, 110.0, 0.2) << file;
        EXPECT_NEAR(last.deviation, 0.0, 1.0) << file;
    }

    // Against a 442 Hz A the same string reads about 4 units flat:
    // (110 - 110.5) / ((110.5 - 110.5 / 2^(1/12)) / 50).
    const auto sharpA = testing_support::RunStompsetBinary({"tune", "-i", folder / "a2.wav", "--a4", "442"});
    ASSERT_EQ(sharpA.status, 0) << sharpA.err;
    EXPECT_NEAR(Readings(sharpA.out).back().deviation, -4.03, 1.0);
}

TEST(CliTune, SilenceShowsNoNote)
{
    const TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "silence.wav", {std::vector<float>(5 * 4096, 0.0f)}, 48000);
    const auto run = testing_support::RunStompsetBinary({"tune", "--input", folder / "silence.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<Line> lines = Readings(run.out);
    ASSERT_EQ(lines.size(), 5u);
    for (const Line& line : lines)
        EXPECT_EQ(line.note, "-");
}

TEST(CliTune, RejectsBadInput)
{
    const TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "tone.wav", {PluckedA2()}, kRate);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"tune"}, 2, "tune needs --input"},
        {{"tune", "-i", folder / "missing.wav"}, 1, "missing.wav"},
        {{"tune", "-i", folder / "tone.wav", "--a4", "600"}, 2, "A4"},
        {{"tune", "-i", folder / "tone.wav", "--a4", "high"}, 2, "--a4 takes a frequency"},
        {{"tune", "-i", folder / "tone.wav", "extra"}, 2, "unexpected argument 'extra'"},
    };
    for (const Case& c : cases) {
        const auto run = testing_support::RunStompsetBinary(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}
