#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

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
        {{"-e", "TR", "-e", "AP:Stereo"}, kUsage, "'Stereo' is not of the form PARAM=VALUE"},
        {{"-e", "TR", "--tempo", "0x5A"}, kUsage, "--tempo takes a number of beats per minute, not '0x5A'"},
        {{"-e", "TR", "--tempo", "0"}, kUsage, "tempo 0 is outside 1 .. 999 BPM"},
        {{"-e", "TR", "--block", "4096"}, kUsage, "block length 4096 is outside 1 .. 2048 frames"},
        {{"-e", "TR", "-o", "other.wav"}, kUsage, "option '--output' is given more than once"},
        {{"-e", "TR", "--temp", "90"}, kUsage, "unknown option '--temp' for 'render'; did you mean '--tempo'?"},
        {{"-e", "TR", "--format", "pcm8"}, kUsage, "unknown sample format 'pcm8'"},
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
        {{}, kUsage, "no command given"},
        {{"info", "Tremolp"}, kUsage, "unknown effect 'Tremolp'; did you mean 'Tremolo'?"},
        {{"list", "extra"}, kUsage, "'list' takes no arguments"},
        {{"tune"}, kUsage, "tune needs --input"},
        {{"tune", "-i", folder / "missing.wav"}, kFailure, "cannot read '" + folder / "missing.wav" + "'"},
        {{"tune", "-i", folder / "tone.wav", "--a4", "600"}, kUsage, "A4"},
        {{"tune", "-i", folder / "tone.wav", "--a4", "high"}, kUsage, "--a4 takes a frequency"},
        {{"tune", "-i", folder / "tone.wav", "extra"}, kUsage, "unexpected argument 'extra'"},
    };
    for (const ErrorCase& error : cases)
        ExpectOneLineError(testing_support::RunStompsetBinary(error.args), error.status, error.message);
}

TEST(CommandErrors, HelpDocumentsEveryCommand)
{
    const auto main = testing_support::RunStompsetBinary({"--help"});
    EXPECT_EQ(main.status, 0);
    EXPECT_NE(main.out.find("  list      list the 36 effects with their identifiers, names and categories\n"),
              std::string::npos);
    for (const char* command : {"list", "info", "render", "demo", "presets", "tune"}) {
        EXPECT_NE(main.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        const auto help = testing_support::RunStompsetBinary({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: stompset ") + command, 0), 0u) << help.out;
    }
    const auto render = testing_support::RunStompsetBinary({"render", "-h"});
    for (const char* option :
         {"--input", "--output", "--effect", "--tempo", "--block", "--format", "preset=", "bypass"})
        EXPECT_NE(render.out.find(option), std::string::npos) << option;
}
