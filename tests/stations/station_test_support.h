// Shared pieces of the station tests: a temporary folder, a recorder for the
// message hooks, a look at a database file through the sqlite3 tool, and a
// store open on a freshly seeded database.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/platform_hooks.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"

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

// "text|caption|icon|owner", so that a whole message compares and prints in
// one assertion.
inline std::string MessageLine(const Message& message) {
    // In the order of MessageIcon.
    static constexpr const char* kIcons[] = {"none", "stop", "exclamation", "information",
                                             "question"};
    return message.text + "|" + message.caption + "|" + kIcons[static_cast<int>(message.icon)] +
           (message.owner == MessageOwner::MainWindow ? "|main" : "|dialog");
}

inline std::vector<std::string> MessageLines(const std::vector<Message>& messages) {
    std::vector<std::string> lines;
    for (const Message& message : messages) {
        lines.push_back(MessageLine(message));
    }
    return lines;
}

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
    std::vector<std::string> Lines() const { return MessageLines(messages); }
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
    char* line = nullptr;
    std::size_t capacity = 0;
    for (ssize_t length; (length = getline(&line, &capacity, pipe)) >= 0;) {
        lines.emplace_back(line, length > 0 && line[length - 1] == '\n' ? length - 1 : length);
    }
    free(line);
    pclose(pipe);
    return lines;
}

// A store open on a new database file that holds only the factory row.
class SeededStationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
    }
    std::vector<std::string> Select(const std::string& sql) const { return Sqlite(path_, sql); }

    TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
};

}  // namespace varnex::testing
