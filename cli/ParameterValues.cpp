#include "cli/ParameterValues.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::string_view kMinusInfinity = "-inf";
constexpr std::string_view kOff = "off";

// Enough digits that every float a parameter table holds prints exactly.
constexpr const char* kNumberFormat = "%.7g";

std::string Qualified(const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter)
{
    return algorithm.shortName + " " + parameter.name;
}

bool ParseInteger(std::string_view text, int32_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

const std::string& UnitText(const CORVDSPParameter& parameter)
{
    static const std::string none;
    return parameter.valueTexts.empty() ? none : parameter.valueTexts.front();
}

// Scales whose text carries one unit after the number, which a typed value
// may repeat ("300 BPM", "-6dB").
bool HasSingleUnit(const CORVDSPParameter& parameter)
{
    return parameter.scaleType != ScaleList && parameter.scaleType != ScaleTwoSided &&
           parameter.scaleType != ScaleLinearNoUnit;
}

float ParseListEntry(const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter, std::string_view text)
{
    for (size_t k = 0; k < parameter.valueTexts.size(); ++k) {
        if (text_match::EqualsIgnoreCase(text, parameter.valueTexts[k]))
            return float(k);
    }
    int32_t index = 0;
    if (ParseInteger(text, index) && float(index) >= parameter.minValue && float(index) <= parameter.maxValue)
        return float(index);
    throw UsageError(text_match::Shown(text) + " is not an entry of " + Qualified(algorithm, parameter) +
                     text_match::Suggestion(text, parameter.valueTexts) +
                     " (entries: " + text_match::QuotedList(parameter.valueTexts) + ")");
}

// The value a scale's word stands for ("-Inf" at a decibel minimum, "Off"),
// or NaN when the text is no such word.
float ScaleWordValue(const CORVDSPParameter& parameter, std::string_view text)
{
    if (parameter.scaleType == ScaleDecibel && text_match::EqualsIgnoreCase(text, kMinusInfinity))
        return parameter.minValue;
    if (parameter.scaleType == ScaleOffAtMin && text_match::EqualsIgnoreCase(text, kOff))
        return parameter.minValue;
    if (parameter.scaleType == ScaleOffAtMax && text_match::EqualsIgnoreCase(text, kOff))
        return parameter.maxValue;
    return std::nanf("");
}

float ParseNumber(const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter, std::string_view text)
{
    double number = 0.0;
    const std::string_view rest = text_match::Trim(text.substr(ParseDecimal(text, number)));
    const bool unitFits =
        rest.empty() || (HasSingleUnit(parameter) && text_match::EqualsIgnoreCase(rest, UnitText(parameter)));
    if (rest.size() == text.size() || !unitFits || !std::isfinite(number))
        throw UsageError(text_match::Shown(text) + " is not a value of " + Qualified(algorithm, parameter) +
                         " (range " + RangeText(parameter) + ")");
    const float value = float(number);
    if (value < parameter.minValue || value > parameter.maxValue)
        throw UsageError("value " + text_match::Cut(text) + " of " + Qualified(algorithm, parameter) +
                         " is outside its range " + RangeText(parameter));
    return value;
}

std::vector<std::string> ParameterNames(const CORVDSPAlgInterface& algorithm)
{
    std::vector<std::string> names;
    for (const auto& entry : algorithm.parameters)
        names.push_back(entry.second->name);
    return names;
}

} // namespace

ParameterRef FindParameterByText(const CORVDSPAlgInterface& algorithm, std::string_view text)
{
    text = text_match::Trim(text);
    int32_t index = 0;
    if (ParseInteger(text, index)) {
        if (index == kFootSwitchIndex)
            throw UsageError("index 1 of " + algorithm.shortName + " is the foot switch; use ':bypass'");
        if (const CORVDSPParameter* parameter = algorithm.GetParameter(index))
            return {index, parameter};
        throw UsageError(algorithm.shortName + " has no parameter with index " + std::string(text) +
                         " (see 'stompset info " + algorithm.shortName + "')");
    }
    for (const auto& [i, parameter] : algorithm.parameters) {
        if (text_match::EqualsIgnoreCase(text, parameter->name))
            return {i, parameter.get()};
    }
    const std::vector<std::string> names = ParameterNames(algorithm);
    throw UsageError("unknown parameter " + text_match::Shown(text) + " of " + algorithm.longName +
                     text_match::Suggestion(text, names) + " (parameters: " + text_match::QuotedList(names) + ")");
}

float ParsePlainValue(const CORVDSPAlgInterface& algorithm, const CORVDSPParameter& parameter, std::string_view text)
{
    text = text_match::Trim(text);
    if (parameter.scaleType == ScaleList)
        return ParseListEntry(algorithm, parameter, text);
    const float word = ScaleWordValue(parameter, text);
    return std::isnan(word) ? ParseNumber(algorithm, parameter, text) : word;
}

size_t ParseDecimal(std::string_view text, double& number)
{
    // A leading plus reads naturally in front of gains ("+6 dB").
    const size_t sign = text.size() > 1 && text[0] == '+' && text[1] != '-' ? 1 : 0;
    const char* start = text.data() + sign;
    const auto [end, error] = std::from_chars(start, text.data() + text.size(), number, std::chars_format::general);
    return error == std::errc() ? size_t(end - text.data()) : 0;
}

std::string FormatNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, kNumberFormat, double(value));
    return text;
}

std::string RangeText(const CORVDSPParameter& parameter)
{
    const std::string numbers = FormatNumber(parameter.minValue) + " .. " + FormatNumber(parameter.maxValue);
    switch (parameter.scaleType) {
    case ScaleList: {
        std::string entries;
        for (size_t k = 0; k < parameter.valueTexts.size(); ++k)
            entries += (k ? ", " : "") + std::to_string(k) + " '" + parameter.valueTexts[k] + "'";
        return numbers + ": " + entries;
    }
    case ScaleTwoSided: {
        const std::string above = parameter.valueTexts.size() > 1 ? parameter.valueTexts[1] : std::string();
        return numbers + " (" + UnitText(parameter) + " / " + above + ")";
    }
    case ScaleLinearNoUnit: return numbers;
    default: return UnitText(parameter).empty() ? numbers : numbers + " " + UnitText(parameter);
    }
}

std::string ScaleName(int32_t scaleType)
{
    static const char* const kNames[] = {
        "linear",          // ScaleLinear
        "linear, no unit", // ScaleLinearNoUnit
        "two-sided",       // ScaleTwoSided
        "list",            // ScaleList
        "logarithmic",     // ScaleLog
        "decibel",         // ScaleDecibel
        "square",          // ScaleSquare
        "off at minimum",  // ScaleOffAtMin
        "off at maximum",  // ScaleOffAtMax
    };
    return scaleType >= 0 && size_t(scaleType) < std::size(kNames) ? kNames[scaleType]
                                                                   : "scale " + std::to_string(scaleType);
}

std::string DefaultText(const CORVDSPParameter& parameter)
{
    if (parameter.scaleType == ScaleList)
        return parameter.GetText(false, false, parameter.defaultValue).str();
    return FormatNumber(parameter.defaultValue);
}
