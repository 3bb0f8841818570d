#include "cli/Arguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EffectLookup.h"
#include "cli/OfflineInstance.h"
#include "cli/ParameterValues.h"
#include "cli/PresetTable.h"
#include "cli/TextMatch.h"
#include "dsp/FourCC.h"

#include <algorithm>
#include <sstream>

const char* const kInfoHelp = R"(Usage: stompset info EFFECT

Describes an effect.  EFFECT is a short name ("TR"), a long name
("TR - Tremolo"), the name part of it ("Tremolo") or an identifier (180);
case does not matter.

For every parameter: its index, name, range with unit (or its list entries),
step, default, scale type and the current display text of a new instance.
Then the presets, factory presets first, each with its values.  Parameter
names or indices, entry texts and preset names are what 'stompset render -e'
takes.
)";

namespace {

// A new instance shows what a host would show right after insertion.
constexpr double kInfoSampleRate = 48000.0;
constexpr size_t kIndent = 8; // up to the range column

std::string Padded(const std::string& text, size_t width)
{
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string EntriesLine(const CORVDSPParameter& parameter)
{
    std::string line;
    for (size_t k = 0; k < parameter.valueTexts.size(); ++k)
        line += (k ? " | " : "") + std::to_string(k) + " " + parameter.valueTexts[k];
    return line;
}

void PrintParameters(std::ostream& out, const CORVDSPAlgInterface& algorithm)
{
    size_t nameWidth = 0;
    for (const auto& entry : algorithm.parameters)
        nameWidth = std::max(nameWidth, entry.second->name.size());
    out << "Parameters (index, name, range, step, default, scale; current display text):\n";
    for (const auto& [index, parameter] : algorithm.parameters) {
        const bool isList = parameter->scaleType == ScaleList;
        const std::string range =
            isList ? "entries " + FormatNumber(parameter->minValue) + " .. " + FormatNumber(parameter->maxValue)
                   : "range " + RangeText(*parameter);
        const std::string shown(text_match::Trim(parameter->GetText(false, true).view()));
        out << "  " << Padded(std::to_string(index), 2) << "  " << Padded(parameter->name, nameWidth) << "  " << range
            << ", step " << FormatNumber(parameter->step) << ", default " << DefaultText(*parameter) << ", "
            << ScaleName(parameter->scaleType) << " scale; now \"" << shown << "\"\n";
        if (isList)
            out << std::string(kIndent + nameWidth, ' ') << EntriesLine(*parameter) << "\n";
    }
}

void PrintPresets(std::ostream& out, const CORVDSPAlgInterface& algorithm)
{
    out << "Factory presets:\n";
    PrintPresetRows(out, algorithm, true);
    std::ostringstream user;
    if (PrintPresetRows(user, algorithm, false) > 0)
        out << "User presets:\n" << user.str();
}

} // namespace

int RunInfoCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, {}, "info");
    if (parsed.help) {
        context.out << kInfoHelp;
        return 0;
    }
    if (parsed.positionals.size() != 1)
        throw UsageError("'info' takes one effect (see 'stompset info --help')");
    const CatalogueEntry& entry = FindEffect(parsed.positionals.front());
    const auto instance = MakeOfflineInstance(entry, kInfoSampleRate);
    const CORVDSPAlgInterface& algorithm = *instance->GetAlgorithm();

    context.out << entry.longName << "\n"
                << "  identifier " << entry.effectId << ", short name " << entry.shortName << ", category "
                << CategoryName(entry.category) << ", algorithm code '" << FourCCText(entry.algorithmCode) << "'\n";
    PrintParameters(context.out, algorithm);
    PrintPresets(context.out, algorithm);
    return 0;
}
