#include "core/CORVEffectCatalogue.h"
#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using testing_support::TemporaryFolder;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

struct ErrorCase {
    std::vector<std::string> args;
    int status;
    std::string message;
};

const std::string kHuge(100000, 'x');
const std::string kShownHuge = "'" + kHuge.substr(0, 60) + "\xE2\x80\xA6'";

// Every case renders into OUT; none may leave it (or anything else) behind.
// Every wrong argument exits with 2.
const ErrorCase kRenderErrors[] = {
    {{"-e", "XY"}, kUsage, "unknown effect 'XY'"},
    {{"-e", "Tremolo:Depht=30"}, kUsage, "unknown parameter 'Depht' of TR - Tremolo; did you mean 'Depth'?"},
    {{"-e", "TR:Depth=130"}, kUsage, "value 130 of TR Depth is outside its range 0 .. 100 %"},
    {{"-e", "TR:Tempo=fast"}, kUsage, "'fast' is not a value of TR Tempo (range 10 .. 700 BPM)"},
    {{"-e", "TR:Depth=0x10"}, kUsage, "'0x10' is not a value of TR Depth"},
    {{"-e", "TR:Sync coeff=1/5"}, kUsage, "'1/5' is not an entry of TR Sync coeff; did you mean"},
    {{"-e", "AP:preset=Slow pans"}, kUsage, "unknown preset 'Slow pans' of AP - Auto Pan; did you mean 'Slow pan'?"},
    {{"-e", "TR:" + kHuge + "=1"}, kUsage, "unknown parameter " + kShownHuge + " of TR - Tremolo (parameters:"},
    {{"-e", "TR:De\x1B[2Jpth\n=1"}, kUsage, "unknown parameter 'De\\x1B[2Jpth' of"},
    {{"-e", "TR", "--tempo", "0x5A"}, kUsage, "--tempo takes a number of beats per minute, not '0x5A'"},
    {{"-e", "TR", "-o", "other.wav"}, kUsage, "option '--output' is given more than once"},
    {{"-e", "TR", "-i", "other.wav"}, kUsage, "option '--input' is given more than once"},
    {{"-e", "TR", "-e", "AP:Stereo"}, kUsage, "'Stereo' is not of the form PARAM=VALUE"},
    {{"-e", "TR", "--block", "4096"}, kUsage, "block length 4096 is outside 1 .. 2048 frames"},
    {{"-e", "TR", "--tempo", "0"}, kUsage, "tempo 0 is outside 1 .. 999 BPM"},
    {{"-e", "TR", "--temp", "90"}, kUsage, "unknown option '--temp' for 'render'; did you mean '--tempo'?"},
    {{"-e", "TR", "--format", "pcm8"}, kUsage, "unknown sample format 'pcm8'"},
    {{}, kUsage, "no effect given"},
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

class RenderErrors : public testing::Test {
protected:
    void SetUp() override
    {
        testing_support::WriteFloatWav(folder / "in.wav", {testing_support::Sine(440.0, 48000.0, 4800)}, 48000);
        std::ofstream(folder / "notes.txt") << "not audio\n";
    }

    // Runs a failing command and checks the folder holds just what it held.
    testing_support::ProgramRun RunFailing(const std::vector<std::string>& args)
    {
        const std::vector<std::string> before = folder.Entries();
        const auto run = testing_support::RunStompsetBinary(args);
        EXPECT_EQ(folder.Entries(), before);
        return run;
    }

    TemporaryFolder folder;
};

} // namespace

TEST_F(RenderErrors, BadChainsAndOptionsAreOneLineWithNoOutputLeft)
{
    for (const ErrorCase& error : kRenderErrors) {
        SCOPED_TRACE(testing::PrintToString(error.args));
        std::vector<std::string> args = {"render", "-i", folder / "in.wav", "-o", folder / "out.wav"};
        args.insert(args.end(), error.args.begin(), error.args.end());
        ExpectOneLineError(RunFailing(args), error.status, error.message);
    }
}

TEST_F(RenderErrors, UnreadableInputsAndUnwritableOutputsAreNamed)
{
    const std::string out = folder / "out.wav";
    ExpectOneLineError(RunFailing({"render", "-i", folder / "notes.txt", "-o", out, "-e", "TR"}), kFailure,
                       "cannot read '" + folder / "notes.txt" + "'");
    ExpectOneLineError(RunFailing({"render", "-i", folder / "missing.wav", "-o", out, "-e", "TR"}), kFailure,
                       "cannot read '" + folder / "missing.wav" + "': No such file or directory");
    ExpectOneLineError(RunFailing({"render", "-i", folder / "in.wav", "-o", folder / "no/such/out.wav", "-e", "TR"}),
                       kFailure, "cannot write '" + folder / "no/such/out.wav" + "'");
    ExpectOneLineError(RunFailing({"render", "-i", folder / "in.wav", "-o", folder / "out.mp3", "-e", "TR"}), kUsage,
                       "unknown output file type '.mp3'");
    ExpectOneLineError(
        RunFailing({"render", "-i", folder / "in.wav", "-o", folder / "out.flac", "--format", "float", "-e", "TR"}),
        kUsage, "FLAC cannot hold 32-bit float samples");
    ExpectOneLineError(RunFailing({"render", "-o", out, "-e", "TR"}), kUsage, "render needs --input");

    // The output may not be the input, by any other name.
    std::filesystem::create_directory(folder / "sub");
    std::filesystem::create_hard_link(folder / "in.wav", folder / "hard.wav");
    const std::string input = testing_support::ReadText(folder / "in.wav");
    for (const std::string& same : {folder / "in.wav", folder / "sub/../in.wav", folder / "hard.wav"})
        ExpectOneLineError(RunFailing({"render", "-i", folder / "in.wav", "-o", same, "-e", "TR"}), kUsage,
                           "the output '" + same + "' is the input file");
    EXPECT_EQ(testing_support::ReadText(folder / "in.wav"), input);
}

TEST_F(RenderErrors, FailedRenderLeavesAnExistingOutputUntouched)
{
    std::ofstream(folder / "out.wav") << "previous take";
    ExpectOneLineError(RunFailing({"render", "-i", folder / "in.wav", "-o", folder / "out.wav", "-e", "TR:Depth=-1"}),
                       kUsage, "outside its range");
    EXPECT_EQ(testing_support::ReadText(folder / "out.wav"), "previous take");
}

TEST(CommandErrors, UnknownCommandsAndEffectsNameTheCloseMatches)
{
    ExpectOneLineError(testing_support::RunStompsetBinary({"rendr"}), kUsage,
                       "unknown command 'rendr'; did you mean 'render'?");
    ExpectOneLineError(testing_support::RunStompsetBinary({}), kUsage, "no command given");
    ExpectOneLineError(testing_support::RunStompsetBinary({"info", "Tremolp"}), kUsage,
                       "unknown effect 'Tremolp'; did you mean 'Tremolo'?");
    ExpectOneLineError(testing_support::RunStompsetBinary({"list", "extra"}), kUsage, "'list' takes no arguments");
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
