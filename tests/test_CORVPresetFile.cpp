#include "core/CORVPresetFile.h"

#include "dsp/FourCC.h"
#include "platform/FileStatus.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testing_support::ReadFile;
using testing_support::WriteFile;
namespace fs = std::filesystem;

namespace {

const uint32_t kTremoloCode = FourCC("tru1");
const uint32_t kAutoPanCode = FourCC("apu1");
constexpr int32_t kTremoloFactoryPresets = 5;
constexpr double kRate = 48000.0;
constexpr uint32_t kFrames = 256;
using Names = std::vector<std::string>;
// The hidden lock file beside the preset file, as every host names it.
const std::string kLockName = std::string(".").append(CORVPresetFile::kFileName).append(".lock");

// What a full disk looks like to the writer: half the bytes go out, then
// the write fails.
bool HalfThenFail(int descriptor, std::string_view bytes)
{
    platform::WriteAllBytes(descriptor, bytes.substr(0, bytes.size() / 2));
    return false;
}

Names UserPresetNames(const CORVDSPAlgInterface& algorithm)
{
    Names names;
    for (const auto& [index, preset] : algorithm.presets)
        if (preset->isFactory == 0)
            names.push_back(preset->name);
    return names;
}

class PresetFileTest : public testing::Test {
protected:
    // A fresh reader of the file, as a later instance would see it.
    Names NamesOnDisk(const std::string& filePath = {}) const
    {
        CORVPresetFile file(filePath.empty() ? path : filePath);
        file.Open();
        CORVTremoloDSP algorithm(kRate, kFrames);
        file.LoadPresets(algorithm);
        return UserPresetNames(algorithm);
    }

    // Besides the lock file, which changes leave for the next change to lock.
    size_t FilesInFolder() const
    {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path()))
            count += entry.path().filename() != kLockName;
        return count;
    }

    testing_support::TemporaryFolder folder;
    std::string path = folder.Path() + "/" + CORVPresetFile::kFolder + "/" + CORVPresetFile::kFileName;
    CORVTremoloDSP tremolo{kRate, kFrames};
};

} // namespace

TEST_F(PresetFileTest, MissingFileIsMadeWithTheEmptyStructure)
{
    CORVPresetFile file(path);
    EXPECT_EQ(file.Open(), CORVPresetFile::State::Created);
    EXPECT_EQ(ReadFile(path), CORVPresetDocument().Text());
    EXPECT_EQ(FilesInFolder(), 1u);

    // A program that only reads presets leaves a missing file missing; its
    // first save makes it, folders and all.
    fs::remove_all(folder.Path() + "/Orvanta");
    const bool before = CORVPresetFile::SetCreateOnOpen(false);
    EXPECT_EQ(file.Open(), CORVPresetFile::State::Missing);
    CORVPresetFile::SetCreateOnOpen(before);
    EXPECT_TRUE(folder.Entries().empty());
    EXPECT_TRUE(file.SavePreset(tremolo, "made"));
    EXPECT_EQ(NamesOnDisk(), Names{"made"});
}

TEST_F(PresetFileTest, SavedPresetsFollowTheFactoryPresetsAndDeletesCloseTheGap)
{
    CORVPresetDocument document;
    document.AppendPreset(kTremoloCode, "Short", {200.0f, 1.0f});
    document.AppendPreset(kAutoPanCode, "Pan", {0.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.0f});
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, document.Text());
    CORVPresetFile file(path);
    ASSERT_EQ(file.Open(), CORVPresetFile::State::Read);
    EXPECT_EQ(file.LoadPresets(tremolo), 1);

    tremolo.GetParameter(CORVTremoloDSP::kTempo)->SetValue(137.5f);
    tremolo.GetParameter(CORVTremoloDSP::kWaveShape)->SetValue(3.0f);
    ASSERT_EQ(file.SavePreset(tremolo, "Mine"), 6);
    ASSERT_TRUE(file.SavePreset(tremolo, "Last"));

    // A later instance: a preset with too few values stays in the list but
    // changes nothing; a whole one sets every value.
    CORVPresetFile later(path);
    later.Open();
    CORVTremoloDSP other(kRate, kFrames);
    EXPECT_EQ(later.LoadPresets(other), 3);
    other.ApplyPresetByIndex(5);
    EXPECT_EQ(other.currentPreset->name, "Default");
    other.ApplyPresetByIndex(6);
    EXPECT_EQ(other.presets.at(6)->values, (std::vector<float>{137.5f, 3.0f, 21.0f, 0.0f, 0.0f}));
    EXPECT_EQ(other.Value(CORVTremoloDSP::kTempo), 137.5f);

    EXPECT_FALSE(later.DeletePreset(other, 0)); // a factory preset
    ASSERT_TRUE(later.DeletePreset(other, 6));
    EXPECT_EQ(other.currentPreset, nullptr);
    EXPECT_EQ(other.presets.at(6)->name, "Last");
    EXPECT_EQ(NamesOnDisk(), (Names{"Short", "Last"}));

    // The first instance still lists "Mine": deleting it again succeeds, and
    // a save starts from the file as it is now, not as the instance read it.
    EXPECT_TRUE(file.DeletePreset(tremolo, 6));
    EXPECT_EQ(UserPresetNames(tremolo), (Names{"Short", "Last"}));
    ASSERT_TRUE(file.SavePreset(tremolo, "After"));
    EXPECT_EQ(NamesOnDisk(), (Names{"Short", "Last", "After"}));
    // The other effect's section is carried along.
    EXPECT_EQ(CORVPresetDocument::Parse(ReadFile(path))->ReadPresets(kAutoPanCode).at(0).name, "Pan");
}

TEST_F(PresetFileTest, FileThatCannotBeReadIsNeverWritten)
{
    const std::string valid = CORVPresetDocument().Text();
    fs::create_directories(fs::path(path).parent_path());
    for (const std::string& contents : {valid.substr(0, valid.size() / 2), valid + "trailing"}) {
        WriteFile(path, contents);
        CORVPresetFile file(path);
        EXPECT_EQ(file.Open(), CORVPresetFile::State::Unreadable);
        CORVTremoloDSP algorithm(kRate, kFrames);
        EXPECT_EQ(file.LoadPresets(algorithm), 0);
        EXPECT_FALSE(file.SavePreset(algorithm, "attempt"));
        EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::Unreadable);
        algorithm.AddPreset(5, std::make_unique<CORVDSPPreset>(CORVDSPPreset{"user", {1.0f}, 0}));
        EXPECT_FALSE(file.DeletePreset(algorithm, 5));
        EXPECT_EQ(ReadFile(path), contents);
    }
    // Nor is a folder in the file's place.
    fs::remove(path);
    fs::create_directories(path);
    CORVPresetFile folderInTheWay(path);
    EXPECT_EQ(folderInTheWay.Open(), CORVPresetFile::State::Unreadable);
    EXPECT_FALSE(folderInTheWay.SavePreset(tremolo, "x"));
}

TEST_F(PresetFileTest, FailedWriteLeavesTheOldFileWhole)
{
    CORVPresetFile file(path);
    file.Open();
    ASSERT_TRUE(file.SavePreset(tremolo, "kept"));
    const std::string before = ReadFile(path);

    CORVPresetFile fullDisk(path, HalfThenFail);
    fullDisk.Open();
    CORVTremoloDSP algorithm(kRate, kFrames);
    fullDisk.LoadPresets(algorithm);
    EXPECT_FALSE(fullDisk.SavePreset(algorithm, "lost"));
    EXPECT_EQ(fullDisk.GetLastFailure(), CORVPresetFile::Failure::NotWritten);
    EXPECT_FALSE(fullDisk.DeletePreset(algorithm, kTremoloFactoryPresets));
    EXPECT_EQ(UserPresetNames(algorithm), Names{"kept"});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(FilesInFolder(), 1u);

    // A file that has to be made anew is not left half-written either.
    fs::remove(path);
    EXPECT_EQ(fullDisk.Open(), CORVPresetFile::State::NotCreated);
    EXPECT_FALSE(fullDisk.SavePreset(algorithm, "lost"));
    EXPECT_EQ(FilesInFolder(), 0u);
}

// Another host holds the lock on the hidden lock file beside the preset
// file (an advisory lock of its own opening) while it reads and rewrites
// the file: a save waits for it, then starts from what the other host
// wrote, so that neither change is lost.
TEST_F(PresetFileTest, SaveWaitsForAnotherHoldersLock)
{
    CORVPresetFile file(path);
    ASSERT_EQ(file.Open(), CORVPresetFile::State::Created);
    const std::string lockPath = fs::path(path).parent_path() / kLockName;
    const int held = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    CORVPresetDocument holders = *CORVPresetDocument::Parse(ReadFile(path));

    std::atomic<bool> saved{false};
    std::thread saver([&] {
        EXPECT_TRUE(file.SavePreset(tremolo, "waited"));
        saved = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (!saved && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(saved) << "the save went ahead while another holder had the lock";

    EXPECT_TRUE(holders.AppendPreset(kTremoloCode, "holder", {120.0f, 0.0f, 50.0f, 0.0f, 0.0f}));
    WriteFile(path, holders.Text());
    close(held);
    saver.join();
    EXPECT_EQ(NamesOnDisk(), (Names{"holder", "waited"}));
}

// A file without write permission is left as it is, and says so; a file
// that may be written keeps its permissions; a name the file cannot hold is
// told apart from a failed write.
TEST_F(PresetFileTest, FailuresAreNamedAndChangeNothing)
{
    CORVPresetFile file(path);
    file.Open();
    ASSERT_TRUE(file.SavePreset(tremolo, "kept"));
    const std::string before = ReadFile(path);
    for (const mode_t readOnly : {0444, 0400}) {
        chmod(path.c_str(), readOnly);
        EXPECT_FALSE(file.SavePreset(tremolo, "refused"));
        EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::ReadOnly);
        EXPECT_FALSE(file.DeletePreset(tremolo, kTremoloFactoryPresets));
        EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::ReadOnly);
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_EQ(platform::PermissionsOf(path), readOnly);
    }
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(file.SavePreset(tremolo, "second"));
    ASSERT_TRUE(file.DeletePreset(tremolo, kTremoloFactoryPresets));
    EXPECT_EQ(platform::PermissionsOf(path), 0640u);
    EXPECT_EQ(UserPresetNames(tremolo), Names{"second"});

    for (const char* name : {"bell\x07", "caf\xE9"}) {
        EXPECT_FALSE(file.SavePreset(tremolo, name));
        EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::BadName);
    }
}

// Hundreds of damaged files (cut off, stray bytes, pieces lost, odd value
// texts): none may crash the loader; one that does not parse is never
// written; one that does takes a new preset after exactly the ones the
// loader found, and deleting it again leaves exactly those.
TEST_F(PresetFileTest, DamagedFilesLoadSafelyAndNeverLosePresets)
{
    CORVPresetDocument seed;
    seed.AppendPreset(kTremoloCode, "Alpha", {300.0f, 0.0f, 21.0f, 0.0f, 0.0f});
    seed.AppendPreset(kAutoPanCode, "Pan", {0.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.0f});
    const char* const kOddValues[] = {"1e999999", "-0", "", "nan", "0x1p3", "1,5", "<real>3</real>", "</real>"};
    std::mt19937 random(20240611);
    const auto at = [&random](size_t size) { return size_t(random() % std::max<size_t>(size, 1)); };
    int saved = 0;
    for (int i = 0; i < 400; ++i) {
        std::string text = seed.Text();
        for (int steps = 1 + int(random() % 2); steps > 0; --steps) {
            const size_t where = at(text.size());
            switch (random() % 5) {
            case 0: text.resize(where); break;
            case 1: text.insert(where, 1, char(random())); break;
            case 2: text.erase(where, at(40)); break;
            default:
                const size_t real = text.find("<real>", where);
                text.insert(real == std::string::npos ? where : real + 6, kOddValues[at(8)]);
            }
        }
        SCOPED_TRACE("case " + std::to_string(i));
        // One file per case: rewriting one file hundreds of times makes the
        // file system flush it every time.
        const std::string casePath = folder / ("case" + std::to_string(i));
        WriteFile(casePath, text);
        CORVPresetFile file(casePath);
        file.Open();
        CORVTremoloDSP algorithm(kRate, kFrames);
        file.LoadPresets(algorithm);
        const Names before = UserPresetNames(algorithm);
        const std::optional<int32_t> index = file.SavePreset(algorithm, "New");
        if (!index) {
            ASSERT_EQ(ReadFile(casePath), text);
            continue;
        }
        ++saved;
        Names expected = before;
        expected.push_back("New");
        ASSERT_EQ(NamesOnDisk(casePath), expected);
        ASSERT_TRUE(file.DeletePreset(algorithm, *index));
        ASSERT_EQ(NamesOnDisk(casePath), before);
    }
    // Both kinds of case come up often.
    EXPECT_GT(saved, 80);
    EXPECT_LT(saved, 320);
}

// A new file is made whole or not at all, and never over an existing one.
TEST(AtomicFile, CreateNeverReplacesAndAFailedWriteLeavesNothing)
{
    testing_support::TemporaryFolder folder;
    EXPECT_FALSE(platform::CreateNewFile(folder / "file", "new", [](int, std::string_view) { return false; }));
    EXPECT_TRUE(folder.Entries().empty());
    ASSERT_TRUE(platform::CreateNewFile(folder / "file", "first"));
    EXPECT_FALSE(platform::CreateNewFile(folder / "file", "second"));
    EXPECT_EQ(ReadFile(folder / "file"), "first");
    EXPECT_EQ(fs::status(folder / "file").permissions(), fs::perms(0644));
    EXPECT_EQ(folder.Entries(), Names{"file"});
}
