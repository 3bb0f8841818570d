#pragma once
#include "dsp/CORVDSPPreset.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

// The user preset file as an XML property list: a root "dict" with one
// section per effect ("Effect " and the algorithm's code, then a "dict"), and
// in each section, per preset, a "Preset %03d" key and a "dict" holding a key,
// the name as "string" and the values as an "array" of "real".
//
// Reading follows fixed rules (which key starts a section's presets, where a
// damaged entry ends the walk), so that files written by every version of the
// plug-in read the same; the writer puts every new entry where exactly those
// rules will find it again.  Everything
// else in the document, other effects' sections, unknown elements, comments,
// is carried along untouched.
class CORVPresetDocument {
public:
    static constexpr int32_t kHighestPresetNumber = 999;
    static constexpr float kEmptyValue = -1.0f;

    // A new file's contents: declaration, document type and an empty "dict".
    CORVPresetDocument();
    ~CORVPresetDocument();
    CORVPresetDocument(CORVPresetDocument&&) noexcept;
    CORVPresetDocument& operator=(CORVPresetDocument&&) noexcept;

    // The document in text, or nothing when the text is not one well-formed
    // UTF-8 XML document (trailing bytes, a NUL byte or an absurd nesting
    // depth count as malformed, too).
    static std::optional<CORVPresetDocument> Parse(std::string_view text);

    // The document in text, as it is written to the file.
    std::string Text() const;

    // The user presets of one algorithm, in file order.
    std::vector<CORVDSPPreset> ReadPresets(uint32_t fourCC) const;

    // Adds a preset to the algorithm's section (made when missing) under the
    // next free "Preset %03d" number.  False when the document is not a
    // property list, the name is not valid UTF-8 text or holds a character
    // XML cannot carry, or all numbers are taken.
    bool AppendPreset(uint32_t fourCC, const std::string& name, const std::vector<float>& values);

    // Removes the first entry of the section that reads as a preset with the
    // same name and the same values, bit for bit.  False when there is none.
    bool RemovePreset(uint32_t fourCC, const CORVDSPPreset& preset);

    // Gives the first entry that reads as preset (name and values, bit for
    // bit) the new values, in place: its number and name stay.  False when
    // there is no such entry.
    bool ReplaceValues(uint32_t fourCC, const CORVDSPPreset& preset, const std::vector<float>& values);

    // Whether a user may give a new preset this name: UTF-8 text without
    // control characters.  (Older files may hold other names; they are read
    // and kept as they are.)
    static bool IsStorableName(std::string_view name);

    // The number a key's text stands for when read as "Preset %03d" (at most
    // three digits count), or -1 when it does not read as one.
    static int32_t PresetNumber(const char* keyText);

    // A "real" element's text as a value: read like a C decimal number, an
    // empty text as kEmptyValue, anything unreadable as 0.
    static float ParseValue(const char* text);
    // The shortest decimal text that reads back as exactly the same value.
    static std::string FormatValue(float value);

private:
    explicit CORVPresetDocument(std::unique_ptr<TiXmlDocument> parsed);

    TiXmlElement* RootDict() const;
    TiXmlElement* SectionDict(uint32_t fourCC) const;
    TiXmlElement* MakeSectionDict(uint32_t fourCC);

    std::unique_ptr<TiXmlDocument> document;
};
