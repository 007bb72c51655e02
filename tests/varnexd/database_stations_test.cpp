// Stations from the desktop client's station database. The factory row is
// deleted before varnexd reads the file: it is not on loopback.
#include <gtest/gtest.h>

#include "stations/station_table.h"
#include "stations/station_writers.h"
#include "varnexd/database_stations.h"
#include "varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

using varnex::testing::SeededStationTest;

class DatabaseStationsTest : public SeededStationTest {};

TEST_F(DatabaseStationsTest, EveryRowBecomesAStationWithItsPasswordJumpersAndComment) {
    ASSERT_TRUE(InsertStation(store_, "127.1.3.1", "abc", "Lab bench"));
    ASSERT_TRUE(InsertStation(store_, "127.1.3.2", "xyz12", "Roof"));
    ASSERT_TRUE(SetVoltmeterOptions(store_, "127.1.3.2", 2, {"OFF", "STANDARD", "", ""}));
    ASSERT_TRUE(DeleteStation(store_, kFactoryAddress));
    store_.CloseStationStore();

    const ConfigResult result =
        LoadDatabaseStations(path_, {.port = 7007, .interval = std::chrono::milliseconds(2000)});
    ASSERT_TRUE(result.config) << result.error;
    const auto& s = result.config->stations;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(std::tie(s[0].setup.id, s[0].name, s[0].setup.port),
              std::tuple("127.1.3.1", "Lab bench", 7007));
    EXPECT_EQ(s[0].setup.address, (127u << 24) | (1u << 16) | (3u << 8) | 1u);
    EXPECT_EQ(s[0].setup.password, "abc");
    EXPECT_EQ(s[0].setup.interval, std::chrono::milliseconds(2000));
    EXPECT_EQ(s[1].setup.jumpers, (VoltmeterJumpers{true, false}));
}

TEST(DatabaseStations, AMissingFileIsAnErrorAndNeverCreated) {
    TempFolder folder;
    const ConfigResult result = LoadDatabaseStations(folder.File("none.db"), {});
    EXPECT_FALSE(result.config);
    EXPECT_EQ(result.error.rfind(folder.File("none.db") + ": ", 0), 0u) << result.error;
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.db")));
}

}  // namespace
}  // namespace varnex::varnexd::testing
