// The built LV2 bundle, loaded through lilv the way a host loads it.
#include "core/CORVEffectCatalogue.h"
#include "core/CORVPresetFile.h"
#include "tests/TestSupport.h"
#include "lv2/PresetMessage.h"
#include "tests/EffectContract.h"
#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include <dlfcn.h>

#include <functional>

#include <cmath>
#include <random>
#include <set>

using lv2test::Instance;
using Channels = Instance::Channels;

namespace {

const std::string kUriBase = "https://orvanta.audio/lv2/stompset/";

lv2test::World& TheWorld()
{
    static lv2test::World world(ORV_LV2_BUNDLE_DIR);
    return world;
}

std::string Uri(const LilvPlugin* plugin) { return lilv_node_as_uri(lilv_plugin_get_uri(plugin)); }

Channels TestSignal(uint32_t channels, size_t frames, double sampleRate, unsigned seed = 3, float gain = 1.0f)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    Channels signal(channels, std::vector<float>(frames));
    for (uint32_t c = 0; c < channels; ++c)
        for (size_t i = 0; i < frames; ++i)
            signal[c][i] = gain * (0.4f * float(std::sin(2.0 * M_PI * (110.0 + 55.0 * c) * double(i) / sampleRate)) +
                                   noise(random));
    return signal;
}

// Fails on NaN, infinity or a subnormal anywhere in the output.
::testing::AssertionResult AllNormal(const Channels& out)
{
    for (size_t c = 0; c < out.size(); ++c)
        for (size_t i = 0; i < out[c].size(); ++i)
            if (!std::isfinite(out[c][i]) || std::fpclassify(out[c][i]) == FP_SUBNORMAL)
                return ::testing::AssertionFailure() << "sample " << i << " of channel " << c << " is " << out[c][i];
    return ::testing::AssertionSuccess();
}

void SetRandomParameters(Instance& instance, std::mt19937& random)
{
    for (const auto& parameter : instance.Parameters()) {
        const float v = std::uniform_real_distribution<float>(parameter.minimum, parameter.maximum)(random);
        instance.SetControl(parameter.symbol, parameter.integer ? std::round(v) : v);
    }
}

// The stereo and the mono plug-in of one effect.
std::vector<const LilvPlugin*> FormsOf(int32_t effectId)
{
    const std::string stereo = kUriBase + FindCatalogueEntry(effectId)->shortName;
    std::vector<const LilvPlugin*> forms{TheWorld().Plugin(stereo), TheWorld().Plugin(stereo + "-mono")};
    EXPECT_TRUE(forms[0] && forms[1]) << stereo;
    std::erase(forms, nullptr);
    return forms;
}

// One test per effect, both forms in each, so the runner can spread the
// effects over the machine's cores.
class Lv2EveryEffect : public ::testing::TestWithParam<int32_t> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Catalogue, Lv2EveryEffect, ::testing::ValuesIn(testing_support::EveryEffectId()),
                         testing_support::EffectName());

TEST_P(Lv2EveryEffect, SurviveEverySampleRateAndBlockLength)
{
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        for (double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
            // One instance meets every block length in turn, as a host that
            // changes its buffer size between runs would have it.
            Instance instance(TheWorld(), plugin, rate);
            ASSERT_TRUE(instance.Valid()) << Uri(plugin);
            for (uint32_t block : {1u, 17u, 64u, 256u, 1024u, 8192u}) {
                const auto in = TestSignal(instance.AudioChannels(), std::max<size_t>(2048, 2 * block), rate);
                EXPECT_TRUE(AllNormal(instance.Process(in, block))) << Uri(plugin) << " " << rate << " " << block;
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
        Instance instance(TheWorld(), plugin, 48000.0);
        const auto in = TestSignal(instance.AudioChannels(), kBlock, 48000.0);
        Channels out = instance.Process(in, kBlock);
        EXPECT_EQ(instance.runAllocations, 0u) << Uri(plugin) << " first run";
        for (int set = 0; set < 50; ++set) {
            SetRandomParameters(instance, random);
            instance.SetControl("enabled", set % 7 == 3 ? 0.0f : 1.0f);
            if (set % 10 == 0)
                instance.SendTempo(float(60 + set));
            for (int block = 0; block < 5; ++block)
                out = instance.Process(in, kBlock);
            EXPECT_EQ(instance.runAllocations, 0u) << Uri(plugin) << " set " << set;
            EXPECT_EQ(instance.runLocks, 0u) << Uri(plugin) << " set " << set;
            EXPECT_TRUE(AllNormal(out)) << Uri(plugin) << " set " << set;
        }
    }
}

// True when two of the effect's parameters share their first four
// characters: their controls share one chunk entry, and the chunk alone
// cannot tell them apart (the host's saved port values then do).
bool ParametersShareChunkKeys(int32_t effectId)
{
    std::set<std::string> keys;
    const auto algorithm = CreateAlgorithm(effectId, 48000.0, 256);
    for (const auto& [index, parameter] : algorithm->parameters)
        if (!keys.insert(parameter->name.substr(0, 4)).second)
            return true;
    return false;
}

// A state restored into an instance that has already run with port values
// of its own: the instance then saves that state again, and the ports, as
// the host left them, decide the next run, which leaves the state of an
// instance that only ever ran with those port values.  Once the host puts
// back the port values it saved with the state, the state is whole again.
TEST_P(Lv2EveryEffect, RestoredStateTakesOverButThePortsStillDecide)
{
    std::mt19937 random(9);
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        Instance original(TheWorld(), plugin, 44100.0);
        SetRandomParameters(original, random);
        const auto in = TestSignal(original.AudioChannels(), 4096, 44100.0);
        original.Process(in, 256);
        const auto saved = original.SaveState();
        ASSERT_EQ(saved.size(), 1u) << Uri(plugin);

        Instance used(TheWorld(), plugin, 44100.0);
        Instance plain(TheWorld(), plugin, 44100.0);
        SetRandomParameters(used, random);
        for (const auto& parameter : used.Parameters())
            plain.SetControl(parameter.symbol, used.GetControl(parameter.symbol));
        used.Process(in, 256);
        ASSERT_TRUE(used.RestoreState(saved));
        if (!ParametersShareChunkKeys(GetParam())) {
            EXPECT_EQ(used.SaveState().at(0).value, saved[0].value) << Uri(plugin);
        }
        used.Process(in, 256);
        plain.Process(in, 256);
        EXPECT_EQ(used.SaveState().at(0).value, plain.SaveState().at(0).value) << Uri(plugin);

        for (const auto& parameter : original.Parameters())
            used.SetControl(parameter.symbol, original.GetControl(parameter.symbol));
        used.Process(in, 256);
        EXPECT_EQ(used.SaveState().at(0).value, saved[0].value) << Uri(plugin);
    }
}

TEST_P(Lv2EveryEffect, TailsDecayInSilence)
{
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        Instance instance(TheWorld(), plugin, 48000.0);
        auto signal = TestSignal(instance.AudioChannels(), 48000 * 21, 48000.0);
        for (auto& channel : signal)
            std::fill(channel.begin() + 48000, channel.end(), 0.0f);
        for (const auto& channel : instance.Process(signal, 1024))
            for (auto sample = channel.end() - 48000; sample != channel.end(); ++sample)
                ASSERT_LT(std::fabs(*sample), 1.32e-4f) << Uri(plugin) << " in the last second";
    }
}

// Off, the pedal passes its input through untouched; on again, it changes
// the sound.  A toggled port is on for any value above zero.
TEST_P(Lv2EveryEffect, EnableSwitchBypassesAndRestores)
{
    // Long enough for the slowest delay's first echo.
    constexpr uint32_t kFrames = 4 * 48000;
    std::mt19937 random(21);
    for (const LilvPlugin* plugin : FormsOf(GetParam())) {
        Instance instance(TheWorld(), plugin, 48000.0);
        const auto in = TestSignal(instance.AudioChannels(), kFrames, 48000.0);
        // Some pedals are transparent at their defaults (a level control at
        // 0 dB); give those settings that change the sound.
        auto out = instance.Process(in, 1024);
        for (int attempt = 0; attempt < 20 && out[0] == in[0]; ++attempt) {
            SetRandomParameters(instance, random);
            instance.SetControl("tap", 0.0f); // tap mode would take the switch over
            out = instance.Process(in, 1024);
        }
        const bool listensOnly = out[0] == in[0]; // the tuner never changes the sound
        instance.SetControl("enabled", 0.0f);
        EXPECT_EQ(instance.Process(in, 1024), in) << Uri(plugin);
        instance.SetControl("enabled", 0.5f);
        EXPECT_TRUE(listensOnly || instance.Process(in, 1024)[0] != in[0]) << Uri(plugin);
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
        std::vector<Channels> afterwards;
        for (float level : {0.0f, 2.0f}) {
            Instance instance(TheWorld(), plugin, 48000.0);
            instance.Process(TestSignal(instance.AudioChannels(), 48000, 48000.0, 5, level), 1024);
            instance.Deactivate();
            instance.Activate();
            afterwards.push_back(instance.Process(Channels(instance.AudioChannels(), std::vector<float>(4800)), 480));
        }
        EXPECT_EQ(afterwards[1], afterwards[0]) << Uri(plugin);
        for (const auto& channel : afterwards[1])
            for (float sample : channel)
                ASSERT_LE(std::fabs(sample), floor) << Uri(plugin);
    }
}

// A port value beyond the knob's end that a factory preset holds reaches the
// effect as it stands: the delay's "Slow solo" echoes with "Stereo" -18,
// not with the 0 the knob stops at.
TEST(Lv2Plugins, PresetValueBeyondTheKnobReachesTheEffect)
{
    std::vector<Channels> outputs;
    const auto in = TestSignal(2, 48000, 48000.0);
    for (float stereo : {-18.0f, 0.0f}) {
        Instance instance(TheWorld(), TheWorld().Plugin(kUriBase + "BD"), 48000.0);
        ASSERT_TRUE(instance.SetControl("stereo", stereo));
        outputs.push_back(instance.Process(in, 512));
    }
    EXPECT_NE(outputs[0], outputs[1]);
}

// Every effect comes in a stereo and a mono form, and nothing else is in the
// bundle.  Every factory preset, loaded as a host loads it, sets exactly the
// algorithm's values, each within its port's declared range, so a host that
// keeps presets inside the ranges plays them unchanged.
TEST(Lv2Bundle, OffersStereoAndMonoFormsWithFactoryPresetsWithinTheirPortRanges)
{
    EXPECT_EQ(lilv_plugins_size(lilv_world_get_all_plugins(TheWorld().Get())), 2 * kCatalogue.size());
    for (const CatalogueEntry& entry : kCatalogue) {
        const auto forms = FormsOf(entry.effectId);
        ASSERT_EQ(forms.size(), 2u);
        Instance instance(TheWorld(), forms[0], 48000.0);
        EXPECT_EQ(instance.AudioChannels(), 2u) << entry.shortName;
        EXPECT_EQ(Instance(TheWorld(), forms[1], 48000.0).AudioChannels(), 1u) << entry.shortName;
        const std::string uri = kUriBase + entry.shortName;
        const auto parameters = instance.Parameters(); // in the algorithm's parameter order
        const auto algorithm = CreateAlgorithm(entry.effectId, 48000.0, 256);
        for (const auto& [index, preset] : algorithm->presets) {
            const std::string where = uri + " " + preset->name;
            for (const auto& parameter : parameters)
                instance.SetControl(parameter.symbol, NAN);
            const int set = instance.LoadPreset(uri + "/preset/" + std::to_string(index));
            ASSERT_EQ(set, int(preset->values.size())) << where;
            for (size_t i = 0; i < parameters.size(); ++i) {
                const float v = instance.GetControl(parameters[i].symbol);
                EXPECT_EQ(v, preset->values.at(i)) << where << " " << parameters[i].symbol;
                EXPECT_TRUE(v >= parameters[i].minimum && v <= parameters[i].maximum) << where << " " << v;
            }
        }
    }
}

TEST(Lv2Plugins, HostTempoDrivesTheSyncedTremolo)
{
    Instance instance(TheWorld(), TheWorld().Plugin(kUriBase + "TR"), 48000.0);
    ASSERT_TRUE(instance.SetControl("depth", 100.0f));
    ASSERT_TRUE(instance.SetControl("sync_coeff", 3.0f)); // "1/4": one cycle per beat
    instance.SendTempo(90.0f);
    const auto out = instance.Process(Channels(2, std::vector<float>(48000 * 3, 0.5f)), 512);
    // With full depth the gain touches zero once per cycle: 1.5 Hz at 90 BPM.
    std::vector<size_t> silentAt;
    for (size_t i = 0; i < out[0].size(); ++i)
        if (out[0][i] == 0.0f && (silentAt.empty() || i - silentAt.back() > 1000))
            silentAt.push_back(i);
    ASSERT_GE(silentAt.size(), 3u);
    for (size_t k = 1; k < silentAt.size(); ++k)
        EXPECT_NEAR(double(silentAt[k] - silentAt[k - 1]), 32000.0, 40.0);
}

TEST(Lv2Plugins, TunerReportsNoteFrequencyAndDeviation)
{
    Instance tuner(TheWorld(), TheWorld().Plugin(kUriBase + "AT"), 48000.0);
    Channels in(2, std::vector<float>(48000 * 3));
    for (size_t i = 0; i < in[0].size(); ++i) {
        const double t = double(i) / 48000.0;
        in[0][i] = in[1][i] = float(0.3 * std::sin(2.0 * M_PI * 110.0 * t) + 0.15 * std::sin(2.0 * M_PI * 220.0 * t));
    }
    EXPECT_EQ(tuner.GetControl("note"), -1.0f);
    tuner.Process(in, 512);
    EXPECT_EQ(tuner.GetControl("note"), 33.0f); // A2: A4 is 57
    EXPECT_NEAR(tuner.GetControl("frequency"), 110.0f, 0.2f);
    EXPECT_NEAR(tuner.GetControl("deviation"), 0.0f, 1.0f);
}

// Every plug-in names one X11 UI of its own, in the bundle's UI binary,
// which exports the descriptors of exactly those UIs.
TEST(Lv2Bundle, EveryPluginHasItsPedalAsAnX11Ui)
{
    LilvNode* x11 = lilv_new_uri(TheWorld().Get(), LV2_UI__X11UI);
    std::set<std::string> binaries;
    for (const CatalogueEntry& entry : kCatalogue) {
        for (const LilvPlugin* plugin : FormsOf(entry.effectId)) {
            LilvUIs* uis = lilv_plugin_get_uis(plugin);
            ASSERT_EQ(lilv_uis_size(uis), 1u) << Uri(plugin);
            const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
            EXPECT_EQ(std::string(lilv_node_as_uri(lilv_ui_get_uri(ui))), Uri(plugin) + "#ui");
            EXPECT_TRUE(lilv_ui_is_a(ui, x11)) << Uri(plugin);
            char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
            binaries.insert(path);
            lilv_free(path);
            lilv_uis_free(uis);
        }
    }
    lilv_node_free(x11);
    ASSERT_EQ(binaries.size(), 1u);
    void* library = dlopen(binaries.begin()->c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto descriptor = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(descriptor, nullptr);
    std::set<std::string> exported;
    for (uint32_t i = 0; const LV2UI_Descriptor* ui = descriptor(i); ++i)
        exported.insert(ui->URI);
    EXPECT_EQ(exported.size(), 2 * kCatalogue.size());
    EXPECT_EQ(exported.count(kUriBase + "OD-mono#ui"), 1u);
    // Left loaded, so that a leak checker can still name what it finds.
}

// The UI's preset message sets every parameter of the plug-in in one block,
// exactly as the ports set to the preset's values do.  A message that does
// not fit, or names a preset the plug-in does not know, changes nothing; a
// user preset saved after the plug-in was made becomes known once the UI
// says the file changed (the file is read by the host's worker).  None of
// it makes the plug-in allocate.
TEST(Lv2Plugins, PresetMessageFromTheUiSetsAKnownPresetWholeOrNothing)
{
    testing_support::ScopedDocumentsFolder documents;
    const auto algorithm = CreateAlgorithm(110, 48000.0, 256);
    const CORVDSPPreset& preset = *algorithm->presets.at(2);
    const lv2::PresetMessageUris uris = lv2::PresetMessageUris::Map(*TheWorld().urids.MapFeature());
    const auto in = TestSignal(2, 4800, 48000.0);
    const auto run = [&](std::vector<std::vector<uint8_t>> messages, const std::vector<float>& ports,
                         const std::function<void()>& beforeMessages = {}) {
        Instance instance(TheWorld(), TheWorld().Plugin(kUriBase + "OD"), 48000.0);
        const auto parameters = instance.Parameters();
        for (size_t i = 0; i < ports.size(); ++i)
            instance.SetControl(parameters[i].symbol, ports[i]);
        if (beforeMessages)
            beforeMessages();
        Channels out;
        for (std::vector<uint8_t>& message : messages) {
            instance.SendEvent(std::move(message));
            out = instance.Process(Channels(2, std::vector<float>(480)), 480);
        }
        out = instance.Process(in, 480);
        EXPECT_EQ(instance.runAllocations, 0u);
        return out;
    };
    const Channels byPorts = run({}, preset.values);
    const Channels untouched = run({}, {});
    ASSERT_NE(byPorts, untouched);
    EXPECT_EQ(run({lv2::ForgePresetMessage(uris, preset.name, preset.values)}, {}), byPorts);

    std::vector<float> short_ = preset.values;
    short_.pop_back();
    std::vector<float> beyond = preset.values;
    beyond[0] = 1.0e6f;
    std::vector<float> notANumber = preset.values;
    notANumber.back() = NAN;
    for (const auto& values : {short_, beyond, notANumber})
        EXPECT_EQ(run({lv2::ForgePresetMessage(uris, preset.name, values)}, {}), untouched);
    EXPECT_EQ(run({lv2::ForgePresetMessage(uris, "No such preset", preset.values)}, {}), untouched);

    const auto saveMine = [&] {
        CORVPresetFile file(documents.PresetFilePath());
        file.Open();
        algorithm->ApplyPresetByIndex(2);
        ASSERT_TRUE(file.SavePreset(*algorithm, "Mine"));
    };
    const auto applyMine = lv2::ForgePresetMessage(uris, "Mine", preset.values);
    EXPECT_EQ(run({applyMine}, {}, saveMine), untouched);
    EXPECT_EQ(run({lv2::ForgePresetsChangedMessage(uris), applyMine}, {}, saveMine), byPorts);
    EXPECT_EQ(run({lv2::ForgePresetsChangedMessage(uris), lv2::ForgePresetMessage(uris, "Mine", short_)}, {}, saveMine),
              untouched);
}

// The exciter's oversampling delays its whole output; the latency port says
// by how much (the lag at which output and input line up best), so a host
// can compensate.  A synced pedal tells its UI the tempo it follows.
TEST(Lv2Plugins, LatencyAndTempoReachTheirOutputPorts)
{
    const auto in = TestSignal(2, 9600, 48000.0);
    const auto bestLag = [&in](const Channels& out) {
        int best = -1;
        double bestScore = -1.0;
        for (int lag = 0; lag < 400; ++lag) {
            double score = 0.0;
            for (size_t i = size_t(lag); i < in[0].size(); ++i)
                score += double(out[0][i]) * double(in[0][i - size_t(lag)]);
            if (score > bestScore)
                bestScore = score, best = lag;
        }
        return best;
    };
    for (float oversampled : {0.0f, 1.0f}) {
        Instance exciter(TheWorld(), TheWorld().Plugin(kUriBase + "EC"), 48000.0);
        ASSERT_TRUE(exciter.SetControl("x5_oversampling", oversampled));
        ASSERT_TRUE(exciter.SetControl("exciter_mix", 0.0f));
        const auto out = exciter.Process(in, 480);
        const float latency = exciter.GetControl("latency");
        EXPECT_EQ(latency > 0.0f, oversampled > 0.0f);
        EXPECT_EQ(bestLag(out), int(latency));
    }
    Instance tremolo(TheWorld(), TheWorld().Plugin(kUriBase + "TR"), 48000.0);
    tremolo.SendTempo(93.0f);
    tremolo.Process(Channels(2, std::vector<float>(480)), 480);
    EXPECT_EQ(tremolo.GetControl("host_tempo"), 93.0f);
    EXPECT_EQ(tremolo.GetControl("latency"), 0.0f);
}
