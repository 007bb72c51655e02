// Many units in one process: what sets each unit apart, that each answers
// on its own address, and that the console reaches one unit by address.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "unit/unit_console.h"
#include "unit/unit_fleet.h"
#include "unit/voltage_drift.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using Mac = std::array<uint8_t, wire::kMacSize>;

TEST(FleetMemberSetup, EachUnitCountsUpFromTheFirst) {
    UnitSetup first;
    first.address = {127, 1, 0, 250};
    first.mac = {0x02, 0x56, 0x4E, 0x58, 0x00, 0xFE};
    first.seed = 7;
    struct Case {
        std::size_t index;
        std::string name;
        Address4 address;
        Mac mac;
        uint64_t seed;
    };
    for (const Case& c : std::vector<Case>{
             {0, "Varnex Unit 1", {127, 1, 0, 250}, {2, 0x56, 0x4E, 0x58, 0x00, 0xFE}, 7},
             {1, "Varnex Unit 2", {127, 1, 0, 251}, {2, 0x56, 0x4E, 0x58, 0x00, 0xFF}, 8},
             // Address and MAC carry into the next byte.
             {9, "Varnex Unit 10", {127, 1, 1, 3}, {2, 0x56, 0x4E, 0x58, 0x01, 0x07}, 16},
         }) {
        const UnitSetup setup = FleetMemberSetup(first, c.index);
        EXPECT_EQ(std::tie(setup.name, setup.address, setup.mac, setup.seed),
                  std::tie(c.name, c.address, c.mac, c.seed))
            << c.index;
        EXPECT_EQ(setup.password, first.password);
    }
    // A long name is cut so that the number still fits in 20 characters.
    first.name = "Twenty characters!!!";
    EXPECT_EQ(FleetMemberSetup(first, 41).name, "Twenty characters 42");
}

class UnitFleetTest : public ::testing::Test {
  protected:
    static constexpr std::size_t kUnits = 3;

    void SetUp() override {
        UnitSetup first;
        first.address = {127, 1, 0, 1};
        std::string error;
        ASSERT_TRUE(fleet_.Start(first, kUnits, 0, error)) << error;
    }

    // The status record unit `index` sends to `client`, from its own address.
    std::optional<Bytes> Status(std::size_t index) {
        UnitServer& unit = fleet_.Unit(index);
        EXPECT_TRUE(client_.SendTo(unit.Address(), unit.Port(), Frame('1')));
        EXPECT_TRUE(varnex::testing::WaitReadable(fleet_.Descriptor()));
        fleet_.Serve();
        auto reply = client_.Receive(static_cast<int>(kSilenceWait.count()));
        EXPECT_EQ(client_.LastSenderAddress(), unit.Address());
        return reply;
    }

    UnitTime now_{1000};
    UnitFleet fleet_{[this] { return now_; }, {}};
    ClientSocket client_;
};

TEST_F(UnitFleetTest, EveryUnitAnswersOnItsOwnAddressAsItself) {
    ASSERT_EQ(fleet_.Size(), kUnits);
    std::set<Bytes> macs;
    for (std::size_t i = 0; i < kUnits; ++i) {
        EXPECT_EQ(fleet_.Unit(i).Address(), "127.1.0." + std::to_string(i + 1));
        EXPECT_EQ(fleet_.Unit(i).Port(), fleet_.Unit(0).Port());
        const auto status = Status(i);
        ASSERT_TRUE(status) << i;
        macs.insert(Slice(*status, wire::kMacOffset, wire::kMacSize));
        const Bytes name = Slice(*status, wire::kStationNameOffset, 13);
        EXPECT_EQ(std::string(name.begin(), name.end()), "Varnex Unit " + std::to_string(i + 1));
    }
    EXPECT_EQ(macs.size(), kUnits);
}

TEST_F(UnitFleetTest, ConsoleReachesOneUnitByAddress) {
    for (const auto& [line, output] : std::vector<std::pair<std::string, std::string>>{
             {"@127.1.0.2 volts 2 12.5", "voltmeter 2 held at 12.498 V\n"},
             {"  @127.1.0.3   temp 30", "temperature is 30.0 C\n"},
             {"temp 10", "temperature is 10.0 C\n"},
             {"@127.1.0.9 temp 10", "no unit on 127.1.0.9\n"},
             {"@127.1.0.2", ""},
         }) {
        EXPECT_EQ(RunFleetConsoleLine(fleet_, line).output, output) << line;
    }
    EXPECT_TRUE(RunFleetConsoleLine(fleet_, "@127.1.0.1 quit").quit);
    // Halves: unit 1 took the line without an address, unit 2 none.
    const std::array<int, kUnits> halves{20, kStartTemperatureHalves, 60};
    for (std::size_t i = 0; i < kUnits; ++i) {
        EXPECT_EQ(fleet_.Unit(i).State().temperatureHalves, halves[i]) << i;
    }
    EXPECT_TRUE(fleet_.Unit(1).State().voltmeters[1].held);
    EXPECT_FALSE(fleet_.Unit(0).State().voltmeters[1].held);
    EXPECT_FALSE(fleet_.Unit(2).State().voltmeters[1].held);
}

TEST(UnitFleetStart, RefusesWhatCannotBeServed) {
    UnitSetup last;
    last.address = {127, 255, 255, 255};
    UnitFleet fleet([] { return UnitTime{0}; }, {});
    std::string error;
    EXPECT_FALSE(fleet.Start(last, 2, 0, error));
    EXPECT_EQ(error, "2 units do not fit after 127.255.255.255");
    UnitSetup outside;
    outside.address = {192, 0, 2, 1};
    EXPECT_FALSE(fleet.Start(outside, 1, 0, error));
    EXPECT_THAT(error, ::testing::HasSubstr("cannot bind 192.0.2.1"));
}

}  // namespace
}  // namespace varnex::unit::testing
