#include "cli/PresetTable.h"

#include "cli/CliError.h"
#include "cli/ParameterValues.h"
#include "cli/TextMatch.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

constexpr size_t kIndexWidth = 2;

std::string Padded(const std::string& text, size_t width)
{
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string ValueText(const CORVDSPParameter& parameter, float value)
{
    if (parameter.scaleType == ScaleList)
        return parameter.GetText(false, false, value).str();
    return FormatNumber(value);
}

} // namespace

std::string PresetValuesText(const CORVDSPAlgInterface& algorithm, const CORVDSPPreset& preset)
{
    if (preset.values.size() != algorithm.parameters.size())
        return "(does not fit this effect)";
    std::string text;
    auto value = preset.values.begin();
    for (const auto& entry : algorithm.parameters)
        text += (text.empty() ? "" : ", ") + entry.second->name + " " + ValueText(*entry.second, *value++);
    return text;
}

// Factory presets come from the algorithm, user presets from the user's
// preset file; an instance holds both in one table, told apart by isFactory.
size_t PrintPresetRows(std::ostream& out, const CORVDSPAlgInterface& algorithm, bool factory)
{
    size_t nameWidth = 0;
    size_t count = 0;
    for (const auto& entry : algorithm.presets) {
        if (bool(entry.second->isFactory) == factory) {
            nameWidth = std::max(nameWidth, entry.second->name.size());
            ++count;
        }
    }
    for (const auto& [index, preset] : algorithm.presets) {
        if (bool(preset->isFactory) == factory)
            out << "  " << Padded(std::to_string(index), kIndexWidth) << "  " << Padded(preset->name, nameWidth)
                << "  " << PresetValuesText(algorithm, *preset) << "\n";
    }
    return count;
}

bool IsPresetIndexText(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsPresetName(std::string_view text, const CORVDSPPreset& preset)
{
    // Older files may hold names with blanks around them, which no typed
    // (and trimmed) argument could match otherwise.
    return text_match::EqualsIgnoreCase(text_match::Trim(text), text_match::Trim(preset.name));
}

int32_t FindPresetByText(const CORVDSPAlgInterface& algorithm, std::string_view text)
{
    // A number is a position in the table first: a user preset named "2"
    // must not hide factory preset 2.
    int32_t index = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (IsPresetIndexText(text) && error == std::errc() && algorithm.presets.count(index))
        return index;
    for (const auto& [i, preset] : algorithm.presets) {
        if (IsPresetName(text, *preset))
            return i;
    }
    std::vector<std::string> names;
    for (const auto& entry : algorithm.presets)
        names.push_back(entry.second->name);
    throw UsageError("unknown preset " + text_match::Shown(text) + " of " + algorithm.longName +
                     text_match::Suggestion(text, names) + " (presets: " + text_match::QuotedList(names) + ")");
}
