#include "cli/Arguments.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EffectLookup.h"
#include "cli/PedalEditor.h"
#include "cli/Snapshot.h"

const char* const kSnapshotHelp = R"(Usage: stompset snapshot EFFECT -o FILE [-e EFFECT]... [--scale 2]
       stompset snapshot --all -o FILE [-e EFFECT]... [--scale 2]

Draws a pedal's editor, as a host shows it, into a PNG file: the pedal's face
with its knobs, switches and display set as the effect argument says.  With
--all, draws the contact sheet of all 36 pedals, nine to a row.

EFFECT is an effect argument as 'stompset render -e' takes it: the effect's
identifier, short name or long name, then optionally ':preset=NAME',
':PARAM=VALUE' settings and ':bypass', for example OD:Drive=60 or
"CH:preset=Slow and wide".

Options:
  -o, --output FILE   the PNG file to write; written whole or not at all
  -e, --effect EFFECT another pedal for the picture; with --all, the settings
                      of that pedal on the sheet
      --all           every pedal of the suite, in catalogue order
      --scale N       1 (185 x 320 pixels a pedal) or 2 (370 x 640)
  -h, --help          this text

Examples:
  stompset snapshot OD -o od.png
  stompset snapshot OD:Drive=60:Level=40 -o od-hot.png --scale 2
  stompset snapshot --all -o pedals.png
)";

namespace {

constexpr int kSheetColumns = 9;

// clang-format off
const std::vector<OptionSpec> kSnapshotOptions = {
    {"-o",    "--output", true},
    {"-e",    "--effect", true, true},
    {nullptr, "--all",    false},
    {nullptr, "--scale",  true},
};
// clang-format on

// With --all, each pedal of the catalogue in order, taking the settings an
// effect argument gives it; otherwise the pedals named.
std::vector<EffectSpec> Pedals(const ParsedArguments& parsed)
{
    std::vector<EffectSpec> named;
    for (const std::string& text : parsed.positionals)
        named.push_back(ParseEffectSpec(text));
    for (const std::string& text : parsed.Values("--effect"))
        named.push_back(ParseEffectSpec(text));
    if (!parsed.Has("--all"))
        return named;
    std::vector<EffectSpec> all;
    for (const CatalogueEntry& entry : kCatalogue) {
        EffectSpec pedal;
        pedal.effect = entry.shortName;
        for (const EffectSpec& given : named)
            if (&FindEffect(given.effect) == &entry)
                pedal = given;
        all.push_back(pedal);
    }
    return all;
}

} // namespace

int RunSnapshotCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, kSnapshotOptions, "snapshot");
    if (parsed.help) {
        context.out << kSnapshotHelp;
        return 0;
    }
    if (!parsed.Has("--output"))
        throw UsageError("snapshot needs --output (see 'stompset snapshot --help')");
    SnapshotRequest request;
    request.pedals = Pedals(parsed);
    if (request.pedals.empty())
        throw UsageError("snapshot needs an effect or --all (see 'stompset snapshot --help')");
    request.scale = parsed.Has("--scale") ? ParseScale(parsed.Value("--scale")) : 1;
    request.columns = kSheetColumns;
    const std::string path = parsed.Value("--output");
    WriteSnapshot(path, DrawSnapshot(request));
    context.out << path << "\n";
    return 0;
}
