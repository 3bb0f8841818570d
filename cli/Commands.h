#pragma once
#include <ostream>
#include <string>
#include <vector>

// Where a command writes: results to out, the progress bar to err (only when
// progress is set, that is when standard error is a terminal).  Errors are
// thrown as CliError and reported by the caller.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    bool progress;
};

// Each command takes the arguments after its name and returns the exit status.
int RunListCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunInfoCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunRenderCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunDemoCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunPresetsCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunTuneCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunSnapshotCommand(const std::vector<std::string>& args, const CommandContext& context);
int RunGuiCommand(const std::vector<std::string>& args, const CommandContext& context);

extern const char* const kListHelp;
extern const char* const kInfoHelp;
extern const char* const kRenderHelp;
extern const char* const kDemoHelp;
extern const char* const kPresetsHelp;
extern const char* const kTuneHelp;
extern const char* const kSnapshotHelp;
extern const char* const kGuiHelp;
