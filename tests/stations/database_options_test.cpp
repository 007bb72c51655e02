#include "stations/database_options.h"

#include <gmock/gmock.h>

#include <map>

#include "station_test_support.h"
#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::TempFolder;

// A settings store in memory, standing in for the per-user one.
struct SettingsRecorder {
    std::map<std::string, std::string> values;
    void Attach(PlatformHooks& hooks) {
        hooks.readSetting = [this](const std::string& key) -> std::optional<std::string> {
            const auto found = values.find(key);
            return found == values.end() ? std::nullopt : std::optional(found->second);
        };
        hooks.writeSetting = [this](const std::string& key, const std::string& value) {
            values[key] = value;
            return true;
        };
    }
};

// What a start of the program does with the stored location.
std::optional<StationList> StartUp(StationStore& store, const PlatformHooks& hooks,
                                   const std::string& defaultLocation) {
    const std::string location = ReadDatabaseLocation(hooks, defaultLocation);
    WriteSeedDatabaseIfMissing(location);
    store.OpenStationStore(location);
    return store.FillStationList(MessageOwner::MainWindow);
}

TEST(DatabaseOptions, OkStoresThePathAndTheRunKeepsItsDatabase) {
    TempFolder folder;
    MessageRecorder recorder;
    SettingsRecorder settings;
    settings.Attach(recorder.hooks);
    const std::string oldPath = folder.File("old.db");
    const std::string newPath = folder.File("new.db");

    StationStore running(recorder.hooks);
    ASSERT_TRUE(StartUp(running, recorder.hooks, oldPath));
    ASSERT_TRUE(InsertStation(running, "127.0.0.2", "other*****", "only in the old file"));
    DatabaseLocationMemory memory{oldPath, ""};

    AcceptDatabaseOptions(recorder.hooks, memory, newPath);
    EXPECT_EQ(memory.path, newPath);
    EXPECT_EQ(settings.values.at(std::string(kDatabaseLocationKey)), newPath);
    // The run goes on with the file it opened; the new one is made at the next start.
    const std::optional<StationList> current = running.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->lines.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(newPath));

    StationStore restarted(recorder.hooks);
    const std::optional<StationList> seeded = StartUp(restarted, recorder.hooks, oldPath);
    ASSERT_TRUE(seeded);
    EXPECT_THAT(seeded->lines, ElementsAre("10.10.10.10      VNX DEFAULT IP"));
    EXPECT_TRUE(std::filesystem::exists(newPath));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(DatabaseOptions, PathIsStoredUncheckedAndCutAt259Characters) {
    MessageRecorder recorder;
    SettingsRecorder settings;
    settings.Attach(recorder.hooks);
    DatabaseLocationMemory memory{"/old", ""};
    const std::string longPath = "/" + std::string(300, 'p');

    for (const std::string& typed :
         {std::string(), std::string("/no/such/folder/x.db"), longPath}) {
        AcceptDatabaseOptions(recorder.hooks, memory, typed);
        EXPECT_EQ(memory.path, typed.substr(0, 259));
        EXPECT_EQ(settings.values.at(std::string(kDatabaseLocationKey)), typed.substr(0, 259));
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(DatabaseOptions, StoreThatCannotBeWrittenStillKeepsThePathForTheRun) {
    MessageRecorder recorder;  // its writeSetting fails
    DatabaseLocationMemory memory{"/old", ""};
    AcceptDatabaseOptions(recorder.hooks, memory, "/new.db");
    EXPECT_EQ(memory.path, "/new.db");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(DatabaseOptions, ChosenFileIsRememberedUpTo260Characters) {
    DatabaseLocationMemory memory;
    RememberChosenDatabaseFile(memory, "/data/VNXv1.MDB");
    EXPECT_EQ(memory.lastChosenFile, "/data/VNXv1.MDB");
    RememberChosenDatabaseFile(memory, std::string(270, 'f'));
    EXPECT_EQ(memory.lastChosenFile, std::string(260, 'f'));
}

}  // namespace
}  // namespace varnex
