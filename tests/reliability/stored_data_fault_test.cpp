// Stored data that is broken or hostile: the database file changes under a
// running client, the stored database location is garbage, a station's
// address is built to reach a shell. Every operation says what failed,
// nothing crashes, the client writes into no file that is not its database,
// rows stored before are still there, and no tool starts for a bad address.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/network_commands.h"
#include "session/session_harness.h"
#include "stations/database_location.h"
#include "stations/odbc_connection.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using Texts = std::vector<std::string>;
using testing::MessageRecorder;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr const char* kFailed = "Execution of SQL statement failed";
const Texts kCannotConnect = {"Connection attempt failed", "Statement handle allocation failed"};
const Texts kBenchList = {"10.10.10.10      VNX DEFAULT IP", "127.0.0.5        Bench"};
const std::string kGarbage(8192, '\x5A');

struct Fault {
    const char* name;
    // Done to the file at `path` while the store is open; `aside` is a path
    // it may keep the original at.
    std::function<void(StationStore& store, const std::string& path, const std::string& aside)>
        inject;
    bool readsStillWork;  // the open connection still reads the rows it had
    const char* keptIn;   // the file the original rows can be read back from, if any
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
              true, nullptr},
             {"swapped for another file",
              [](StationStore&, Path path, Path aside) {
                  std::filesystem::rename(path, aside);
                  WriteBytes(path, kGarbage);
              },
              true, "kept.MDB"},
             {"overwritten in place",
              [](StationStore&, Path path, Path) { Overwrite(path, kGarbage); }, false, nullptr},
             {"cut short",
              [](StationStore&, Path path, Path) { std::filesystem::resize_file(path, 0); }, false,
              nullptr},
             // The engine's own read-only mode holds for every user, root included.
             {"read-only",
              [](StationStore&store, Path path, Path) {
                  store.CloseStationStore();
                  store.OpenStationStore("file:" + path + "?mode=ro");
              },
              true, "VNXv1.MDB"},
         }) {
        SCOPED_TRACE(fault.name);
        TempFolder folder;
        const std::string path = folder.File("VNXv1.MDB");
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);
        MessageRecorder recorder;
        StationStore store(recorder.hooks);
        store.OpenStationStore(path);
        ASSERT_TRUE(InsertStation(store, "127.0.0.5", "lab*******", "Bench"));
        fault.inject(store, path, folder.File("kept.MDB"));
        ASSERT_TRUE(store.IsOpen());
        const std::optional<std::string> leftAtPath = BytesAt(path);
        recorder.messages.clear();

        const auto list = store.FillStationList(MessageOwner::MainWindow);
        const auto loaded = store.LoadStation(MessageOwner::MainWindow, "127.0.0.5");
        EXPECT_FALSE(InsertStation(store, "127.0.0.6", "new*******", "New"));
        EXPECT_FALSE(DeleteStation(store, "10.10.10.10"));
        const auto afterDefault = store.SetDefaultStation(MessageOwner::MainWindow, "127.0.0.5");
        if (fault.readsStillWork) {
            ASSERT_TRUE(list && loaded && afterDefault);
            EXPECT_EQ(list->lines, kBenchList);
            EXPECT_EQ(loaded->comment, "Bench");
            EXPECT_EQ(afterDefault->text, kBenchList[0]);
        } else {
            EXPECT_FALSE(list || loaded || afterDefault);
        }
        // Readable: two writers, then the default scan that could change no row.
        EXPECT_EQ(recorder.Texts(), Texts(fault.readsStillWork ? 3 : 5, kFailed));
        for (const Message& message : recorder.messages) {
            EXPECT_EQ(message.caption, "  Varnex v1");
        }
        store.CloseStationStore();
        EXPECT_EQ(BytesAt(path), leftAtPath) << "the client changed or made the file";

        if (fault.keptIn != nullptr) {
            MessageRecorder freshRecorder;
            StationStore fresh(freshRecorder.hooks);
            fresh.OpenStationStore(folder.File(fault.keptIn));
            const auto stored = fresh.FillStationList(MessageOwner::MainWindow);
            ASSERT_TRUE(stored);
            EXPECT_EQ(stored->lines, kBenchList);
            EXPECT_EQ(stored->text, kBenchList[0]);
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
    EXPECT_EQ(recorder.Texts(), kCannotConnect);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Another program holds the file's write lock: each statement gives up
// with its message after a short wait, and all works again once it is free.
using LockedDatabaseTest = testing::SeededStationTest;

TEST_F(LockedDatabaseTest, EachStatementFailsPromptlyAndAllRecovers) {
    StationStore otherProgram(recorder_.hooks);
    otherProgram.OpenStationStore(path_);
    ASSERT_EQ(otherProgram.RunStatement("BEGIN EXCLUSIVE", {}), StatementResult::Done);

    EXPECT_FALSE(store_.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(InsertStation(store_, "127.0.0.6", "new*******", "New"));
    EXPECT_EQ(recorder_.Texts(), Texts(2, kFailed));

    ASSERT_EQ(otherProgram.RunStatement("COMMIT", {}), StatementResult::Done);
    EXPECT_TRUE(InsertStation(store_, "127.0.0.6", "new*******", "New"));
    const auto list = store_.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->lines, (Texts{kBenchList[0], "127.0.0.6        New"}));
}

// A path that starts with `prefix` and whose connection text is longer than
// a 16-bit length by exactly the part after `prefix`: a length cut to 16
// bits would name `prefix` alone.
std::string PathCutToPrefixAt16Bits(const std::string& prefix) {
    const std::string text = DatabaseConnectionText("/").value_or("");
    const std::size_t afterPath = text.size() - text.find('/') - 1;
    return prefix + std::string(65536 - afterPath, 'X');
}

Texts FolderListing(const std::string& folder) {
    Texts names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The stored database location is garbage, absurdly long, or names a
// folder or a file that is no database: start-up says so plainly, creates
// and changes no file, and leaves the setting as it was.
TEST(SettingsFault, StartUpTellsAndTouchesNothing) {
    constexpr const char* kLocationKey = "Options/Database/Location";
    const std::string notes = "Lab notes\nrelay 1: pump\n";
    TempFolder folder;
    WriteBytes(folder.File("notes"), notes);
    WriteBytes(folder.File("empty"), "");
    const std::string& f = folder.path();
    std::string binaryGarbage;  // every byte value in turn, NUL first
    for (std::size_t i = 0; i < 1000; ++i) {
        binaryGarbage += static_cast<char>(i % 256);
    }
    for (const auto& [location, messages] : std::vector<std::pair<std::string, Texts>>{
             {binaryGarbage, kCannotConnect},
             {f + "/" + std::string(5000, 'a'), kCannotConnect},
             {PathCutToPrefixAt16Bits(f + "/cut.MDB"), kCannotConnect},
             {f, kCannotConnect},
             {f + "/notes", {kFailed}},
             {f + "/empty", {kFailed}},
         }) {
        SCOPED_TRACE(location.substr(0, 80));
        Texts writes;
        MessageRecorder recorder;
        recorder.hooks.readSetting = [&](const std::string& key) {
            return key == kLocationKey ? std::optional(location) : std::nullopt;
        };
        recorder.hooks.writeSetting = [&](const std::string& key, const std::string& value) {
            writes.push_back(key + "=" + value);
            return true;
        };
        // What start-up does with the database: read the location, write the
        // seed where no file is, open the store and fill the station list.
        const std::string read = ReadDatabaseLocation(recorder.hooks, folder.File("default.MDB"));
        WriteSeedDatabaseIfMissing(read);
        StationStore store(recorder.hooks);
        store.OpenStationStore(read);
        EXPECT_FALSE(store.FillStationList(MessageOwner::MainWindow));

        EXPECT_EQ(recorder.Texts(), messages);
        EXPECT_EQ(writes, Texts{}) << "the setting stays as it was";
        EXPECT_EQ(FolderListing(f), (Texts{"empty", "notes"}));
        EXPECT_EQ(ReadBytes(folder.File("notes")), notes);
        EXPECT_EQ(ReadBytes(folder.File("empty")), "");
    }
}

// The network tools start only for a plain dotted address, and then with
// that address as one argument (a loopback station needs no route).
TEST(NetworkCommandInput, OnlyAPlainAddressStartsATool) {
    using Argv = std::vector<std::string>;
    const std::vector<Argv> tools = {{"ping", "127.0.0.1"},
                                     {"ip", "neigh", "flush", "to", "127.0.0.1"}};
    // The text as the station list's field shows it, and whether the tools start.
    for (const auto& [listText, starts] : std::vector<std::pair<std::string, bool>>{
             {"127.0.0.1        Lab", true},
             {"127.0.0.1      ;reboot", true},           // beyond the address field
             {std::string("127.0.0.1\0;id", 12), true},  // a text field ends at its NUL
             {"127.0.0.1;reboot", false},
             {"$(reboot)", false},
             {"127.0.0.1\nid", false},
             {"-c1 127.0.0.1", false},
             {"0x7f.0.0.1", false},
             {"127.1", false},
             {"localhost", false},
             {"\xff\xfe\x01\x02", false},
             {"", false},
             {std::string(5000, '9'), false},
         }) {
        SCOPED_TRACE(listText);
        MessageRecorder recorder;
        std::vector<Argv> launched;
        recorder.hooks.findProgram = [](const std::string&) {
            return std::optional<std::string>("/usr/bin/xterm");
        };
        recorder.hooks.launch = [&](const Argv& argv) {
            launched.emplace_back(argv.begin() + 6, argv.end());  // after the terminal's words
            return true;
        };
        recorder.hooks.localAddress = [] { return std::optional<uint32_t>(0x7F000001); };
        // Typed into the list's field, none of them is a stored station.
        Session session(
            recorder.hooks,
            SessionSeams{[](const std::string&) { return std::optional<LoadedStation>(); },
                         [&] { return listText; }, [] { return 2026; }, LinkOptions{}});
        session.OnStationChosen();
        session.OnTimer(kStationChoiceTimer);
        const std::string& address = session.station().address;

        EXPECT_EQ(RunAutoPing(recorder.hooks, address), starts);
        EXPECT_FALSE(RunAutoAddRoute(recorder.hooks, address, [](uint32_t) { return "lo"; }));
        EXPECT_EQ(RunNeighbourFlush(recorder.hooks, address), starts);
        EXPECT_EQ(launched, starts ? tools : std::vector<Argv>{});
        EXPECT_EQ(recorder.Texts(), starts ? Texts{kLoopbackRouteText}
                                           : Texts(3, "Invalid IP Address"));
    }
}

}  // namespace
}  // namespace varnex
