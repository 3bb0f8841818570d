#include "cli/Stompset.h"
#include "core/CORVPresetDocument.h"
#include "dsp/FourCC.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "tests/CliTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

const std::vector<std::string> kSaveSlowSwell = {"presets",  "save",      "TR", "Slow swell",
                                                 "Tempo=90", "Depth=60%", "Wave shape=Sinusoidal"};
const std::string kSlowSwell = "Tempo 90, Wave shape Sinusoidal, Depth 60, Sync coeff Off, Tap Canceled";

// The program run in this process, as main runs it.
testing_support::ProgramRun Stompset(const std::vector<std::string>& args)
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
        const std::optional<CORVPresetDocument> document =
            CORVPresetDocument::Parse(testing_support::ReadFile(documents.PresetFilePath()));
        EXPECT_TRUE(document.has_value());
        return document ? document->ReadPresets(FourCC(code)) : std::vector<CORVDSPPreset>{};
    }

    void SaveSlowSwell()
    {
        ASSERT_EQ(Stompset(kSaveSlowSwell).status, 0);
    }

    // A failing command: its status, its one line of error, and the file
    // exactly as it was.
    void ExpectRefused(const std::vector<std::string>& args, int status, const std::string& message)
    {
        const std::string before = testing_support::ReadFile(documents.PresetFilePath());
        const auto run = Stompset(args);
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(testing_support::ReadFile(documents.PresetFilePath()), before);
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
}

TEST_F(PresetsCommand, SaveStartsFromAnyPresetWhenAsked)
{
    ASSERT_EQ(Stompset({"presets", "save", "AP", "Wide", "--from-preset", "Leslie rotary", "Stereo=100"}).status, 0);
    EXPECT_EQ(OnDisk("apu1").at(0).values, (std::vector<float>{1.0f, 240.0f, 0.0f, 100.0f, 0.0f, 0.0f}));

    SaveSlowSwell();
    ASSERT_EQ(Stompset({"presets", "save", "TR", "Swell copy", "--from-preset=slow SWELL"}).status, 0);
    const std::vector<CORVDSPPreset> saved = OnDisk("tru1");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[1].values, saved[0].values);
}

TEST_F(PresetsCommand, ListShowsEachEffectsUserPresets)
{
    const std::string fileLine = "User preset file: " + documents.PresetFilePath() + "\n";
    EXPECT_EQ(Stompset({"presets", "list"}).out, fileLine + "No user presets.\n");
    EXPECT_EQ(Stompset({"presets", "list", "tremolo"}).out, fileLine + "TR - Tremolo\n  (no user presets)\n");

    SaveSlowSwell();
    ASSERT_EQ(Stompset({"presets", "save", "AP", "Wide", "Stereo=100"}).status, 0);
    const std::string tremolo = "TR - Tremolo\n  5   Slow swell  " + kSlowSwell + "\n";
    const std::string autoPan = "AP - Auto Pan\n  5   Wide  Wave shape Triangular, Tempo 100, Center 0, Stereo 100, "
                                "Sync coeff Off, Tap Canceled\n";
    EXPECT_EQ(Stompset({"presets", "list"}).out, fileLine + autoPan + tremolo);
    EXPECT_EQ(Stompset({"presets", "list", "180"}).out, fileLine + tremolo);
    EXPECT_NE(Stompset({"info", "TR"}).out.find("User presets:\n  5   Slow swell  " + kSlowSwell), std::string::npos);

    // The program run on its own sees the same folder through the environment.
    const auto binary = testing_support::RunStompsetBinary({"presets", "list", "TR"});
    EXPECT_EQ(binary.status, 0) << binary.err;
    EXPECT_EQ(binary.out, fileLine + tremolo);
}

TEST_F(PresetsCommand, RenderAppliesUserPresetsByName)
{
    const auto saved = Stompset({"presets", "save", "TR", "Pulse", "Tempo=200", "Wave shape=Rectangular", "Depth=80"});
    ASSERT_EQ(saved.status, 0);
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
    EXPECT_EQ(byPreset, render("TR:preset=5", "index.wav"));
}

TEST_F(PresetsCommand, DeleteRemovesOnlyUserPresets)
{
    SaveSlowSwell();
    ASSERT_EQ(Stompset({"presets", "save", "TR", "Other"}).status, 0);
    const auto run = Stompset({"presets", "delete", "TR", "slow swell"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Deleted user preset 'Slow swell' of TR - Tremolo\n");
    ASSERT_EQ(OnDisk("tru1").size(), 1u);
    EXPECT_EQ(OnDisk("tru1")[0].name, "Other");

    ExpectRefused({"presets", "delete", "TR", "Slow swel"}, kUsage,
                  "no user preset 'Slow swel' of TR - Tremolo (user presets: 'Other')");
    ExpectRefused({"presets", "delete", "TR", "Othr"}, kUsage, "did you mean 'Other'?");
    ExpectRefused({"presets", "delete", "TR", "default"}, kUsage,
                  "'Default' is a factory preset of TR - Tremolo; only user presets can be deleted");
    ExpectRefused({"presets", "delete", "AP", "Other"}, kUsage,
                  "no user preset 'Other' of AP - Auto Pan (it has none)");
}

TEST_F(PresetsCommand, SaveRefusesTakenNamesAndBadSettingsWithoutWriting)
{
    SaveSlowSwell();
    ExpectRefused({"presets", "save", "TR", "hard TREMOLO"}, kUsage,
                  "'Hard tremolo' is a factory preset of TR - Tremolo; choose another name");
    ExpectRefused({"presets", "save", "TR", " SLOW SWELL "}, kUsage,
                  "'Slow swell' is a user preset of TR - Tremolo already; delete it first");
    ExpectRefused({"presets", "save", "TR", "X", "Depth=130"}, kUsage, "value 130 of TR Depth is outside its range");
    ExpectRefused({"presets", "save", "TR", "X", "Depht=3"}, kUsage, "did you mean 'Depth'?");
    ExpectRefused({"presets", "save", "TR", "X", "--from-preset", "Nope"}, kUsage, "unknown preset 'Nope' of TR");
    ExpectRefused({"presets", "save", "TR", "bell\x07"}, kUsage, "preset name 'bell\\x07' holds a control character");
    ExpectRefused({"presets", "save", "TR", "caf\xE9"}, kUsage, "preset name 'caf\xE9' is not UTF-8 text");
    ExpectRefused({"presets", "save", "TR", " 2 "}, kUsage,
                  "a preset name cannot be digits alone: 'preset=2' selects the preset at index 2");
    ExpectRefused({"presets", "save", "TR", "X", "--from-preset", "1", "--from-preset", "2"}, kUsage,
                  "option '--from-preset' is given more than once");
    ExpectRefused({"presets", "save", "TR", "X", "Depth"}, kUsage, "'Depth' is not of the form PARAM=VALUE");
    ExpectRefused({"presets", "save", "TR", "  "}, kUsage, "a preset name cannot be empty");
    ExpectRefused({"presets", "save", "TR"}, kUsage, "'presets save' takes an effect and a preset name");
    ExpectRefused({"presets", "save", "XY", "X"}, kUsage, "unknown effect 'XY'");
    EXPECT_EQ(OnDisk("tru1").size(), 1u);

    // Blanks around a name are dropped, as every lookup drops them.
    EXPECT_EQ(Stompset({"presets", "save", "TR", "  Padded\t"}).out.rfind("Saved user preset 6 'Padded' of", 0), 0u);
    EXPECT_EQ(OnDisk("tru1").back().name, "Padded");
    EXPECT_EQ(Stompset({"presets", "delete", "TR", " padded "}).status, 0);
    EXPECT_EQ(OnDisk("tru1").size(), 1u);
}

TEST_F(PresetsCommand, FileLimitsAndOlderNamesAreRespected)
{
    SaveSlowSwell();
    const std::string path = documents.PresetFilePath();
    std::filesystem::permissions(path, std::filesystem::perms(0444));
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "the user preset file '" + path + "' is read-only; it is left as it is and nothing was saved");
    ExpectRefused({"presets", "delete", "TR", "Slow swell"}, kFailure, "is read-only; it is left as it is and nothing "
                                                                       "was deleted");
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0444));
    std::filesystem::permissions(path, std::filesystem::perms(0644));

    CORVPresetDocument document;
    for (int32_t i = 0; i < CORVPresetDocument::kHighestPresetNumber; ++i)
        document.AppendPreset(FourCC("tru1"), "p", {1.0f});
    testing_support::WriteFile(path, document.Text());
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "TR - Tremolo has 999 user presets, the most the file holds for one effect; delete one first");

    // A number is a position first: an older file's user preset "2" (now
    // index 5) does not hide factory preset 2.
    CORVPresetDocument older;
    older.AppendPreset(FourCC("tru1"), "2", {90.0f, 4.0f, 60.0f, 0.0f, 0.0f});
    testing_support::WriteFile(path, older.Text());
    ASSERT_EQ(Stompset({"presets", "save", "TR", "From 2", "--from-preset", "2"}).status, 0);
    ASSERT_EQ(Stompset({"presets", "save", "TR", "From 5", "--from-preset", "5"}).status, 0);
    const std::vector<CORVDSPPreset> saved = OnDisk("tru1");
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[1].values, CORVTremoloDSP(48000.0, 256).presets.at(2)->values);
    EXPECT_EQ(saved[2].values, saved[0].values);
}

TEST_F(PresetsCommand, OnlySavingMakesTheFile)
{
    testing_support::TemporaryFolder folder;
    testing_support::WriteFloatWav(folder / "in.wav", {testing_support::Sine(220.0, 48000.0, 4800)}, 48000);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"presets", "list"}, {"presets", "list", "TR"}, {"info", "TR"},
          {"presets", "delete", "TR", "X"}, {"tune", "-i", folder / "in.wav"},
          {"render", "-i", folder / "in.wav", "-o", folder / "out.wav", "-e", "TR:preset=Default"}})
        Stompset(args);
    EXPECT_EQ(testing_support::ReadAudio(folder / "out.wav").channels.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(documents.Path()));
    SaveSlowSwell();
    EXPECT_EQ(OnDisk("tru1").size(), 1u);
}

TEST_F(PresetsCommand, PresetThatDoesNotFitIsNoStartingPoint)
{
    CORVPresetDocument document;
    document.AppendPreset(FourCC("tru1"), "Short", {90.0f});
    std::filesystem::create_directories(std::filesystem::path(documents.PresetFilePath()).parent_path());
    testing_support::WriteFile(documents.PresetFilePath(), document.Text());
    ExpectRefused({"presets", "save", "TR", "X", "--from-preset", "short"}, kFailure,
                  "preset 'Short' does not fit TR - Tremolo");
    EXPECT_NE(Stompset({"presets", "list", "TR"}).out.find("  5   Short  (does not fit this effect)\n"),
              std::string::npos);
}

TEST_F(PresetsCommand, UnreadableFileIsLeftAsItIs)
{
    std::filesystem::create_directories(std::filesystem::path(documents.PresetFilePath()).parent_path());
    testing_support::WriteFile(documents.PresetFilePath(), "<plist><dict><key>half a file");
    ExpectRefused({"presets", "save", "TR", "X"}, kFailure,
                  "the user preset file '" + documents.PresetFilePath() +
                      "' cannot be read; it is left as it is and nothing was saved");
    EXPECT_EQ(Stompset({"presets", "list", "TR"}).out.rfind("User preset file: " + documents.PresetFilePath() +
                                                                " (cannot be read; left as it is)\n",
                                                            0),
              0u);
}

TEST_F(PresetsCommand, UsageMistakesNameTheWayOut)
{
    ExpectRefused({"presets"}, kUsage, "'presets' needs one of 'list', 'save', 'delete'");
    ExpectRefused({"presets", "lst"}, kUsage, "unknown 'presets' command 'lst'; did you mean 'list'?");
    ExpectRefused({"presets", "delete", "TR"}, kUsage, "'presets delete' takes an effect and a preset name");
    ExpectRefused({"presets", "list", "TR", "AP"}, kUsage, "'presets list' takes at most one effect");
    ExpectRefused({"presets", "list", "--from-preset", "X"}, kUsage, "'--from-preset' belongs to 'presets save'");
    ExpectRefused({"presets", "save", "TR", "X", "--from"}, kUsage, "did you mean '--from-preset'?");

    const auto help = Stompset({"presets", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: stompset presets list [EFFECT]", 0), 0u) << help.out;
    for (const char* word : {"presets save EFFECT NAME", "presets delete EFFECT NAME", "--from-preset", "PARAM=VALUE",
                             "Orvanta Stompset.orvpreset", "STOMPSET_DOCUMENTS_DIR"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}
