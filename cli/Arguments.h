#pragma once
#include <string>
#include <vector>

// The options one command accepts.  Options with a value take it as the next
// argument or after "=" ("--tempo 90", "--tempo=90").
struct OptionSpec {
    const char* shortName; // "-i", or nullptr
    const char* longName;  // "--input"
    bool takesValue;
    bool repeatable = false; // given twice it is refused, unless it adds up ("-e")
};

struct ParsedOption {
    std::string name; // the long name
    std::string value;
};

struct ParsedArguments {
    std::vector<ParsedOption> options; // in command-line order, repeats kept
    std::vector<std::string> positionals;
    bool help = false;

    // The last value given for an option, or fallback.
    std::string Value(const std::string& longName, const std::string& fallback = {}) const;
    bool Has(const std::string& longName) const;
    std::vector<std::string> Values(const std::string& longName) const;
};

// Splits a command's arguments; "-h" and "--help" are understood by every
// command.  Throws a usage CliError for an unknown option (naming the close
// ones), a missing value or an option given twice that is not repeatable.
ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& options,
                               const std::string& command);
