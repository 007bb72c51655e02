// The station database file: where it lives, what the "DataBase" option
// keeps, and the seed written at first start (and never over a file).
#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "station_test_support.h"
#include "stations/database_location.h"
#include "stations/database_options.h"
#include "stations/seed_database.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using varnex::testing::MessageRecorder;
using varnex::testing::ReadBytes;
using varnex::testing::TempFolder;
using varnex::testing::WriteBytes;
using SeedDatabaseTest = varnex::testing::SeededStationTest;
using Lines = std::vector<std::string>;

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
        AcceptDatabaseOptions(settings.hooks, memory, typed);
        EXPECT_EQ(std::pair(memory.path, settings.values.at(kKey)),
                  std::pair(typed.substr(0, 259), typed.substr(0, 259)))
            << typed;
    }
    // A settings store that refuses every write still leaves the path for the run.
    MessageRecorder recorder;
    AcceptDatabaseOptions(recorder.hooks, memory, "/new.db");
    EXPECT_EQ(memory.path, "/new.db");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(DatabaseOptions, ChosenFileIsRememberedUpTo260Characters) {
    DatabaseLocationMemory memory;
    RememberChosenDatabaseFile(memory, std::string(270, 'f'));
    EXPECT_EQ(memory.lastChosenFile, std::string(260, 'f'));
}

// Whether a store opened on `path` lists the stations, and the messages it shows.
std::pair<bool, Lines> Listing(const std::string& path) {
    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    const bool listed = store.FillStationList(MessageOwner::MainWindow).has_value();
    store.CloseStationStore();
    return {listed, recorder.Lines()};
}

TEST_F(SeedDatabaseTest, FirstStartWritesTableMainWithItsColumnsAndTheFactoryRow) {
    EXPECT_THAT(Select("SELECT name FROM sqlite_master"), ElementsAre("main"));
    EXPECT_THAT(
        Select("SELECT group_concat(name, ',') FROM pragma_table_info('main')"),
        ElementsAre("IPADDRESS,PASSWORD,COMMENT,DEFAULT,JP6,JP7,VM1VIEW,VM2VIEW,VM3VIEW,VM4VIEW,"
                    "VM5VIEW,VM6VIEW,VM7VIEW,VM8VIEW,VM1NOTES,VM2NOTES,VM3NOTES,VM4NOTES,"
                    "VM5NOTES,VM6NOTES,VM7NOTES,VM8NOTES,VM1LABEL,VM2LABEL,VM3LABEL,VM4LABEL,"
                    "VM5LABEL,VM6LABEL,VM7LABEL,VM8LABEL,RELAY1NOTES,RELAY2NOTES,RELAY3NOTES,"
                    "RELAY1NAME,RELAY2NAME,RELAY3NAME"));
    // All text, and no key: nothing stops two rows with one address.
    EXPECT_THAT(Select("SELECT count(*) FROM pragma_table_info('main') WHERE type <> 'TEXT'"
                       " OR pk <> 0"),
                ElementsAre("0"));
    EXPECT_THAT(Select("SELECT count(*) FROM pragma_index_list('main')"), ElementsAre("0"));
    EXPECT_THAT(
        Select("SELECT * FROM main"),
        ElementsAre("10.10.10.10|tamble****|VNX DEFAULT IP|YES|ON|ON|STANDARD|STANDARD|STANDARD|"
                    "STANDARD|STANDARD|STANDARD|STANDARD|STANDARD|"
                    "Enter notes about how Voltmeter 1 is hooked up...|"
                    "Enter notes about how Voltmeter 2 is hooked up...|"
                    "Enter notes about how Voltmeter 3 is hooked up...|"
                    "Enter notes about how Voltmeter 4 is hooked up...|"
                    "Enter notes about how Voltmeter 5 is hooked up...|"
                    "Enter notes about how Voltmeter 6 is hooked up...|"
                    "Enter notes about how Voltmeter 7 is hooked up...|"
                    "Enter notes about how Voltmeter 8 is hooked up...|"
                    "Voltage 1 (0-30-60)|Voltage 2 (0-30-60)|Voltage 3 (0-30)|Voltage 4 (0-30)|"
                    "Voltage 5 (0-30)|Voltage 6 (0-5)|Voltage 7 (0-5)|Voltage 8 (0-5)|"
                    "Enter notes about how Relay 1 is hooked up...|"
                    "Enter notes about how Relay 2 is hooked up...|"
                    "Enter notes about how Relay 3 is hooked up...|Relay 1|Relay 2|Relay 3"));
}

TEST_F(SeedDatabaseTest, ColumnsCarryTheirDefaults) {
    Select("INSERT INTO main (IPADDRESS, PASSWORD) VALUES ('1.2.3.4', 'pw********')");
    EXPECT_THAT(Select("SELECT COMMENT IS NULL, \"DEFAULT\", JP7, VM8VIEW, VM5NOTES, VM6LABEL, "
                       "RELAY2NOTES, RELAY3NAME FROM main WHERE IPADDRESS = '1.2.3.4'"),
                ElementsAre("1|NO|ON|STANDARD|Enter notes about how Voltmeter 5 is hooked up...|"
                            "Voltage 6 (0-5)|Enter notes about how Relay 2 is hooked up...|"
                            "Relay 3"));
}

// Each column's size and empty-value rule, checked by the database itself.
TEST_F(SeedDatabaseTest, ColumnRulesRefuseValuesThatDoNotFit) {
    const struct {
        const char* column;
        std::size_t longest;
        bool emptyAllowed;
    } cases[] = {{"IPADDRESS", 15, false},  {"PASSWORD", 35, false}, {"COMMENT", 50, true},
                 {"\"DEFAULT\"", 10, true}, {"VM1VIEW", 10, true},   {"VM2VIEW", 50, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        const auto set = [&](const std::string& value) {
            return Select(std::string("UPDATE main SET ") + c.column + " = '" + value +
                          "'; SELECT changes()");
        };
        EXPECT_THAT(set(std::string(c.longest, 'a')), ElementsAre("1"));
        EXPECT_THAT(set(std::string(c.longest + 1, 'a')),
                    ElementsAre(HasSubstr("CHECK constraint failed")));
        EXPECT_EQ(set("").at(0) == "1", c.emptyAllowed);
    }
    EXPECT_THAT(Select("UPDATE main SET VM1NOTES = printf('%.2000c', 'n'); "
                       "SELECT length(VM1NOTES) FROM main"),
                ElementsAre("2000"));
}

TEST(SeedDatabase, AnExistingFileIsLeftByteForByte) {
    TempFolder folder;
    const std::string valid = folder.File("valid.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(valid), SeedOutcome::Written);
    varnex::testing::Sqlite(valid, "UPDATE main SET COMMENT = 'mine'");
    const std::string noise = folder.File("noise.MDB");
    WriteBytes(noise, std::string(5000, 'x'));
    const std::string empty = folder.File("empty.MDB");
    WriteBytes(empty, "");

    const std::string failed = "Execution of SQL statement failed|  Varnex v1|stop|main";
    const std::pair<std::string, bool> cases[] = {{valid, true}, {noise, false}, {empty, false}};
    for (const auto& [path, usable] : cases) {
        const std::string before = ReadBytes(path);
        EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::FileExists) << path;
        EXPECT_EQ(Listing(path), std::pair(usable, usable ? Lines{} : Lines{failed})) << path;
        EXPECT_EQ(ReadBytes(path), before) << path;
    }
}

// A path the connection text cannot carry safely would let the rest of it
// act as further driver settings: it is refused like a missing folder.
TEST(SeedDatabase, PathThatCannotBeMadeLeavesNoFileAndTheStoreReportsEachStep) {
    TempFolder folder;
    for (const std::string& path : {folder.File("absent/VNXv1.MDB"), folder.File("a;LoadExt=x")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Failed);
        EXPECT_EQ(
            Listing(path),
            std::pair(false, Lines{"Connection attempt failed|  Varnex v1|stop|main",
                                   "Statement handle allocation failed|  Varnex v1|stop|main"}));
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// A disk that fills up mid-way: the half-made file this start created goes,
// so the next start seeds again instead of finding an empty "database".
TEST(SeedDatabase, SeedThatCannotBeWrittenLeavesNoFile) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(30);  // a hung child dies rather than hold the test
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteSeedDatabaseIfMissing(path) == SeedOutcome::Failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);
}

}  // namespace
}  // namespace varnex
