// The stored database location is garbage, absurdly long, or names a
// folder or a file that is no database: start-up says so plainly, crashes
// nowhere, creates and changes no file, and leaves the setting as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "stations/database_location.h"
#include "stations/database_options.h"
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

std::string BinaryGarbage(int first, std::size_t length) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        bytes += static_cast<char>((first + static_cast<int>(i)) % 256);
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

struct BadLocation {
    const char* name;
    std::function<std::string(const std::string& folder)> location;
    std::vector<std::string> messages;
    // The bytes of a file "existing" in the folder beforehand, if any.
    std::optional<std::string> existing = std::nullopt;
};

constexpr const char* kExistingName = "existing";
const std::string kNotesText = "Lab notes\nrelay 1: pump\n";

void PrintTo(const BadLocation& bad, std::ostream* out) {
    *out << bad.name;
}

const std::vector<std::string> kCannotConnect = {"Connection attempt failed",
                                                 "Statement handle allocation failed"};

const BadLocation kBadLocations[] = {
    {"BinaryGarbage", [](const std::string&) { return BinaryGarbage(0, 1000); }, kCannotConnect},
    {"GarbageWithoutNul", [](const std::string&) { return BinaryGarbage(1, 255); }, kCannotConnect},
    {"ThousandsOfCharacters",
     [](const std::string& folder) { return folder + "/" + std::string(5000, 'a'); },
     kCannotConnect},
    {"DeepPath",
     [](const std::string& folder) {
         std::string path = folder;
         for (int i = 0; i < 400; ++i) {
             path += "/deeper";
         }
         return path + "/VNXv1.MDB";
     },
     kCannotConnect},
    {"LongerThanA16BitLength",
     [](const std::string& folder) { return PathCutToPrefixAt16Bits(folder + "/cut.MDB"); },
     kCannotConnect},
    {"Folder", [](const std::string& folder) { return folder; }, kCannotConnect},
    {"FolderWithSlash", [](const std::string& folder) { return folder + "/"; }, kCannotConnect},
    {"SomeoneElsesFile",
     [](const std::string& folder) { return folder + "/" + kExistingName; },
     {"Execution of SQL statement failed"},
     kNotesText},
    {"EmptyFile",
     [](const std::string& folder) { return folder + "/" + kExistingName; },
     {"Execution of SQL statement failed"},
     ""},
};

class SettingsFaultTest : public ::testing::TestWithParam<BadLocation> {};

TEST_P(SettingsFaultTest, StartUpTellsAndTouchesNothing) {
    TempFolder folder;
    SettingsStore settings;
    const std::string existing = folder.File(kExistingName);
    if (GetParam().existing) {
        WriteBytes(existing, *GetParam().existing);
    }
    const std::string location = GetParam().location(folder.path());
    settings.values[kLocationKey] = location;

    const std::optional<StationList> list = OpenAtStartUp(settings, folder.File("default.MDB"));

    EXPECT_FALSE(list);
    EXPECT_EQ(settings.messages, GetParam().messages);
    EXPECT_EQ(settings.writes, 0);
    EXPECT_EQ(settings.values[kLocationKey], location);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        left.push_back(entry.path().filename().string());
    }
    if (GetParam().existing) {
        EXPECT_EQ(left, std::vector<std::string>{kExistingName});
        EXPECT_EQ(ReadBytes(existing), *GetParam().existing);
    } else {
        EXPECT_TRUE(left.empty()) << "a file was made";
    }
}

INSTANTIATE_TEST_SUITE_P(Locations, SettingsFaultTest, ::testing::ValuesIn(kBadLocations),
                         [](const ::testing::TestParamInfo<BadLocation>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace varnex
