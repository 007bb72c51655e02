// Shared pieces of the station tests: a temporary folder, a recorder for the
// message hooks, and a look at a database file through the sqlite3 tool.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform_hooks.h"

namespace varnex::testing {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnex-stations-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

struct MessageRecorder {
    PlatformHooks hooks;
    std::vector<Message> messages;

    MessageRecorder() {
        hooks.showMessage = [this](const Message& message) { messages.push_back(message); };
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& message : messages) {
            texts.push_back(message.text);
        }
        return texts;
    }
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Output lines of the sqlite3 tool running `sql` on `database`, columns
// separated by '|'.
inline std::vector<std::string> Sqlite(const std::string& database, const std::string& sql) {
    const std::string command =
        "sqlite3 -batch -noheader " + ShellQuoted(database) + " " + ShellQuoted(sql) + " 2>&1";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return lines;
    }
    std::string output;
    char chunk[4096];
    for (std::size_t read; (read = fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, read);
    }
    pclose(pipe);
    for (std::size_t start = 0; start < output.size();) {
        const std::size_t end = output.find('\n', start);
        lines.push_back(output.substr(start, end - start));
        start = end == std::string::npos ? output.size() : end + 1;
    }
    return lines;
}

}  // namespace varnex::testing
