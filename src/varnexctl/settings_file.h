// The desktop client's settings file, read without the toolkit that writes
// it: "[Group]" sections, "sub\key=value" lines, values quoted and escaped
// the way that toolkit writes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnex::ctl {

// $XDG_CONFIG_HOME/Korvath/VNXv1.ini, with ~/.config standing in for an unset
// or relative XDG_CONFIG_HOME. Either argument may be null.
std::string ClientSettingsPath(const char* xdgConfigHome, const char* home);

// The value of `key` ("Group/sub/key") in the file's text; nullopt when the
// key is absent.
std::optional<std::string> ReadSettingsValue(std::string_view fileText, std::string_view key);

// The text of one stored value: quotes removed, escapes resolved, a leading
// "@@" made "@", unquoted blanks around it dropped.
std::string UnescapeSettingsValue(std::string_view stored);

}  // namespace varnex::ctl
