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

enum class RowsKept { Nowhere, AtPath, Aside };

struct Fault {
    const char* name;
    // Done to the file at `path` while the store is open; `aside` is a path
    // it may keep the original at.
    std::function<void(StationStore& store, const std::string& path, const std::string& aside)>
        inject;
    bool readsStillWork;  // the open connection still reads the rows it had
    RowsKept kept;        // where the original rows can be read back afterwards
};

void Overwrite(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::optional<std::string> BytesAt(const std::string& path) {
    return std::filesystem::exists(path) ? std::optional(ReadBytes(path)) : std::nullopt;
}

TEST(DatabaseFault, EveryOperationReportsAndNothingStoredIsLost) {
    using Path = const std::string&;
    for (const Fault& fault : std::vector<Fault>{
             {"deleted", [](StationStore&, Path path, Path) { std::filesystem::remove(path); },
              true, RowsKept::Nowhere},
             {"swapped for another file",
              [](StationStore&, Path path, Path aside) {
                  std::filesystem::rename(path, aside);
                  WriteBytes(path, kGarbage);
              },
              true, RowsKept::Aside},
             {"overwritten in place",
              [](StationStore&, Path path, Path) { Overwrite(path, kGarbage); }, false,
              RowsKept::Nowhere},
             {"cut short",
              [](StationStore&, Path path, Path) { std::filesystem::resize_file(path, 0); }, false,
              RowsKept::Nowhere},
             // The engine's own read-only mode holds for every user, root included.
             {"read-only",
              [](StationStore&store, Path path, Path) {
                  store.CloseStationStore();
                  store.OpenStationStore("file:" + path + "?mode=ro");
              },
              true, RowsKept::AtPath},
         }) {
        SCOPED_TRACE(fault.name);
        TempFolder folder;
        const std::string path = folder.File("VNXv1.MDB");
        const std::string aside = folder.File("kept.MDB");
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);
        MessageRecorder recorder;
        StationStore store(recorder.hooks);
        store.OpenStationStore(path);
        ASSERT_TRUE(InsertStation(store, "127.0.0.5", "lab*******", "Bench"));
        fault.inject(store, path, aside);
        ASSERT_TRUE(store.IsOpen());
        const std::optional<std::string> leftAtPath = BytesAt(path);
        recorder.messages.clear();

        const std::optional<StationList> list = store.FillStationList(MessageOwner::MainWindow);
        const std::optional<LoadedStation> loaded =
            store.LoadStation(MessageOwner::MainWindow, "127.0.0.5");
        EXPECT_FALSE(InsertStation(store, "127.0.0.6", "new*******", "New"));
        EXPECT_FALSE(DeleteStation(store, "10.10.10.10"));
        const std::optional<StationList> afterDefault =
            store.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.5");
        if (fault.readsStillWork) {
            ASSERT_TRUE(list && loaded && afterDefault);
            EXPECT_THAT(list->lines,
                        ElementsAre("10.10.10.10      VNX DEFAULT IP", "127.0.0.5        Bench"));
            EXPECT_EQ(loaded->comment, "Bench");
            EXPECT_EQ(afterDefault->text, "10.10.10.10      VNX DEFAULT IP");
            // Two writers, then the default scan that could change no row.
            EXPECT_EQ(recorder.Texts(), std::vector<std::string>(3, kFailed));
        } else {
            EXPECT_FALSE(list || loaded || afterDefault);
            EXPECT_EQ(recorder.Texts(), std::vector<std::string>(5, kFailed));
        }
        for (const Message& message : recorder.messages) {
            EXPECT_EQ(message.caption, "  Varnex v1");
        }
        store.CloseStationStore();
        EXPECT_EQ(BytesAt(path), leftAtPath) << "the client changed or made the file";

        if (fault.kept != RowsKept::Nowhere) {
            MessageRecorder freshRecorder;
            StationStore fresh(freshRecorder.hooks);
            fresh.OpenStationStore(fault.kept == RowsKept::Aside ? aside : path);
            const std::optional<StationList> stored =
                fresh.FillStationList(MessageOwner::MainWindow);
            ASSERT_TRUE(stored);
            EXPECT_THAT(stored->lines,
                        ElementsAre("10.10.10.10      VNX DEFAULT IP", "127.0.0.5        Bench"));
            EXPECT_EQ(stored->text, "10.10.10.10      VNX DEFAULT IP");
            EXPECT_TRUE(freshRecorder.messages.empty());
        }
    }
}

// A file that vanished before the store opened it is never made by opening.
TEST(DatabaseFault, MissingFileIsNeverCreatedByOpening) {
    TempFolder folder;
    const std::string path = folder.File("gone.MDB");
    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(InsertStation(store, "127.0.0.6", "new*******", "New"));
    EXPECT_EQ(recorder.Texts(), (std::vector<std::string>{"Connection attempt failed",
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
