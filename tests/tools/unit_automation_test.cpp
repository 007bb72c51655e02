// Scripts, the relay timer and the two triggers, seen through the status
// record and the script table while the unit's clock is moved by hand.
#include <gtest/gtest.h>

#include <tuple>

#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;

uint32_t TimerSeconds(const Bytes& status) {
    return uint32_t{status[97]} << 16 | uint32_t{status[98]} << 8 | status[99];
}

using Timer = std::tuple<uint32_t, int, int, std::string>;

class UnitAutomation : public ::testing::Test {
  protected:
    // "J" as the client sends it: slot byte, 16 codes, 16 name characters.
    void Store(uint8_t slotByte, std::string codes, std::string name = "Test") {
        codes.resize(16, ' ');
        name.resize(16, ' ');
        ASSERT_EQ(unit.Type('J', Text(std::string(1, char(slotByte)) + codes + name)), 1);
    }
    // Seconds left, running flag, slot byte and the relays.
    Timer TimerAndRelays() {
        const Bytes status = unit.Status();
        return {TimerSeconds(status), status[100], status[101], RelaysOn(status)};
    }

    UnitHarness unit;
};

TEST_F(UnitAutomation, ScriptTableHoldsUploadsAsSent) {
    Store(0x40, "18", "Pump");
    Store(0xE0, "1234567891AB1234", "ABCDEFGHIJKLMNO");
    ASSERT_TRUE(unit.Command('J', {0x20, '1'}));
    EXPECT_EQ(unit.Type('J', {0x21}), 1) << "no slot: a status record, no change";
    const Bytes table = unit.ScriptTable();
    EXPECT_EQ(Slice(table, 0, 14), Header(2));
    std::vector<std::string> slots;
    for (std::size_t slot = 0; slot < 8; ++slot) {
        const Bytes record = Slice(table, 14 + 32 * slot, 32);
        slots.emplace_back(record.begin(), record.end());
    }
    const std::string blank(32, ' ');  // a slot never written
    EXPECT_EQ(slots,
              (std::vector<std::string>{blank, "1" + std::string(31, '*'),  // the filler is kept
                                        "18              Pump            ", blank, blank, blank,
                                        blank, "1234567891AB1234ABCDEFGHIJKLMNO "}));
}

TEST_F(UnitAutomation, ExecutedScriptRunsStepByStepWithItsDelays) {
    Store(0x20, "13B2A6");  // 1 on, 2 on, wait 5, 1 off, wait 4, 3 off
    EXPECT_EQ(unit.Type('K', {0x10}), 1) << "no slot: not acknowledged";
    EXPECT_EQ(unit.Type('K', {0x20}), 3);
    EXPECT_EQ(RelaysOn(unit.Status()), "110");
    unit.Advance(4999ms);
    EXPECT_EQ(RelaysOn(unit.Status()), "110");
    unit.Advance(1ms);
    EXPECT_EQ(RelaysOn(unit.Status()), "010");
    unit.Command('8');  // relay 3 on by hand while the script waits
    unit.Advance(4s);
    EXPECT_EQ(RelaysOn(unit.Status()), "010");
    EXPECT_FALSE(unit.Server().State().script.has_value());

    Store(0x00, "x1z 4");  // unknown codes are skipped, a blank ends the script
    ASSERT_EQ(unit.Type('K', {0x00}), 3);
    EXPECT_EQ(RelaysOn(unit.Status()), "110");
}

TEST_F(UnitAutomation, OneShotTimerCountsDownAndRunsItsScriptOnce) {
    Store(0x20, "3");
    ASSERT_EQ(unit.Type('M', {0, 0, 90, 0x20, 0}), 5);
    EXPECT_EQ(TimerAndRelays(), (Timer{90, 1, 0x20, "000"}));
    unit.Advance(89500ms);
    EXPECT_EQ(TimerAndRelays(), (Timer{1, 1, 0x20, "000"})) << "rounded up";
    unit.Advance(500ms);
    EXPECT_EQ(TimerAndRelays(), (Timer{0, 0, 0x20, "010"}));
    unit.Command('6');
    unit.Advance(200s);
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "ran once only";
    EXPECT_EQ(unit.LogCount("\"M\" timer set: 90 s, slot 2, one shot"), 1);
    EXPECT_EQ(unit.LogCount(" timer fired"), 1);
    EXPECT_EQ(unit.LogCount(" script slot 2 finished"), 1);
}

TEST_F(UnitAutomation, ContinuousTimerReloadsUntilStopped) {
    Store(0x00, "172");  // relay 1 on, wait a second, relay 1 off
    ASSERT_EQ(unit.Type('M', {0, 0, 2, 0x00, 1}), 5);
    unit.Advance(2500ms);
    EXPECT_EQ(TimerAndRelays(), (Timer{2, 1, 0x00, "100"}));
    // A clock jump runs every event in order: fired at 2, 4, ..., 3602 s.
    unit.Advance(1h + 500ms);
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "the last firing's script has finished too";
    EXPECT_EQ(unit.LogCount("timer fired"), 1801);
    EXPECT_EQ(unit.Type('N'), 4);
    EXPECT_EQ(TimerAndRelays(), (Timer{0, 0, 0x00, "000"}));
}

TEST_F(UnitAutomation, TemperatureTriggerRunsItsScriptsWhenCrossingThresholds) {
    Store(0x00, "1");  // above: relay 1 on
    Store(0x20, "2");  // below: relay 1 off
    unit.Console("temp 35");
    ASSERT_EQ(unit.Type('P', {1, 0x00, 0x20, 30, 20}), 7);
    const Bytes status = unit.Status();
    EXPECT_EQ(Slice(status, 117, 5), (Bytes{1, 0x00, 0x20, 30, 20}));
    EXPECT_EQ(RelaysOn(status), "000") << "a new setting does not fire by itself";
    unit.Console("temp 30");
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "not greater yet";
    unit.Console("temp 30.5");
    EXPECT_EQ(RelaysOn(unit.Status()), "100");
    unit.Command('3');
    unit.Console("temp 40");
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "no second run without crossing again";
    unit.Command('2');
    unit.Console("temp 20");
    EXPECT_EQ(RelaysOn(unit.Status()), "100");
    unit.Console("temp 19.5");
    EXPECT_EQ(RelaysOn(unit.Status()), "000");
    unit.Command('2');
    EXPECT_EQ(unit.Type('T'), 13);
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "a reset runs the script for where it stands";
}

TEST_F(UnitAutomation, IoTriggerRunsTheScriptForThePinsNewLevel) {
    Store(0x00, "2");  // pin becomes 0: relay 1 off
    Store(0x20, "1");  // pin becomes 1: relay 1 on
    ASSERT_EQ(unit.Type('O', {2, 1, 0x00, 0x20}), 6);
    EXPECT_EQ(Slice(unit.Status(), 108, 3), (Bytes{1, 0x00, 0x20}));
    unit.Console("pin 3 1");
    EXPECT_EQ(RelaysOn(unit.Status()), "100");
    unit.Command('3');
    unit.Console("pin 3 1");
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "no change, no script";
    unit.Command('2');
    unit.Console("pin 3 0");
    EXPECT_EQ(RelaysOn(unit.Status()), "000");
    unit.Console("pin 2 1");
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "pin 2 has no trigger";
}

TEST_F(UnitAutomation, BadSettingsAreRefusedAndZeroSwitchesATriggerOff) {
    ASSERT_EQ(unit.Type('M', {0x28, 0xDE, 0x7F, 0xE0, 0}), 5);
    EXPECT_EQ(TimerSeconds(unit.Status()), 2678399u) << "the largest delay is taken";
    ASSERT_EQ(unit.Type('N'), 4);
    // A refused setting gets a status record (type 1), not its acknowledgement.
    for (const auto& [letter, params, type] :
         std::vector<std::tuple<char, Bytes, int>>{{'M', {0, 0, 0, 0, 0}, 1},
                                                   {'M', {0x28, 0xDE, 0x80, 0, 0}, 1},
                                                   {'M', {0, 0, 5, 0x21, 0}, 1},
                                                   {'M', {0, 0, 5, 0, 2}, 1},
                                                   {'P', {1, 0, 0x20, 25, 25}, 1},
                                                   {'P', {1, 0, 0x20, 51, 25}, 1},
                                                   {'P', {1, 3, 0x20, 30, 20}, 1},
                                                   {'P', {2, 0, 0x20, 30, 20}, 1},
                                                   {'P', {1, 0, 0x20, 50, 20}, 7},
                                                   {'P', {0, 0, 0, 0, 0}, 7},
                                                   {'O', {4, 1, 0xE0, 0xE0}, 6},
                                                   {'O', {5, 1, 0, 0}, 1},
                                                   {'O', {0, 1, 0x30, 0}, 1},
                                                   {'O', {4, 0, 0, 0}, 6}}) {
        EXPECT_EQ(unit.Type(letter, params), type)
            << letter << " " << ::testing::PrintToString(params);
    }
    const Bytes status = unit.Status();
    EXPECT_EQ(status[100], 0) << "no timer runs";
    EXPECT_EQ(Slice(status, 102, 20), Bytes(20, 0)) << "both triggers off";
}

}  // namespace
}  // namespace varnex::unit::testing
