#include "stations/database_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "station_test_support.h"

namespace varnex {
namespace {

using varnex::testing::TempFolder;

struct SettingsRecorder {
    PlatformHooks hooks;
    std::map<std::string, std::string> values;

    SettingsRecorder() {
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

TEST(DefaultDatabaseLocation, FollowsTheDataHome) {
    EXPECT_EQ(DefaultDatabaseLocation("/data", "/home/u"), "/data/Korvath/VNXv1/VNXv1.MDB");
    EXPECT_EQ(DefaultDatabaseLocation(nullptr, "/home/u"),
              "/home/u/.local/share/Korvath/VNXv1/VNXv1.MDB");
    EXPECT_EQ(DefaultDatabaseLocation("", "/home/u"),
              "/home/u/.local/share/Korvath/VNXv1/VNXv1.MDB");
    EXPECT_EQ(DefaultDatabaseLocation("relative", "/home/u"),
              "/home/u/.local/share/Korvath/VNXv1/VNXv1.MDB");
}

TEST(ReadDatabaseLocation, MissingSettingStoresTheDefaultAndMakesItsFolder) {
    TempFolder folder;
    const std::string defaultLocation = DefaultDatabaseLocation(folder.path().c_str(), nullptr);
    SettingsRecorder settings;

    EXPECT_EQ(ReadDatabaseLocation(settings.hooks, defaultLocation), defaultLocation);
    EXPECT_EQ(settings.values["Options/Database/Location"], defaultLocation);
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Korvath/VNXv1")));
    EXPECT_FALSE(std::filesystem::exists(defaultLocation));
}

TEST(ReadDatabaseLocation, StoredLocationIsUsedAndItsFolderNeverMade) {
    TempFolder folder;
    SettingsRecorder settings;
    const std::string chosen = folder.File("chosen/stations.db");
    settings.values["Options/Database/Location"] = chosen;

    EXPECT_EQ(ReadDatabaseLocation(settings.hooks, folder.File("default/VNXv1.MDB")), chosen);
    EXPECT_EQ(settings.values.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("chosen")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("default")));
}

}  // namespace
}  // namespace varnex
