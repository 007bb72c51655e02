// Where the station database lives: the default path, the location read at
// start-up, and what the "DataBase" option keeps and stores.
#include "stations/database_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "station_test_support.h"
#include "stations/database_options.h"

namespace varnex {
namespace {

using varnex::testing::MessageRecorder;
using varnex::testing::TempFolder;

const std::string kKey = "Options/Database/Location";

// The per-user settings store, in memory.
struct SettingsMemory {
    PlatformHooks hooks;
    std::map<std::string, std::string> values;

    SettingsMemory() {
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

TEST(DefaultDatabaseLocation, FollowsOnlyAnAbsoluteDataHome) {
    EXPECT_EQ(DefaultDatabaseLocation("/data", "/home/u"), "/data/Korvath/VNXv1/VNXv1.MDB");
    for (const char* unusable : {static_cast<const char*>(nullptr), "relative"}) {
        EXPECT_EQ(DefaultDatabaseLocation(unusable, "/home/u"),
                  "/home/u/.local/share/Korvath/VNXv1/VNXv1.MDB");
    }
}

TEST(ReadDatabaseLocation, MissingSettingStoresTheDefaultAndMakesItsFolder) {
    TempFolder folder;
    const std::string defaultLocation = DefaultDatabaseLocation(folder.path().c_str(), nullptr);
    SettingsMemory settings;

    EXPECT_EQ(ReadDatabaseLocation(settings.hooks, defaultLocation), defaultLocation);
    EXPECT_EQ(settings.values[kKey], defaultLocation);
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Korvath/VNXv1")));
    EXPECT_FALSE(std::filesystem::exists(defaultLocation));
}

TEST(ReadDatabaseLocation, StoredLocationIsUsedAndItsFolderNeverMade) {
    TempFolder folder;
    SettingsMemory settings;
    const std::string chosen = folder.File("chosen/stations.db");
    settings.values[kKey] = chosen;

    EXPECT_EQ(ReadDatabaseLocation(settings.hooks, folder.File("default/VNXv1.MDB")), chosen);
    EXPECT_EQ(settings.values.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("chosen")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("default")));
}

TEST(DatabaseOptions, TypedPathIsKeptAndStoredUncheckedUpTo259Characters) {
    SettingsMemory settings;
    DatabaseLocationMemory memory{"/old", ""};
    for (const std::string& typed :
         {std::string(), std::string("/no/such/folder/x.db"), "/" + std::string(300, 'p')}) {
        SCOPED_TRACE(typed);
        AcceptDatabaseOptions(settings.hooks, memory, typed);
        EXPECT_EQ(memory.path, typed.substr(0, 259));
        EXPECT_EQ(settings.values.at(kKey), typed.substr(0, 259));
    }
}

TEST(DatabaseOptions, StoreThatCannotBeWrittenStillKeepsThePathForTheRun) {
    MessageRecorder recorder;  // its settings store refuses every write
    DatabaseLocationMemory memory{"/old", ""};
    AcceptDatabaseOptions(recorder.hooks, memory, "/new.db");
    EXPECT_EQ(memory.path, "/new.db");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(DatabaseOptions, ChosenFileIsRememberedUpTo260Characters) {
    DatabaseLocationMemory memory;
    RememberChosenDatabaseFile(memory, std::string(270, 'f'));
    EXPECT_EQ(memory.lastChosenFile, std::string(260, 'f'));
}

}  // namespace
}  // namespace varnex
