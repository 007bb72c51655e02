#include "stations/station_writers.h"

#include <gmock/gmock.h>

#include <functional>

#include "station_test_support.h"

namespace varnex {
namespace {

using ::testing::ElementsAre;
using varnex::testing::ReadBytes;

class StationWritersTest : public varnex::testing::SeededStationTest {
  protected:
    std::vector<std::string> Row(const std::string& ip, const std::string& columns = "*") {
        return Select("SELECT " + columns + " FROM main WHERE IPADDRESS = '" + ip + "'");
    }
};

TEST_F(StationWritersTest, EachWriterChangesItsColumnsOfTheNamedRowOnly) {
    ASSERT_TRUE(InsertStation(store_, "127.0.0.2", "other*****", "untouched"));
    const std::vector<std::string> other = Row("127.0.0.2");
    const std::string ip = "10.10.10.10";
    const struct {
        const char* what;
        std::function<bool()> write;
        std::string columns;
        std::string expected;
    } cases[] = {
        {"edit", [&] { return UpdateStation(store_, ip, "new*******", "lab"); },
         "PASSWORD, COMMENT", "new*******|lab"},
        {"default yes", [&] { return SetDefaultFlag(store_, ip, true); }, "\"DEFAULT\"", "YES"},
        {"default no", [&] { return SetDefaultFlag(store_, ip, false); }, "\"DEFAULT\"", "NO"},
        {"relay name", [&] { return SetRelayName(store_, ip, 2, "Pump"); },
         "RELAY1NAME, RELAY2NAME, RELAY3NAME", "Relay 1|Pump|Relay 3"},
        {"relay notes", [&] { return SetRelayNotes(store_, ip, 3, "wired to fan"); }, "RELAY3NOTES",
         "wired to fan"},
        {"voltmeter 1",
         [&] {
             return SetVoltmeterOptions(store_, ip, 1, {"OFF", "GRAPHICAL", "bat", "Bat"});
         },
         "JP6, JP7, VM1VIEW, VM1NOTES, VM1LABEL", "OFF|ON|GRAPHICAL|bat|Bat"},
        {"voltmeter 2",
         [&] {
             return SetVoltmeterOptions(store_, ip, 2, {"OFF", "X", "n2", "L2"});
         },
         "JP7, VM2VIEW, VM2NOTES, VM2LABEL", "OFF|X|n2|L2"},
        {"voltmeter 8 has no jumper",
         [&] {
             return SetVoltmeterOptions(store_, ip, 8, {"ON", "G", "n8", "L8"});
         },
         "JP6, JP7, VM8VIEW, VM8NOTES, VM8LABEL", "OFF|OFF|G|n8|L8"},
        {"password", [&] { return SetStationPassword(store_, ip, "secret****"); }, "PASSWORD",
         "secret****"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.write());
        EXPECT_THAT(Row(ip, c.columns), ElementsAre(c.expected));
    }
    EXPECT_EQ(Row("127.0.0.2"), other);
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.2"));
    EXPECT_TRUE(DeleteStation(store_, "127.0.0.9"));  // no such row: nothing to refuse
    EXPECT_THAT(Select("SELECT IPADDRESS FROM main"), ElementsAre(ip));
    EXPECT_TRUE(recorder_.messages.empty());
}

TEST_F(StationWritersTest, QuotesAndOtherMetacharactersRoundTripExactly) {
    const std::string password = R"(a'b"c\d;e%_)";
    const std::string comment = R"('); DROP TABLE main; -- "x" \n ?)";
    ASSERT_TRUE(InsertStation(store_, "127.0.0.3", password, comment));
    std::optional<LoadedStation> station =
        store_.LoadStation(MessageOwner::ActiveDialog, "127.0.0.3");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->password, password);
    EXPECT_EQ(station->comment, comment);

    ASSERT_TRUE(UpdateStation(store_, "127.0.0.3", comment.substr(0, 20), password));
    station = store_.LoadStation(MessageOwner::ActiveDialog, "127.0.0.3");
    ASSERT_TRUE(station);
    EXPECT_EQ(station->password, comment.substr(0, 20));
    EXPECT_EQ(station->comment, password);

    // An address that reads like SQL matches nothing and changes nothing.
    EXPECT_TRUE(DeleteStation(store_, "x' OR '1'='1"));
    EXPECT_THAT(Select("SELECT count(*) FROM main"), ElementsAre("2"));
}

TEST_F(StationWritersTest, ValueLongerThanItsColumnIsRefusedWithTheCallersMessage) {
    const std::string tooLong(51, 'x');
    const std::string ip = "10.10.10.10";
    const struct {
        const char* what;
        std::function<bool()> write;
        const char* icon;
    } cases[] = {
        {"insert", [&] { return InsertStation(store_, "192.168.100.1000", "pw", ""); }, "none"},
        {"edit", [&] { return UpdateStation(store_, ip, std::string(36, 'p'), ""); },
         "exclamation"},
        {"relay name", [&] { return SetRelayName(store_, ip, 1, tooLong); }, "none"},
        {"voltmeter",
         [&] {
             return SetVoltmeterOptions(store_, ip, 4, {"", "STANDARD", "", tooLong});
         },
         "none"},
        {"password", [&] { return SetStationPassword(store_, ip, ""); }, "stop"},
    };
    const std::string before = ReadBytes(path_);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        recorder_.messages.clear();
        EXPECT_FALSE(c.write());
        EXPECT_THAT(recorder_.Lines(), ElementsAre(std::string("Execution of SQL statement "
                                                               "failed|  Varnex v1|") +
                                                   c.icon + "|dialog"));
    }
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(StationWritersTest, WriterWithoutConnectionTellsTheUser) {
    store_.CloseStationStore();
    EXPECT_FALSE(InsertStation(store_, "127.0.0.2", "pw********", ""));
    EXPECT_FALSE(SetDefaultFlag(store_, "10.10.10.10", false));  // the scan's own step: silent
    EXPECT_THAT(recorder_.Lines(),
                ElementsAre("Statement handle allocation failed|  Varnex v1|stop|dialog"));
}

}  // namespace
}  // namespace varnex
