// A host nobody here wrote: lilv's lv2apply renders a file through each
// stereo plug-in of the bundle at its defaults, and the result matches the
// stompset renderer sample for sample.  lv2apply runs the plug-in one frame
// at a time, so the renderer is asked for slices of one frame too.
#include "core/CORVEffectCatalogue.h"
#include "tests/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace testing_support;

namespace {

constexpr int kSampleRate = 48000;
constexpr size_t kFrames = 12000;

int RunLv2Apply(const std::string& in, const std::string& out, const std::string& uri)
{
    const std::string command = "LV2_PATH=" + ShellQuoted(ORV_LV2_BUNDLE_PARENT) + ":/usr/lib/lv2 lv2apply -i " +
                                ShellQuoted(in) + " -o " + ShellQuoted(out) + " " + ShellQuoted(uri) +
                                " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Lv2Apply, RendersLikeStompsetForEveryAvailableEffect)
{
    const TemporaryFolder folder;
    Channels input(2, std::vector<float>(kFrames));
    for (size_t i = 0; i < kFrames; ++i) {
        input[0][i] = 0.5f * float(std::sin(2.0 * M_PI * 220.0 * double(i) / kSampleRate));
        input[1][i] = 0.3f * float(std::sin(2.0 * M_PI * 331.0 * double(i) / kSampleRate));
    }
    WriteFloatWav(folder / "in.wav", input, kSampleRate);

    for (const CatalogueEntry& entry : kCatalogue) {
        const std::string name = entry.shortName;
        const std::string uri = std::string("https://orvanta.audio/lv2/stompset/") + name;
        ASSERT_EQ(RunLv2Apply(folder / "in.wav", folder / (name + "-lv2.wav"), uri), 0) << uri;
        const ProgramRun render = RunStompsetBinary(
            {"render", "-i", folder / "in.wav", "-o", folder / (name + "-cli.wav"), "-e", name, "--block", "1"});
        ASSERT_EQ(render.status, 0) << render.err;
        const AudioFile host = ReadAudio(folder / (name + "-lv2.wav"));
        const AudioFile ours = ReadAudio(folder / (name + "-cli.wav"));
        EXPECT_EQ(host.channels, ours.channels) << name;
    }
}
