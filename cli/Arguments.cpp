#include "cli/Arguments.h"

#include "cli/CliError.h"
#include "cli/TextMatch.h"

namespace {

constexpr const char* kHelpShort = "-h";
constexpr const char* kHelpLong = "--help";

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

const OptionSpec* FindOption(const std::vector<OptionSpec>& options, const std::string& name)
{
    for (const OptionSpec& option : options) {
        if ((option.shortName && name == option.shortName) || name == option.longName)
            return &option;
    }
    return nullptr;
}

CliError UnknownOption(const std::vector<OptionSpec>& options, const std::string& name, const std::string& command)
{
    std::vector<std::string> names{kHelpLong};
    for (const OptionSpec& option : options)
        names.emplace_back(option.longName);
    return UsageError("unknown option " + text_match::Shown(name) + " for '" + command + "'" +
                      text_match::Suggestion(name, names) + " (see 'stompset " + command + " --help')");
}

} // namespace

std::string ParsedArguments::Value(const std::string& longName, const std::string& fallback) const
{
    std::string value = fallback;
    for (const ParsedOption& option : options) {
        if (option.name == longName)
            value = option.value;
    }
    return value;
}

bool ParsedArguments::Has(const std::string& longName) const
{
    for (const ParsedOption& option : options) {
        if (option.name == longName)
            return true;
    }
    return false;
}

std::vector<std::string> ParsedArguments::Values(const std::string& longName) const
{
    std::vector<std::string> values;
    for (const ParsedOption& option : options) {
        if (option.name == longName)
            values.push_back(option.value);
    }
    return values;
}

ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options,
                               const std::string& command)
{
    ParsedArguments parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kHelpShort || arg == kHelpLong) {
            parsed.help = true;
            continue;
        }
        if (!IsOption(arg)) {
            parsed.positionals.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = FindOption(options, name);
        if (!option)
            throw UnknownOption(options, name, command);
        std::string value;
        if (equals != std::string::npos) {
            if (!option->takesValue)
                throw UsageError("option " + text_match::Shown(name) + " takes no value");
            value = arg.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 == args.size())
                throw UsageError("option '" + name + "' needs a value (see 'stompset " + command + " --help')");
            value = args[++i];
        }
        // A second -o would silently win over the first: which one the user
        // meant is theirs to say.
        if (!option->repeatable && parsed.Has(option->longName))
            throw UsageError("option '" + std::string(option->longName) + "' is given more than once (see 'stompset " +
                             command + " --help')");
        parsed.options.push_back({option->longName, value});
    }
    return parsed;
}
