#include "platform/Settings.h"

#include <cstdlib>
#include <fstream>

namespace platform {
namespace {

std::string_view Trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\f\v";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

std::string SettingsFilePath()
{
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG rules ask.
    std::string folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        folder = config;
    else if (const char* home = std::getenv("HOME"); home && home[0] != '\0')
        folder = std::string(home) + "/.config";
    else
        return {};
    return folder + "/orvanta-stompset/settings.conf";
}

std::optional<std::string> ReadSetting(std::string_view key)
{
    const std::string path = SettingsFilePath();
    if (path.empty())
        return std::nullopt;
    std::ifstream file(path);
    std::optional<std::string> value;
    for (std::string line; std::getline(file, line);) {
        const std::string_view text = Trimmed(line);
        const size_t equals = text.find('=');
        if (text.empty() || text.front() == '#' || equals == std::string_view::npos)
            continue;
        if (Trimmed(text.substr(0, equals)) == key)
            value = std::string(Trimmed(text.substr(equals + 1)));
    }
    return value;
}

} // namespace platform
