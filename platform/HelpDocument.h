#pragma once
#include <string>

namespace platform {

// The document the options menu's "Help" opens: the "HelpPath" setting when
// the user has given one (platform/Settings.h); else the help that ships
// inside the LV2 bundle, looked for from wherever the code calling this was
// loaded from (the bundle's shared object, or a program in the build tree
// or installed beside the bundle's folder); else empty, and the caller opens
// the maker's tutorials page instead (platform/WebAddresses.h).
std::string HelpDocumentPath();

} // namespace platform
