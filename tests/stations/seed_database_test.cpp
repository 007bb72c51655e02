#include "stations/seed_database.h"

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "station_test_support.h"
#include "stations/station_store.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::ReadBytes;
using varnex::testing::Sqlite;
using varnex::testing::TempFolder;
using varnex::testing::WriteBytes;

TEST(SeedDatabase, FirstStartWritesTableMainWithItsColumnsInOrder) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);

    EXPECT_THAT(Sqlite(path, "SELECT name FROM sqlite_master"), ElementsAre("main"));
    EXPECT_THAT(
        Sqlite(path, "SELECT group_concat(name, ',') FROM pragma_table_info('main')"),
        ElementsAre("IPADDRESS,PASSWORD,COMMENT,DEFAULT,JP6,JP7,VM1VIEW,VM2VIEW,VM3VIEW,VM4VIEW,"
                    "VM5VIEW,VM6VIEW,VM7VIEW,VM8VIEW,VM1NOTES,VM2NOTES,VM3NOTES,VM4NOTES,"
                    "VM5NOTES,VM6NOTES,VM7NOTES,VM8NOTES,VM1LABEL,VM2LABEL,VM3LABEL,VM4LABEL,"
                    "VM5LABEL,VM6LABEL,VM7LABEL,VM8LABEL,RELAY1NOTES,RELAY2NOTES,RELAY3NOTES,"
                    "RELAY1NAME,RELAY2NAME,RELAY3NAME"));
    EXPECT_THAT(Sqlite(path,
                       "SELECT count(*) FROM pragma_table_info('main') WHERE type <> 'TEXT'"
                       " OR pk <> 0"),
                ElementsAre("0"));
    EXPECT_THAT(Sqlite(path, "SELECT count(*) FROM pragma_index_list('main')"), ElementsAre("0"));
}

TEST(SeedDatabase, TheOneSeedRowHoldsEveryValue) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);

    EXPECT_THAT(
        Sqlite(path, "SELECT * FROM main"),
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

TEST(SeedDatabase, ColumnsCarryTheirDefaults) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);

    Sqlite(path, "INSERT INTO main (IPADDRESS, PASSWORD) VALUES ('1.2.3.4', 'pw********')");
    EXPECT_THAT(Sqlite(path,
                       "SELECT COMMENT IS NULL, \"DEFAULT\", JP7, VM8VIEW, VM5NOTES, "
                       "VM6LABEL, RELAY2NOTES, RELAY3NAME FROM main WHERE IPADDRESS = "
                       "'1.2.3.4'"),
                ElementsAre("1|NO|ON|STANDARD|Enter notes about how Voltmeter 5 is hooked up...|"
                            "Voltage 6 (0-5)|Enter notes about how Relay 2 is hooked up...|"
                            "Relay 3"));
}

// Each column's size and empty-value rule, checked by the database itself.
TEST(SeedDatabase, ColumnRulesRefuseValuesThatDoNotFit) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);

    struct Case {
        const char* column;
        std::size_t longest;
        bool emptyAllowed;
    };
    const Case cases[] = {
        {"IPADDRESS", 15, false},  {"PASSWORD", 35, false}, {"COMMENT", 50, true},
        {"\"DEFAULT\"", 10, true}, {"JP6", 10, true},       {"VM1VIEW", 10, true},
        {"VM2VIEW", 50, true},     {"VM8LABEL", 50, true},  {"RELAY3NAME", 50, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const auto set = [&](const std::string& value) {
            return Sqlite(path, std::string("UPDATE main SET ") + c.column + " = '" + value +
                                    "'; SELECT changes()");
        };
        EXPECT_THAT(set(std::string(c.longest, 'a')), ElementsAre("1"));
        const std::vector<std::string> tooLong = set(std::string(c.longest + 1, 'a'));
        ASSERT_FALSE(tooLong.empty());
        EXPECT_THAT(tooLong[0], ::testing::HasSubstr("CHECK constraint failed"));
        EXPECT_EQ(set("").at(0) == "1", c.emptyAllowed);
    }
    // Long texts have no limit.
    EXPECT_THAT(Sqlite(path,
                       "UPDATE main SET VM1NOTES = printf('%.2000c', 'n'); "
                       "SELECT length(VM1NOTES) FROM main"),
                ElementsAre("2000"));
}

TEST(SeedDatabase, FreshSeedListsTheFactoryStationPreselected) {
    TempFolder folder;
    const std::string path = folder.File("VNXv1.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);

    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    const std::optional<StationList> list = store.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines, ElementsAre("10.10.10.10      VNX DEFAULT IP"));
    EXPECT_EQ(list->text, "10.10.10.10      VNX DEFAULT IP");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(SeedDatabase, AnExistingFileIsLeftByteForByte) {
    TempFolder folder;
    const std::string valid = folder.File("valid.MDB");
    ASSERT_EQ(WriteSeedDatabaseIfMissing(valid), SeedOutcome::Written);
    Sqlite(valid, "UPDATE main SET COMMENT = 'mine'");
    std::string random(5000, '\0');
    for (std::size_t i = 0; i < random.size(); ++i) {
        random[i] = static_cast<char>((i * 7919 + 13) % 251);
    }
    const std::string noise = folder.File("noise.MDB");
    WriteBytes(noise, random);
    const std::string empty = folder.File("empty.MDB");
    WriteBytes(empty, "");

    struct Case {
        std::string path;
        std::vector<std::string> messages;
    };
    const Case cases[] = {{valid, {}},
                          {noise, {"Execution of SQL statement failed"}},
                          {empty, {"Execution of SQL statement failed"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string before = ReadBytes(c.path);
        EXPECT_EQ(WriteSeedDatabaseIfMissing(c.path), SeedOutcome::FileExists);

        MessageRecorder recorder;
        StationStore store(recorder.hooks);
        store.OpenStationStore(c.path);
        store.FillStationList(MessageOwner::MainWindow);
        store.CloseStationStore();
        EXPECT_EQ(recorder.Texts(), c.messages);
        EXPECT_EQ(ReadBytes(c.path), before);
    }
}

TEST(SeedDatabase, MissingFolderLeavesNoFileAndTheStoreReportsEachStep) {
    TempFolder folder;
    const std::string path = folder.File("absent/VNXv1.MDB");
    EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(folder.File("absent")));

    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    EXPECT_FALSE(store.FillStationList(MessageOwner::MainWindow));
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].text, "Connection attempt failed");
    EXPECT_EQ(recorder.messages[1].text, "Statement handle allocation failed");
    for (const Message& message : recorder.messages) {
        EXPECT_EQ(message.caption, "  Varnex v1");
        EXPECT_EQ(message.icon, MessageIcon::Stop);
        EXPECT_EQ(message.owner, MessageOwner::MainWindow);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
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
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Written);
}

// A path the connection text cannot carry safely would let the rest of it
// act as further driver settings; no file is made for it.
TEST(SeedDatabase, PathThatCannotBeConnectedSafelyIsNotCreated) {
    TempFolder folder;
    const std::string path = folder.File("a;LoadExt=x.so");
    EXPECT_EQ(WriteSeedDatabaseIfMissing(path), SeedOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(path));

    MessageRecorder recorder;
    StationStore store(recorder.hooks);
    store.OpenStationStore(path);
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{"Connection attempt failed"});
}

}  // namespace
}  // namespace varnex
