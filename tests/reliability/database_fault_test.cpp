// The database file changes under a running client: deleted, swapped for
// something that is no database, overwritten, cut short, or open read-only.
// Every operation says what failed, nothing crashes, the client writes into
// no file that is not its database, and rows stored before are still there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::ReadBytes;
using varnex::testing::TempFolder;
using varnex::testing::WriteBytes;

constexpr const char* kFailed = "Execution of SQL statement failed";
const std::string kGarbage(8192, '\x5A');

struct Fault {
    const char* name;
    // Done to the file while the store is open; `aside` is a path it may
    // keep the original at.
    std::function<void(StationStore& store, const std::string& path, const std::string& aside)>
        inject;
    bool readsStillWork;  // the open connection still reads the rows it had
    // The bytes the fault leaves at the path, which the client must not
    // change; nullopt: no file, and none may appear.
    std::function<std::optional<std::string>(const std::string& path)> leftAtPath;
    // Where the original rows can be read back afterwards, if anywhere.
    std::optional<std::string> (*original)(const std::string& path, const std::string& aside);
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

void Overwrite(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::optional<std::string> AtPath(const std::string& path, const std::string&) {
    return path;
}
std::optional<std::string> Aside(const std::string&, const std::string& aside) {
    return aside;
}
std::optional<std::string> Nowhere(const std::string&, const std::string&) {
    return std::nullopt;
}

const Fault kFaults[] = {
    {"Deleted",
     [](StationStore&, const std::string& path, const std::string&) {
         std::filesystem::remove(path);
     },
     true, [](const std::string&) { return std::optional<std::string>(); }, Nowhere},
    {"SwappedForAnotherFile",
     [](StationStore&, const std::string& path, const std::string& aside) {
         std::filesystem::rename(path, aside);
         WriteBytes(path, kGarbage);
     },
     true, [](const std::string&) { return std::optional(kGarbage); }, Aside},
    {"OverwrittenInPlace",
     [](StationStore&, const std::string& path, const std::string&) { Overwrite(path, kGarbage); },
     false, [](const std::string& path) { return std::optional(ReadBytes(path)); }, Nowhere},
    {"CutShort",
     [](StationStore&, const std::string& path, const std::string&) {
         std::filesystem::resize_file(path, 0);
     },
     false, [](const std::string&) { return std::optional(std::string()); }, Nowhere},
    // The engine's own read-only mode holds for every user, root included.
    {"ReadOnly",
     [](StationStore& store, const std::string& path, const std::string&) {
         store.CloseStationStore();
         store.OpenStationStore("file:" + path + "?mode=ro");
     },
     true, [](const std::string& path) { return std::optional(ReadBytes(path)); }, AtPath},
};

class DatabaseFaultTest : public ::testing::TestWithParam<Fault> {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
        ASSERT_TRUE(InsertStation(store_, "127.0.0.5", "lab*******", "Bench"));
    }

    TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    std::string aside_ = folder_.File("kept.MDB");
    MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
};

TEST_P(DatabaseFaultTest, EveryOperationReportsAndNothingStoredIsLost) {
    const Fault& fault = GetParam();
    fault.inject(store_, path_, aside_);
    ASSERT_TRUE(store_.IsOpen());
    const std::optional<std::string> expectedAtPath = fault.leftAtPath(path_);
    recorder_.messages.clear();

    const std::optional<StationList> list = store_.FillStationList(MessageOwner::MainWindow);
    const std::optional<LoadedStation> loaded =
        store_.LoadStation(MessageOwner::MainWindow, "127.0.0.5");
    EXPECT_FALSE(InsertStation(store_, "127.0.0.6", "new*******", "New"));
    EXPECT_FALSE(UpdateStation(store_, "127.0.0.5", "chg*******", "Changed"));
    EXPECT_FALSE(DeleteStation(store_, "10.10.10.10"));
    EXPECT_FALSE(SetRelayName(store_, "127.0.0.5", 1, "Pump"));
    const std::optional<StationList> afterDefault =
        store_.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.5");

    if (fault.readsStillWork) {
        ASSERT_TRUE(list);
        EXPECT_THAT(list->lines,
                    ElementsAre("10.10.10.10      VNX DEFAULT IP", "127.0.0.5        Bench"));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->comment, "Bench");
        ASSERT_TRUE(afterDefault);
        EXPECT_EQ(afterDefault->text, "10.10.10.10      VNX DEFAULT IP");
        // Four writers, then the default scan that could change no row.
        EXPECT_EQ(recorder_.Texts(), std::vector<std::string>(5, kFailed));
    } else {
        EXPECT_FALSE(list);
        EXPECT_FALSE(loaded);
        EXPECT_FALSE(afterDefault);
        EXPECT_EQ(recorder_.Texts(), std::vector<std::string>(7, kFailed));
    }
    for (const Message& message : recorder_.messages) {
        EXPECT_EQ(message.caption, "  Varnex v1");
    }

    store_.CloseStationStore();
    if (expectedAtPath) {
        EXPECT_EQ(ReadBytes(path_), *expectedAtPath);
    } else {
        EXPECT_FALSE(std::filesystem::exists(path_));
    }
    if (const std::optional<std::string> original = fault.original(path_, aside_)) {
        MessageRecorder freshRecorder;
        StationStore fresh(freshRecorder.hooks);
        fresh.OpenStationStore(*original);
        const std::optional<StationList> stored = fresh.FillStationList(MessageOwner::MainWindow);
        ASSERT_TRUE(stored);
        EXPECT_THAT(stored->lines,
                    ElementsAre("10.10.10.10      VNX DEFAULT IP", "127.0.0.5        Bench"));
        EXPECT_EQ(stored->text, "10.10.10.10      VNX DEFAULT IP");
        EXPECT_TRUE(freshRecorder.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, DatabaseFaultTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             return std::string(info.param.name);
                         });

// A store whose file vanished before it was opened: every operation fails
// at its first step with its own message, and no file appears.
TEST(DatabaseFault, MissingFileIsNeverCreatedByOpening) {
    TempFolder folder;
    const std::string path = folder.File("gone.MDB");
    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(store.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(InsertStation(store, "127.0.0.6", "new*******", "New"));
    EXPECT_EQ(recorder.Texts(), (std::vector<std::string>{"Connection attempt failed",
                                                          "Statement handle allocation failed",
                                                          "Statement handle allocation failed"}));
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Another program holds the file's write lock: each statement gives up
// with its message after a short wait, and all works again once it is free.
TEST(DatabaseFault, LockedFileFailsPromptlyAndRecovers) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);
    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    MessageRecorder otherRecorder;
    StationStore otherProgram(otherRecorder.hooks);
    otherProgram.OpenStationStore(path);
    ASSERT_EQ(otherProgram.RunStatement("BEGIN EXCLUSIVE", {}), StatementResult::Done);

    EXPECT_FALSE(store.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(InsertStation(store, "127.0.0.6", "new*******", "New"));
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>(2, kFailed));

    ASSERT_EQ(otherProgram.RunStatement("COMMIT", {}), StatementResult::Done);
    EXPECT_TRUE(InsertStation(store, "127.0.0.6", "new*******", "New"));
    const std::optional<StationList> list = store.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines,
                ElementsAre("10.10.10.10      VNX DEFAULT IP", "127.0.0.6        New"));
}

}  // namespace
}  // namespace varnex
