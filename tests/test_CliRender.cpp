#include "cli/CORVEffectChain.h"
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

// Streaming never cuts a slice short, so the slices stay those of a
// real-time host with the same block length.
TEST(RenderCommand, EffectsStreamInChunksOfWholeSlices)
{
    for (int32_t block : {1, 300, 1000, 2047, 2048}) {
        const CORVEffectChain chain({}, kSampleRate, {kTempo, block});
        EXPECT_EQ(chain.ChunkFrames() % block, 0) << block;
        EXPECT_GT(chain.ChunkFrames(), CORVEffectChain::kPreferredChunkFrames - block);
        EXPECT_LE(chain.ChunkFrames(), CORVEffectChain::kPreferredChunkFrames);
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
