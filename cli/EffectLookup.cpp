#include "cli/EffectLookup.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

#include <charconv>
#include <vector>

namespace {

constexpr std::string_view kNameSeparator = " - ";

struct CategoryWord {
    uint32_t bit;
    const char* word;
};

constexpr CategoryWord kCategoryWords[] = {
    {kCategoryEQ, "EQ"},
    {kCategoryDynamics, "dynamics"},
    {kCategoryPitchShift, "pitch shift"},
    {kCategoryReverb, "reverb"},
    {kCategoryDelay, "delay"},
    {kCategoryModulation, "modulation"},
    {kCategoryHarmonic, "harmonic"},
    {kCategorySoundField, "sound field"},
};

// "Overdrive" of "OD - Overdrive".
std::string_view NamePart(const CatalogueEntry& entry)
{
    const std::string_view longName = entry.longName;
    const size_t separator = longName.find(kNameSeparator);
    return separator == std::string_view::npos ? longName : longName.substr(separator + kNameSeparator.size());
}

const CatalogueEntry* FindById(std::string_view text)
{
    int32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size())
        return nullptr;
    return FindCatalogueEntry(id);
}

std::vector<std::string> EveryName()
{
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : kCatalogue) {
        names.emplace_back(entry.shortName);
        names.emplace_back(entry.longName);
        names.emplace_back(NamePart(entry));
    }
    return names;
}

} // namespace

const CatalogueEntry& FindEffect(std::string_view text)
{
    text = text_match::Trim(text);
    if (const CatalogueEntry* entry = FindById(text))
        return *entry;
    for (const CatalogueEntry& entry : kCatalogue) {
        if (text_match::EqualsIgnoreCase(text, entry.shortName) || text_match::EqualsIgnoreCase(text, entry.longName) ||
            text_match::EqualsIgnoreCase(text, NamePart(entry)))
            return entry;
    }
    throw UsageError("unknown effect " + text_match::Shown(text) + text_match::Suggestion(text, EveryName()) +
                     " (see 'stompset list')");
}

std::string CategoryName(uint32_t category)
{
    std::string words;
    for (const CategoryWord& word : kCategoryWords) {
        if (category & word.bit)
            words += (words.empty() ? "" : ", ") + std::string(word.word);
    }
    return words.empty() ? "none" : words;
}
