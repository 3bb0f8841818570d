#include "tests/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

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

struct Reading {
    double seconds;
    std::string note;
    double frequency;
    double deviation;
};

// The readings of a run, after checking its heading and its units.
std::vector<Reading> Readings(const std::vector<std::string>& args)
{
    const auto run = testing_support::RunStompsetBinary(args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::istringstream text(run.out);
    std::string line;
    std::getline(text, line);
    EXPECT_EQ(line, "    time  note   frequency  deviation");
    std::vector<Reading> readings;
    while (std::getline(text, line)) {
        std::istringstream fields(line);
        Reading r{};
        std::string octave;
        std::string hz;
        fields >> r.seconds >> r.note;
        if (r.note != "-") {
            fields >> octave >> r.frequency >> hz >> r.deviation;
            r.note += " " + octave;
            EXPECT_EQ(hz, "Hz") << line;
        }
        readings.push_back(r);
    }
    return readings;
}

} // namespace

TEST(CliTune, PrintsOneReadingPerFrame)
{
    const TemporaryFolder folder;
    const std::vector<float> tone = PluckedA2();
    testing_support::WriteFloatWav(folder / "a2.wav", {tone}, kRate);
    // The same string on the left only: the tuner hears the sum.
    testing_support::WriteFloatWav(folder / "stereo.wav", {tone, std::vector<float>(kFrames, 0.0f)}, kRate);
    for (const char* file : {"a2.wav", "stereo.wav"}) {
        SCOPED_TRACE(file);
        const std::vector<Reading> readings = Readings({"tune", "-i", folder / file});
        ASSERT_EQ(readings.size(), kFrames / 4096);
        for (size_t i = 0; i < readings.size(); ++i)
            EXPECT_NEAR(readings[i].seconds, double((i + 1) * 4096) / kRate, 0.0005);
        EXPECT_EQ(readings.back().note, "A 2");
        EXPECT_NEAR(readings.back().frequency, 110.0, 0.2);
        EXPECT_NEAR(readings.back().deviation, 0.0, 1.0);
    }

    // Against a 442 Hz A the same string reads about 4 units flat:
    // (110 - 110.5) / ((110.5 - 110.5 / 2^(1/12)) / 50).
    EXPECT_NEAR(Readings({"tune", "-i", folder / "a2.wav", "--a4", "442"}).back().deviation, -4.03, 1.0);

    testing_support::WriteFloatWav(folder / "silence.wav", {std::vector<float>(5 * 4096, 0.0f)}, 48000);
    const std::vector<Reading> silence = Readings({"tune", "--input", folder / "silence.wav"});
    ASSERT_EQ(silence.size(), 5u);
    for (const Reading& reading : silence)
        EXPECT_EQ(reading.note, "-");
}
