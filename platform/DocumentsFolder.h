#pragma once
#include <string>

namespace platform {

// The user's documents folder, without a trailing slash: STOMPSET_DOCUMENTS_DIR
// when set (tests and scripted use), else the XDG documents directory, else
// $HOME/Documents.  Empty when none of them can be found.
std::string DocumentsFolder();

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);

} // namespace platform
