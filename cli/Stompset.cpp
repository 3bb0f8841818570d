#include "cli/Stompset.h"

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/TextMatch.h"
#include "core/CORVPresetFile.h"

#include <exception>

namespace {

constexpr const char* kProgramName = "stompset";

const char* const kMainHelp = R"(Usage: stompset COMMAND [ARGUMENTS]

Orvanta Stompset on the command line: the guitar and bass effects of the
plug-in, rendered offline exactly as a host's offline processing renders them.

Commands:
  list      list the 36 effects with their identifiers, names and categories
  info      describe an effect: parameters, ranges, entries, presets
  render    process an audio file through a chain of effects
  demo      synthesise a guitar riff and render it through a pedalboard
  presets   list, save and delete user presets
  tune      print the tuner's reading of an audio file, frame by frame
  snapshot  draw a pedal's editor, or all 36, into a PNG file
  gui       open a pedal's editor in a window on the desktop

Options:
  -h, --help     this text; 'stompset COMMAND --help' describes a command
      --version  the program's version

Errors are reported as one line on standard error, with exit status 1, or 2
for wrong arguments.
)";

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&, const CommandContext&);
};

constexpr Command kCommands[] = {
    {"list", RunListCommand},
    {"info", RunInfoCommand},
    {"render", RunRenderCommand},
    {"demo", RunDemoCommand},
    {"presets", RunPresetsCommand},
    {"tune", RunTuneCommand},
    {"snapshot", RunSnapshotCommand},
    {"gui", RunGuiCommand},
};

int Dispatch(const std::vector<std::string>& args, const CommandContext& context)
{
    if (args.empty())
        throw UsageError("no command given (see 'stompset --help')");
    const std::string& name = args.front();
    if (name == "-h" || name == "--help" || name == "help") {
        context.out << kMainHelp;
        return 0;
    }
    if (name == "--version") {
        context.out << kProgramName << " " << ORV_VERSION << "\n";
        return 0;
    }
    std::vector<std::string> names;
    for (const Command& command : kCommands) {
        if (name == command.name)
            return command.run({args.begin() + 1, args.end()}, context);
        names.emplace_back(command.name);
    }
    throw UsageError("unknown command " + text_match::Shown(name) + text_match::Suggestion(name, names) +
                     " (see 'stompset --help')");
}

// Only 'presets save' writes the user preset file, and makes it when it is
// missing; listing, describing and rendering leave the documents folder as
// they found it.  The setting is the process's, so it is put back after.
class PresetFileLeftAlone {
public:
    PresetFileLeftAlone() : before(CORVPresetFile::SetCreateOnOpen(false)) {}
    ~PresetFileLeftAlone() { CORVPresetFile::SetCreateOnOpen(before); }
    PresetFileLeftAlone(const PresetFileLeftAlone&) = delete;
    PresetFileLeftAlone& operator=(const PresetFileLeftAlone&) = delete;

private:
    bool before;
};

// One line, whatever the message repeats: a path or a name with a line
// break or an escape sequence must not reach the terminal raw.
void ReportError(std::ostream& err, const char* message)
{
    err << kProgramName << ": " << text_match::EscapeControls(message) << "\n";
}

} // namespace

int RunStompset(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress)
{
    const PresetFileLeftAlone leftAlone;
    try {
        return Dispatch(args, CommandContext{out, err, progress});
    } catch (const CliError& error) {
        ReportError(err, error.what());
        return error.ExitStatus();
    } catch (const std::exception& error) {
        ReportError(err, error.what());
        return CliError::kFailure;
    }
}
