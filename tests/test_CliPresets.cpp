#include "cli/Stompset.h"
#include "core/CORVPresetDocument.h"
#include "dsp/FourCC.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;
using Args = std::vector<std::string>;

const Args kSaveSlowSwell = {"presets", "save", "TR", "Slow swell", "Tempo=90", "Depth=60%", "Wave shape=Sinusoidal"};
const std::string kSlowSwell = "Tempo 90, Wave shape Sinusoidal, Depth 60, Sync coeff Off, Tap Canceled";

// The program run in this process, as main runs it.
testing_support::ProgramRun Stompset(const Args& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunStompset(args, out, err, false);
    return {status, out.str(), err.str()};
}

class PresetsCommand : public testing::Test {
protected:
    std::vector<CORVDSPPreset> OnDisk(const char (&code)[5]) const
    {
        const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(ReadFile(File()));
        EXPECT_TRUE(document.has_value());
        return document ? document->ReadPresets(FourCC(code)) : std::vector<CORVDSPPreset>{};
    }

    void Run(const Args& args)
    {
        const auto run = Stompset(args);
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // A failing command: its status, its one line of error, and the file
    // exactly as it was.
    void ExpectRefused(const Args& args, int status, const std::string& message)
    {
        const std::string before = ReadFile(File());
        const auto run = Stompset(args);
        EXPECT_EQ(run.status, status) << message;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(ReadFile(File()), before);
    }

    std::string File() const { return documents.PresetFilePath(); }
    void WriteDocument(const CORVPresetDocument& document) const
    {
        std::filesystem::create_directories(std::filesystem::path(File()).parent_path());
        WriteFile(File(), document.Text());
    }

    testing_support::ScopedDocumentsFolder documents;
};

} // namespace

TEST_F(PresetsCommand, SaveStoresTheDefaultWithTheSettingsOnTop)
{
    const auto run = Stompset(kSaveSlowSwell);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Saved user preset 5 'Slow swell' of TR - Tremolo: " + kSlowSwell + "\n");
    const std::vector<CORVDSPPreset> saved = OnDisk("tru1");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].name, "Slow swell");
    EXPECT_EQ(saved[0].values, (std::vector<float>{90.0f, 4.0f, 60.0f, 0.0f, 0.0f}));

    // Blanks around a name are dropped, as every lookup drops them.
    EXPECT_EQ(Stompset({"presets", "save", "TR", "  Padded\t"}).out.rfind("Saved user preset 6 'Padded' of", 0), 0u);
    EXPECT_EQ(OnDisk("tru1").back().name, "Padded");
    Run({"presets", "delete", "TR", " padded "});
    EXPECT_EQ(OnDisk("tru1").size(), 1u);
}

TEST_F(PresetsCommand, SaveStartsFromAnyPresetWhenAsked)
{
    Run({"presets", "save", "AP", "Wide", "--from-preset", "Leslie rotary", "Stereo=100"});
    EXPECT_EQ(OnDisk("apu1").at(0).values, (std::vector<float>{1.0f, 240.0f, 0.0f, 100.0f, 0.0f, 0.0f}));

    Run(kSaveSlowSwell);
    Run({"presets", "save", "TR", "Swell copy", "--from-preset=slow SWELL"});
    const std::vector<CORVDSPPreset> saved = OnDisk("tru1");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[1].values, saved[0].values);

    // A number is a position first: an older file's user preset "2" (now
    // index 5) does not hide factory preset 2.
    CORVPresetDocument older;
    older.AppendPreset(FourCC("tru1"), "2", {90.0f, 4.0f, 60.0f, 0.0f, 0.0f});
    WriteDocument(older);
    Run({"presets", "save", "TR", "From 2", "--from-preset", "2"});
    Run({"presets", "save", "TR", "From 5", "--from-preset", "5"});
    const std::vector<CORVDSPPreset> fromNumbers = OnDisk("tru1");
    ASSERT_EQ(fromNumbers.size(), 3u);
    EXPECT_EQ(fromNumbers[1].values, CORVTremoloDSP(48000.0, 256).presets.at(2)->values);
    EXPECT_EQ(fromNumbers[2].values, fromNumbers[0].values);
}

TEST_F(PresetsCommand, ListShowsEachEffectsUserPresets)
{
    const std::string fileLine = "User preset file: " + File() + "\n";
    EXPECT_EQ(Stompset({"presets", "list"}).out, fileLine + "No user presets.\n");
    EXPECT_EQ(Stompset({"presets", "list", "tremolo"}).out, fileLine + "TR - Tremolo\n  (no user presets)\n");

    Run(kSaveSlowSwell);
    Run({"presets", "save", "AP", "Wide", "Stereo=100"});
    const std::string tremolo = "TR - Tremolo\n  5   Slow swell  " + kSlowSwell + "\n";
    const std::string autoPan = "AP - Auto Pan\n  5   Wide  Wave shape Triangular, Tempo 100, Center 0, Stereo 100, "
                                "Sync coeff Off, Tap Canceled\n";
    EXPECT_EQ(Stompset({"presets", "list"}).out, fileLine + autoPan + tremolo);
    EXPECT_NE(Stompset({"info", "TR"}).out.find("User presets:\n  5   Slow swell  " + kSlowSwell), std::string::npos);

    // The program run on its own sees the same folder through the environment.
    const auto binary = testing_support::RunStompsetBinary({"presets", "list", "TR"});
    EXPECT_EQ(binary.status, 0) << binary.err;
    EXPECT_EQ(binary.out, fileLine + tremolo);
}

TEST_F(PresetsCommand, RenderAppliesUserPresetsByName)
{
    Run({"presets", "save", "TR", "Pulse", "Tempo=200", "Wave shape=Rectangular", "Depth=80"});
    testing_support::TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "in.wav", {testing_support::Sine(220.0, 48000.0, 24000)}, 48000);
    const auto render = [&folder](const std::string& effect, const std::string& output) {
        const auto run = Stompset({"render", "-i", folder / "in.wav", "-o", folder / output, "-e", effect});
        EXPECT_EQ(run.status, 0) << run.err;
        return testing_support::ReadAudio(folder / output).channels;
    };
    const auto byPreset = render("TR:preset=pulse", "preset.wav");
    EXPECT_EQ(byPreset, render("TR:Tempo=200:Wave shape=Rectangular:Depth=80", "settings.wav"));
    EXPECT_NE(byPreset, render("TR", "default.wav"));
}

TEST_F(PresetsCommand, MistakesAreRefusedWithoutWriting)
{
    Run(kSaveSlowSwell);
    Run({"presets", "save", "TR", "Other"});
    const auto deleted = Stompset({"presets", "delete", "TR", "slow swell"});
    EXPECT_EQ(deleted.out, "Deleted user preset 'Slow swell' of TR - Tremolo\n");
    ASSERT_EQ(OnDisk("tru1").size(), 1u);
    struct Case {
        Args args;
        std::string message;
    };
    const Case cases[] = {
        {{"presets", "delete", "TR", "Slow swel"}, "no user preset 'Slow swel' of TR - Tremolo (user presets: 'Other')"},
        {{"presets", "delete", "TR", "Othr"}, "did you mean 'Other'?"},
        {{"presets", "delete", "TR", "default"},
         "'Default' is a factory preset of TR - Tremolo; only user presets can be deleted"},
        {{"presets", "delete", "AP", "Other"}, "no user preset 'Other' of AP - Auto Pan (it has none)"},
        {{"presets", "save", "TR", "hard TREMOLO"}, "'Hard tremolo' is a factory preset of TR - Tremolo; choose another"},
        {{"presets", "save", "TR", " OTHER "}, "'Other' is a user preset of TR - Tremolo already; delete it first"},
        {{"presets", "save", "TR", "X", "--from-preset", "Nope"}, "unknown preset 'Nope' of TR"},
        {{"presets", "save", "TR", "bell\x07"}, "preset name 'bell\\x07' holds a control character"},
        {{"presets", "save", "TR", " 2 "}, "a preset name cannot be digits alone: 'preset=2' selects the preset at "
                                           "index 2"},
        {{"presets", "save", "TR", "  "}, "a preset name cannot be empty"},
        {{"presets", "save", "TR", "X", "--from-preset", "1", "--from-preset", "2"},
         "option '--from-preset' is given more than once"},
        {{"presets"}, "'presets' needs one of 'list', 'save', 'delete'"},
        {{"presets", "lst"}, "unknown 'presets' command 'lst'; did you mean 'list'?"},
    };
    for (const Case& c : cases)
        ExpectRefused(c.args, kUsage, c.message);
    EXPECT_EQ(OnDisk("tru1").at(0).name, "Other");

    EXPECT_NE(Stompset({"presets", "--help"}).out.find("STOMPSET_DOCUMENTS_DIR"), std::string::npos);
}

TEST_F(PresetsCommand, FilesThatMayNotOrCannotChangeAreLeftAsTheyAre)
{
    Run(kSaveSlowSwell);
    std::filesystem::permissions(File(), std::filesystem::perms(0444));
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "the user preset file '" + File() + "' is read-only; it is left as it is and nothing was saved");
    ExpectRefused({"presets", "delete", "TR", "Slow swell"}, kFailure,
                  "is read-only; it is left as it is and nothing was deleted");
    EXPECT_EQ(std::filesystem::status(File()).permissions(), std::filesystem::perms(0444));
    std::filesystem::permissions(File(), std::filesystem::perms(0644));

    CORVPresetDocument document;
    for (int32_t i = 0; i < CORVPresetDocument::kHighestPresetNumber; ++i)
        document.AppendPreset(FourCC("tru1"), i == 0 ? "Short" : "p", {90.0f});
    WriteDocument(document);
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "TR - Tremolo has 999 user presets, the most the file holds for one effect; delete one first");
    ExpectRefused({"presets", "save", "TR", "X", "--from-preset", "short"}, kFailure,
                  "preset 'Short' does not fit TR - Tremolo");
    EXPECT_NE(Stompset({"presets", "list", "TR"}).out.find("  5   Short  (does not fit this effect)\n"),
              std::string::npos);

    WriteFile(File(), "<plist><dict><key>half a file");
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "the user preset file '" + File() + "' cannot be read; it is left as it is and nothing was saved");
    EXPECT_EQ(Stompset({"presets", "list", "TR"}).out.rfind(
                  "User preset file: " + File() + " (cannot be read; left as it is)\n", 0),
              0u);
}

TEST_F(PresetsCommand, OnlySavingMakesTheFile)
{
    testing_support::TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "in.wav", {testing_support::Sine(220.0, 48000.0, 4800)}, 48000);
    for (const Args& args : {Args{"presets", "list"}, Args{"presets", "list", "TR"}, Args{"info", "TR"},
                             Args{"presets", "delete", "TR", "X"}, Args{"tune", "-i", folder / "in.wav"},
                             Args{"render", "-i", folder / "in.wav", "-o", folder / "out.wav", "-e",
                                  "TR:preset=Default"}})
        Stompset(args);
    EXPECT_EQ(testing_support::ReadAudio(folder / "out.wav").channels.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(documents.Path()));
    Run(kSaveSlowSwell);
    EXPECT_EQ(OnDisk("tru1").size(), 1u);
}
