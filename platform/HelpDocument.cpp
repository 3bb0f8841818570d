#include "platform/HelpDocument.h"

#include "platform/Settings.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

// Where the shipped document lies, seen from the folder of the module that
// holds this code.
constexpr const char* kShippedPlaces[] = {
    "help/index.html",                                  // the bundle's own shared object
    "orvanta-stompset.lv2/help/index.html",             // a program beside the bundle
    "../bundles/orvanta-stompset.lv2/help/index.html",  // a program or test runner in the build tree
    "../lib/lv2/orvanta-stompset.lv2/help/index.html",  // a program installed in <prefix>/bin
};

// The folder of the shared object or program this function was loaded from,
// links resolved.  The dynamic linker names a program by the argument it
// was started with, which need not be a path, so a program is found through
// /proc instead.
fs::path ModuleFolder()
{
    Dl_info info{};
    fs::path module;
    if (dladdr(reinterpret_cast<const void*>(&ModuleFolder), &info) != 0 && info.dli_fname)
        module = info.dli_fname;
    if (!module.has_parent_path())
        module = "/proc/self/exe";
    std::error_code error;
    const fs::path resolved = fs::canonical(module, error);
    return error ? fs::path() : resolved.parent_path();
}

std::string ShippedHelpDocument()
{
    const fs::path folder = ModuleFolder();
    if (folder.empty())
        return {};
    for (const char* place : kShippedPlaces) {
        std::error_code error;
        const fs::path document = fs::canonical(folder / place, error);
        if (!error && fs::is_regular_file(document, error))
            return document.string();
    }
    return {};
}

} // namespace

std::string HelpDocumentPath()
{
    if (std::optional<std::string> chosen = ReadSetting("HelpPath"); chosen && !chosen->empty())
        return *chosen;
    return ShippedHelpDocument();
}

} // namespace platform
