#pragma once
#include <ostream>
#include <string>
#include <vector>

// The whole program behind main: picks the command, runs it and turns any
// error into one line on err and a non-zero exit status.  args are the
// arguments after the program name.
int RunStompset(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress);
