#pragma once
// What the options menu's entries open outside the program: the help
// document, the update page and the maker's web site, each in the
// desktop's viewer or browser.
#include <string>

// Opens what the entry stands for; false when it names nothing to open or
// the desktop's opener could not be started.
bool OpenOptionsEntry(const std::string& entry);
