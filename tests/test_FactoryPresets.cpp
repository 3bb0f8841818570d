// The factory presets: the values each effect is defined to ship with, in
// order.  They are data nothing else derives, so a value typed wrong in an
// effect's table shows only here.  Checked once, for the whole catalogue,
// with the one relation they must all keep: "Default" holds every
// parameter's default.
#include "core/CORVEffectCatalogue.h"
#include "tests/EffectContract.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Presets = std::vector<std::pair<std::string, std::vector<float>>>;

struct FactoryTable {
    const char* effect;
    Presets presets;
};

// Every preset of these effects, all parameters from index 2 on.
const FactoryTable kTables[] = {
    {"AP",
     {
      {"Default", {0, 100, 0, 100, 0, 0}},
      {"Slow song", {0, 100, 0, 62, 0, 0}},
      {"Leslie rotary", {1, 240, 0, 78, 0, 0}},
      {"Slow pan", {3, 100, 0, 100, 0, 0}},
      {"Stereo gap", {2, 200, 0, 100, 0, 0}}}},
    {"BD",
     {
      {"Default", {50, 160, 1.62f, 50, 0, 0, 0}},
      {"Vektra Rhythm", {36, 160, 0.1f, 50, 0, 0, 0}},
      {"Slow solo", {23, 160, 0.1f, -18, 0, 0, 0}},
      {"Double sound", {54, 1200.0001f, 0.02f, 50, 0, 0, 0}},
      {"Hold on", {57, 100, 20.01f, 50, 0, 0, 0}}}},
    {"PH",
     {
      {"Default", {50, 0.5f, 50, 50, 0, 0}},
      {"Rhythm", {50, 0.5f, 50, 50, 0, 0}},
      {"Funky", {52, 1.84f, 72, 19, 0, 0}},
      {"Dream on", {37, 3.16f, 18, 50, 0, 0}},
      {"Hard", {50, 3.82f, 100, 100, 0, 0}}}},
    {"PHB",
     {
      {"Default", {50, 0.5f, 50, 50, 2, 0, 0}},
      {"Stop Phase", {73, 0, 100, 100, 0, 0, 0}},
      {"Slow Phase", {82, 0.13f, 73, 63, 3, 0, 0}},
      {"Fast Phase", {100, 0.86f, 100, 67, 1, 0, 0}},
      {"Helico Phase", {100, 1, 100, 100, 3, 0, 0}}}},
    {"CH",
     {
      {"Default", {50, 1, 50, 10, 0, 0}},
      {"Light", {50, 0.603f, 50, 100, 0, 0}},
      {"Slow", {50, 0.162f, 100, 100, 0, 0}},
      {"Speed", {34, 6.166f, 48, 100, 0, 0}},
      {"Clean G", {50, 0.372f, 100, 100, 0, 0}},
      {"12 th", {50, 0.871f, 100, 100, 0, 0}},
      {"Vibrato 1", {100, 5.129f, 83, 100, 0, 0}},
      {"Vibrato 2", {65, 7.244f, 72, 85, 0, 0}}}},
    {"CHB",
     {
      {"Default", {50, 1, 50, 10, 0, 0, 0}},
      {"Light wide chorus", {88, 0.282f, 90, 100, 0, 0, 0}},
      {"Medium chorus", {80, 1, 88, 50, 1, 0, 0}},
      {"Hard chorus", {88, 1.66f, 90, 100, 2, 0, 0}},
      {"Ultra vibe chorus", {100, 5.89f, 35, 73, 2, 0, 0}}}},
    {"FL",
     {
      {"Default", {50, 0.692f, 50, 50, 0, 0}},
      {"Clean G1", {33, 0.219f, 37, 78, 0, 0}},
      {"Clean G2", {0, 0.129f, 100, 86, 0, 0}},
      {"Wet & Slow", {0, 0.081f, 100, 91, 0, 0}},
      {"Big & High", {100, 0.151f, 16, 90, 0, 0}},
      {"Big & Low", {0, 0.23f, 44, 75, 0, 0}},
      {"Destroyer", {0, 9.33f, 88, 33, 0, 0}},
      {"Flatrix 1", {10, 2.455f, 0, 80, 0, 0}},
      {"Flatrix 2", {56, 2.455f, 0, 80, 0, 0}},
      {"Flatrix 3", {91, 2.455f, 0, 80, 0, 0}},
      {"Flatrix Low Detune", {0, 0.49f, 5, 85, 0, 0}}}},
    {"FLB",
     {
      {"Default", {50, 0.692f, 50, 50, 0, 0, 0}},
      {"Stop flange", {17, 1, 35, 73, 2, 0, 0}},
      {"Slow flange", {40, 0.47f, 100, 84, 2, 0, 0}},
      {"Synth flange", {0, 0.79f, 100, 100, 2, 0, 0}},
      {"Space Flange", {50, 1, 100, 100, 2, 0, 0}}}},
    {"TR",
     {
      {"Default", {300, 0, 21, 0, 0}},
      {"Light tremolo", {300, 0, 21, 0, 0}},
      {"Fast tremolo", {671, 4, 31, 0, 0}},
      {"Hard tremolo", {98.4f, 0, 100, 0, 0}},
      {"Gap", {240, 2, 100, 0, 0}}}},
    {"CM",
     {
      {"Default", {-6, 20, 600, 8, 1}},
      {"Hard 1", {-10, 2, 2000, 10, 0}},
      {"Hard 2", {-17, 10, 410, 50, 0}},
      {"Hi Attack", {-15, 120, 3200, 2, 0}},
      {"Hi Sustain", {-20, 2, 560, 10, 0}},
      {"2:1 Compressor", {-12, 20, 150, 2, 0}}}},
    {"EG",
     {
      {"Default", {0, 20, 200, 0}},
      {"Half 2:1", {-6, 5, 400, 25}}}},
    {"NG",
     {
      {"Default", {-50, 5, 185, 0}},
      {"Very Fast", {-50, 5, 61, 0}},
      {"Fast", {-50, 5, 185, 0}},
      {"Standard", {-50, 50, 1000, 0}},
      {"Slow", {-36, 120, 1630, 0}},
      {"Very Slow", {-62, 170, 1880, 0}}}},
    {"LC",
     {
      {"Default", {0, 0, 100, 0}},
      {"Gain It", {12, 0, 100, 0}},
      {"Wide Stereo", {0, 0, 100, 1}},
      {"Mono", {0, 50, 50, 0}},
      {"Both to L", {0, 0, 0, 0}},
      {"Both to R", {0, 100, 100, 0}}}},
    {"OT",
     {
      {"Default", {50, 50, 50}},
      {"Under Stand", {0, 100, 0}},
      {"Stand Up", {0, 0, 56}},
      {"Where Is", {0, 50, 50}},
      {"There Is", {100, 50, 50}}}},
    {"AT",
     {
      {"Default", {440, 440}}}},
    {"OD",
     {
      {"Default", {74, 45, 80}},
      {"Full drive", {76, 45, 100}},
      {"Ready to rock", {76, 46, 76}},
      {"Crunch", {78, 48, 42}},
      {"Tube preamp", {94, 40, 13}}}},
    {"ODB",
     {
      {"Default", {74, 45, 80}},
      {"Cabinet", {0, 0, 0}},
      {"Light", {45, 0, 50}},
      {"Crunch", {55, 0, 55}},
      {"SuperDrive", {70, 50, 70}}}},
    {"DT",
     {
      {"Default", {69, 45, 90}},
      {"Razor", {60, 78, 100}},
      {"Lead", {71, 45, 100}},
      {"Heavy Metal", {66, 51, 90}},
      {"Blues", {76, 65, 16}}}},
    {"DTB",
     {
      {"Default", {69, 45, 90}},
      {"Cabinet", {0, 0, 0}},
      {"Light", {40, 0, 35}},
      {"50:50 Mix", {50, 50, 50}},
      {"Super Distortion", {70, 75, 75}}}},
    {"CLG",
     {
      {"Default", {50, 5, 70}},
      {"Low Hot", {45, 0, 100}},
      {"Low Bright", {45, 15, 100}},
      {"High Hot", {85, 0, 71}},
      {"High Bright", {85, 15, 61}}}},
    {"CPG",
     {
      {"Default", {50, 8, 66}},
      {"Clean", {0, 2, 66}},
      {"Low Drive", {33, 8, 50}},
      {"Mid Drive", {45, 8, 50}},
      {"High Drive", {80, 12, 40}}}},
    {"HGG",
     {
      {"Default", {75, 200, 50}},
      {"CA/CD", {53, 460, 50}},
      {"Dark Gain", {77, 50, 50}},
      {"Bright Gain", {77, 620, 50}},
      {"Ultra Gain", {100, 340, 50}}}},
    {"BLG",
     {
      {"Default", {50, 50, 50}},
      {"Light Blues", {33, 12, 50}},
      {"Overdrive", {45, 8, 50}},
      {"Full Drive", {85, 12, 45}},
      {"Kick the Amp", {5, 90, 85}}}},
    {"PRB",
     {
      {"Default", {50, 0, 0, 50}},
      {"Low Bass", {50, 0, 1, 50}},
      {"Hi Bass", {50, 1, 0, 64}},
      {"Loudness", {53, 0, 0, 50}},
      {"UltrAmp", {80, 0, 0, 25}}}},
    {"PAG",
     {
      {"Default", {50, 50, 2}},
      {"Crunch", {60, 30, 0}},
      {"Rock", {60, 50, 1}},
      {"Clean", {50, 100, 2}},
      {"Metal", {40, 75, 3}}}},
    {"EC",
     {
      {"Default", {50, 50, 50, 50, 500, 50, 50, 50, 0}},
      {"X Cabinet", {106.6f, 100, 0, 100, 2565, 61.7f, 0, 29, 0}},
      {"Fright Bender", {105.7f, 100, 42, 31, 3056, 26.1f, 18, 100, 0}},
      {"Loudster", {70.3f, 100, 38, 22, 1915, 23.1f, 37, 100, 1}},
      {"Warm Tube", {94.6f, 31, 100, 100, 1516, 50.6f, 50, 50, 1}}}},
    {"TCG",
     {
      {"Default", {0, 50, 50, 50, 4}},
      {"American Clean", {0, 15, 62, 55, 0}},
      {"British", {0, 8, 35, 100, 1}},
      {"British 2", {0, 30, 0, 78, 2}},
      {"Modern", {0, 54, 70, 95, 3}}}},
    {"TCB",
     {
      {"Default", {0, 50, 50, 50, 3}},
      {"Vintage", {0, 100, 50, 0, 0}},
      {"Modern", {0, 75, 0, 100, 1}},
      {"American", {0, 70, 65, 100, 3}},
      {"British", {0, 78, 100, 74, 2}}}},
};

// One preset of each remaining effect, by its place in the list.
struct Spot {
    const char* effect;
    int32_t index;
    const char* name;
    std::vector<float> values;
};

const Spot kSpots[] = {
    {"GEG", 2, "Guitar Hard", {7.3f, 8.7f, 7, -2.6f, 8, 4, -4.6f, -4}},
    {"GEB", 4, "Chaos", {1.3f, 6.7f, -8.7f, 3.3f, 15.3f, -6.6f, 9.3f, -1}},
    {"PE", 1, "Low Pass", {0, 800, 0.776f, 3}},
    {"SPG", 3, "Vintage Cabinet", {0, 13}},
    {"SPB", 6, "Far H", {0, 5}},
    {"RV", 6, "Spring verb", {31, 61, -37, 4}},
};

std::unique_ptr<CORVDSPAlgInterface> Create(const char* shortName)
{
    for (const CatalogueEntry& entry : kCatalogue)
        if (std::strcmp(entry.shortName, shortName) == 0)
            return CreateAlgorithm(entry.effectId, 44100.0, 256);
    return nullptr;
}

} // namespace

TEST(FactoryPresets, ListedEffectsShipTheirPresetsInOrder)
{
    for (const FactoryTable& table : kTables) {
        const auto effect = Create(table.effect);
        ASSERT_NE(effect, nullptr) << table.effect;
        ASSERT_EQ(effect->presets.size(), table.presets.size()) << table.effect;
        for (size_t i = 0; i < table.presets.size(); ++i) {
            const CORVDSPPreset& preset = *effect->presets.at(int32_t(i));
            EXPECT_EQ(preset.name, table.presets[i].first) << table.effect;
            EXPECT_EQ(preset.values, table.presets[i].second) << table.effect << " " << preset.name;
            EXPECT_EQ(preset.isFactory, 1u) << table.effect << " " << preset.name;
        }
    }
    for (const Spot& spot : kSpots) {
        const auto effect = Create(spot.effect);
        ASSERT_NE(effect, nullptr) << spot.effect;
        const CORVDSPPreset& preset = *effect->presets.at(spot.index);
        EXPECT_EQ(preset.name, spot.name) << spot.effect;
        EXPECT_EQ(preset.values, spot.values) << spot.effect << " " << spot.name;
    }
    const auto reverb = Create("RV");
    std::vector<std::string> names;
    for (const auto& [index, preset] : reverb->presets)
        names.push_back(preset->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Default", "On Stage", "Big room", "Hall", "Tunnel", "Concert hall",
                                               "Spring verb", "Clean Hi verb", "No Early"}));
    EXPECT_EQ(Create("AW")->presets.at(4)->name, "Decay wah");
    EXPECT_EQ(Create("PW")->presets.at(4)->name, "House Opposite");
}

class DefaultPreset : public ::testing::TestWithParam<int32_t> {};

TEST_P(DefaultPreset, HoldsEveryParametersDefaultAndIsCurrent)
{
    const auto effect = CreateAlgorithm(GetParam(), 44100.0, 256);
    const CORVDSPPreset& preset = *effect->presets.at(0);
    ASSERT_EQ(preset.values.size(), effect->parameters.size());
    size_t k = 0;
    for (const auto& [index, parameter] : effect->parameters) {
        EXPECT_EQ(parameter->defaultValue, preset.values[k]) << parameter->name;
        EXPECT_EQ(parameter->value, preset.values[k]) << parameter->name;
        ++k;
    }
    EXPECT_EQ(effect->currentPreset, &preset);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, DefaultPreset, ::testing::ValuesIn(testing_support::EveryEffectId()),
                         testing_support::EffectName());
