#pragma once
#include <string>

namespace platform {

// A read-write file without a name in the system's temporary folder
// ($TMPDIR, else /tmp): it disappears with its last descriptor, whatever
// ends the program.  -1 with errno set when none could be made.
int OpenUnnamedFile();

// Writes everything in the open file, from its start, to the existing file,
// device or FIFO at path, without creating, truncating or replacing it.
// Returns 0, or the errno of the step that failed.
int CopyInto(int descriptor, const std::string& path);

} // namespace platform
