// The pedals' pictures from the command line: sizes, settings that show,
// the same picture every time, and a window that needs a display.
#include "tests/CliTestSupport.h"
#include "ui/vstgui/CDrawContext.h"

#include <gtest/gtest.h>

namespace {

// The demo draws its pedals in this process: its fonts go at the end, as
// the program's do.
class FontCaches : public testing::Environment {
public:
    void TearDown() override { VSTGUI::ReleaseFontCaches(); }
};
[[maybe_unused]] testing::Environment* const fontCaches = testing::AddGlobalTestEnvironment(new FontCaches);

using testing_support::RunStompsetBinary;
using testing_support::TemporaryFolder;

struct PngSize {
    uint32_t width;
    uint32_t height;
    bool operator==(const PngSize&) const = default;
};

// The width and height of a PNG's header chunk, big-endian after the
// signature and the chunk's length and name.
PngSize SizeOf(const std::string& png)
{
    const auto word = [&png](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i)
            value = value << 8 | uint8_t(png.at(at + i));
        return value;
    };
    EXPECT_EQ(png.substr(1, 3), "PNG");
    return {word(16), word(20)};
}

std::string Snapshot(const TemporaryFolder& folder, std::vector<std::string> args)
{
    args.insert(args.begin(), "snapshot");
    args.insert(args.end(), {"-o", folder / "shot.png"});
    const testing_support::ProgramRun run = RunStompsetBinary(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return testing_support::ReadFile(folder / "shot.png");
}

} // namespace

TEST(Snapshot, OnePedalASheetOfAllAndTwiceThePixelsAtScaleTwo)
{
    const TemporaryFolder folder;
    EXPECT_EQ(SizeOf(Snapshot(folder, {"OD"})), (PngSize{185, 320}));
    EXPECT_EQ(SizeOf(Snapshot(folder, {"OD", "--scale", "2"})), (PngSize{370, 640}));
    // Nine pedals to a row, four rows, 8 pixels around each.
    EXPECT_EQ(SizeOf(Snapshot(folder, {"--all"})), (PngSize{9 * 193 + 8, 4 * 328 + 8}));
    EXPECT_EQ(SizeOf(Snapshot(folder, {"OD", "-e", "CH", "-e", "RV"})), (PngSize{3 * 193 + 8, 320 + 2 * 8}));
}

TEST(Snapshot, SettingsShowOnThePedalAndTheSamePedalDrawsTheSameBytes)
{
    const TemporaryFolder folder;
    const std::string low = Snapshot(folder, {"OD:Drive=0"});
    EXPECT_EQ(Snapshot(folder, {"OD:Drive=0"}), low);
    EXPECT_NE(Snapshot(folder, {"OD:Drive=100"}), low);
    EXPECT_NE(Snapshot(folder, {"OD:bypass"}), low) << "the LED goes dark";
    // On the sheet, the settings reach the pedal they name.
    const std::string sheet = Snapshot(folder, {"--all"});
    EXPECT_NE(Snapshot(folder, {"--all", "-e", "OD:Drive=100"}), sheet);
}

TEST(Snapshot, TheWindowNeedsADisplay)
{
    const TemporaryFolder folder;
    const std::string command = "env -u DISPLAY " + testing_support::ShellQuoted(STOMPSET_BINARY) + " gui OD 2>" +
                                testing_support::ShellQuoted(folder / "err");
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(testing_support::ReadFile(folder / "err"),
              "stompset: no X display to open a window on (DISPLAY is not set)\n");
}
