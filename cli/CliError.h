#pragma once
#include <stdexcept>
#include <string>

// Every failure the program reports to its user: one line of text and the
// exit status.  Usage mistakes (a missing option, an unknown command) exit
// with 2 so scripts can tell them from a failed render, which exits with 1.
class CliError : public std::runtime_error {
public:
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    explicit CliError(const std::string& message, int exitStatus = kFailure)
        : std::runtime_error(message), exitStatus_(exitStatus)
    {
    }

    int ExitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

// A usage mistake: wrong arguments rather than a failed operation.
inline CliError UsageError(const std::string& message) { return CliError(message, CliError::kUsage); }
