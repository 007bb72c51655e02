#include "varnexctl/settings_file.h"

#include <vector>

#include "text/conversions.h"

namespace varnex::ctl {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Keys and group names escape other characters as %XX (and %UXXXX).
std::string UnescapeKey(std::string_view key) {
    std::string out;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '%' && i + 2 < key.size() && HexValue(key[i + 1]) >= 0 &&
            HexValue(key[i + 2]) >= 0) {
            AppendUtf8(out,
                       static_cast<uint32_t>(HexValue(key[i + 1]) * 16 + HexValue(key[i + 2])));
            i += 2;
        } else {
            out += key[i] == '\\' ? '/' : key[i];
        }
    }
    return out;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::string ClientSettingsPath(const char* xdgConfigHome, const char* home) {
    const std::string base = xdgConfigHome != nullptr && xdgConfigHome[0] == '/'
                                 ? std::string(xdgConfigHome)
                                 : std::string(home != nullptr ? home : "") + "/.config";
    return base + "/Korvath/VNXv1.ini";
}

std::string UnescapeSettingsValue(std::string_view stored) {
    std::string out;
    bool quoted = false;
    std::size_t lastKept = 0;  // unquoted trailing blanks are dropped
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (c == '"') {
            quoted = !quoted;
            lastKept = out.size();
            continue;
        }
        if (!quoted && (c == ';')) {
            break;  // a comment
        }
        if (c == '\\' && i + 1 < stored.size()) {
            const char e = stored[++i];
            switch (e) {
                case 'a':
                    out += '\a';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'v':
                    out += '\v';
                    break;
                case 'x': {
                    uint32_t code = 0;
                    while (i + 1 < stored.size() && HexValue(stored[i + 1]) >= 0) {
                        code = code * 16 + static_cast<uint32_t>(HexValue(stored[++i]));
                    }
                    AppendUtf8(out, code);
                    break;
                }
                case '0': {
                    uint32_t code = 0;
                    while (i + 1 < stored.size() && stored[i + 1] >= '0' && stored[i + 1] <= '7') {
                        code = code * 8 + static_cast<uint32_t>(stored[++i] - '0');
                    }
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    out += e;  // \" \\ \' \? and unknown escapes
            }
            lastKept = out.size();
            continue;
        }
        if (!quoted && (c == ' ' || c == '\t')) {
            if (!out.empty()) {
                out += c;  // kept only if something follows
            }
            continue;
        }
        out += c;
        lastKept = out.size();
    }
    out.resize(lastKept);
    if (out.rfind("@@", 0) == 0) {
        out.erase(0, 1);
    }
    return out;
}

std::optional<std::string> ReadSettingsValue(std::string_view fileText, std::string_view key) {
    std::string group = "General";
    std::optional<std::string> found;
    for (std::string_view line : Lines(fileText)) {
        const std::string trimmed = TrimBoth(line);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
            continue;
        }
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            group = UnescapeKey(trimmed.substr(1, trimmed.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string name = UnescapeKey(TrimBoth(line.substr(0, equals)));
        const std::string fullKey = group == "General" ? name : group + "/" + name;
        if (fullKey == key) {
            found = UnescapeSettingsValue(line.substr(equals + 1));  // the last one counts
        }
    }
    return found;
}

}  // namespace varnex::ctl
