// A history file that cannot be written: locked by another client, made
// read-only, removed while open (the writer keeps taking readings and says
// so once), or not a history file at all (refused and left as it was).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "history/history_file.h"
#include "history_fixture.h"

namespace varnex {
namespace {

using testing::HistoryTest;
using testing::SampleReading;

constexpr const char* kStation = "127.0.0.9";

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Records a few readings and waits for them; the failure texts seen.
std::vector<std::string> RecordAndCollectFailures(HistoryWriter& writer, int64_t from, int rounds) {
    std::vector<std::string> failures;
    for (int round = 0; round < rounds; ++round) {
        writer.Record(kStation, SampleReading(from + round * 1000, round));
        writer.Flush();
        if (auto failure = writer.TakeFailure()) {
            failures.push_back(*failure);
        }
    }
    return failures;
}

TEST_F(HistoryTest, AFileThatCannotBeWrittenIsReportedOnceAndRecordingGoesOn) {
    enum class Fault { Locked, Removed, ReadOnly };
    const struct {
        Fault fault;
        const char* says;
        std::size_t storedAfter;  // readings stored once the fault is gone (-1: never)
    } cases[] = {
        {Fault::Locked, "cannot write", 3},
        {Fault::Removed, "was removed", 0},
        {Fault::ReadOnly, "cannot write", 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path_);
        if (c.fault == Fault::ReadOnly && geteuid() == 0) {
            continue;  // the file mode does not stop root
        }
        auto writer = OpenWriter({.busyTimeoutMs = 20});
        sqlite3* other = nullptr;
        if (c.fault == Fault::Locked) {
            ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        } else if (c.fault == Fault::Removed) {
            std::filesystem::remove(path_);
        } else {
            writer.reset();
            std::filesystem::permissions(path_, std::filesystem::perms::owner_read);
            writer = OpenWriter();
        }
        const std::vector<std::string> failures = RecordAndCollectFailures(*writer, nowMs_, 3);
        ASSERT_EQ(failures.size(), 1U);
        EXPECT_NE(failures[0].find(c.says), std::string::npos) << failures[0];
        EXPECT_NE(failures[0].find(path_), std::string::npos) << failures[0];
        if (other != nullptr) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        // The fault gone (or not), recording goes on without a second report.
        EXPECT_TRUE(RecordAndCollectFailures(*writer, nowMs_ + 10'000, 3).empty());
        writer.reset();
        if (std::filesystem::exists(path_)) {
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
            EXPECT_EQ(Reader().Readings(kStation, nowMs_, nowMs_ + 20'000).size(), c.storedAfter);
        }
    }
}

TEST_F(HistoryTest, AFileThatIsNotAHistoryFileIsRefusedAndLeftAsItWas) {
    const auto sqliteWithTable = [&] {
        sqlite3* db = nullptr;
        sqlite3_open(path_.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE main(x); INSERT INTO main VALUES(1);", nullptr, nullptr,
                     nullptr);
        sqlite3_close(db);
    };
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"garbage", [&] { std::ofstream(path_, std::ios::binary) << std::string(5000, '\x5a'); }},
        {"a truncated header",
         [&] { std::ofstream(path_, std::ios::binary) << "SQLite format 3"; }},
        {"another program's database", sqliteWithTable},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path_);
        c.make();
        const std::string before = FileBytes(path_);
        const std::string fallback = path_ + ".fallback";
        for (HistoryAccess access : {HistoryAccess::Write, HistoryAccess::Read}) {
            auto opened = access == HistoryAccess::Write ? OpenHistoryForWriting(path_, fallback)
                                                         : OpenHistoryFile(path_, access);
            ASSERT_TRUE(std::holds_alternative<HistoryFileError>(opened)) << c.what;
            EXPECT_TRUE(std::get<HistoryFileError>(opened).foreign) << c.what;
            EXPECT_NE(std::get<HistoryFileError>(opened).text.find("left untouched"),
                      std::string::npos);
        }
        EXPECT_EQ(FileBytes(path_), before) << c.what;
        EXPECT_FALSE(std::filesystem::exists(fallback)) << c.what;
        EXPECT_FALSE(std::filesystem::exists(path_ + "-wal")) << c.what;
    }
}

TEST_F(HistoryTest, AFolderThatCannotHoldTheFileFallsBackToTheDataFolder) {
    const std::string beside = folder_.File("missing-folder/history.sqlite");
    auto opened = OpenHistoryForWriting(beside, path_);
    ASSERT_TRUE(std::holds_alternative<OpenedHistory>(opened));
    EXPECT_EQ(std::get<OpenedHistory>(opened).path, path_);
    EXPECT_FALSE(std::filesystem::exists(beside));
    EXPECT_EQ(HistoryPathBeside("/data/VNXv1.MDB"), "/data/history.sqlite");
}

}  // namespace
}  // namespace varnex
