#pragma once
#include <string>

namespace platform {

// Hands a document path or a web address to the desktop's opener, xdg-open,
// which shows it in the user's viewer or web browser.  The opener runs
// detached and is never waited for: a browser may keep it alive for as long
// as its window is open, and the caller is an editor's user-interface
// thread.  No child is left behind to be reaped.  False when the opener
// could not be started (no xdg-open on the PATH, or no process to run it).
bool OpenInDesktop(const std::string& target);

} // namespace platform
