#include "core/CORVPresetDocument.h"

#include "dsp/FourCC.h"
#include "core/XmlText.h"

#include <tinyxml.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>

namespace {

constexpr const char* kDocumentType = "!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"";
constexpr double kPropertyListVersion = 1.0;
constexpr int kVersionDecimals = 1;
constexpr const char* kSectionPrefix = "Effect ";
constexpr const char* kPresetKeyFormat = "Preset %03d";
// Reading takes the written form's width: at most three digits count.
constexpr const char* kPresetKeyPattern = "Preset %3d";
// The key in front of a preset's name; the loader never looks at its text.
constexpr const char* kNameKey = "Name";
constexpr int32_t kFirstPresetNumber = 1;
// Our own structure is six levels deep; far deeper text is not a preset file,
// and the parser would recurse once per level.
constexpr int kDeepestNesting = 64;
constexpr size_t kValueTextBytes = 128;

bool IsNamed(const TiXmlElement* element, const char* name)
{
    return element && std::strcmp(element->Value(), name) == 0;
}

std::string TextOf(const TiXmlElement* element)
{
    const char* text = element->GetText();
    return text ? text : "";
}

TiXmlElement TextElement(const char* name, const std::string& text)
{
    TiXmlElement element(name);
    if (!text.empty())
        element.LinkEndChild(new TiXmlText(text.c_str()));
    return element;
}

// A preset's "array" of "real" values, as the loader reads it back.
TiXmlElement ValuesArray(const std::vector<float>& values)
{
    TiXmlElement array("array");
    for (const float value : values)
        array.InsertEndChild(TextElement("real", CORVPresetDocument::FormatValue(value)));
    return array;
}

std::string SectionTitle(uint32_t fourCC) { return kSectionPrefix + FourCCText(fourCC); }

TiXmlNode* InsertBefore(TiXmlElement* parent, TiXmlNode* before, const TiXmlNode& node)
{
    return before ? parent->InsertBeforeChild(before, node) : parent->InsertEndChild(node);
}

bool SamePreset(const CORVDSPPreset& a, const CORVDSPPreset& b)
{
    // Bits, not values: a preset holding NaN must still find itself.
    const auto sameBits = [](float x, float y) { return std::bit_cast<uint32_t>(x) == std::bit_cast<uint32_t>(y); };
    return a.name == b.name && std::equal(a.values.begin(), a.values.end(), b.values.begin(), b.values.end(), sameBits);
}

// One preset entry as the loader reads it.
struct Entry {
    TiXmlElement* key;
    TiXmlElement* dict;
    CORVDSPPreset preset;
};

// The "dict" right after the key must hold a key followed by the "string"
// with the name; without them the entry is damaged.  A missing "array" only
// leaves the preset without values.
std::optional<Entry> ReadEntry(TiXmlElement* key)
{
    TiXmlElement* dict = key->NextSiblingElement();
    if (!IsNamed(dict, "dict"))
        return std::nullopt;
    const TiXmlElement* nameKey = dict->FirstChildElement("key");
    const TiXmlElement* name = nameKey ? nameKey->NextSiblingElement() : nullptr;
    if (!IsNamed(name, "string"))
        return std::nullopt;
    Entry entry{key, dict, CORVDSPPreset{TextOf(name), {}, 0}};
    if (const TiXmlElement* array = dict->FirstChildElement("array"))
        for (const TiXmlElement* real = array->FirstChildElement("real"); real;
             real = real->NextSiblingElement("real"))
            entry.preset.values.push_back(CORVPresetDocument::ParseValue(real->GetText()));
    return entry;
}

// A section's entries in the loader's order, and the key of the damaged entry
// that ended the walk early (null when it ran to the end).
struct SectionWalk {
    std::vector<Entry> entries;
    TiXmlElement* damaged = nullptr;
};

// The walk starts at the first key that reads as a preset number; from there
// every later key is taken as a preset, whatever its text.
SectionWalk WalkSection(TiXmlElement* section)
{
    SectionWalk walk;
    TiXmlElement* key = section->FirstChildElement("key");
    while (key && CORVPresetDocument::PresetNumber(key->GetText()) < 0)
        key = key->NextSiblingElement("key");
    for (; key; key = key->NextSiblingElement("key")) {
        std::optional<Entry> entry = ReadEntry(key);
        if (!entry) {
            walk.damaged = key;
            break;
        }
        walk.entries.push_back(std::move(*entry));
    }
    return walk;
}

// The first entry of a walked section that reads as the preset: the same
// name and the same values, bit for bit.
std::vector<Entry>::const_iterator FindPreset(const SectionWalk& walk, const CORVDSPPreset& preset)
{
    return std::find_if(walk.entries.begin(), walk.entries.end(),
                        [&preset](const Entry& entry) { return SamePreset(entry.preset, preset); });
}

// The search for a section key ends at the first key without text: found is
// the section's key, or stop is that textless key.
struct SectionKey {
    TiXmlElement* found = nullptr;
    TiXmlElement* stop = nullptr;
};

SectionKey FindSectionKey(TiXmlElement* root, const std::string& title)
{
    for (TiXmlElement* key = root->FirstChildElement("key"); key; key = key->NextSiblingElement("key")) {
        const char* text = key->GetText();
        if (!text)
            return {nullptr, key};
        if (title == text)
            return {key, nullptr};
    }
    return {};
}

// One above the highest number in use, while there is room; then the lowest
// free one.
std::optional<int32_t> NextPresetNumber(const TiXmlElement* section)
{
    std::vector<bool> taken(size_t(CORVPresetDocument::kHighestPresetNumber) + 1, false);
    int32_t highest = kFirstPresetNumber - 1;
    for (const TiXmlElement* key = section->FirstChildElement("key"); key; key = key->NextSiblingElement("key")) {
        const int32_t number = CORVPresetDocument::PresetNumber(key->GetText());
        if (number >= 0) {
            taken[size_t(number)] = true;
            highest = std::max(highest, number);
        }
    }
    if (highest < CORVPresetDocument::kHighestPresetNumber)
        return highest + 1;
    for (int32_t number = kFirstPresetNumber; number <= CORVPresetDocument::kHighestPresetNumber; ++number)
        if (!taken[size_t(number)])
            return number;
    return std::nullopt;
}

// Decimal numbers beyond the float range: what a C library's conversion makes
// of them, infinity or zero with the sign.
float OutOfRangeValue(const char* text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (!cLocale)
        return 0.0f;
    const double value = strtod_l(text, nullptr, cLocale);
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        return value < 0.0 ? -kInfinity : kInfinity;
    return float(value);
}

} // namespace

CORVPresetDocument::CORVPresetDocument() : document(std::make_unique<TiXmlDocument>())
{
    document->LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    auto* documentType = new TiXmlUnknown;
    documentType->SetValue(kDocumentType);
    document->LinkEndChild(documentType);

    char version[16];
    const auto written = std::to_chars(version, version + sizeof version - 1, kPropertyListVersion,
                                       std::chars_format::fixed, kVersionDecimals);
    *written.ptr = '\0';
    auto* plist = new TiXmlElement("plist");
    plist->SetAttribute("version", version);
    plist->LinkEndChild(new TiXmlElement("dict"));
    document->LinkEndChild(plist);
}

CORVPresetDocument::CORVPresetDocument(std::unique_ptr<TiXmlDocument> parsed) : document(std::move(parsed)) {}

CORVPresetDocument::~CORVPresetDocument() = default;
CORVPresetDocument::CORVPresetDocument(CORVPresetDocument&&) noexcept = default;
CORVPresetDocument& CORVPresetDocument::operator=(CORVPresetDocument&&) noexcept = default;

std::optional<CORVPresetDocument> CORVPresetDocument::Parse(std::string_view text)
{
    if (text.find('\0') != std::string_view::npos || !IsValidUtf8(text) ||
        ElementNestingDepth(text) > kDeepestNesting)
        return std::nullopt;
    // Names are kept byte for byte: runs of whitespace must not be folded.
    // The switch is global to the parser, so it is thrown once, before the
    // first parse, however many instances are made at the same time.
    [[maybe_unused]] static const bool keepWhiteSpace = (TiXmlBase::SetCondenseWhiteSpace(false), true);
    // The parser stops quietly before bytes it cannot place after the last
    // node; those make the text malformed all the same.  It reports where it
    // stopped only when something follows the last node, hence the line break.
    const std::string terminated = std::string(text) + '\n';
    auto parsed = std::make_unique<TiXmlDocument>();
    const char* end = parsed->Parse(terminated.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (parsed->Error() || !end || *end != '\0')
        return std::nullopt;
    return CORVPresetDocument(std::move(parsed));
}

std::string CORVPresetDocument::Text() const { return XmlDocumentText(*document); }

TiXmlElement* CORVPresetDocument::RootDict() const
{
    TiXmlElement* plist = document->FirstChildElement("plist");
    return plist ? plist->FirstChildElement("dict") : nullptr;
}

TiXmlElement* CORVPresetDocument::SectionDict(uint32_t fourCC) const
{
    TiXmlElement* root = RootDict();
    if (!root)
        return nullptr;
    const SectionKey key = FindSectionKey(root, SectionTitle(fourCC));
    TiXmlElement* dict = key.found ? key.found->NextSiblingElement() : nullptr;
    return IsNamed(dict, "dict") ? dict : nullptr;
}

TiXmlElement* CORVPresetDocument::MakeSectionDict(uint32_t fourCC)
{
    TiXmlElement* root = RootDict();
    if (!root) {
        TiXmlElement* plist = document->FirstChildElement("plist");
        if (!plist)
            return nullptr;
        root = plist->LinkEndChild(new TiXmlElement("dict"))->ToElement();
    }
    if (TiXmlElement* dict = SectionDict(fourCC))
        return dict;
    const std::string title = SectionTitle(fourCC);
    const SectionKey key = FindSectionKey(root, title);
    // The loader takes only the element right after the section key, and
    // never looks past a key without text: the new section goes where it
    // will be found, and whatever was there stays behind it.
    TiXmlNode* sectionKey = key.found ? key.found : InsertBefore(root, key.stop, TextElement("key", title));
    TiXmlNode* dict = sectionKey ? root->InsertAfterChild(sectionKey, TiXmlElement("dict")) : nullptr;
    return dict ? dict->ToElement() : nullptr;
}

std::vector<CORVDSPPreset> CORVPresetDocument::ReadPresets(uint32_t fourCC) const
{
    std::vector<CORVDSPPreset> presets;
    if (TiXmlElement* section = SectionDict(fourCC))
        for (Entry& entry : WalkSection(section).entries)
            presets.push_back(std::move(entry.preset));
    return presets;
}

bool CORVPresetDocument::AppendPreset(uint32_t fourCC, const std::string& name, const std::vector<float>& values)
{
    if (!IsValidUtf8(name) || HasCharacterXmlCannotHold(name))
        return false;
    TiXmlElement* section = MakeSectionDict(fourCC);
    const std::optional<int32_t> number = section ? NextPresetNumber(section) : std::nullopt;
    if (!number)
        return false;
    char keyText[32];
    std::snprintf(keyText, sizeof keyText, kPresetKeyFormat, *number);

    TiXmlElement entry("dict");
    entry.InsertEndChild(TextElement("key", kNameKey));
    entry.InsertEndChild(TextElement("string", name));
    entry.InsertEndChild(ValuesArray(values));

    // A damaged entry ends the loader's walk, so the new one goes in front
    // of it; otherwise at the end.
    const SectionWalk walk = WalkSection(section);
    TiXmlNode* key = InsertBefore(section, walk.damaged, TextElement("key", keyText));
    return key && section->InsertAfterChild(key, entry);
}

bool CORVPresetDocument::RemovePreset(uint32_t fourCC, const CORVDSPPreset& preset)
{
    TiXmlElement* section = SectionDict(fourCC);
    if (!section)
        return false;
    const SectionWalk walk = WalkSection(section);
    const auto found = FindPreset(walk, preset);
    if (found == walk.entries.end())
        return false;
    // Only the first key of the walk has to read as a preset number.  When
    // the first entry goes, the key after it inherits that key's text, so
    // that the walk still starts (and ends) where it did.
    if (found == walk.entries.begin()) {
        TiXmlElement* following = walk.entries.size() > 1 ? walk.entries[1].key : walk.damaged;
        if (following && PresetNumber(following->GetText()) < 0)
            section->ReplaceChild(following, *found->key);
    }
    section->RemoveChild(found->dict);
    section->RemoveChild(found->key);
    return true;
}

bool CORVPresetDocument::ReplaceValues(uint32_t fourCC, const CORVDSPPreset& preset,
                                       const std::vector<float>& values)
{
    TiXmlElement* section = SectionDict(fourCC);
    if (!section)
        return false;
    const SectionWalk walk = WalkSection(section);
    const auto found = FindPreset(walk, preset);
    if (found == walk.entries.end())
        return false;
    const TiXmlElement array = ValuesArray(values);
    if (TiXmlElement* old = found->dict->FirstChildElement("array"))
        return found->dict->ReplaceChild(old, array) != nullptr;
    return found->dict->InsertEndChild(array) != nullptr;
}

bool CORVPresetDocument::IsStorableName(std::string_view name)
{
    return IsValidUtf8(name) && !HasControlCharacter(name);
}

int32_t CORVPresetDocument::PresetNumber(const char* keyText)
{
    int number = -1;
    if (!keyText || std::sscanf(keyText, kPresetKeyPattern, &number) != 1 || number < 0)
        return -1;
    return number;
}

float CORVPresetDocument::ParseValue(const char* text)
{
    if (!text || !*text)
        return kEmptyValue;
    std::string_view rest(text);
    const size_t start = rest.find_first_not_of(" \t\n\v\f\r");
    rest.remove_prefix(std::min(start, rest.size()));
    // Read like the C library does: a leading plus is allowed.
    if (rest.size() > 1 && rest[0] == '+' && rest[1] != '-' && rest[1] != '+')
        rest.remove_prefix(1);
    float value = 0.0f;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return OutOfRangeValue(text);
    return result.ec == std::errc() ? value : 0.0f;
}

std::string CORVPresetDocument::FormatValue(float value)
{
    char text[kValueTextBytes];
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, written.ptr);
}
