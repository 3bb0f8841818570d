#include "cli/CORVEffectChain.h"
#include "cli/Demo.h"
#include "cli/DemoRiff.h"
#include "cli/EffectLookup.h"
#include "cli/Pedalboard.h"
#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double LargestDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    double largest = 0.0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, double(std::fabs(a[i] - b[i])));
    return largest;
}

} // namespace

// Ten seconds of a riff at 120 BPM, every beat audible, dry and through the
// pedalboard (gate, drive, modulation, delay, reverb, cabinet), both below
// full scale.
TEST(Demo, WritesAnAudibleDryRiffAndADifferentWetOneBelowFullScale)
{
    const testing_support::TemporaryFolder folder;
    const DemoResult result = RunDemo(folder / "demo");
    EXPECT_EQ(result.dryPath, folder / "demo/demo-dry.wav");
    EXPECT_EQ(result.wetPath, folder / "demo/demo-wet.wav");
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
    for (size_t start = 0; start < riff.size(); start += 24000) {
        const std::vector<float> beat(riff.begin() + long(start), riff.begin() + long(start + 24000));
        EXPECT_GT(testing_support::Rms(beat), 0.002) << "beat " << start / 24000;
    }
    EXPECT_GT(LargestDifference(dry.channels[0], wet.channels[0]), 0.05);
    // The auto pan spreads the mono riff: the wet sides differ.
    EXPECT_GT(LargestDifference(wet.channels[0], wet.channels[1]), 0.05);
    EXPECT_EQ(result.summary.frames, 480000);

    const std::vector<std::string> expectedOrder = {"NG", "OD", "CH", "TR", "AP", "BD", "RV", "SPG"};
    std::vector<std::string> order;
    for (const PedalboardStage& stage : DefaultPedalboard())
        order.emplace_back(FindEffect(ParseEffectSpec(stage.effectArgument).effect).shortName);
    EXPECT_EQ(order, expectedOrder);
    std::vector<std::string> built;
    const CORVEffectChain chain(PedalboardRequests(), kDemoSampleRate);
    for (const auto& stage : chain.Stages())
        built.emplace_back(stage->Entry().shortName);
    EXPECT_EQ(built, expectedOrder);
}
