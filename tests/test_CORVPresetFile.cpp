#include "core/CORVPresetFile.h"

#include "dsp/FourCC.h"
#include "platform/FileStatus.h"
#include "effects/modulation/CORVAutoPanDSP.h"
#include "effects/modulation/CORVTremoloDSP.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <thread>

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

const uint32_t kTremoloCode = FourCC("tru1");
const uint32_t kAutoPanCode = FourCC("apu1");
constexpr int32_t kTremoloFactoryPresets = 5;
constexpr double kRate = 48000.0;
constexpr uint32_t kFrames = 256;

// What a full disk looks like to the writer: half the bytes go out, then
// the write fails.
bool HalfThenFail(int descriptor, std::string_view bytes)
{
    platform::WriteAllBytes(descriptor, bytes.substr(0, bytes.size() / 2));
    return false;
}

// Names and values, bit for bit (NaN included).
bool SamePresets(const std::vector<CORVDSPPreset>& a, const std::vector<CORVDSPPreset>& b)
{
    const auto sameBits = [](float x, float y) { return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y); };
    const auto samePreset = [&sameBits](const CORVDSPPreset& x, const CORVDSPPreset& y) {
        return x.name == y.name &&
               std::equal(x.values.begin(), x.values.end(), y.values.begin(), y.values.end(), sameBits);
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), samePreset);
}

std::vector<std::string> UserPresetNames(const CORVDSPAlgInterface& algorithm)
{
    std::vector<std::string> names;
    for (const auto& [index, preset] : algorithm.presets)
        if (preset->isFactory == 0)
            names.push_back(preset->name);
    return names;
}

class PresetFileTest : public testing::Test {
protected:
    // A fresh reader of the file, as a later instance would see it.
    std::vector<std::string> NamesOnDisk(uint32_t fourCC = kTremoloCode) const
    {
        CORVPresetFile file(path);
        file.Open();
        CORVTremoloDSP tremolo(kRate, kFrames);
        CORVAutoPanDSP autoPan(kRate, kFrames);
        CORVDSPAlgInterface& algorithm = fourCC == kAutoPanCode ? static_cast<CORVDSPAlgInterface&>(autoPan) : tremolo;
        file.LoadPresets(algorithm);
        return UserPresetNames(algorithm);
    }

    // Besides the lock file, which changes leave for the next change to lock.
    size_t FilesInFolder() const
    {
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
            count += entry.path().string() != CORVPresetFile(path).LockPath();
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
    EXPECT_EQ(file.LoadPresets(tremolo), 0);
    EXPECT_EQ(tremolo.presets.size(), size_t(kTremoloFactoryPresets));
    EXPECT_EQ(FilesInFolder(), 1u);

    // A program that only reads presets leaves a missing file missing; its
    // first save makes it.
    std::filesystem::remove_all(folder.Path() + "/Orvanta");
    const bool before = CORVPresetFile::SetCreateOnOpen(false);
    EXPECT_EQ(file.Open(), CORVPresetFile::State::Missing);
    EXPECT_FALSE(CORVPresetFile::SetCreateOnOpen(before));
    EXPECT_TRUE(folder.Entries().empty());
    EXPECT_TRUE(file.SavePreset(tremolo, "made"));
    EXPECT_EQ(NamesOnDisk(), std::vector<std::string>{"made"});
}

TEST_F(PresetFileTest, UserPresetsFollowTheFactoryPresets)
{
    CORVPresetDocument document;
    document.AppendPreset(kTremoloCode, "Pulse", {200.0f, 1.0f, 80.0f, 0.0f, 0.0f});
    document.AppendPreset(kAutoPanCode, "Pan", {0.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.0f});
    document.AppendPreset(kTremoloCode, "Short", {200.0f, 1.0f});
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, document.Text());

    CORVPresetFile file(path);
    ASSERT_EQ(file.Open(), CORVPresetFile::State::Read);
    EXPECT_EQ(file.LoadPresets(tremolo), 2);
    ASSERT_EQ(tremolo.presets.size(), 7u);
    EXPECT_EQ(tremolo.presets.at(5)->name, "Pulse");
    EXPECT_EQ(tremolo.presets.at(5)->isFactory, 0u);
    EXPECT_EQ(tremolo.presets.at(6)->name, "Short");

    // A preset with too few values stays in the list but changes nothing.
    tremolo.ApplyPresetByIndex(6);
    EXPECT_EQ(tremolo.currentPreset->name, "Default");
    EXPECT_EQ(tremolo.Value(CORVTremoloDSP::kTempo), 300.0f);
    tremolo.ApplyPresetByIndex(5);
    EXPECT_EQ(tremolo.currentPreset->name, "Pulse");
    EXPECT_EQ(tremolo.Value(CORVTremoloDSP::kTempo), 200.0f);
    EXPECT_EQ(tremolo.Value(CORVTremoloDSP::kDepth), 80.0f);
}

TEST_F(PresetFileTest, SavedPresetHoldsTheCurrentValues)
{
    CORVPresetFile file(path);
    file.Open();
    tremolo.GetParameter(CORVTremoloDSP::kTempo)->SetValue(137.5f);
    tremolo.GetParameter(CORVTremoloDSP::kWaveShape)->SetValue(3.0f);
    const std::optional<int32_t> index = file.SavePreset(tremolo, "Mine");
    ASSERT_EQ(index, kTremoloFactoryPresets);
    EXPECT_EQ(tremolo.presets.at(*index)->values, (std::vector<float>{137.5f, 3.0f, 21.0f, 0.0f, 0.0f}));
    EXPECT_EQ(tremolo.presets.at(*index)->isFactory, 0u);

    CORVPresetFile later(path);
    later.Open();
    CORVTremoloDSP other(kRate, kFrames);
    later.LoadPresets(other);
    other.ApplyPresetByIndex(kTremoloFactoryPresets);
    EXPECT_EQ(other.currentPreset->name, "Mine");
    EXPECT_EQ(other.Value(CORVTremoloDSP::kTempo), 137.5f);
    EXPECT_EQ(other.Value(CORVTremoloDSP::kWaveShape), 3.0f);
}

TEST_F(PresetFileTest, DeleteRemovesTheEntryAndClosesTheGap)
{
    CORVPresetFile file(path);
    file.Open();
    for (const char* name : {"one", "two", "three"})
        ASSERT_TRUE(file.SavePreset(tremolo, name));
    tremolo.ApplyPresetByIndex(6);
    ASSERT_EQ(tremolo.currentPreset->name, "two");

    EXPECT_FALSE(file.DeletePreset(tremolo, 0));
    EXPECT_FALSE(file.DeletePreset(tremolo, 42));
    ASSERT_TRUE(file.DeletePreset(tremolo, 6));
    EXPECT_EQ(tremolo.currentPreset, nullptr);
    EXPECT_EQ(tremolo.presets.size(), 7u);
    EXPECT_EQ(tremolo.presets.at(6)->name, "three");
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(tremolo.presets.at(0)->name, "Default");
}

TEST_F(PresetFileTest, FileThatCannotBeReadIsNeverWritten)
{
    const std::string valid = CORVPresetDocument().Text();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    for (const std::string& contents : {std::string(), std::string("not XML at all"),
                                        valid.substr(0, valid.size() / 2), valid + "trailing",
                                        std::string("<plist><dict><key>caf\xE9</key></dict></plist>")}) {
        WriteFile(path, contents);
        CORVPresetFile file(path);
        EXPECT_EQ(file.Open(), CORVPresetFile::State::Unreadable);
        CORVTremoloDSP algorithm(kRate, kFrames);
        EXPECT_EQ(file.LoadPresets(algorithm), 0);
        EXPECT_FALSE(file.SavePreset(algorithm, "attempt"));
        algorithm.AddPreset(5, std::make_unique<CORVDSPPreset>(CORVDSPPreset{"user", {1.0f}, 0}));
        EXPECT_FALSE(file.DeletePreset(algorithm, 5));
        EXPECT_EQ(algorithm.presets.size(), 6u);
        EXPECT_EQ(ReadFile(path), contents);
        EXPECT_EQ(FilesInFolder(), 1u);
    }
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
    EXPECT_FALSE(fullDisk.DeletePreset(algorithm, kTremoloFactoryPresets));
    EXPECT_EQ(UserPresetNames(algorithm), std::vector<std::string>{"kept"});
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(FilesInFolder(), 1u);

    // A file that has to be made anew is not left half-written either.
    std::filesystem::remove(path);
    EXPECT_EQ(fullDisk.Open(), CORVPresetFile::State::NotCreated);
    EXPECT_FALSE(fullDisk.SavePreset(algorithm, "lost"));
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(PresetFileTest, SaveKeepsWhatOtherInstancesWroteMeanwhile)
{
    CORVPresetFile first(path);
    CORVPresetFile second(path);
    first.Open();
    second.Open();
    CORVTremoloDSP other(kRate, kFrames);
    ASSERT_TRUE(first.SavePreset(tremolo, "first A"));
    ASSERT_TRUE(second.SavePreset(other, "second A"));
    ASSERT_TRUE(first.SavePreset(tremolo, "first B"));
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"first A", "second A", "first B"}));

    // The other instance removed "first A" already: deleting it again
    // succeeds and leaves the rest.
    CORVPresetFile third(path);
    third.Open();
    CORVTremoloDSP thirdAlgorithm(kRate, kFrames);
    third.LoadPresets(thirdAlgorithm);
    ASSERT_TRUE(third.DeletePreset(thirdAlgorithm, kTremoloFactoryPresets));
    EXPECT_TRUE(first.DeletePreset(tremolo, kTremoloFactoryPresets));
    EXPECT_EQ(UserPresetNames(tremolo), std::vector<std::string>{"first B"});
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"second A", "first B"}));
}

// Two hosts, or two instances in one host, saving and deleting at once: each
// change waits for the other, so every one that succeeds is in the file.
TEST_F(PresetFileTest, ConcurrentSavesAndDeletesAllLand)
{
    constexpr int kPerWriter = 50;
    const auto name = [](char writer, int i) {
        std::string text = std::to_string(i);
        text.insert(text.begin(), writer);
        return text;
    };
    const auto run = [&](char writer, bool deleting) {
        CORVPresetFile file(path);
        file.Open();
        CORVTremoloDSP algorithm(kRate, kFrames);
        file.LoadPresets(algorithm);
        for (int i = 0; i < kPerWriter; ++i) {
            if (!deleting) {
                EXPECT_TRUE(file.SavePreset(algorithm, name(writer, i)));
                continue;
            }
            // Every other one of the writer's own presets, found by name.
            const auto found = std::find_if(algorithm.presets.begin(), algorithm.presets.end(),
                                            [&](const auto& entry) { return entry.second->name == name(writer, i); });
            if (i % 2 == 0 && found != algorithm.presets.end()) {
                EXPECT_TRUE(file.DeletePreset(algorithm, found->first));
            }
        }
    };
    for (const bool deleting : {false, true}) {
        std::thread first(run, 'A', deleting);
        std::thread second(run, 'B', deleting);
        first.join();
        second.join();
        std::vector<std::string> expected;
        for (const char writer : {'A', 'B'})
            for (int i = deleting ? 1 : 0; i < kPerWriter; i += deleting ? 2 : 1)
                expected.push_back(name(writer, i));
        std::vector<std::string> names = NamesOnDisk();
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected) << (deleting ? "after the deletes" : "after the saves");
    }
}

// A file without write permission is left as it is, and says so; a file
// that may be written keeps its permissions; a name the file cannot hold,
// and a full section, are told apart from a failed write.
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
    EXPECT_EQ(UserPresetNames(tremolo), std::vector<std::string>{"second"});

    for (const char* name : {"bell\x07", "caf\xE9", "tab\there", "c1 \xC2\x9B"}) {
        EXPECT_FALSE(file.SavePreset(tremolo, name));
        EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::BadName);
    }
    CORVPresetDocument full;
    for (int32_t i = 0; i < CORVPresetDocument::kHighestPresetNumber; ++i)
        ASSERT_TRUE(full.AppendPreset(kTremoloCode, "p", {1.0f}));
    WriteFile(path, full.Text());
    EXPECT_FALSE(file.SavePreset(tremolo, "one too many"));
    EXPECT_EQ(file.GetLastFailure(), CORVPresetFile::Failure::Full);
    EXPECT_EQ(ReadFile(path), full.Text());
    EXPECT_EQ(UserPresetNames(tremolo), std::vector<std::string>{"second"});
}

TEST_F(PresetFileTest, VanishedFileIsMadeAgainBySave)
{
    CORVPresetFile file(path);
    file.Open();
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    ASSERT_TRUE(file.SavePreset(tremolo, "back"));
    EXPECT_EQ(NamesOnDisk(), std::vector<std::string>{"back"});
}

TEST_F(PresetFileTest, NoFileWithoutAUsablePath)
{
    CORVPresetFile nowhere("");
    EXPECT_EQ(nowhere.Open(), CORVPresetFile::State::NotCreated);
    EXPECT_FALSE(nowhere.SavePreset(tremolo, "x"));

    std::filesystem::create_directories(path);
    CORVPresetFile folderInTheWay(path);
    EXPECT_EQ(folderInTheWay.Open(), CORVPresetFile::State::Unreadable);
    EXPECT_FALSE(folderInTheWay.SavePreset(tremolo, "x"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(UserPresetNames(tremolo), std::vector<std::string>{});
}

namespace {

// Mutations of a good preset file, each the kind of damage a file meets:
// cut off, elements renamed, values out of range or not numbers, nesting
// without end, stray bytes, lost or doubled pieces, odd keys.
using Mutation = std::string (*)(std::string, std::mt19937&);

size_t Pick(std::mt19937& random, size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random); }

template <size_t N>
const char* PickOf(std::mt19937& random, const std::array<const char*, N>& choices)
{
    return choices[Pick(random, N)];
}

// The position of the n-th occurrence (n counted modulo all of them).
size_t Occurrence(const std::string& text, const std::string& what, size_t n)
{
    std::vector<size_t> found;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        found.push_back(at);
    return found.empty() ? std::string::npos : found[n % found.size()];
}

std::string ReplaceRealText(std::string text, std::mt19937& random, const char* replacement)
{
    const size_t open = Occurrence(text, "<real>", Pick(random, 64));
    const size_t close = open == std::string::npos ? open : text.find("</real>", open);
    if (close != std::string::npos)
        text.replace(open + 6, close - open - 6, replacement);
    return text;
}

std::string Truncate(std::string text, std::mt19937& random) { return text.substr(0, Pick(random, text.size())); }

std::string RenameElement(std::string text, std::mt19937& random)
{
    const std::string from = PickOf(random, std::array{"plist", "dict", "key", "string", "array", "real"});
    const std::string to = PickOf(random, std::array{"dict", "key", "string", "array", "real", "data", "x"});
    const size_t n = Pick(random, 16);
    // Start tags may carry attributes ("<plist version=...>").
    for (const std::string& tag : {"<" + from + ">", "<" + from + " ", "</" + from + ">"})
        if (const size_t at = Occurrence(text, tag, n); at != std::string::npos)
            text.replace(at, tag.size() - 1, tag.substr(0, tag.find(from)) + to);
    return text;
}

std::string HugeNumber(std::string text, std::mt19937& random)
{
    return ReplaceRealText(text, random,
                           PickOf(random, std::array{"1e999999", "-1e400", "3.5e38", "1e-99999", "-0",
                                                     "340282357000000000000000000000000000000",
                                                     "99999999999999999999999999999999999999999999999999999"}));
}

std::string NonNumeric(std::string text, std::mt19937& random)
{
    return ReplaceRealText(text, random,
                           PickOf(random, std::array{"", "abc", "nan", "-inf", "--1", "0x1p3", "1,5", " 7 ", "1e",
                                                     ".", "&#x31;", "<![CDATA[2]]>", "<real>3</real>"}));
}

std::string DeepNesting(std::string text, std::mt19937& random)
{
    const size_t levels = std::array<size_t, 5>{8, 60, 70, 1000, 100000}[Pick(random, 5)];
    std::string nest;
    for (size_t i = 0; i < levels; ++i)
        nest += "<dict>";
    if (Pick(random, 2) == 0)
        for (size_t i = 0; i < levels; ++i)
            nest += "</dict>";
    const size_t at = Occurrence(text, "<", Pick(random, 256));
    return text.insert(at == std::string::npos ? 0 : at, nest);
}

std::string ByteNoise(std::string text, std::mt19937& random)
{
    for (size_t flips = 1 + Pick(random, 3); flips > 0 && !text.empty(); --flips)
        text[Pick(random, text.size())] = char(Pick(random, 256));
    return text;
}

std::string DropPiece(std::string text, std::mt19937& random)
{
    const std::string element = PickOf(random, std::array{"<key>", "<string>", "<array>", "<real>", "<dict>"});
    const size_t at = Occurrence(text, element, Pick(random, 32));
    if (at == std::string::npos)
        return text;
    const std::string close = "</" + element.substr(1);
    const size_t end = text.find(close, at);
    return end == std::string::npos ? text : text.erase(at, end + close.size() - at);
}

std::string DoubleLine(std::string text, std::mt19937& random)
{
    const size_t start = Occurrence(text, "\n", Pick(random, 128));
    const size_t end = start == std::string::npos ? start : text.find('\n', start + 1);
    return end == std::string::npos ? text : text.insert(end, text.substr(start, end - start));
}

std::string OddKey(std::string text, std::mt19937& random)
{
    const size_t at = Occurrence(text, "<key>Preset 00", Pick(random, 8));
    if (at == std::string::npos)
        return text;
    const size_t end = text.find("</key>", at);
    return text.replace(at + 5, end - at - 5,
                        PickOf(random, std::array{"Preset 1234", "Preset -1", "", "Effect tru1", "Name"}));
}

constexpr std::array<Mutation, 10> kMutations = {Truncate,    RenameElement, HugeNumber, NonNumeric,
                                                 DeepNesting, ByteNoise,     DropPiece,  DoubleLine,
                                                 OddKey,      RenameElement};

std::string SeedFile()
{
    CORVPresetDocument document;
    document.AppendPreset(kTremoloCode, "Alpha", {300.0f, 0.0f, 21.0f, 0.0f, 0.0f});
    document.AppendPreset(kAutoPanCode, "Pan", {0.0f, 100.0f, 0.0f, 100.0f, 0.0f, 0.0f});
    document.AppendPreset(kTremoloCode, "Beta", {120.0f, 2.0f, 50.5f, 3.0f, 1.0f});
    document.AppendPreset(kTremoloCode, "Gamma", {700.0f, 4.0f, 100.0f, 8.0f, 0.0f});
    return document.Text();
}

std::vector<CORVDSPPreset> ReadBack(const CORVPresetDocument& document, uint32_t fourCC)
{
    const std::optional<CORVPresetDocument> reread = CORVPresetDocument::Parse(document.Text());
    EXPECT_TRUE(reread.has_value());
    return reread ? reread->ReadPresets(fourCC) : std::vector<CORVDSPPreset>{};
}

} // namespace

// Hundreds of damaged files: none may crash the loader; one that does not
// parse is never written; one that does takes a new preset so that reading
// it back gives exactly the old presets plus the new one, and deleting
// presets again gives exactly the rest.
TEST_F(PresetFileTest, DamagedFilesLoadSafelyAndNeverLosePresets)
{
    constexpr int kCases = 400;
    constexpr int kEveryFileLevelSave = 30;
    const std::string seed = SeedFile();
    std::mt19937 random(20240611);
    int unreadable = 0;
    int saved = 0;
    int refused = 0;

    for (int i = 0; i < kCases; ++i) {
        std::string text = seed;
        for (size_t steps = 1 + Pick(random, 3); steps > 0; --steps)
            text = kMutations[Pick(random, kMutations.size())](text, random);
        SCOPED_TRACE("case " + std::to_string(i));

        // One file per case: rewriting a single file hundreds of times
        // makes the file system flush it every time.
        const std::string casePath = folder.Path() + "/case" + std::to_string(i) + ".orvpreset";
        WriteFile(casePath, text);
        CORVPresetFile file(casePath);
        const CORVPresetFile::State state = file.Open();
        CORVTremoloDSP algorithm(kRate, kFrames);
        const int32_t loaded = file.LoadPresets(algorithm);
        ASSERT_EQ(algorithm.presets.size(), size_t(kTremoloFactoryPresets + loaded));

        std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(text);
        if (!document) {
            ++unreadable;
            EXPECT_EQ(state, CORVPresetFile::State::Unreadable);
            EXPECT_EQ(loaded, 0);
            EXPECT_FALSE(file.SavePreset(algorithm, "New"));
            ASSERT_EQ(ReadFile(casePath), text);
            continue;
        }
        EXPECT_EQ(state, CORVPresetFile::State::Read);
        const std::vector<CORVDSPPreset> before = document->ReadPresets(kTremoloCode);
        const std::vector<CORVDSPPreset> otherEffect = document->ReadPresets(kAutoPanCode);
        ASSERT_EQ(size_t(loaded), before.size());

        const CORVDSPPreset added{"New", {300.0f, 0.0f, 21.0f, 0.0f, 0.0f}, 0};
        if (!document->AppendPreset(kTremoloCode, added.name, added.values)) {
            ++refused;
            EXPECT_FALSE(file.SavePreset(algorithm, "New"));
            ASSERT_EQ(ReadFile(casePath), text);
            continue;
        }
        ++saved;
        std::vector<CORVDSPPreset> expected = before;
        expected.push_back(added);
        ASSERT_TRUE(SamePresets(ReadBack(*document, kTremoloCode), expected));
        ASSERT_TRUE(SamePresets(ReadBack(*document, kAutoPanCode), otherEffect));

        // The same through the file now and then (each write waits for the disk).
        if (saved % kEveryFileLevelSave == 0) {
            const std::optional<int32_t> index = file.SavePreset(algorithm, "New");
            ASSERT_TRUE(index);
            const std::optional<CORVPresetDocument> onDisk = CORVPresetDocument::Parse(ReadFile(casePath));
            ASSERT_TRUE(onDisk);
            ASSERT_TRUE(SamePresets(onDisk->ReadPresets(kTremoloCode), expected));
            ASSERT_TRUE(file.DeletePreset(algorithm, *index));
            const std::optional<CORVPresetDocument> afterDelete = CORVPresetDocument::Parse(ReadFile(casePath));
            ASSERT_TRUE(afterDelete);
            ASSERT_TRUE(SamePresets(afterDelete->ReadPresets(kTremoloCode), before));
        }

        ASSERT_TRUE(document->RemovePreset(kTremoloCode, added));
        ASSERT_TRUE(SamePresets(ReadBack(*document, kTremoloCode), before));
        if (!before.empty()) {
            ASSERT_TRUE(document->RemovePreset(kTremoloCode, before.front()));
            ASSERT_TRUE(SamePresets(ReadBack(*document, kTremoloCode), {before.begin() + 1, before.end()}));
        }
        ASSERT_TRUE(SamePresets(ReadBack(*document, kAutoPanCode), otherEffect));
    }
    EXPECT_GT(unreadable, kCases / 10);
    EXPECT_GT(saved, kCases / 4);
    EXPECT_GT(refused, 0);
}
