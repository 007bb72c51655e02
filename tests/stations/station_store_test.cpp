#include "stations/station_store.h"

#include <gmock/gmock.h>

#include "station_test_support.h"
#include "stations/seed_database.h"
#include "stations/station_writers.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::MessageRecorder;
using varnex::testing::Sqlite;
using varnex::testing::TempFolder;

class StationStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
    }

    TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
};

TEST(StationListLine, PadsTheAddressToSeventeenCharacters) {
    EXPECT_EQ(StationListLine("10.10.10.10", "VNX DEFAULT IP"), "10.10.10.10      VNX DEFAULT IP");
    EXPECT_EQ(StationListLine("1.1.1.1", "x"), "1.1.1.1          x");
    EXPECT_EQ(StationListLine("192.168.100.100", "x"), "192.168.100.100  x");
    EXPECT_EQ(StationListLine("10.10.10.10", ""), "10.10.10.10      ");
    EXPECT_EQ(StationListLine("1234567890abcdefgh", "x"), "1234567890abcdefghx");
}

TEST_F(StationStoreTest, LoadStationComparesTheWholeAddress) {
    EXPECT_FALSE(store_.LoadStation(MessageOwner::MainWindow, "10.10.10.1"));
    EXPECT_FALSE(store_.LoadStation(MessageOwner::MainWindow, "10.10.10.100"));
    EXPECT_FALSE(store_.LoadStation(MessageOwner::MainWindow, ""));

    const std::optional<LoadedStation> seed =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(seed);
    EXPECT_EQ(seed->address, "10.10.10.10");
    EXPECT_EQ(seed->password, "tamble****");
    EXPECT_EQ(seed->comment, "VNX DEFAULT IP");
    EXPECT_EQ(seed->defaultFlag, "YES");
    EXPECT_EQ(seed->jumper6, "ON");
    EXPECT_EQ(seed->jumper7, "ON");
    EXPECT_EQ(seed->views[7], "STANDARD");
    EXPECT_EQ(seed->notes[2], "Enter notes about how Voltmeter 3 is hooked up...");
    EXPECT_EQ(seed->labels[0], "Voltage 1 (0-30-60)");
    EXPECT_EQ(seed->labels[7], "Voltage 8 (0-5)");
    EXPECT_EQ(seed->relayNotes[1], "Enter notes about how Relay 2 is hooked up...");
    EXPECT_EQ(seed->relayNames[2], "Relay 3");
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationStoreTest, NullColumnsReadAsEmptyText) {
    Sqlite(path_,
           "INSERT INTO main (IPADDRESS, PASSWORD, RELAY1NAME) "
           "VALUES ('1.2.3.4', 'pw********', NULL)");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, "1.2.3.4");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->comment, "");
    EXPECT_EQ(station->relayNames[0], "");
    EXPECT_EQ(station->relayNames[1], "Relay 2");

    const std::optional<StationList> list = store_.FillStationList(MessageOwner::MainWindow);
    ASSERT_TRUE(list);
    EXPECT_THAT(list->lines, ElementsAre("10.10.10.10      VNX DEFAULT IP", "1.2.3.4          "));
}

// Values longer than the copy in memory keeps are cut, never overrun.
TEST_F(StationStoreTest, LongValuesAreCutToTheirCapacity) {
    Sqlite(path_,
           "UPDATE main SET VM4NOTES = printf('%.600c', 'n'), "
           "RELAY3NOTES = printf('%.511c', 'r'), RELAY2NAME = printf('%.50c', 'm'), "
           "VM2VIEW = printf('%.50c', 'v'), COMMENT = printf('%.50c', 'c')");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->notes[3], std::string(510, 'n'));
    EXPECT_EQ(station->relayNotes[2], std::string(510, 'r'));
    EXPECT_EQ(station->relayNames[1], std::string(30, 'm'));
    EXPECT_EQ(station->views[1], std::string(50, 'v'));
    EXPECT_EQ(station->comment, std::string(50, 'c'));
}

TEST_F(StationStoreTest, CutNeverLeavesHalfACharacter) {
    // 509 ASCII characters, then a two-byte character across the cut.
    Sqlite(path_, "UPDATE main SET VM1NOTES = printf('%.509c', 'n') || 'é' || 'tail'");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->notes[0], std::string(509, 'n'));
}

TEST_F(StationStoreTest, SetDefaultStationMarksExactlyTheChosenRow) {
    ASSERT_TRUE(InsertStation(store_, "192.168.1.5", "abc*******", "lab"));
    recorder_.messages.clear();

    const std::optional<StationList> list =
        store_.SetDefaultStation(MessageOwner::MainWindow, "192.168.1.5");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "192.168.1.5      lab");
    EXPECT_THAT(Sqlite(path_, "SELECT IPADDRESS, \"DEFAULT\" FROM main"),
                ElementsAre("10.10.10.10|NO", "192.168.1.5|YES"));
    ASSERT_EQ(recorder_.messages.size(), 1u);
    EXPECT_EQ(recorder_.messages[0].text, "Default IP Address Set!");
    EXPECT_EQ(recorder_.messages[0].caption, "  Varnex v1");
    EXPECT_EQ(recorder_.messages[0].icon, MessageIcon::Information);
}

TEST_F(StationStoreTest, SetDefaultStationOfAnUnknownAddressLeavesNoDefault) {
    const std::optional<StationList> list =
        store_.SetDefaultStation(MessageOwner::MainWindow, "10.10.10.1");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->text, "");
    EXPECT_THAT(list->lines, ElementsAre("10.10.10.10      VNX DEFAULT IP"));
    EXPECT_THAT(Sqlite(path_, "SELECT \"DEFAULT\" FROM main"), ElementsAre("NO"));
    EXPECT_EQ(recorder_.Texts(), std::vector<std::string>{"Default IP Address Set!"});
}

TEST_F(StationStoreTest, ClosedStoreFailsEveryReadAtItsFirstStep) {
    store_.CloseStationStore();
    EXPECT_FALSE(store_.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(store_.LoadStation(MessageOwner::ActiveDialog, "10.10.10.10"));
    EXPECT_FALSE(store_.SetDefaultStation(MessageOwner::MainWindow, "10.10.10.10"));
    ASSERT_EQ(recorder_.messages.size(), 3u);
    for (const Message& message : recorder_.messages) {
        EXPECT_EQ(message.text, "Statement handle allocation failed");
        EXPECT_EQ(message.icon, MessageIcon::Stop);
    }
    EXPECT_EQ(recorder_.messages[1].owner, MessageOwner::ActiveDialog);
}

TEST_F(StationStoreTest, MissingTableIsAnExecutionFailure) {
    Sqlite(path_, "DROP TABLE main");
    EXPECT_FALSE(store_.LoadStation(MessageOwner::ActiveDialog, "10.10.10.10"));
    EXPECT_FALSE(store_.SetDefaultStation(MessageOwner::MainWindow, "10.10.10.10"));
    EXPECT_EQ(recorder_.Texts(), (std::vector<std::string>{"Execution of SQL statement failed",
                                                           "Execution of SQL statement failed"}));
}

}  // namespace
}  // namespace varnex
