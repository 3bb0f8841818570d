#include "platform/DocumentsFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string TrimTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Reads XDG_DOCUMENTS_DIR from user-dirs.dirs, whose lines look like
// XDG_DOCUMENTS_DIR="$HOME/Documents"; only $HOME is expanded there.
std::string DocumentsFromUserDirs(const std::string& home)
{
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=";
    for (std::string line; std::getline(file, line);) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return {};
}

} // namespace

std::string DocumentsFolder()
{
    if (std::string overridden = Environment("STOMPSET_DOCUMENTS_DIR"); !overridden.empty())
        return TrimTrailingSlashes(overridden);
    const std::string home = Environment("HOME");
    if (home.empty())
        return {};
    if (std::string xdg = DocumentsFromUserDirs(home); !xdg.empty())
        return TrimTrailingSlashes(xdg);
    return TrimTrailingSlashes(home) + "/Documents";
}

bool CreateFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

} // namespace platform
