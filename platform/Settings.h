#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The program's few user settings live in one small text file,
// orvanta-stompset/settings.conf in the user's configuration folder
// ($XDG_CONFIG_HOME, else $HOME/.config).  Each line is Key=Value; spaces
// around key and value are dropped, lines starting with # are comments, and
// lines without = are ignored.  Keys match exactly (case counts); when a key
// appears twice the last line wins.  Nothing is ever written to the file:
// the user edits it by hand.
//
//     # Open my own copy of the pedals' manual
//     HelpPath = /home/sam/Documents/stompset-help/index.html

// The path of the settings file; empty when neither variable is set.
std::string SettingsFilePath();

// The value of key; nullopt when the file is missing or unreadable or has no
// such key.  A key given without a value reads as "".
std::optional<std::string> ReadSetting(std::string_view key);

} // namespace platform
