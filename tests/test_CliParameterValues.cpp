#include "cli/CliError.h"
#include "cli/ParameterValues.h"
#include "tests/TestAlgorithms.h"

#include <gtest/gtest.h>

using testing_support::TempoTestAlgorithm;

namespace {

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CliError& error) {
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
        AddParameter(6,
                     std::make_unique<CORVDSPParameter>(this, "Level", "dB", -60.0f, 6.0f, 0.5f, 0.0f, ScaleDecibel));
        AddParameter(7,
                     std::make_unique<CORVDSPParameter>(this, "Hold", "ms", 0.0f, 500.0f, 1.0f, 0.0f, ScaleOffAtMin));
        AddParameter(8,
                     std::make_unique<CORVDSPParameter>(this, "Center", std::vector<std::string>{"% Left", "% Right"},
                                                        -40.0f, 40.0f, 1.0f, 0.0f, ScaleTwoSided));
        AddParameter(9,
                     std::make_unique<CORVDSPParameter>(this, "Freq", "Hz", 20.0f, 20000.0f, 1.0f, 1000.0f, ScaleLog));
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
    EXPECT_EQ(value("Tempo", "240"), 240.0f);
    EXPECT_EQ(value("Tempo", " 98.4 bpm"), 98.4f);
    EXPECT_EQ(value("Sync coeff", "1/8 t"), 6.0f);
    EXPECT_EQ(value("Sync coeff", "3"), 3.0f);
    EXPECT_EQ(value("Level", "-inf"), -60.0f);
    EXPECT_EQ(value("Level", "-6dB"), -6.0f);
    EXPECT_EQ(value("Hold", "Off"), 0.0f);
    EXPECT_EQ(value("Center", "-20"), -20.0f);
    EXPECT_EQ(value("Freq", "20000 Hz"), 20000.0f);
}

TEST(ParameterValues, ValuesThatDoNotFitStateTheRange)
{
    const ScaleAlgorithm algorithm;
    const auto error = [&](const char* parameter, const char* text) {
        return ErrorOf([&] { ParsePlainValue(algorithm, *FindParameterByText(algorithm, parameter).parameter, text); });
    };
    EXPECT_EQ(error("Tempo", "701"), "value 701 of SC Tempo is outside its range 1 .. 700 BPM");
    EXPECT_EQ(error("Tempo", "300 Hz"), "'300 Hz' is not a value of SC Tempo (range 1 .. 700 BPM)");
    EXPECT_EQ(error("Tempo", "nan"), "'nan' is not a value of SC Tempo (range 1 .. 700 BPM)");
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
    EXPECT_EQ(FormatNumber(-40.0f), "-40");
    EXPECT_EQ(ScaleName(ScaleLog), "logarithmic");
    EXPECT_EQ(ScaleName(ScaleTwoSided), "two-sided");
    EXPECT_EQ(DefaultText(*algorithm.GetParameter(3)), "Off");
    EXPECT_EQ(DefaultText(*algorithm.GetParameter(2)), "300");
}
