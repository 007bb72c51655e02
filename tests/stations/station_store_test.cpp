#include "stations/station_store.h"

#include <gmock/gmock.h>

#include "station_test_support.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using StationStoreTest = varnex::testing::SeededStationTest;

TEST(StationListLine, PadsTheAddressToSeventeenCharacters) {
    EXPECT_EQ(StationListLine("10.10.10.10", "VNX DEFAULT IP"), "10.10.10.10      VNX DEFAULT IP");
    EXPECT_EQ(StationListLine("192.168.100.100", "x"), "192.168.100.100  x");
    EXPECT_EQ(StationListLine("1234567890abcdefgh", "x"), "1234567890abcdefghx");
}

// Columns are bound by position: one field of each column group shows the order holds.
TEST_F(StationStoreTest, LoadStationFindsTheWholeAddressAndReadsEveryGroup) {
    for (const char* other : {"10.10.10.1", "10.10.10.100", ""}) {
        EXPECT_FALSE(store_.LoadStation(MessageOwner::MainWindow, other)) << other;
    }
    const std::optional<LoadedStation> seed =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(seed);
    EXPECT_EQ(seed->address, "10.10.10.10");
    EXPECT_EQ(seed->password, "tamble****");
    EXPECT_EQ(seed->comment, "VNX DEFAULT IP");
    EXPECT_EQ(seed->defaultFlag, "YES");
    EXPECT_EQ(seed->jumper7, "ON");
    EXPECT_EQ(seed->views[7], "STANDARD");
    EXPECT_EQ(seed->notes[2], "Enter notes about how Voltmeter 3 is hooked up...");
    EXPECT_EQ(seed->labels[7], "Voltage 8 (0-5)");
    EXPECT_EQ(seed->relayNotes[1], "Enter notes about how Relay 2 is hooked up...");
    EXPECT_EQ(seed->relayNames[2], "Relay 3");
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationStoreTest, NullColumnsReadAsEmptyText) {
    Select(
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

// Values longer than the copy in memory keeps are cut, never overrun, and
// never through the middle of a character.
TEST_F(StationStoreTest, LongValuesAreCutToTheirCapacity) {
    Select(
        "UPDATE main SET VM4NOTES = printf('%.600c', 'n'), RELAY2NAME = printf('%.50c', 'm'), "
        "VM1NOTES = printf('%.509c', 'n') || 'é' || 'tail'");
    const std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::MainWindow, "10.10.10.10");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->notes[3], std::string(510, 'n'));
    EXPECT_EQ(station->relayNames[1], std::string(30, 'm'));
    EXPECT_EQ(station->notes[0], std::string(509, 'n'));
}

TEST_F(StationStoreTest, ClosedStoreFailsEveryReadAtItsFirstStep) {
    store_.CloseStationStore();
    EXPECT_FALSE(store_.FillStationList(MessageOwner::MainWindow));
    EXPECT_FALSE(store_.LoadStation(MessageOwner::ActiveDialog, "10.10.10.10"));
    EXPECT_FALSE(store_.SetDefaultStation(MessageOwner::MainWindow, "10.10.10.10"));
    EXPECT_THAT(recorder_.Lines(),
                ElementsAre("Statement handle allocation failed|  Varnex v1|stop|main",
                            "Statement handle allocation failed|  Varnex v1|stop|dialog",
                            "Statement handle allocation failed|  Varnex v1|stop|main"));
}

}  // namespace
}  // namespace varnex
