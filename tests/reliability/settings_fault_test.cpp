// The stored database location is garbage, absurdly long, or names a
// folder or a file that is no database: start-up says so plainly, crashes
// nowhere, creates and changes no file, and leaves the setting as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "stations/database_location.h"
#include "stations/odbc_connection.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"

namespace varnex {
namespace {

using varnex::testing::ReadBytes;
using varnex::testing::TempFolder;
using varnex::testing::WriteBytes;

constexpr const char* kLocationKey = "Options/Database/Location";

struct SettingsStore {
    PlatformHooks hooks;
    std::map<std::string, std::string> values;
    int writes = 0;
    std::vector<std::string> messages;

    SettingsStore() {
        hooks.readSetting = [this](const std::string& key) -> std::optional<std::string> {
            const auto found = values.find(key);
            return found == values.end() ? std::nullopt : std::optional(found->second);
        };
        hooks.writeSetting = [this](const std::string& key, const std::string& value) {
            ++writes;
            values[key] = value;
            return true;
        };
        hooks.showMessage = [this](const Message& m) { messages.push_back(m.text); };
    }
};

// What start-up does with the database: read the location, write the seed
// where no file is, open the store and fill the station list.
std::optional<StationList> OpenAtStartUp(SettingsStore& settings, const std::string& fallback) {
    const std::string location = ReadDatabaseLocation(settings.hooks, fallback);
    WriteSeedDatabaseIfMissing(location);
    StationStore store(settings.hooks);
    store.OpenStationStore(location);
    return store.FillStationList(MessageOwner::MainWindow);
}

// Every byte value in turn, NUL first.
std::string BinaryGarbage(std::size_t length) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        bytes += static_cast<char>(i % 256);
    }
    return bytes;
}

// A path that starts with `prefix` and whose connection text is longer than
// a 16-bit length by exactly the part after `prefix`: a length cut to 16
// bits would name `prefix` alone.
std::string PathCutToPrefixAt16Bits(const std::string& prefix) {
    const std::string text = DatabaseConnectionText("/").value_or("");
    const std::size_t afterPath = text.size() - text.find('/') - 1;
    return prefix + std::string(65536 - afterPath, 'X');
}

std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SettingsFault, StartUpTellsAndTouchesNothing) {
    const std::vector<std::string> cannotConnect = {"Connection attempt failed",
                                                    "Statement handle allocation failed"};
    const std::vector<std::string> notADatabase = {"Execution of SQL statement failed"};
    const std::string notes = "Lab notes\nrelay 1: pump\n";
    TempFolder folder;
    WriteBytes(folder.File("notes"), notes);
    WriteBytes(folder.File("empty"), "");
    const std::string& f = folder.path();
    for (const auto& [location, messages] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {BinaryGarbage(1000), cannotConnect},
             {f + "/" + std::string(5000, 'a'), cannotConnect},
             {PathCutToPrefixAt16Bits(f + "/cut.MDB"), cannotConnect},
             {f, cannotConnect},
             {f + "/notes", notADatabase},
             {f + "/empty", notADatabase},
         }) {
        SCOPED_TRACE(location.substr(0, 80));
        SettingsStore settings;
        settings.values[kLocationKey] = location;

        EXPECT_FALSE(OpenAtStartUp(settings, folder.File("default.MDB")));
        EXPECT_EQ(settings.messages, messages);
        EXPECT_EQ(settings.writes, 0);
        EXPECT_EQ(settings.values[kLocationKey], location);
        EXPECT_EQ(FolderListing(f), (std::vector<std::string>{"empty", "notes"}));
        EXPECT_EQ(ReadBytes(folder.File("notes")), notes);
        EXPECT_EQ(ReadBytes(folder.File("empty")), "");
    }
}

}  // namespace
}  // namespace varnex
