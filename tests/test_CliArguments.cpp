// How the command line's words become effects, parameters and values, and
// how a mistake is named back to the user.
#include "cli/CliError.h"
#include "cli/EffectLookup.h"
#include "cli/EffectSpec.h"
#include "cli/ParameterValues.h"
#include "cli/TextMatch.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

using testing_support::TempoTestAlgorithm;
using namespace text_match;

namespace {

std::string ErrorOf(const std::function<void()>& action, int status = CliError::kUsage)
{
    try {
        action();
    } catch (const CliError& error) {
        EXPECT_EQ(error.ExitStatus(), status) << error.what();
        return error.what();
    }
    return "no error";
}

// One parameter of each scale with a word of its own.
class ScaleAlgorithm : public TempoTestAlgorithm {
public:
    ScaleAlgorithm()
    {
        shortName = "SC";
        AddParameter(6, std::make_unique<CORVDSPParameter>(this, "Level", "dB", -60.0f, 6.0f, 0.5f, 0.0f, ScaleDecibel));
        AddParameter(7, std::make_unique<CORVDSPParameter>(this, "Hold", "ms", 0.0f, 500.0f, 1.0f, 0.0f, ScaleOffAtMin));
        AddParameter(8, std::make_unique<CORVDSPParameter>(this, "Center", std::vector<std::string>{"% Left", "% Right"},
                                                           -40.0f, 40.0f, 1.0f, 0.0f, ScaleTwoSided));
        AddParameter(9, std::make_unique<CORVDSPParameter>(this, "Freq", "Hz", 20.0f, 20000.0f, 1.0f, 1000.0f, ScaleLog));
    }
};

} // namespace

TEST(ParameterValues, ParametersByNameOrIndex)
{
    const ScaleAlgorithm algorithm;
    EXPECT_EQ(FindParameterByText(algorithm, "sync COEFF").index, TempoTestAlgorithm::kSyncCoeff);
    EXPECT_EQ(FindParameterByText(algorithm, "5").parameter->name, "Gain");
    EXPECT_EQ(ErrorOf([&] { FindParameterByText(algorithm, "Gian"); }),
              "unknown parameter 'Gian' of Orvanta Audio Plug-In; did you mean 'Gain'? (parameters: 'Tempo', "
              "'Sync coeff', 'Tap', 'Gain', 'Level', 'Hold', 'Center', 'Freq')");
    EXPECT_EQ(ErrorOf([&] { FindParameterByText(algorithm, "1"); }), "index 1 of SC is the foot switch; use ':bypass'");
    EXPECT_EQ(ErrorOf([&] { FindParameterByText(algorithm, "12"); }),
              "SC has no parameter with index 12 (see 'stompset info SC')");
}

TEST(ParameterValues, ValuesInUnitsEntriesAndScaleWords)
{
    const ScaleAlgorithm algorithm;
    const auto value = [&](const char* parameter, const char* text) {
        return ParsePlainValue(algorithm, *FindParameterByText(algorithm, parameter).parameter, text);
    };
    const std::tuple<const char*, const char*, float> cases[] = {
        {"Tempo", "240", 240.0f},         {"Tempo", " 98.4 bpm", 98.4f}, {"Sync coeff", "1/8 t", 6.0f},
        {"Sync coeff", "3", 3.0f},        {"Level", "-inf", -60.0f},     {"Level", "-6dB", -6.0f},
        {"Hold", "Off", 0.0f},            {"Center", "-20", -20.0f},     {"Freq", "20000 Hz", 20000.0f},
    };
    for (const auto& [parameter, text, plain] : cases)
        EXPECT_EQ(value(parameter, text), plain) << parameter << " " << text;

    const auto error = [&](const char* parameter, const char* text) {
        return ErrorOf([&] { value(parameter, text); });
    };
    EXPECT_EQ(error("Tempo", "701"), "value 701 of SC Tempo is outside its range 1 .. 700 BPM");
    EXPECT_EQ(error("Tempo", "300 Hz"), "'300 Hz' is not a value of SC Tempo (range 1 .. 700 BPM)");
    EXPECT_EQ(error("Tempo", "nan"), "'nan' is not a value of SC Tempo (range 1 .. 700 BPM)");
    EXPECT_EQ(error("Tempo", "0x10"), "'0x10' is not a value of SC Tempo (range 1 .. 700 BPM)");
    EXPECT_EQ(error("Center", "50"), "value 50 of SC Center is outside its range -40 .. 40 (% Left / % Right)");
    EXPECT_EQ(error("Center", "-20 % Left"),
              "'-20 % Left' is not a value of SC Center (range -40 .. 40 (% Left / % Right))");
    EXPECT_EQ(error("Sync coeff", "9"),
              "'9' is not an entry of SC Sync coeff (entries: 'Off', '1/1', '1/2', '1/4', '1/4 T', '1/8', '1/8 T', "
              "'1/16', '1/16 T')");
    EXPECT_EQ(error("Hold", "-inf"), "'-inf' is not a value of SC Hold (range 0 .. 500 ms)");
}

TEST(ParameterValues, DescriptionsForTheInfoCommand)
{
    const ScaleAlgorithm algorithm;
    EXPECT_EQ(RangeText(*algorithm.GetParameter(3)),
              "0 .. 8: 0 'Off', 1 '1/1', 2 '1/2', 3 '1/4', 4 '1/4 T', 5 '1/8', 6 '1/8 T', 7 '1/16', 8 '1/16 T'");
    EXPECT_EQ(RangeText(*algorithm.GetParameter(9)), "20 .. 20000 Hz");
    EXPECT_EQ(FormatNumber(0.692f), "0.692");
    EXPECT_EQ(ScaleName(ScaleTwoSided), "two-sided");
    EXPECT_EQ(DefaultText(*algorithm.GetParameter(3)), "Off");
    EXPECT_EQ(DefaultText(*algorithm.GetParameter(2)), "300");
}

TEST(EffectSpec, EffectsByAnyOfTheirNamesAndMalformedFields)
{
    for (const char* text : {"TR", "tr", "TR - Tremolo", "tremolo", "180", " 180 "})
        EXPECT_EQ(FindEffect(text).effectId, 180) << text;
    EXPECT_EQ(FindEffect("SPG").effectId, 165);
    EXPECT_EQ(FindEffect("bass flanger").effectId, 70);
    EXPECT_EQ(ErrorOf([] { FindEffect("Tremolp"); }),
              "unknown effect 'Tremolp'; did you mean 'Tremolo'? (see 'stompset list')");
    EXPECT_EQ(ErrorOf([] { FindEffect("181"); }), "unknown effect '181' (see 'stompset list')");
    EXPECT_EQ(CategoryName(kCategorySoundField), "sound field");
    EXPECT_EQ(CategoryName(kCategoryNone), "none");
    EXPECT_EQ(CategoryName(kCategoryEQ | kCategoryDelay), "EQ, delay");

    const std::pair<const char*, const char*> malformed[] = {
        {":Depth=3", "effect argument ':Depth=3': no effect named"},
        {"TR::Depth=3", "effect argument 'TR::Depth=3': '' is not of the form PARAM=VALUE, preset=NAME or bypass"},
        {"TR:Depth=", "effect argument 'TR:Depth=': 'Depth=' needs both a name and a value"},
        {"TR:preset=Gap:preset=Default", "effect argument 'TR:preset=Gap:preset=Default': more than one preset"},
    };
    for (const auto& c : malformed)
        EXPECT_EQ(ErrorOf([&c] { ParseEffectSpec(c.first); }), c.second);
}

// A swap of neighbours is one typing mistake; the nearest names are
// suggested, then those starting alike.
TEST(TextMatch, CloseMatchesAreTheNearestOnesThenThoseStartingAlike)
{
    EXPECT_EQ(EditDistance("Depht", "Depth"), 1u);
    EXPECT_EQ(EditDistance("ca", "abc"), 3u);
    const std::vector<std::string> entries = {"Off", "1/1", "1/2", "1/4", "1/4 T", "1/8", "1/8 T", "1/16"};
    EXPECT_EQ(CloseMatches("1/5", entries), (std::vector<std::string>{"1/1", "1/2", "1/4"}));
    EXPECT_EQ(CloseMatches("1/8t", entries, 2), (std::vector<std::string>{"1/8", "1/8 T"}));
    EXPECT_EQ(CloseMatches("Sync", {"Tempo", "Sync coeff"}), (std::vector<std::string>{"Sync coeff"}));
    EXPECT_TRUE(CloseMatches("Volume", {"Tempo", "Depth"}).empty());
    EXPECT_EQ(Suggestion("1/5", {"1/1", "1/2"}), "; did you mean '1/1' or '1/2'?");
}

TEST(TextMatch, ArgumentsAreShownShortAndWithoutControls)
{
    // One character over the limit is cut; the limit itself is not.
    EXPECT_EQ(Shown(std::string(61, 'x')), "'" + std::string(60, 'x') + "\xE2\x80\xA6'");
    EXPECT_EQ(Shown(std::string(60, 'x')), "'" + std::string(60, 'x') + "'");
    // Characters, not bytes, are counted, and none is cut in two.
    EXPECT_EQ(Shown("\xC3\xBC\xC3\xBC\xC3\xBC", 2), "'\xC3\xBC\xC3\xBC\xE2\x80\xA6'");
    EXPECT_EQ(Shown("a\nb\tc\x1B[2J\x7F"), "'a\\nb\\tc\\x1B[2J\\x7F'");
    EXPECT_EQ(EscapeControls("csi \xC2\x9B, nbsp \xC2\xA0"), "csi \\u009B, nbsp \xC2\xA0");
    EXPECT_EQ(Cut("0123456789", 4), "0123\xE2\x80\xA6");
}
