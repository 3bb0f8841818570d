#include "core/CORVPresetDocument.h"

#include "dsp/FourCC.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace {

const uint32_t kTremolo = FourCC("tru1");
const uint32_t kAutoPan = FourCC("apu1");
using Names = std::vector<std::string>;

// Input files are written compactly: whitespace between elements means
// nothing to the loader.
std::string Plist(const std::string& rootContent)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + rootContent +
           "</dict></plist>\n";
}

std::string Entry(const std::string& key, const std::string& name, const std::string& reals = "<real>1</real>")
{
    return "<key>" + key + "</key><dict><key>Name</key><string>" + name + "</string><array>" + reals +
           "</array></dict>";
}

std::string Section(const std::string& code, const std::string& entries)
{
    return "<key>Effect " + code + "</key><dict>" + entries + "</dict>";
}

Names NamesIn(const std::string& text, uint32_t fourCC = kTremolo)
{
    const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(text);
    EXPECT_TRUE(document.has_value());
    Names names;
    for (const CORVDSPPreset& preset : document ? document->ReadPresets(fourCC) : std::vector<CORVDSPPreset>{})
        names.push_back(preset.name);
    return names;
}

// One line of a written file: tabs for the depth, the text, a line break.
std::string Line(int depth, const std::string& text) { return std::string(size_t(depth), '\t') + text + "\n"; }

std::string WrittenEntry(const std::string& key, const std::string& name, const std::vector<std::string>& reals)
{
    std::string text = Line(3, "<key>" + key + "</key>") + Line(3, "<dict>") + Line(4, "<key>Name</key>") +
                       Line(4, "<string>" + name + "</string>") + Line(4, "<array>");
    for (const std::string& real : reals)
        text += Line(5, "<real>" + real + "</real>");
    return text + Line(4, "</array>") + Line(3, "</dict>");
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n";

} // namespace

TEST(PresetDocumentWriting, WrittenFileMatchesTheStructureByteForByte)
{
    EXPECT_EQ(CORVPresetDocument().Text(), kHead + Line(1, "<dict/>") + "</plist>\n");

    CORVPresetDocument document;
    ASSERT_TRUE(document.AppendPreset(kTremolo, "Slow swell", {120.0f, 3.0f, 55.5f, 0.0f, 0.0f}));
    ASSERT_TRUE(document.AppendPreset(FourCC("lcu1"), "Boost", {6.0f}));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "Fast", {671.0f, 4.0f, 98.4f, 5.0f, 1.0f}));
    const std::string expected =
        kHead + Line(1, "<dict>") + Line(2, "<key>Effect tru1</key>") + Line(2, "<dict>") +
        WrittenEntry("Preset 001", "Slow swell", {"120", "3", "55.5", "0", "0"}) +
        WrittenEntry("Preset 002", "Fast", {"671", "4", "98.4", "5", "1"}) + Line(2, "</dict>") +
        Line(2, "<key>Effect lcu1</key>") + Line(2, "<dict>") + WrittenEntry("Preset 001", "Boost", {"6"}) +
        Line(2, "</dict>") + Line(1, "</dict>") + "</plist>\n";
    EXPECT_EQ(document.Text(), expected);
    EXPECT_EQ(CORVPresetDocument::Parse(expected)->ReadPresets(kTremolo).at(1).values,
              (std::vector<float>{671.0f, 4.0f, 98.4f, 5.0f, 1.0f}));
}

TEST(PresetDocumentWriting, NamesAndValuesComeBackExactly)
{
    const Names names = {"  leading", "trailing  ", "line\nbreak\ttab", "", "&#x41; stays text",
                         "<tag> & \"quotes\" 'single'", "x]]>y", "Gr\xC3\xBC\xC3\x9F \xE2\x99\xAA \xF0\x9F\x8E\xB8"};
    const std::vector<float> values = {-0.0f, std::numeric_limits<float>::denorm_min(),
                                       std::numeric_limits<float>::max(), 1.0f / 3.0f, 98.4f, -1e-7f,
                                       std::numeric_limits<float>::infinity()};
    CORVPresetDocument document;
    for (const std::string& name : names)
        ASSERT_TRUE(document.AppendPreset(kTremolo, name, values)) << name;
    const std::vector<CORVDSPPreset> presets = CORVPresetDocument::Parse(document.Text())->ReadPresets(kTremolo);
    EXPECT_EQ(NamesIn(document.Text()), names);
    for (const CORVDSPPreset& preset : presets)
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(std::bit_cast<uint32_t>(preset.values.at(i)), std::bit_cast<uint32_t>(values[i])) << i;
}

// Where a section's presets start and where a damaged entry ends them.
TEST(PresetDocumentReading, FixedRulesFindTheSectionAndWalkItsEntries)
{
    EXPECT_EQ(NamesIn(Plist(Section("tru1", Entry("Notes", "skipped") + Entry("Preset -4", "skipped too") +
                                                Entry("Preset 1234", "first") + Entry("anything", "second") +
                                                Entry("Preset 002", "third")))),
              (Names{"first", "second", "third"}));
    const std::string bare = "<key>Preset 001</key><dict><key>Name</key><string>bare</string></dict>";
    EXPECT_EQ(NamesIn(Plist(Section("tru1", bare + Entry("x", "after")))), (Names{"bare", "after"}));
    for (const char* damaged : {"<string>no dict</string>", "<dict><string>no key</string></dict>",
                                "<dict><key>Name</key><data/></dict>", ""}) {
        const std::string entries = Entry("Preset 001", "kept") + "<key>Preset 002</key>" + damaged;
        EXPECT_EQ(NamesIn(Plist(Section("tru1", entries + Entry("Preset 003", "lost")))), Names{"kept"}) << damaged;
    }
    // Each effect reads the first section with its code only.
    const std::string sections = Plist(Section("apu1", Entry("Preset 001", "pan")) +
                                       Section("tru1", Entry("Preset 001", "trem")) +
                                       Section("apu1", Entry("Preset 001", "second section, never read")));
    EXPECT_EQ(NamesIn(sections), Names{"trem"});
    EXPECT_EQ(NamesIn(sections, kAutoPan), Names{"pan"});
    EXPECT_TRUE(NamesIn(sections, FourCC("odu1")).empty());
    // A section must follow its key, before any key without text, in a plist.
    for (const std::string& hidden :
         {Plist("<key/>" + Section("tru1", Entry("Preset 001", "x"))),
          Plist("<key>Effect tru1</key><string/><dict>" + Entry("Preset 001", "x") + "</dict>"),
          "<?xml version=\"1.0\"?><dict>" + Section("tru1", Entry("Preset 001", "x")) + "</dict>"})
        EXPECT_TRUE(NamesIn(hidden).empty()) << hidden;
}

TEST(PresetDocumentReading, KeysAndValuesReadLikeTheCLibraryReadsThem)
{
    const std::pair<const char*, int32_t> keys[] = {
        {"Preset 1234", 123}, {"Preset 007", 7}, {"Preset 5 and more", 5}, {"Preset -1", -1}, {" Preset 1", -1},
    };
    for (const auto& [key, number] : keys)
        EXPECT_EQ(CORVPresetDocument::PresetNumber(key), number) << key;
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<const char*, float> values[] = {
        {"", -1.0f}, {" \t+2.5xyz", 2.5f}, {"-1e2", -100.0f}, {"abc", 0.0f}, {"1,5", 1.0f}, {"-1e40", -inf},
    };
    for (const auto& [text, value] : values)
        EXPECT_EQ(CORVPresetDocument::ParseValue(text), value) << text;
    // To the XML parser a text of blanks alone is no text at all.
    const std::string empty = Plist(Section("tru1", Entry("Preset 001", "e", "<real/><real>  </real><real>7</real>")));
    EXPECT_EQ(CORVPresetDocument::Parse(empty)->ReadPresets(kTremolo).at(0).values,
              (std::vector<float>{-1.0f, -1.0f, 7.0f}));
}

TEST(PresetDocumentParsing, AcceptsOnlyOneWellFormedUtf8Document)
{
    const std::string good = Plist(Section("tru1", Entry("Preset 001", "x")));
    for (const std::string& text : {good, "\xEF\xBB\xBF" + good, good + "<!-- trailing comment -->\n\n"})
        EXPECT_TRUE(CORVPresetDocument::Parse(text)) << text;
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep = "<dict>" + deep + "</dict>";
    for (const std::string& text :
         {std::string(), std::string("   \n"), good + "junk", good.substr(0, good.size() / 2),
          good.substr(0, good.size() - 4), Plist("<key>a</dict>"), good + std::string(1, '\0'),
          Plist(Section("tru1", Entry("Preset 001", "\xC3"))), Plist(deep)})
        EXPECT_FALSE(CORVPresetDocument::Parse(text)) << text;
}

// The writer puts a new entry where the reading rules find it, and carries
// everything else along.
TEST(PresetDocumentWriting, NewEntryGoesWhereTheLoaderFindsIt)
{
    struct Case {
        std::string text;
        Names expected;
        std::string kept;
    };
    const Case cases[] = {
        // After a damaged entry: in front of it.
        {Plist(Section("tru1", Entry("Preset 001", "a") + "<key>Preset 002</key><string>lost</string>" +
                                   Entry("Preset 003", "c"))),
         {"a", "new"},
         "<string>lost</string>"},
        // Behind a key without text no section is found: the new one goes in front.
        {Plist("<key/>" + Section("tru1", Entry("Preset 001", "hidden"))), {"new"}, "<key/>"},
        // A section key followed by something else gets its "dict" right behind it.
        {Plist("<key>Effect tru1</key><data>keep</data>"), {"new"}, "<data>keep</data>"},
        // Keys that do not read as numbers come first: the walk starts at the new key.
        {Plist(Section("tru1", Entry("Notes", "skipped"))), {"new"}, "<key>Notes</key>"},
        // A property list without its "dict" gets one.
        {"<plist version=\"1.0\"/>", {"new"}, "<plist version=\"1.0\">"},
        {Plist("<!-- kept note -->" + Section("apu1", Entry("Preset 001", "pan")) +
               "<key>Other</key><data attr=\"a&amp;b\">raw &lt;bytes&gt;</data>" +
               Section("tru1", Entry("Preset 001", "old"))),
         {"old", "new"},
         "<!-- kept note -->"},
    };
    Names written;
    for (const Case& c : cases) {
        CORVPresetDocument document = *CORVPresetDocument::Parse(c.text);
        ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f})) << c.text;
        written.push_back(document.Text());
        EXPECT_EQ(NamesIn(written.back()), c.expected) << written.back();
        EXPECT_NE(written.back().find(c.kept), std::string::npos) << written.back();
    }
    EXPECT_NE(written[5].find("<data attr=\"a&amp;b\">raw &lt;bytes&gt;</data>"), std::string::npos);
    EXPECT_EQ(NamesIn(written[5], kAutoPan), Names{"pan"});
    // Anything but a property list is not ours.
    CORVPresetDocument notOurs = *CORVPresetDocument::Parse("<notes>mine</notes>");
    EXPECT_FALSE(notOurs.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(notOurs.Text(), "<notes>mine</notes>\n");
}

TEST(PresetDocumentWriting, NumbersFollowTheHighestThenTakeTheLowestFree)
{
    for (const auto& [entries, key] : {std::pair{Entry("Preset 041", "a") + Entry("Preset 007", "b"), "Preset 042"},
                                       std::pair{Entry("Preset 999", "a") + Entry("Preset 001", "b"), "Preset 002"}}) {
        CORVPresetDocument document = *CORVPresetDocument::Parse(Plist(Section("tru1", entries)));
        ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {}));
        EXPECT_NE(document.Text().find(std::string("<key>") + key + "</key>"), std::string::npos) << key;
    }

    std::string all;
    for (int number = 1; number <= 999; ++number)
        all += Entry("Preset " + std::to_string(number), "p");
    CORVPresetDocument full = *CORVPresetDocument::Parse(Plist(Section("tru1", all)));
    EXPECT_FALSE(full.AppendPreset(kTremolo, "one too many", {}));
    EXPECT_TRUE(full.AppendPreset(kAutoPan, "other effect", {}));
}

TEST(PresetDocumentRemoving, RemovesOnlyTheEntryWithTheSameNameAndValues)
{
    CORVPresetDocument document;
    document.AppendPreset(kTremolo, "twin", {1.0f, 2.0f});
    document.AppendPreset(kTremolo, "twin", {1.0f, 3.0f});
    document.AppendPreset(kAutoPan, "twin", {1.0f, 3.0f});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    document.AppendPreset(kTremolo, "odd", {nan});

    EXPECT_FALSE(document.RemovePreset(kTremolo, CORVDSPPreset{"twin", {1.0f, 4.0f}, 0}));
    EXPECT_FALSE(document.RemovePreset(kTremolo, CORVDSPPreset{"twin", {1.0f}, 0}));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"twin", {1.0f, 3.0f}, 0}));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"odd", {nan}, 0}));

    const std::vector<CORVDSPPreset> left = CORVPresetDocument::Parse(document.Text())->ReadPresets(kTremolo);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].values, (std::vector<float>{1.0f, 2.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kAutoPan), Names{"twin"});

    // The first entry hands its key on, so the rest still loads; a damaged
    // entry behind it still ends the walk.
    document = *CORVPresetDocument::Parse(Plist(Section(
        "tru1", Entry("Notes", "skipped") + Entry("Preset 005", "a") + Entry("no number", "b") +
                    Entry("Preset 007", "c"))));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"a", {1.0f}, 0}));
    EXPECT_EQ(NamesIn(document.Text()), (Names{"b", "c"}));
    document = *CORVPresetDocument::Parse(Plist(
        Section("tru1", Entry("Preset 005", "a") + "<key>junk</key><string/>" + Entry("Preset 007", "hidden"))));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"a", {1.0f}, 0}));
    EXPECT_TRUE(NamesIn(document.Text()).empty());
}
