#include "cli/Arguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EffectLookup.h"

#include <cstdio>

const char* const kListHelp = R"(Usage: stompset list

Lists the 36 effects in catalogue order: the effect identifier, the short
name, the long name and the host category.  Any of the identifier, the short name and the long name selects an
effect in 'stompset info' and 'stompset render -e'.
)";

namespace {

constexpr const char* kRowFormat = "%4s  %-5s  %-32s  %s\n";

std::string Row(const std::string& id, const std::string& shortName, const std::string& longName,
                const std::string& category)
{
    char line[128];
    std::snprintf(line, sizeof line, kRowFormat, id.c_str(), shortName.c_str(), longName.c_str(), category.c_str());
    return line;
}

} // namespace

int RunListCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, {}, "list");
    if (parsed.help) {
        context.out << kListHelp;
        return 0;
    }
    if (!parsed.positionals.empty())
        throw UsageError("'list' takes no arguments");
    context.out << Row("id", "short", "long name", "category");
    for (const CatalogueEntry& entry : kCatalogue)
        context.out << Row(std::to_string(entry.effectId), entry.shortName, entry.longName,
                           CategoryName(entry.category));
    return 0;
}
