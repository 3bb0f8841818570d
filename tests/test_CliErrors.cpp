// How the command line's words become effects, parameters and values, and
// how a mistake is named back to the user.
#include "cli/CliError.h"
#include "cli/EffectLookup.h"
#include "cli/EffectSpec.h"
#include "cli/ParameterValues.h"
#include "tests/CliTestSupport.h"
#include "tests/TestAlgorithms.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

using testing_support::TempoTestAlgorithm;
using testing_support::TemporaryFolder;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

struct ErrorCase {
    std::vector<std::string> args;
    int status;
    std::string message;
};

// One line, short, and free of raw control characters, whatever was typed.
void ExpectOneLineError(const testing_support::ProgramRun& run, int status, const std::string& message)
{
    constexpr size_t kLongestError = 1000;
    EXPECT_LT(run.err.size(), kLongestError);
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos) << run.err;
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("stompset: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

} // namespace

// Every case renders into an output that exists already; none may change
// it or leave anything else behind.  Every wrong argument exits with 2.
TEST(RenderErrors, FailedRenderIsOneLineAndLeavesTheOutputUntouched)
{
    const TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "in.wav", {testing_support::Sine(440.0, 48000.0, 4800)}, 48000);
    testing_support::WriteFile(folder / "notes.txt", "not audio\n");
    testing_support::WriteFile(folder / "out.wav", "previous take");
    std::filesystem::create_directory(folder / "sub");
    std::filesystem::create_hard_link(folder / "in.wav", folder / "hard.wav");
    const std::string input = testing_support::ReadFile(folder / "in.wav");
    const std::string huge(100000, 'x');
    const std::vector<std::string> render = {"render", "-i", folder / "in.wav", "-o", folder / "out.wav"};
    const std::vector<std::string> renderTo = {"render", "-e", "TR", "-i", folder / "in.wav", "-o"};

    const ErrorCase cases[] = {
        {{"-e", "XY"}, kUsage, "unknown effect 'XY'"},
        {{"-e", "Tremolo:Depht=30"}, kUsage, "unknown parameter 'Depht' of TR - Tremolo; did you mean 'Depth'?"},
        {{"-e", "AP:preset=Slow pans"}, kUsage,
         "unknown preset 'Slow pans' of AP - Auto Pan; did you mean 'Slow pan'?"},
        {{"-e", "TR:Depth=-1"}, kUsage, "value -1 of TR Depth is outside its range 0 .. 100 %"},
        {{"-e", "TR:" + huge + "=1"}, kUsage,
         "unknown parameter '" + huge.substr(0, 60) + "\xE2\x80\xA6' of TR - Tremolo (parameters:"},
        {{"-e", "TR:De\x1B[2Jpth\n=1"}, kUsage, "unknown parameter 'De\\x1B[2Jpth' of"},
        {{"-e", "TR", "--tempo", "0x5A"}, kUsage, "--tempo takes a number of beats per minute, not '0x5A'"},
        {{"-e", "TR", "--block", "4096"}, kUsage, "block length 4096 is outside 1 .. 2048 frames"},
        {{"-e", "TR", "--temp", "90"}, kUsage, "unknown option '--temp' for 'render'; did you mean '--tempo'?"},
        {{}, kUsage, "no effect given"},
    };
    const ErrorCase files[] = {
        {{"render", "-i", folder / "notes.txt", "-o", folder / "out.wav", "-e", "TR"}, kFailure,
         "cannot read '" + folder / "notes.txt" + "'"},
        {{"render", "-i", folder / "missing.wav", "-o", folder / "out.wav", "-e", "TR"}, kFailure,
         "cannot read '" + folder / "missing.wav" + "': No such file or directory"},
        {{"render", "-o", folder / "out.wav", "-e", "TR"}, kUsage, "render needs --input"},
        {{"render", "-e", "TR", "-i", folder / "in.wav", "-o", folder / "no/such/out.wav"}, kFailure,
         "cannot write '" + folder / "no/such/out.wav" + "'"},
        {{"render", "-e", "TR", "-i", folder / "in.wav", "-o", folder / "out.mp3"}, kUsage,
         "unknown output file type '.mp3'"},
        {{"render", "-e", "TR", "-i", folder / "in.wav", "-o", folder / "out.flac", "--format", "float"}, kUsage,
         "FLAC cannot hold 32-bit float samples"},
    };
    std::vector<ErrorCase> all(std::begin(files), std::end(files));
    for (const ErrorCase& error : cases) {
        all.push_back(error);
        all.back().args.insert(all.back().args.begin(), render.begin(), render.end());
    }
    // The output may not be the input, by any other name.
    for (const std::string& same : {folder / "in.wav", folder / "sub/../in.wav", folder / "hard.wav"}) {
        all.push_back({renderTo, kUsage, "the output '" + same + "' is the input file"});
        all.back().args.push_back(same);
    }
    const std::vector<std::string> entries = folder.Entries();
    for (const ErrorCase& error : all) {
        SCOPED_TRACE(testing::PrintToString(error.args));
        ExpectOneLineError(testing_support::RunStompsetBinary(error.args), error.status, error.message);
        EXPECT_EQ(folder.Entries(), entries);
        EXPECT_EQ(testing_support::ReadFile(folder / "out.wav"), "previous take");
    }
    EXPECT_EQ(testing_support::ReadFile(folder / "in.wav"), input);
}

TEST(CommandErrors, OtherCommandsNameTheMistakeAndTheCloseMatches)
{
    const TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "tone.wav", {testing_support::Sine(110.0, 44100.0, 4410)}, 44100);
    const ErrorCase cases[] = {
        {{"rendr"}, kUsage, "unknown command 'rendr'; did you mean 'render'?"},
        {{"info", "Tremolp"}, kUsage, "unknown effect 'Tremolp'; did you mean 'Tremolo'?"},
        {{"tune"}, kUsage, "tune needs --input"},
        {{"tune", "-i", folder / "missing.wav"}, kFailure, "cannot read '" + folder / "missing.wav" + "'"},
        {{"tune", "-i", folder / "tone.wav", "--a4", "high"}, kUsage, "--a4 takes a frequency"},
        {{"snapshot", "-o", folder / "p.png"}, kUsage, "snapshot needs an effect or --all"},
        {{"snapshot", "ODD", "-o", folder / "p.png"}, kUsage, "unknown effect 'ODD'"},
        {{"snapshot", "OD:Drive=101", "-o", folder / "p.png"}, kUsage, "value 101 of OD Drive is outside its range"},
        {{"snapshot", "OD", "-o", folder / "p.png", "--scale", "3"}, kUsage, "--scale takes 1 or 2, not '3'"},
        {{"snapshot", "OD", "-o", folder / "no/such/p.png"}, kFailure, "cannot write " + folder / "no/such/p.png"},
        {{"gui", "OD", "--scale", "1.5"}, kUsage, "--scale takes 1 or 2"},
    };
    for (const ErrorCase& error : cases)
        ExpectOneLineError(testing_support::RunStompsetBinary(error.args), error.status, error.message);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"tone.wav"}) << "no picture, not even a partial one";
}

namespace {

// The message of the usage error an action throws.
std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const CliError& error) {
        EXPECT_EQ(error.ExitStatus(), CliError::kUsage) << error.what();
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
        {"Tempo", " 98.4 bpm", 98.4f}, {"Sync coeff", "1/8 t", 6.0f}, {"Sync coeff", "3", 3.0f},
        {"Level", "-inf", -60.0f},     {"Level", "-6dB", -6.0f},      {"Hold", "Off", 0.0f},
        {"Center", "-20", -20.0f},     {"Freq", "20000 Hz", 20000.0f},
    };
    for (const auto& [parameter, text, plain] : cases)
        EXPECT_EQ(value(parameter, text), plain) << parameter << " " << text;

    const auto error = [&](const char* parameter, const char* text) {
        return ErrorOf([&] { value(parameter, text); });
    };
    EXPECT_EQ(error("Tempo", "701"), "value 701 of SC Tempo is outside its range 1 .. 700 BPM");
    EXPECT_EQ(error("Tempo", "0x10"), "'0x10' is not a value of SC Tempo (range 1 .. 700 BPM)");
    EXPECT_EQ(error("Sync coeff", "9"),
              "'9' is not an entry of SC Sync coeff (entries: 'Off', '1/1', '1/2', '1/4', '1/4 T', '1/8', '1/8 T', "
              "'1/16', '1/16 T')");
    EXPECT_EQ(error("Hold", "-inf"), "'-inf' is not a value of SC Hold (range 0 .. 500 ms)");
}

TEST(EffectSpec, EffectsByAnyOfTheirNamesAndMalformedFields)
{
    EXPECT_EQ(FindEffect("TR - Tremolo").effectId, 180);
    EXPECT_EQ(FindEffect(" bass flanger ").effectId, 70);
    EXPECT_EQ(ErrorOf([] { FindEffect("181"); }), "unknown effect '181' (see 'stompset list')");
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

