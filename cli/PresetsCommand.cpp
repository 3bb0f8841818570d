#include "cli/Arguments.h"
#include "cli/EffectSpec.h"
#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EffectLookup.h"
#include "cli/OfflineInstance.h"
#include "cli/ParameterValues.h"
#include "cli/PresetTable.h"
#include "cli/TextMatch.h"
#include "core/CORVPresetDocument.h"
#include "core/CORVPresetFile.h"
#include "core/XmlText.h"

#include <optional>
#include <sstream>

const char* const kPresetsHelp = R"(Usage: stompset presets list [EFFECT]
       stompset presets save EFFECT NAME [PARAM=VALUE ...] [--from-preset PRESET]
       stompset presets delete EFFECT NAME

Manages the user presets: the presets the plug-in's preset menu saves with
"Save As...", kept for all effects in one user preset file, which every
instance of the plug-in and every 'stompset render' reads.

  list      the user presets of EFFECT, or of every effect that has some,
            with their table index and values
  save      stores the user preset NAME of EFFECT: the effect's "Default"
            preset, or PRESET (a factory or user preset, by name or index)
            with --from-preset, and the PARAM=VALUE settings on top of it,
            written as in 'stompset render -e' ("Tempo=90", "Depth=60%",
            "Wave shape=Triangle")
  delete    removes the user preset NAME of EFFECT; factory presets stay

EFFECT is a short name ("TR"), a long name, the name part of it ("Tremolo")
or an identifier (180).  NAME must be new to the effect: a preset of the
same name (case ignored) would hide it from 'render -e EFFECT:preset=NAME'.
Blanks around NAME are dropped; it must be UTF-8 text without control
characters, and not digits alone, which 'preset=' reads as a table index.
An effect holds at most 999 user presets.

The file is "Orvanta/PlugIn Presets/Orvanta Stompset.orvpreset" in the
documents folder: $STOMPSET_DOCUMENTS_DIR when set, else the XDG documents
folder, else ~/Documents; only saving makes it.  A file that cannot be read,
or that has no write permission, is never written over: saving and
deleting then fail and leave it as it is.  Saves and deletes made at the
same time, by this program or by hosts, wait for each other.

Examples:
  stompset presets save TR "Slow swell" Tempo=90 Depth=60%
  stompset presets save AP Wide --from-preset "Leslie rotary" Stereo=100
  stompset render -i in.wav -o out.wav -e "TR:preset=Slow swell"
  stompset presets delete TR "Slow swell"
)";

namespace {

// Presets do not depend on the rate; this is the rate 'info' shows, too.
constexpr double kPresetSampleRate = 48000.0;

const std::vector<OptionSpec> kPresetsOptions = {
    {nullptr, "--from-preset", true},
};

const std::vector<std::string> kSubcommands = {"list", "save", "delete"};

std::string SeeHelp() { return " (see 'stompset presets --help')"; }

constexpr int32_t kMostUserPresets = CORVPresetDocument::kHighestPresetNumber;

// Why the file refused a change, as the preset file saw it.
CliError FileFailure(const CORVPresetFile& file, const std::string& effect, const std::string& nothingWas)
{
    const std::string quoted = "the user preset file '" + file.GetPath() + "'";
    switch (file.GetLastFailure()) {
    case CORVPresetFile::Failure::NoPath:
        return CliError("there is no documents folder for the user preset file (set STOMPSET_DOCUMENTS_DIR); "
                        "nothing was " + nothingWas);
    case CORVPresetFile::Failure::Unreadable:
        return CliError(quoted + " cannot be read; it is left as it is and nothing was " + nothingWas);
    case CORVPresetFile::Failure::ReadOnly:
        return CliError(quoted + " is read-only; it is left as it is and nothing was " + nothingWas);
    case CORVPresetFile::Failure::Full:
        return CliError(effect + " has " + std::to_string(kMostUserPresets) +
                        " user presets, the most the file holds for one effect; delete one first");
    case CORVPresetFile::Failure::BadName:
        return UsageError("a preset name must be UTF-8 text without control characters; nothing was " + nothingWas);
    case CORVPresetFile::Failure::None:
    case CORVPresetFile::Failure::NotWritten:
        break;
    }
    return CliError(quoted + " could not be written; nothing was " + nothingWas);
}

// The name a preset is saved under: trimmed, since every lookup trims what
// is typed, and refused when the file could not hold it or 'preset=' would
// read it as an index.
std::string CheckedPresetName(const std::string& typed)
{
    const std::string name(text_match::Trim(typed));
    if (name.empty())
        throw UsageError("a preset name cannot be empty");
    if (!IsValidUtf8(name))
        throw UsageError("preset name " + text_match::Shown(name) + " is not UTF-8 text");
    if (HasControlCharacter(name))
        throw UsageError("preset name " + text_match::Shown(name) +
                         " holds a control character (a tab, a line break, ...)");
    if (IsPresetIndexText(name))
        throw UsageError("a preset name cannot be digits alone: 'preset=" + name + "' selects the preset at index " +
                         name);
    return name;
}

std::vector<ParameterSetting> ParseSettings(const std::vector<std::string>& texts)
{
    std::vector<ParameterSetting> settings;
    for (const std::string& text : texts) {
        const size_t equals = text.find('=');
        if (equals == std::string::npos)
            throw UsageError(text_match::Shown(text) + " is not of the form PARAM=VALUE" + SeeHelp());
        settings.push_back({text.substr(0, equals), text.substr(equals + 1)});
    }
    return settings;
}

void RefuseTakenName(const CORVDSPAlgInterface& algorithm, const CatalogueEntry& entry, const std::string& name)
{
    for (const auto& [index, preset] : algorithm.presets) {
        if (!IsPresetName(name, *preset))
            continue;
        if (preset->isFactory)
            throw UsageError("'" + preset->name + "' is a factory preset of " + entry.longName +
                             "; choose another name");
        throw UsageError("'" + preset->name + "' is a user preset of " + entry.longName +
                         " already; delete it first (stompset presets delete " + entry.shortName + " \"" +
                         preset->name + "\")");
    }
}

// A user preset by name: the exact name first, then with case ignored; -1
// when there is none.
int32_t FindUserPreset(const CORVDSPAlgInterface& algorithm, const std::string& name)
{
    int32_t loose = -1;
    for (const auto& [index, preset] : algorithm.presets) {
        if (preset->isFactory)
            continue;
        if (preset->name == name)
            return index;
        if (loose < 0 && IsPresetName(name, *preset))
            loose = index;
    }
    return loose;
}

int List(const std::vector<std::string>& positionals, const CommandContext& context)
{
    if (positionals.size() > 2)
        throw UsageError("'presets list' takes at most one effect" + SeeHelp());
    std::vector<const CatalogueEntry*> entries;
    if (positionals.size() == 2) {
        entries.push_back(&FindEffect(positionals[1]));
    } else {
        for (const CatalogueEntry& entry : kCatalogue)
            entries.push_back(&entry);
    }
    size_t total = 0;
    for (const CatalogueEntry* entry : entries) {
        const auto instance = MakeOfflineInstance(*entry, kPresetSampleRate);
        if (entry == entries.front()) {
            const CORVPresetFile& file = instance->GetPresetFile();
            context.out << "User preset file: " << (file.GetPath().empty() ? "(none)" : file.GetPath())
                        << (file.GetState() == CORVPresetFile::State::Unreadable ? " (cannot be read; left as it is)"
                                                                                  : "")
                        << "\n";
        }
        std::ostringstream rows;
        const size_t count = PrintPresetRows(rows, *instance->GetAlgorithm(), false);
        if (count > 0 || entries.size() == 1)
            context.out << entry->longName << "\n" << (count > 0 ? rows.str() : "  (no user presets)\n");
        total += count;
    }
    if (total == 0 && entries.size() > 1)
        context.out << "No user presets.\n";
    return 0;
}

// The values are set on the algorithm itself, not through the host
// controls, whose 32-bit steps would store 59.99999 for a typed 60.
void SetUpValues(CORVDSPAlgInterface& algorithm, const ParsedArguments& parsed)
{
    if (parsed.Has("--from-preset")) {
        const int32_t index = FindPresetByText(algorithm, parsed.Value("--from-preset"));
        algorithm.ApplyPresetByIndex(index);
        if (algorithm.currentPreset != algorithm.presets.at(index).get())
            throw CliError("preset '" + algorithm.presets.at(index)->name + "' does not fit " + algorithm.longName);
    }
    for (const ParameterSetting& setting : ParseSettings({parsed.positionals.begin() + 3, parsed.positionals.end()})) {
        const ParameterRef ref = FindParameterByText(algorithm, setting.parameter);
        algorithm.GetParameter(ref.index)->SetValue(ParsePlainValue(algorithm, *ref.parameter, setting.value));
    }
}

int Save(const ParsedArguments& parsed, const CommandContext& context)
{
    const std::vector<std::string>& positionals = parsed.positionals;
    if (positionals.size() < 3)
        throw UsageError("'presets save' takes an effect and a preset name" + SeeHelp());
    const std::string name = CheckedPresetName(positionals[2]);
    const CatalogueEntry& entry = FindEffect(positionals[1]);
    const auto instance = MakeOfflineInstance(entry, kPresetSampleRate);
    CORVDSPAlgInterface& algorithm = *instance->GetAlgorithm();
    RefuseTakenName(algorithm, entry, name);
    SetUpValues(algorithm, parsed);

    const std::optional<int32_t> index = instance->SaveUserPreset(name);
    if (!index)
        throw FileFailure(instance->GetPresetFile(), entry.longName, "saved");
    context.out << "Saved user preset " << *index << " '" << name << "' of " << entry.longName << ": "
                << PresetValuesText(algorithm, *algorithm.presets.at(*index)) << "\n";
    return 0;
}

int Delete(const std::vector<std::string>& positionals, const CommandContext& context)
{
    if (positionals.size() != 3)
        throw UsageError("'presets delete' takes an effect and a preset name" + SeeHelp());
    const CatalogueEntry& entry = FindEffect(positionals[1]);
    const std::string name(text_match::Trim(positionals[2]));
    const auto instance = MakeOfflineInstance(entry, kPresetSampleRate);
    const CORVDSPAlgInterface& algorithm = *instance->GetAlgorithm();

    const int32_t index = FindUserPreset(algorithm, name);
    if (index < 0) {
        std::vector<std::string> userNames;
        for (const auto& [i, preset] : algorithm.presets) {
            if (IsPresetName(name, *preset))
                throw UsageError("'" + preset->name + "' is a factory preset of " + entry.longName +
                                 "; only user presets can be deleted");
            if (!preset->isFactory)
                userNames.push_back(preset->name);
        }
        throw UsageError("no user preset " + text_match::Shown(name) + " of " + entry.longName +
                         (userNames.empty() ? std::string(" (it has none)")
                                            : text_match::Suggestion(name, userNames) +
                                                  " (user presets: " + text_match::QuotedList(userNames) + ")"));
    }
    const std::string deleted = algorithm.presets.at(index)->name;
    if (!instance->DeleteUserPreset(index))
        throw FileFailure(instance->GetPresetFile(), entry.longName, "deleted");
    context.out << "Deleted user preset '" << deleted << "' of " << entry.longName << "\n";
    return 0;
}

} // namespace

int RunPresetsCommand(const std::vector<std::string>& args, const CommandContext& context)
{
    const ParsedArguments parsed = ParseArguments(args, kPresetsOptions, "presets");
    if (parsed.help) {
        context.out << kPresetsHelp;
        return 0;
    }
    if (parsed.positionals.empty())
        throw UsageError("'presets' needs one of " + text_match::QuotedList(kSubcommands) + SeeHelp());
    const std::string& subcommand = parsed.positionals.front();
    if (subcommand != "save" && parsed.Has("--from-preset"))
        throw UsageError("'--from-preset' belongs to 'presets save'");
    if (subcommand == "list")
        return List(parsed.positionals, context);
    if (subcommand == "save")
        return Save(parsed, context);
    if (subcommand == "delete")
        return Delete(parsed.positionals, context);
    throw UsageError("unknown 'presets' command " + text_match::Shown(subcommand) +
                     text_match::Suggestion(subcommand, kSubcommands) + SeeHelp());
}
