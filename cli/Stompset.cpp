#include "cli/Stompset.h"

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/TextMatch.h"

#include <exception>

namespace {

constexpr const char* kProgramName = "stompset";

const char* const kMainHelp = R"(Usage: stompset COMMAND [ARGUMENTS]

Orvanta Stompset on the command line: the guitar and bass effects of the
plug-in, rendered offline exactly as a host's offline processing renders them.

Commands:
  list      list the 36 effects, with their identifiers and availability
  info      describe an effect: parameters, ranges, entries, presets
  render    process an audio file through a chain of effects
  demo      synthesise a guitar riff and render it through a pedalboard
  presets   list, save and delete user presets
  tune      print the tuner's reading of an audio file, frame by frame

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
    throw UsageError("unknown command '" + name + "'" + text_match::Suggestion(name, names) +
                     " (see 'stompset --help')");
}

} // namespace

int RunStompset(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress)
{
    try {
        return Dispatch(args, CommandContext{out, err, progress});
    } catch (const CliError& error) {
        err << kProgramName << ": " << error.what() << "\n";
        return error.ExitStatus();
    } catch (const std::exception& error) {
        err << kProgramName << ": " << error.what() << "\n";
        return CliError::kFailure;
    }
}
