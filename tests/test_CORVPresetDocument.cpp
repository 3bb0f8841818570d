#include "core/CORVPresetDocument.h"

#include "dsp/FourCC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

const uint32_t kTremolo = FourCC("tru1");
const uint32_t kAutoPan = FourCC("apu1");

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

std::vector<std::string> Names(const std::vector<CORVDSPPreset>& presets)
{
    std::vector<std::string> names;
    for (const CORVDSPPreset& preset : presets)
        names.push_back(preset.name);
    return names;
}

std::vector<std::string> NamesIn(const std::string& text, uint32_t fourCC)
{
    const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(text);
    EXPECT_TRUE(document.has_value());
    return document ? Names(document->ReadPresets(fourCC)) : std::vector<std::string>{};
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](float x, float y) { return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y); });
}

// One line of a written file: tabs for the depth, the text, a line break.
std::string Line(int depth, const std::string& text) { return std::string(size_t(depth), '\t') + text + "\n"; }

std::string WrittenEntry(int depth, const std::string& key, const std::string& name,
                         const std::vector<std::string>& reals)
{
    std::string text = Line(depth, "<key>" + key + "</key>") + Line(depth, "<dict>") +
                       Line(depth + 1, "<key>Name</key>") + Line(depth + 1, "<string>" + name + "</string>") +
                       Line(depth + 1, "<array>");
    for (const std::string& real : reals)
        text += Line(depth + 2, "<real>" + real + "</real>");
    return text + Line(depth + 1, "</array>") + Line(depth, "</dict>");
}

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                          "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                          "<plist version=\"1.0\">\n";

} // namespace

TEST(PresetDocumentWriting, NewDocumentIsTheEmptyPropertyList)
{
    EXPECT_EQ(CORVPresetDocument().Text(), kHead + Line(1, "<dict/>") + "</plist>\n");
}

TEST(PresetDocumentWriting, WrittenFileMatchesTheStructureByteForByte)
{
    CORVPresetDocument document;
    ASSERT_TRUE(document.AppendPreset(kTremolo, "Slow swell", {120.0f, 3.0f, 55.5f, 0.0f, 0.0f}));
    ASSERT_TRUE(document.AppendPreset(FourCC("lcu1"), "Boost", {6.0f}));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "Fast", {671.0f, 4.0f, 98.4f, 5.0f, 1.0f}));

    const std::string expected =
        kHead + Line(1, "<dict>") + Line(2, "<key>Effect tru1</key>") + Line(2, "<dict>") +
        WrittenEntry(3, "Preset 001", "Slow swell", {"120", "3", "55.5", "0", "0"}) +
        WrittenEntry(3, "Preset 002", "Fast", {"671", "4", "98.4", "5", "1"}) + Line(2, "</dict>") +
        Line(2, "<key>Effect lcu1</key>") + Line(2, "<dict>") + WrittenEntry(3, "Preset 001", "Boost", {"6"}) +
        Line(2, "</dict>") + Line(1, "</dict>") + "</plist>\n";
    EXPECT_EQ(document.Text(), expected);

    const std::optional<CORVPresetDocument> read = CORVPresetDocument::Parse(expected);
    ASSERT_TRUE(read);
    const std::vector<CORVDSPPreset> presets = read->ReadPresets(kTremolo);
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[1].name, "Fast");
    EXPECT_EQ(presets[1].values, (std::vector<float>{671.0f, 4.0f, 98.4f, 5.0f, 1.0f}));
    EXPECT_EQ(presets[1].isFactory, 0u);
}

TEST(PresetDocumentWriting, NamesAndValuesComeBackExactly)
{
    const std::vector<std::string> names = {
        "  leading", "trailing  ", "two  blanks", "line\nbreak\ttab", "   ", "", "&#x41; stays text",
        "<tag> & \"quotes\" 'single'", "x]]>y", "Gr\xC3\xBC\xC3\x9F \xE2\x99\xAA \xF0\x9F\x8E\xB8"};
    const float tiny = std::numeric_limits<float>::denorm_min();
    const std::vector<float> values = {-0.0f, tiny, std::numeric_limits<float>::max(), 1.0f / 3.0f, 98.4f,
                                       -1e-7f, std::numeric_limits<float>::infinity()};
    CORVPresetDocument document;
    for (const std::string& name : names)
        ASSERT_TRUE(document.AppendPreset(kTremolo, name, values)) << name;

    const std::optional<CORVPresetDocument> read = CORVPresetDocument::Parse(document.Text());
    ASSERT_TRUE(read);
    const std::vector<CORVDSPPreset> presets = read->ReadPresets(kTremolo);
    EXPECT_EQ(Names(presets), names);
    for (const CORVDSPPreset& preset : presets)
        EXPECT_TRUE(SameBits(preset.values, values)) << preset.name;
}

// XML cannot carry most C0 controls even as references ("&#x01;" is not
// well-formed); a user's new name holds no control character at all.
TEST(PresetDocumentWriting, NameMustBeUtf8TextWithoutNul)
{
    CORVPresetDocument document;
    for (const std::string& name : {std::string("caf\xE9"), std::string("a\0b", 3), std::string("bell\x07"),
                                    std::string("\x1B[31m"), std::string("\x1F")}) {
        EXPECT_FALSE(document.AppendPreset(kTremolo, name, {1.0f})) << name;
        EXPECT_FALSE(CORVPresetDocument::IsStorableName(name)) << name;
    }
    EXPECT_TRUE(document.ReadPresets(kTremolo).empty());
    EXPECT_EQ(document.Text(), CORVPresetDocument().Text());
    for (const char* name : {"tab\t", "line\n", "del\x7F", "c1 \xC2\x85"})
        EXPECT_FALSE(CORVPresetDocument::IsStorableName(name)) << name;
    for (const char* name : {"", "Gr\xC3\xBC\xC3\x9F \xC2\xA0", "<&>", "  blanks  "})
        EXPECT_TRUE(CORVPresetDocument::IsStorableName(name)) << name;
}

TEST(PresetDocumentReading, PresetKeyReadsAtMostThreeDigits)
{
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset 1234"), 123);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset 007"), 7);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset 0"), 0);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset 5 and more"), 5);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset -1"), -1);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("Preset x"), -1);
    EXPECT_EQ(CORVPresetDocument::PresetNumber("preset 1"), -1);
    EXPECT_EQ(CORVPresetDocument::PresetNumber(" Preset 1"), -1);
    EXPECT_EQ(CORVPresetDocument::PresetNumber(nullptr), -1);
}

TEST(PresetDocumentReading, WalkStartsAtFirstPresetKeyThenTakesEveryKey)
{
    const std::string text = Plist(Section("tru1", Entry("Notes", "skipped") + Entry("Preset -4", "skipped too") +
                                                       Entry("Preset 1234", "first") + Entry("anything", "second") +
                                                       Entry("Preset 002", "third")));
    EXPECT_EQ(NamesIn(text, kTremolo), (std::vector<std::string>{"first", "second", "third"}));
}

TEST(PresetDocumentReading, PresetWithoutArrayHasNoValues)
{
    const std::string text = Plist(Section(
        "tru1", "<key>Preset 001</key><dict><key>Name</key><string>bare</string></dict>" + Entry("x", "after")));
    const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(text);
    ASSERT_TRUE(document);
    const std::vector<CORVDSPPreset> presets = document->ReadPresets(kTremolo);
    ASSERT_EQ(Names(presets), (std::vector<std::string>{"bare", "after"}));
    EXPECT_TRUE(presets[0].values.empty());
}

TEST(PresetDocumentReading, DamagedEntryEndsTheWalkAndKeepsWhatCameBefore)
{
    const std::string before = Entry("Preset 001", "kept");
    const std::string after = Entry("Preset 003", "never reached");
    for (const std::string& damaged : {
             std::string("<key>Preset 002</key><string>no dict</string>"),
             std::string("<key>Preset 002</key><dict><string>no key</string><array/></dict>"),
             std::string("<key>Preset 002</key><dict><key>Name</key><data>no string</data></dict>"),
             std::string("<key>Preset 002</key>"),
         })
        EXPECT_EQ(NamesIn(Plist(Section("tru1", before + damaged + after)), kTremolo),
                  std::vector<std::string>{"kept"})
            << damaged;
}

TEST(PresetDocumentReading, EachEffectReadsItsOwnSection)
{
    const std::string text =
        Plist(Section("apu1", Entry("Preset 001", "pan")) + Section("tru1", Entry("Preset 001", "trem")) +
              Section("apu1", Entry("Preset 001", "second section, never read")));
    EXPECT_EQ(NamesIn(text, kTremolo), std::vector<std::string>{"trem"});
    EXPECT_EQ(NamesIn(text, kAutoPan), std::vector<std::string>{"pan"});
    EXPECT_TRUE(NamesIn(text, FourCC("odu1")).empty());
}

TEST(PresetDocumentReading, SectionMustFollowItsKeyBeforeAnyKeyWithoutText)
{
    EXPECT_TRUE(NamesIn(Plist("<key/>" + Section("tru1", Entry("Preset 001", "hidden"))), kTremolo).empty());
    EXPECT_TRUE(NamesIn(Plist("<key>Effect tru1</key><string/><dict>" + Entry("Preset 001", "x") + "</dict>"),
                        kTremolo)
                    .empty());
    EXPECT_TRUE(NamesIn("<?xml version=\"1.0\"?><dict>" + Section("tru1", Entry("Preset 001", "x")) + "</dict>",
                        kTremolo)
                    .empty());
}

TEST(PresetDocumentReading, ValuesReadLikeCDecimals)
{
    EXPECT_EQ(CORVPresetDocument::ParseValue(""), -1.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue(nullptr), -1.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("98.4"), 98.4f);
    EXPECT_EQ(CORVPresetDocument::ParseValue(" \t+2.5xyz"), 2.5f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("-1e2"), -100.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("abc"), 0.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("+-3"), 0.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("1,5"), 1.0f);
    EXPECT_EQ(CORVPresetDocument::ParseValue("1e999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(CORVPresetDocument::ParseValue("-1e40"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(CORVPresetDocument::ParseValue("1e-999"), 0.0f);
    EXPECT_TRUE(std::isnan(CORVPresetDocument::ParseValue("nan")));
    // To the XML parser a text of blanks alone is no text at all.
    const std::string empty =
        Plist(Section("tru1", Entry("Preset 001", "e", "<real/><real>  </real><real>x</real><real>7</real>")));
    const std::optional<CORVPresetDocument> document = CORVPresetDocument::Parse(empty);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->ReadPresets(kTremolo).at(0).values, (std::vector<float>{-1.0f, -1.0f, 0.0f, 7.0f}));
}

TEST(PresetDocumentParsing, AcceptsOnlyOneWellFormedUtf8Document)
{
    const std::string good = Plist(Section("tru1", Entry("Preset 001", "x")));
    EXPECT_TRUE(CORVPresetDocument::Parse(good));
    EXPECT_TRUE(CORVPresetDocument::Parse("\xEF\xBB\xBF" + good));
    EXPECT_TRUE(CORVPresetDocument::Parse(good + "<!-- trailing comment -->\n\n"));
    EXPECT_FALSE(CORVPresetDocument::Parse(""));
    EXPECT_FALSE(CORVPresetDocument::Parse("   \n"));
    EXPECT_FALSE(CORVPresetDocument::Parse(good + "junk"));
    EXPECT_FALSE(CORVPresetDocument::Parse(good.substr(0, good.size() / 2)));
    EXPECT_FALSE(CORVPresetDocument::Parse(good.substr(0, good.size() - 4)));
    EXPECT_FALSE(CORVPresetDocument::Parse(Plist("<key>a</dict>")));
    EXPECT_FALSE(CORVPresetDocument::Parse(good + std::string(1, '\0')));
    EXPECT_FALSE(CORVPresetDocument::Parse(Plist(Section("tru1", Entry("Preset 001", "\xC3")))));
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep = "<dict>" + deep + "</dict>";
    EXPECT_FALSE(CORVPresetDocument::Parse(Plist(deep)));
}

TEST(PresetDocumentWriting, NewEntryGoesWhereTheLoaderFindsIt)
{
    // After a damaged entry: in front of it.
    const std::string damaged = "<key>Preset 002</key><string>lost</string>";
    const std::string entries = Entry("Preset 001", "a") + damaged + Entry("Preset 003", "c");
    CORVPresetDocument document = *CORVPresetDocument::Parse(Plist(Section("tru1", entries)));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), (std::vector<std::string>{"a", "new"}));
    EXPECT_NE(document.Text().find("<string>lost</string>"), std::string::npos);
    EXPECT_NE(document.Text().find("<key>Preset 004</key>"), std::string::npos);

    // Behind a key without text no section is found: the new one goes in front.
    document = *CORVPresetDocument::Parse(Plist("<key/>" + Section("tru1", Entry("Preset 001", "hidden"))));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), std::vector<std::string>{"new"});

    // A section key followed by something else gets its "dict" right behind it.
    document = *CORVPresetDocument::Parse(Plist("<key>Effect tru1</key><data>keep</data>"));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), std::vector<std::string>{"new"});
    EXPECT_NE(document.Text().find("<data>keep</data>"), std::string::npos);

    // Keys that do not read as numbers come first: the walk starts at the new key.
    document = *CORVPresetDocument::Parse(Plist(Section("tru1", Entry("Notes", "skipped"))));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), std::vector<std::string>{"new"});

    // A property list without its "dict" gets one; anything else is not ours.
    document = *CORVPresetDocument::Parse("<plist version=\"1.0\"/>");
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), std::vector<std::string>{"new"});
    document = *CORVPresetDocument::Parse("<notes>mine</notes>");
    EXPECT_FALSE(document.AppendPreset(kTremolo, "new", {1.0f}));
    EXPECT_EQ(document.Text(), "<notes>mine</notes>\n");
}

TEST(PresetDocumentWriting, NumbersFollowTheHighestThenTakeTheLowestFree)
{
    CORVPresetDocument document =
        *CORVPresetDocument::Parse(Plist(Section("tru1", Entry("Preset 041", "a") + Entry("Preset 007", "b"))));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "c", {}));
    EXPECT_NE(document.Text().find("<key>Preset 042</key>"), std::string::npos);

    document = *CORVPresetDocument::Parse(Plist(Section("tru1", Entry("Preset 999", "a") + Entry("Preset 001", "b"))));
    ASSERT_TRUE(document.AppendPreset(kTremolo, "c", {}));
    EXPECT_NE(document.Text().find("<key>Preset 002</key>"), std::string::npos);

    std::string all;
    for (int number = 1; number <= 999; ++number)
        all += Entry("Preset " + std::to_string(number), "p");
    document = *CORVPresetDocument::Parse(Plist(Section("tru1", all)));
    EXPECT_FALSE(document.AppendPreset(kTremolo, "one too many", {}));
    EXPECT_TRUE(document.AppendPreset(kAutoPan, "other effect", {}));
}

TEST(PresetDocumentWriting, EverythingElseIsCarriedAlong)
{
    const std::string text = Plist("<!-- kept note -->" + Section("apu1", Entry("Preset 001", "pan")) +
                                   "<key>Other</key><data attr=\"a&amp;b\">raw &lt;bytes&gt;</data>" +
                                   Section("tru1", Entry("Preset 001", "old")));
    CORVPresetDocument document = *CORVPresetDocument::Parse(text);
    ASSERT_TRUE(document.AppendPreset(kTremolo, "new", {2.0f}));
    const std::string written = document.Text();
    for (const char* kept : {"<!-- kept note -->", "<data attr=\"a&amp;b\">raw &lt;bytes&gt;</data>",
                             "<key>Other</key>"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept;
    EXPECT_EQ(NamesIn(written, kAutoPan), std::vector<std::string>{"pan"});
    EXPECT_EQ(NamesIn(written, kTremolo), (std::vector<std::string>{"old", "new"}));
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

    const std::optional<CORVPresetDocument> read = CORVPresetDocument::Parse(document.Text());
    ASSERT_TRUE(read);
    const std::vector<CORVDSPPreset> left = read->ReadPresets(kTremolo);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].values, (std::vector<float>{1.0f, 2.0f}));
    EXPECT_EQ(Names(read->ReadPresets(kAutoPan)), std::vector<std::string>{"twin"});
}

TEST(PresetDocumentRemoving, FirstEntryHandsItsKeyOnSoTheRestStillLoads)
{
    const std::string damaged = "<key>junk</key><string/>";
    CORVPresetDocument document = *CORVPresetDocument::Parse(
        Plist(Section("tru1", Entry("Notes", "skipped") + Entry("Preset 005", "a") + Entry("no number", "b") +
                                  Entry("Preset 007", "c"))));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"a", {1.0f}, 0}));
    EXPECT_EQ(NamesIn(document.Text(), kTremolo), (std::vector<std::string>{"b", "c"}));

    // The same when a damaged entry follows: it still ends the walk.
    document = *CORVPresetDocument::Parse(
        Plist(Section("tru1", Entry("Preset 005", "a") + damaged + Entry("Preset 007", "hidden"))));
    ASSERT_TRUE(document.RemovePreset(kTremolo, CORVDSPPreset{"a", {1.0f}, 0}));
    EXPECT_TRUE(NamesIn(document.Text(), kTremolo).empty());
}
