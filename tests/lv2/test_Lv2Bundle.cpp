// The built LV2 bundle, loaded through lilv the way a host loads it.
#include "core/CORVEffectCatalogue.h"
#include "tests/EffectContract.h"
#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

namespace {

constexpr uint32_t kMaxBlock = 8192;

lv2test::World& TheWorld()
{
    static lv2test::World world(ORV_LV2_BUNDLE_DIR);
    return world;
}

std::string Uri(const LilvPlugin* plugin) { return lilv_node_as_uri(lilv_plugin_get_uri(plugin)); }

std::vector<std::vector<float>> TestSignal(uint32_t channels, size_t frames, double sampleRate, unsigned seed = 3)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::vector<std::vector<float>> signal(channels, std::vector<float>(frames));
    for (uint32_t c = 0; c < channels; ++c)
        for (size_t i = 0; i < frames; ++i)
            signal[c][i] = 0.4f * float(std::sin(2.0 * M_PI * (110.0 + 55.0 * c) * double(i) / sampleRate)) +
                           noise(random);
    return signal;
}

// Runs the whole signal in blocks of the given length.
std::vector<std::vector<float>> RunAll(lv2test::Instance& instance, const std::vector<std::vector<float>>& in,
                                       uint32_t block)
{
    std::vector<std::vector<float>> out(in.size(), std::vector<float>(in[0].size()));
    for (size_t start = 0; start < in[0].size(); start += block)
        instance.Run(in, out, uint32_t(start), uint32_t(std::min<size_t>(block, in[0].size() - start)));
    return out;
}

// Fails on NaN, infinity or a subnormal anywhere in the output.
::testing::AssertionResult AllNormal(const std::vector<std::vector<float>>& out)
{
    for (size_t c = 0; c < out.size(); ++c)
        for (size_t i = 0; i < out[c].size(); ++i)
            if (!std::isfinite(out[c][i]) || std::fpclassify(out[c][i]) == FP_SUBNORMAL)
                return ::testing::AssertionFailure() << "sample " << i << " of channel " << c << " is " << out[c][i];
    return ::testing::AssertionSuccess();
}

void SetRandomParameters(lv2test::Instance& instance, std::mt19937& random)
{
    for (const auto& parameter : instance.Parameters()) {
        std::uniform_real_distribution<float> value(parameter.minimum, parameter.maximum);
        const float v = value(random);
        instance.SetControl(parameter.symbol, parameter.integer ? std::round(v) : v);
    }
}

// The stereo and the mono plug-in of one effect.
std::vector<const LilvPlugin*> FormsOf(int32_t effectId)
{
    const std::string stereo = std::string("https://orvanta.audio/lv2/stompset/") + FindCatalogueEntry(effectId)->shortName;
    std::vector<const LilvPlugin*> forms;
    for (const std::string& uri : {stereo, stereo + "-mono"}) {
        const LilvPlugin* plugin = TheWorld().Plugin(uri);
        EXPECT_NE(plugin, nullptr) << uri;
        if (plugin)
            forms.push_back(plugin);
    }
    return forms;
}

// One test per effect, both forms in each, so the runner can spread the
// effects over the machine's cores.
class Lv2EveryEffect : public ::testing::TestWithParam<int32_t> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Catalogue, Lv2EveryEffect, ::testing::ValuesIn(testing_support::EveryEffectId()),
                         testing_support::EffectName());

TEST(Lv2Bundle, OffersStereoAndMonoFormOfEveryEffect)
{
    const auto plugins = TheWorld().BundlePlugins();
    for (const CatalogueEntry& entry : kCatalogue) {
        const std::string stereoUri = std::string("https://orvanta.audio/lv2/stompset/") + entry.shortName;
        const LilvPlugin* stereo = TheWorld().Plugin(stereoUri);
        const LilvPlugin* mono = TheWorld().Plugin(stereoUri + "-mono");
        ASSERT_NE(stereo, nullptr) << stereoUri;
        ASSERT_NE(mono, nullptr);
        LilvNode* name = lilv_plugin_get_name(stereo);
        EXPECT_STREQ(lilv_node_as_string(name), entry.longName);
        lilv_node_free(name);
        LilvNode* audio = lilv_new_uri(TheWorld().Get(), LV2_CORE__AudioPort);
        EXPECT_EQ(lilv_plugin_get_num_ports_of_class(stereo, audio, nullptr), 4u);
        EXPECT_EQ(lilv_plugin_get_num_ports_of_class(mono, audio, nullptr), 2u);
        lilv_node_free(audio);
    }
    EXPECT_EQ(plugins.size(), 2 * kCatalogue.size());
}

TEST_P(Lv2EveryEffect, SurviveEverySampleRateAndBlockLength)
{
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        for (double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
            for (uint32_t block : {1u, 17u, 64u, 256u, 1024u, 8192u}) {
                lv2test::Instance instance(TheWorld(), plugin, rate, kMaxBlock);
                ASSERT_TRUE(instance.Valid()) << Uri(plugin);
                const auto in = TestSignal(instance.AudioChannels(), std::max<size_t>(4096, 2 * block), rate);
                EXPECT_TRUE(AllNormal(RunAll(instance, in, block))) << Uri(plugin) << " " << rate << " " << block;
            }
        }
    }
}

TEST_P(Lv2EveryEffect, RandomParameterSetsRunWithoutAllocatingOrLocking)
{
    std::mt19937 random(42);
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        // From the very first run straight after instantiate, in blocks
        // twice the nominal length the host announced.
        constexpr uint32_t kBlock = 2 * lv2test::World::kNominalBlock;
        lv2test::Instance instance(TheWorld(), plugin, 48000.0, kMaxBlock);
        const auto in = TestSignal(instance.AudioChannels(), kBlock, 48000.0);
        std::vector<std::vector<float>> out(in.size(), std::vector<float>(kBlock));
        instance.ResetRunCounts();
        instance.Run(in, out, 0, kBlock);
        EXPECT_EQ(instance.RunAllocations(), 0u) << Uri(plugin) << " first run";
        for (int set = 0; set < 50; ++set) {
            SetRandomParameters(instance, random);
            instance.SetControl("enabled", set % 7 == 3 ? 0.0f : 1.0f);
            if (set % 10 == 0)
                instance.SendTempo(float(60 + set));
            instance.ResetRunCounts();
            for (int block = 0; block < 5; ++block)
                instance.Run(in, out, 0, kBlock);
            EXPECT_EQ(instance.RunAllocations(), 0u) << Uri(plugin) << " set " << set;
            EXPECT_EQ(instance.RunLocks(), 0u) << Uri(plugin) << " set " << set;
            EXPECT_TRUE(AllNormal(out)) << Uri(plugin) << " set " << set;
        }
    }
}

// True when two of the effect's parameters share their first four
// characters: their controls share one chunk entry, and the chunk alone
// cannot tell them apart (the host's saved port values then do).
bool ParametersShareChunkKeys(const LilvPlugin* plugin)
{
    const std::string uri = Uri(plugin);
    std::string shortName = uri.substr(uri.rfind('/') + 1);
    if (shortName.size() > 5 && shortName.compare(shortName.size() - 5, 5, "-mono") == 0)
        shortName.resize(shortName.size() - 5);
    for (const CatalogueEntry& entry : kCatalogue) {
        if (shortName != entry.shortName)
            continue;
        std::set<std::string> keys;
        const auto algorithm = CreateAlgorithm(entry.effectId, 48000.0, 256);
        for (const auto& [index, parameter] : algorithm->parameters)
            if (!keys.insert(parameter->name.substr(0, 4)).second)
                return true;
    }
    return false;
}

TEST_P(Lv2EveryEffect, RestoredStateSavesIdenticallyAndSoundsTheSame)
{
    std::mt19937 random(9);
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        lv2test::Instance original(TheWorld(), plugin, 44100.0, kMaxBlock);
        SetRandomParameters(original, random);
        const auto in = TestSignal(original.AudioChannels(), 4096, 44100.0);
        RunAll(original, in, 256);
        const auto saved = original.SaveState();
        ASSERT_EQ(saved.size(), 1u) << Uri(plugin);

        lv2test::Instance restored(TheWorld(), plugin, 44100.0, kMaxBlock);
        ASSERT_TRUE(restored.RestoreState(saved));
        if (!ParametersShareChunkKeys(plugin)) {
            const auto again = restored.SaveState();
            ASSERT_EQ(again.size(), 1u);
            EXPECT_EQ(again[0].value, saved[0].value) << Uri(plugin);
        }

        // A host restores the port values it saved alongside the state.
        for (const auto& parameter : original.Parameters())
            restored.SetControl(parameter.symbol, original.GetControl(parameter.symbol));
        lv2test::Instance fresh(TheWorld(), plugin, 44100.0, kMaxBlock);
        fresh.RestoreState(saved);
        for (const auto& parameter : original.Parameters())
            fresh.SetControl(parameter.symbol, original.GetControl(parameter.symbol));
        EXPECT_EQ(RunAll(restored, in, 256), RunAll(fresh, in, 256)) << Uri(plugin);
        const auto afterPorts = restored.SaveState();
        ASSERT_EQ(afterPorts.size(), 1u);
        EXPECT_EQ(afterPorts[0].value, saved[0].value) << Uri(plugin);
    }
}

TEST_P(Lv2EveryEffect, TailsDecayInSilence)
{
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        lv2test::Instance instance(TheWorld(), plugin, 48000.0, kMaxBlock);
        auto signal = TestSignal(instance.AudioChannels(), 48000 * 21, 48000.0);
        for (auto& channel : signal)
            std::fill(channel.begin() + 48000, channel.end(), 0.0f);
        const auto out = RunAll(instance, signal, 1024);
        for (const auto& channel : out) {
            float tail = 0.0f;
            for (size_t i = channel.size() - 48000; i < channel.size(); ++i)
                tail = std::max(tail, std::fabs(channel[i]));
            EXPECT_LT(tail, 1.32e-4f) << Uri(plugin);
        }
    }
}

TEST_P(Lv2EveryEffect, EnableSwitchBypassesAndRestores)
{
    // Long enough for the slowest delay's first echo.
    constexpr uint32_t kFrames = 4 * 48000;
    std::mt19937 random(21);
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        lv2test::Instance instance(TheWorld(), plugin, 48000.0, kMaxBlock);
        const auto in = TestSignal(instance.AudioChannels(), kFrames, 48000.0);
        // Some pedals are transparent at their defaults (a level control at
        // 0 dB); give those settings that change the sound.
        auto out = RunAll(instance, in, 1024);
        for (int attempt = 0; attempt < 20 && out[0] == in[0]; ++attempt) {
            SetRandomParameters(instance, random);
            instance.SetControl("tap", 0.0f); // tap mode would take the switch over
            out = RunAll(instance, in, 1024);
        }
        const bool listensOnly = out[0] == in[0]; // the tuner never changes the sound
        instance.SetControl("enabled", 0.0f);
        EXPECT_EQ(RunAll(instance, in, 1024), in) << Uri(plugin);
        instance.SetControl("enabled", 1.0f);
        const auto reenabled = RunAll(instance, in, 1024);
        EXPECT_TRUE(listensOnly || reenabled[0] != in[0]) << Uri(plugin);
    }
}

// After deactivate and activate nothing of the earlier audio comes out: an
// instance that heard a loud signal then gives in silence exactly what one
// that heard only silence gives, and that is exactly zero but for the
// effects that feed silence through as a tiny constant to keep their
// recursions out of subnormal numbers (the wahs and graphic equalisers
// 1e-7, the crunch and high-gain preamps and the cabinets 1e-8, the
// parametric equaliser 1e-20) and the power amplifier, whose tubes idle
// slightly apart; those stay below -80 dBFS.
TEST_P(Lv2EveryEffect, ActivateForgetsThePast)
{
    const std::set<std::string> withFloor = {"AW", "PW", "GEG", "GEB", "CPG", "HGG", "SPG", "SPB", "PE", "PAG"};
    const float floor = withFloor.count(FindCatalogueEntry(GetParam())->shortName) ? 1e-4f : 0.0f;
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        std::vector<std::vector<std::vector<float>>> afterwards;
        for (float level : {0.0f, 2.0f}) {
            lv2test::Instance instance(TheWorld(), plugin, 48000.0, kMaxBlock);
            auto before = TestSignal(instance.AudioChannels(), 48000, 48000.0, 5);
            for (auto& channel : before)
                for (float& sample : channel)
                    sample *= level;
            RunAll(instance, before, 1024);
            instance.Deactivate();
            instance.Activate();
            const std::vector<std::vector<float>> silence(instance.AudioChannels(), std::vector<float>(4800));
            afterwards.push_back(RunAll(instance, silence, 480));
        }
        EXPECT_EQ(afterwards[1], afterwards[0]) << Uri(plugin);
        for (const auto& channel : afterwards[1]) {
            float largest = 0.0f;
            for (float sample : channel)
                largest = std::max(largest, std::fabs(sample));
            EXPECT_LE(largest, floor) << Uri(plugin);
        }
    }
}

// A toggled port is on for any value above zero.
TEST(Lv2Plugins, EnabledPortAtHalfIsOn)
{
    std::vector<std::vector<std::vector<float>>> outputs;
    const auto in = TestSignal(2, 4096, 48000.0);
    for (float enabled : {1.0f, 0.5f}) {
        lv2test::Instance instance(TheWorld(), TheWorld().Plugin("https://orvanta.audio/lv2/stompset/OD"), 48000.0,
                                   kMaxBlock);
        ASSERT_TRUE(instance.SetControl("enabled", enabled));
        outputs.push_back(RunAll(instance, in, 512));
    }
    EXPECT_NE(outputs[0], in);
    EXPECT_EQ(outputs[1], outputs[0]);
}

// A port value beyond the knob's end that a factory preset holds reaches the
// effect as it stands: the delay's "Slow solo" echoes with "Stereo" -18,
// not with the 0 the knob stops at.
TEST(Lv2Plugins, PresetValueBeyondTheKnobReachesTheEffect)
{
    std::vector<std::vector<std::vector<float>>> outputs;
    const auto in = TestSignal(2, 48000, 48000.0);
    for (float stereo : {-18.0f, 0.0f}) {
        lv2test::Instance instance(TheWorld(), TheWorld().Plugin("https://orvanta.audio/lv2/stompset/BD"), 48000.0,
                                   kMaxBlock);
        ASSERT_TRUE(instance.SetControl("stereo", stereo));
        outputs.push_back(RunAll(instance, in, 512));
    }
    EXPECT_NE(outputs[0], outputs[1]);
}

// Every factory preset, read back from the bundle through lilv, holds
// exactly the algorithm's values, each within its port's declared range, so
// a host that keeps presets inside the ranges plays them unchanged.
TEST(Lv2Bundle, FactoryPresetsLieWithinTheirPortRanges)
{
    LilvWorld* world = TheWorld().Get();
    LilvNode* portKey = lilv_new_uri(world, LV2_CORE__port);
    LilvNode* symbolKey = lilv_new_uri(world, LV2_CORE__symbol);
    LilvNode* valueKey = lilv_new_uri(world, "http://lv2plug.in/ns/ext/presets#value");
    LilvNode* enabled = lilv_new_string(world, "enabled");
    for (const CatalogueEntry& entry : kCatalogue) {
        const std::string uri = std::string("https://orvanta.audio/lv2/stompset/") + entry.shortName;
        const LilvPlugin* plugin = TheWorld().Plugin(uri);
        ASSERT_NE(plugin, nullptr) << uri;
        const auto algorithm = CreateAlgorithm(entry.effectId, 48000.0, 256);
        // The parameter ports follow the enable switch in parameter order.
        const uint32_t firstParameter = lilv_port_get_index(plugin, lilv_plugin_get_port_by_symbol(plugin, enabled)) + 1;
        for (const auto& [index, preset] : algorithm->presets) {
            LilvNode* presetNode = lilv_new_uri(world, (uri + "/preset/" + std::to_string(index)).c_str());
            ASSERT_GE(lilv_world_load_resource(world, presetNode), 0) << uri << " preset " << index;
            LilvNodes* ports = lilv_world_find_nodes(world, presetNode, portKey, nullptr);
            ASSERT_EQ(lilv_nodes_size(ports), preset->values.size()) << uri << " " << preset->name;
            size_t checked = 0;
            LILV_FOREACH (nodes, i, ports) {
                const LilvNode* port = lilv_nodes_get(ports, i);
                LilvNode* symbol = lilv_world_get(world, port, symbolKey, nullptr);
                LilvNode* value = lilv_world_get(world, port, valueKey, nullptr);
                const LilvPort* described = lilv_plugin_get_port_by_symbol(plugin, symbol);
                ASSERT_NE(described, nullptr) << lilv_node_as_string(symbol);
                LilvNode* minimum = nullptr;
                LilvNode* maximum = nullptr;
                lilv_port_get_range(plugin, described, nullptr, &minimum, &maximum);
                const float v = lilv_node_as_float(value);
                const std::string where = uri + " " + preset->name + " " + lilv_node_as_string(symbol);
                EXPECT_EQ(v, preset->values.at(lilv_port_get_index(plugin, described) - firstParameter)) << where;
                EXPECT_GE(v, lilv_node_as_float(minimum)) << where;
                EXPECT_LE(v, lilv_node_as_float(maximum)) << where;
                ++checked;
                for (LilvNode* node : {symbol, value, minimum, maximum})
                    lilv_node_free(node);
            }
            EXPECT_EQ(checked, preset->values.size());
            lilv_nodes_free(ports);
            lilv_node_free(presetNode);
        }
    }
    for (LilvNode* node : {portKey, symbolKey, valueKey, enabled})
        lilv_node_free(node);
}

TEST(Lv2Plugins, HostTempoDrivesTheSyncedTremolo)
{
    lv2test::Instance instance(TheWorld(), TheWorld().Plugin("https://orvanta.audio/lv2/stompset/TR"), 48000.0,
                               kMaxBlock);
    ASSERT_TRUE(instance.SetControl("depth", 100.0f));
    ASSERT_TRUE(instance.SetControl("sync_coeff", 3.0f)); // "1/4": one cycle per beat
    instance.SendTempo(90.0f);
    const size_t frames = 48000 * 3;
    std::vector<std::vector<float>> in(2, std::vector<float>(frames, 0.5f));
    const auto out = RunAll(instance, in, 512);
    // With full depth the gain touches zero once per cycle: 1.5 Hz at 90 BPM.
    std::vector<size_t> silentAt;
    for (size_t i = 0; i < frames; ++i)
        if (out[0][i] == 0.0f && (silentAt.empty() || i - silentAt.back() > 1000))
            silentAt.push_back(i);
    ASSERT_GE(silentAt.size(), 3u);
    for (size_t k = 1; k < silentAt.size(); ++k)
        EXPECT_NEAR(double(silentAt[k] - silentAt[k - 1]), 32000.0, 40.0);
}

TEST(Lv2Plugins, TunerReportsNoteFrequencyAndDeviation)
{
    lv2test::Instance tuner(TheWorld(), TheWorld().Plugin("https://orvanta.audio/lv2/stompset/AT"), 48000.0,
                            kMaxBlock);
    ASSERT_TRUE(tuner.Valid());
    std::vector<std::vector<float>> in(2, std::vector<float>(48000 * 3));
    for (size_t i = 0; i < in[0].size(); ++i) {
        const double t = double(i) / 48000.0;
        in[0][i] = in[1][i] = float(0.3 * std::sin(2.0 * M_PI * 110.0 * t) + 0.15 * std::sin(2.0 * M_PI * 220.0 * t));
    }
    EXPECT_EQ(tuner.GetControl("note"), -1.0f);
    RunAll(tuner, in, 512);
    EXPECT_EQ(tuner.GetControl("note"), 33.0f); // A2: A4 is 57
    EXPECT_NEAR(tuner.GetControl("frequency"), 110.0f, 0.2f);
    EXPECT_NEAR(tuner.GetControl("deviation"), 0.0f, 1.0f);
}
