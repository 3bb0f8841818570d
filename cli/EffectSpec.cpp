#include "cli/EffectSpec.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

namespace {

constexpr char kFieldSeparator = ':';
constexpr char kAssignment = '=';
constexpr std::string_view kPresetKey = "preset";
constexpr std::string_view kBypassKey = "bypass";

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t colon = text.find(kFieldSeparator); colon != std::string_view::npos;
         colon = text.find(kFieldSeparator, start)) {
        fields.push_back(text.substr(start, colon - start));
        start = colon + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

CliError BadField(std::string_view text, const std::string& problem)
{
    return UsageError("effect argument " + text_match::Shown(text) + ": " + problem);
}

void AddField(EffectSpec& request, std::string_view text, std::string_view field)
{
    field = text_match::Trim(field);
    if (text_match::EqualsIgnoreCase(field, kBypassKey)) {
        request.bypass = true;
        return;
    }
    const size_t assignment = field.find(kAssignment);
    if (field.empty() || assignment == std::string_view::npos)
        throw BadField(text, text_match::Shown(field) + " is not of the form PARAM=VALUE, preset=NAME or bypass");
    const std::string_view key = text_match::Trim(field.substr(0, assignment));
    const std::string_view value = text_match::Trim(field.substr(assignment + 1));
    if (key.empty() || value.empty())
        throw BadField(text, text_match::Shown(field) + " needs both a name and a value");
    if (text_match::EqualsIgnoreCase(key, kPresetKey)) {
        if (!request.preset.empty())
            throw BadField(text, "more than one preset");
        request.preset = value;
        return;
    }
    request.settings.push_back({std::string(key), std::string(value)});
}

} // namespace

EffectSpec ParseEffectSpec(std::string_view text)
{
    const std::vector<std::string_view> fields = SplitFields(text);
    EffectSpec request;
    request.effect = text_match::Trim(fields.front());
    if (request.effect.empty())
        throw BadField(text, "no effect named");
    for (size_t i = 1; i < fields.size(); ++i)
        AddField(request, text, fields[i]);
    return request;
}
