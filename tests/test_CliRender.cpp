#include "cli/CORVEffectChain.h"
#include "cli/Demo.h"
#include "cli/DemoRiff.h"
#include "cli/Pedalboard.h"
#include "cli/Render.h"
#include "core/CORVEffectGroupSpecific.h"
#include "effects/modulation/CORVAutoPanDSP.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "host/PlugInLibrary.h"
#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <limits>
#include <numbers>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testing_support::Channels;
using testing_support::TemporaryFolder;

namespace {

constexpr int kSampleRate = 44100;
// Longer than one streaming chunk, so the render crosses chunk boundaries.
constexpr size_t kFrames = 100000;
constexpr int32_t kBlock = 1000;
constexpr double kTempo = 100.0;

Channels TestSignal(size_t channels)
{
    Channels signal{testing_support::Sine(220.0, kSampleRate, kFrames, 0.4f)};
    if (channels == 2)
        signal.push_back(testing_support::Sine(330.0, kSampleRate, kFrames, 0.3f));
    return signal;
}

// An offline instance of the plug-in core as a host would make it, with a
// factory preset and plain values on top.
std::unique_ptr<CORVEffectProcessAS> Offline(int32_t effectId, int32_t preset,
                                             const std::vector<std::pair<int32_t, float>>& values)
{
    NewPlugIn();
    std::unique_ptr<CEffectProcess> made =
        GetPlugInGroup()->CreateProcess(FindCatalogueEntry(effectId)->OfflineId(), kSampleRate);
    std::unique_ptr<CORVEffectProcessAS> offline(dynamic_cast<CORVEffectProcessAS*>(made.release()));
    offline->SetHostTempo(kTempo);
    offline->SetSliceFrames(kBlock);
    offline->ApplyPresetFromEditor(preset);
    for (const auto& [index, plain] : values) {
        const CORVDSPParameter* parameter = offline->GetAlgorithm()->GetParameter(index);
        offline->SetControlValue(index, CORVEffectProcess::ToControlValue(parameter->NormalizedFromPlain(plain)));
    }
    return offline;
}

} // namespace

// The program's output against the same chain set up by hand on the
// plug-in core: float WAV sample for sample, 24-bit FLAC to within a step.
TEST(RenderCommand, OutputMatchesTheCoreSampleForSample)
{
    struct Case {
        size_t channels;
        const char* output;
        int format;
        float tolerance;
    };
    for (const Case& c : {Case{2, "out.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.0f},
                          Case{1, "out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1.0f / 8388608.0f}}) {
        SCOPED_TRACE(c.output);
        const TemporaryFolder folder;
        const Channels input = TestSignal(c.channels);
        testing_support::WriteFloatWav(folder / "in.wav", input, kSampleRate);
        const auto run = testing_support::RunStompsetBinary(
            {"render", "-i", folder / "in.wav", "-o", folder / c.output, "--tempo", "100", "--block", "1000", "-e",
             "TR:preset=Hard tremolo:Depth=60:Sync coeff=1/8", "-e",
             "Auto Pan:preset=leslie rotary:center=-20:stereo=50%"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind("100000 frames, 2.268 s at 44100 Hz | TR in ", 0), 0u) << run.out;
        EXPECT_NE(run.out.find(" | AP in "), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("x real time\n"), std::string::npos) << run.out;

        // Hard tremolo is factory preset 3, 1/8 sync entry 5; Leslie rotary
        // is preset 2.
        Channels expected = input;
        for (const auto& process :
             {Offline(180, 3, {{CORVTremoloDSP::kDepth, 60.0f}, {CORVTremoloDSP::kSyncCoeff, 5.0f}}),
              Offline(5, 2, {{CORVAutoPanDSP::kCenter, -20.0f}, {CORVAutoPanDSP::kStereo, 50.0f}})}) {
            for (size_t channel = 0; channel < expected.size(); ++channel) {
                const SAudioBuffer buffer{expected[channel].data(), int32_t(kFrames)};
                process->SetInputBuffer(int(channel), buffer);
                process->SetOutputBuffer(int(channel), buffer);
            }
            process->Run();
        }
        EXPECT_GT(testing_support::Rms(expected[0]), 0.05);
        EXPECT_NE(expected, input);

        const auto output = testing_support::ReadAudio(folder / c.output);
        EXPECT_EQ(output.sampleRate, kSampleRate);
        EXPECT_EQ(output.format, c.format);
        ASSERT_EQ(output.channels.size(), c.channels);
        for (size_t channel = 0; channel < c.channels; ++channel) {
            ASSERT_EQ(output.channels[channel].size(), kFrames);
            for (size_t i = 0; i < kFrames; ++i)
                ASSERT_NEAR(output.channels[channel][i], expected[channel][i], c.tolerance) << "frame " << i;
        }
    }
}

TEST(RenderCommand, SummaryReportsEachStagesPeaks)
{
    // A 0.4 sine through a bypassed tremolo and an auto pan at its default
    // (each side swings up to twice the mono sum).
    Channels signal = TestSignal(2);
    signal[1] = signal[0];
    CORVEffectChain chain({ParseEffectSpec("TR:bypass"), ParseEffectSpec("AP")}, kSampleRate, {kTempo, kBlock});
    float* channels[2] = {signal[0].data(), signal[1].data()};
    chain.Process(channels, 2, int32_t(kFrames));
    const double sineDb = 20.0 * std::log10(0.4);
    EXPECT_NEAR(chain.Stages()[0]->InputPeakDb(), sineDb, 0.01);
    EXPECT_NEAR(chain.Stages()[0]->OutputPeakDb(), sineDb, 0.01);
    EXPECT_NEAR(chain.Stages()[1]->InputPeakDb(), sineDb, 0.01);
    const float outputPeak = std::max(testing_support::Peak(signal[0]), testing_support::Peak(signal[1]));
    EXPECT_NEAR(chain.Stages()[1]->OutputPeakDb(), 20.0 * std::log10(outputPeak), 0.01);
    EXPECT_GT(outputPeak, 0.6f);

    // NaN and infinity are counted where they go in and come out: a peak
    // alone would read like silence.
    signal = TestSignal(2);
    signal[0][10] = signal[1][20000] = std::numeric_limits<float>::quiet_NaN();
    signal[1][30] = -std::numeric_limits<float>::infinity();
    CORVEffectChain poisoned({ParseEffectSpec("TR:bypass"), ParseEffectSpec("AP")}, kSampleRate, {kTempo, kBlock});
    channels[0] = signal[0].data();
    channels[1] = signal[1].data();
    poisoned.Process(channels, 2, int32_t(kFrames));
    int64_t left = 0;
    for (const std::vector<float>& channel : signal)
        left += std::count_if(channel.begin(), channel.end(), [](float x) { return !std::isfinite(x); });
    EXPECT_EQ(poisoned.Stages()[0]->InputNonFinite(), 3);
    EXPECT_EQ(poisoned.Stages()[0]->OutputNonFinite(), 3);
    EXPECT_EQ(poisoned.Stages()[1]->InputNonFinite(), 3);
    EXPECT_EQ(poisoned.Stages()[1]->OutputNonFinite(), left);
    const RenderSummary summary{kFrames, kSampleRate, 2, 0.0, {{"TR", -6.0, -6.0, 3, 1}, {"AP", -6.0, -6.0, 0, 0}}};
    EXPECT_EQ(FormatSummary(summary), "100000 frames, 2.268 s at 44100 Hz | TR in -6.0 dBFS (3 non-finite samples), "
                                      "out -6.0 dBFS (1 non-finite sample) | AP in -6.0 dBFS, out -6.0 dBFS");
}

// The output path is written through, never over: a link stays a link, a
// FIFO stays a FIFO, a file keeps its permissions, and a name as long as
// the file system takes still has room for the hidden file beside it.
TEST(RenderCommand, OutputPathsAreWrittenThroughSafely)
{
    const TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "in.wav", TestSignal(1), kSampleRate);
    const auto render = [&folder](const std::string& output) {
        return testing_support::RunStompsetBinary({"render", "-i", folder / "in.wav", "-o", output, "-e", "TR"});
    };
    std::filesystem::create_directory(folder / "kept");
    testing_support::WriteFile(folder / "kept/private.wav", "old");
    chmod((folder / "kept/private.wav").c_str(), 0600);
    std::filesystem::create_symlink("kept/private.wav", folder / "link.wav");
    ASSERT_EQ(render(folder / "link.wav").status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.wav"));
    EXPECT_EQ(std::filesystem::status(folder / "kept/private.wav").permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(testing_support::ReadAudio(folder / "kept/private.wav").channels[0].size(), kFrames);

    const std::string longest = std::string(251, 'n') + ".wav";
    ASSERT_EQ(render(folder / longest).status, 0);
    EXPECT_EQ(testing_support::ReadAudio(folder / longest).channels[0].size(), kFrames);

    // The test holds a writing end of its own, so that its reader sees the
    // end only after the render, and never waits for ever if none comes.
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    const int readEnd = open((folder / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    const int ownWriteEnd = open((folder / "fifo").c_str(), O_WRONLY);
    ASSERT_GE(readEnd, 0);
    ASSERT_GE(ownWriteEnd, 0);
    fcntl(readEnd, F_SETFL, 0);
    std::string received;
    std::thread reader([&] {
        char chunk[4096];
        for (ssize_t count; (count = read(readEnd, chunk, sizeof chunk)) > 0;)
            received.append(chunk, size_t(count));
    });
    const auto run = render(folder / "fifo");
    close(ownWriteEnd);
    reader.join();
    close(readEnd);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(received.rfind("RIFF", 0), 0u);
    EXPECT_GT(received.size(), kFrames * sizeof(float));
    EXPECT_EQ(std::filesystem::status(folder / "fifo").type(), std::filesystem::file_type::fifo);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"fifo", "in.wav", "kept", "link.wav", longest}));
}

namespace {

double LargestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double largest = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, double(std::fabs(a[i] - b.at(i))));
    return largest;
}

} // namespace

// Ten seconds of a riff at 120 BPM, every beat audible, dry and through the
// pedalboard (gate, drive, modulation, delay, reverb, cabinet), both below
// full scale.
TEST(Demo, WritesAnAudibleDryRiffAndADifferentWetOneBelowFullScale)
{
    const TemporaryFolder folder;
    const DemoResult result = RunDemo(folder / "demo");
    EXPECT_EQ(result.dryPath, folder / "demo/demo-dry.wav");
    EXPECT_EQ(result.wetPath, folder / "demo/demo-wet.wav");
    // The eight pedals, four to a row, each 185 x 320 with 8 pixels around.
    const std::string sheet = testing_support::ReadFile(folder / "demo/demo-pedalboard.png");
    ASSERT_GT(sheet.size(), 24u);
    EXPECT_EQ(sheet.substr(12, 12), std::string("IHDR\0\0\x03\x0c\0\0\x02\x98", 12)); // 780 x 664
    const auto dry = testing_support::ReadAudio(result.dryPath);
    const auto wet = testing_support::ReadAudio(result.wetPath);
    for (const auto* file : {&dry, &wet}) {
        EXPECT_EQ(file->sampleRate, 48000);
        EXPECT_EQ(file->format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        ASSERT_EQ(file->channels.size(), 2u);
        for (const std::vector<float>& channel : file->channels) {
            ASSERT_EQ(channel.size(), 480000u);
            EXPECT_LT(testing_support::Peak(channel), 1.0f);
            EXPECT_GT(testing_support::Rms(channel), 0.01); // -40 dBFS
        }
    }
    const std::vector<float> riff = SynthesiseDemoRiff();
    EXPECT_EQ(dry.channels[0], riff);
    EXPECT_EQ(testing_support::Peak(riff), kDemoPeak);
    for (size_t beat = 0; beat < 20; ++beat)
        EXPECT_GT(testing_support::Rms({riff.begin() + long(beat * 24000), riff.begin() + long(beat * 24000 + 24000)}),
                  0.002)
            << "beat " << beat;
    EXPECT_GT(LargestDifference(dry.channels[0], wet.channels[0]), 0.05);
    // The pedalboard's levels bring the wet file up to -4.5 .. -2 dBFS, louder
    // than the dry riff, without clipping.
    using testing_support::Peak;
    EXPECT_NEAR(testing_support::Db(std::max(Peak(wet.channels[0]), Peak(wet.channels[1]))), -3.25, 1.25);
    // The auto pan spreads the mono riff: the wet sides differ.
    EXPECT_GT(LargestDifference(wet.channels[0], wet.channels[1]), 0.05);
    EXPECT_EQ(result.summary.frames, 480000);

    std::vector<std::string> built;
    const CORVEffectChain chain(PedalboardRequests(), kDemoSampleRate);
    for (const auto& stage : chain.Stages())
        built.emplace_back(stage->Entry().shortName);
    EXPECT_EQ(built, (std::vector<std::string>{"NG", "OD", "CH", "TR", "AP", "BD", "RV", "SPG"}));
}

namespace {

constexpr size_t kToneFrames = 3 * kSampleRate;

// A string plucked at 110 Hz (A2), its harmonics dying faster than its
// fundamental.
std::vector<float> PluckedA2()
{
    std::vector<float> tone(kToneFrames);
    for (size_t i = 0; i < kToneFrames; ++i) {
        const double t = double(i) / kSampleRate;
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
    for (Reading r{}; std::getline(text, line); readings.push_back(r)) {
        std::istringstream fields(line);
        std::string octave;
        std::string hz = "Hz";
        if (fields >> r.seconds >> r.note && r.note != "-" && fields >> octave >> r.frequency >> hz >> r.deviation)
            r.note += " " + octave;
        EXPECT_EQ(hz, "Hz") << line;
    }
    return readings;
}

} // namespace

TEST(CliTune, PrintsOneReadingPerFrame)
{
    const TemporaryFolder folder;
    const std::vector<float> tone = PluckedA2();
    testing_support::WriteFloatWav(folder / "a2.wav", {tone}, kSampleRate);
    // The same string on the left only: the tuner hears the sum.
    testing_support::WriteFloatWav(folder / "stereo.wav", {tone, std::vector<float>(kToneFrames, 0.0f)}, kSampleRate);
    for (const char* file : {"a2.wav", "stereo.wav"}) {
        SCOPED_TRACE(file);
        const std::vector<Reading> readings = Readings({"tune", "-i", folder / file});
        ASSERT_EQ(readings.size(), kToneFrames / 4096);
        for (size_t i = 0; i < readings.size(); ++i)
            EXPECT_NEAR(readings[i].seconds, double((i + 1) * 4096) / kSampleRate, 0.0005);
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
