// Scripts, the relay timer and the two triggers, seen through the status
// record and the script table while the unit's clock is moved by hand.
#include <gtest/gtest.h>

#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;

std::string Field(const Bytes& bytes, std::size_t offset) {
    return std::string(bytes.begin() + static_cast<long>(offset),
                       bytes.begin() + static_cast<long>(offset + 16));
}

// "J" as the client sends it: slot byte, 16 codes, 16 name characters.
Bytes Upload(uint8_t slotByte, const std::string& codes, const std::string& name) {
    Bytes frame = Frame('J', {{20, slotByte}});
    PutText(frame, 21, codes);
    PutText(frame, 37, name);
    return frame;
}

uint32_t TimerSeconds(const Bytes& status) {
    return uint32_t{status[97]} << 16 | uint32_t{status[98]} << 8 | status[99];
}

class UnitAutomation : public ::testing::Test {
  protected:
    void Store(uint8_t slotByte, std::string codes, std::string name = "Test") {
        codes.resize(16, ' ');
        name.resize(16, ' ');
        const auto reply = unit.Exchange(Upload(slotByte, codes, name));
        ASSERT_TRUE(reply);
        ASSERT_EQ((*reply)[13], 1);
    }

    UnitHarness unit;
};

TEST_F(UnitAutomation, ScriptTableHoldsUploadsAsSent) {
    Store(0x40, "18", "Pump");
    Store(0xE0, "1234567891AB1234", "ABCDEFGHIJKLMNO");
    ASSERT_TRUE(unit.Exchange(Frame('J', {{20, 0x20}, {21, '1'}})));
    EXPECT_EQ(unit.Type('J', {{20, 0x21}}), 1) << "no slot: a status record, no change";
    const Bytes table = unit.ScriptTable();
    EXPECT_EQ(table[10], 0);
    EXPECT_EQ(table[13], 2);
    EXPECT_EQ(Field(table, 14), std::string(16, ' ')) << "a slot never written is blank";
    EXPECT_EQ(Field(table, 30), std::string(16, ' '));
    EXPECT_EQ(Field(table, 14 + 32), "1***************") << "the filler is kept";
    EXPECT_EQ(Field(table, 30 + 32), "****************");
    EXPECT_EQ(Field(table, 14 + 64), "18              ");
    EXPECT_EQ(Field(table, 30 + 64), "Pump            ");
    EXPECT_EQ(Field(table, 14 + 224), "1234567891AB1234");
    EXPECT_EQ(Field(table, 30 + 224), "ABCDEFGHIJKLMNO ");
    for (std::size_t slot : {3, 4, 5, 6}) {
        EXPECT_EQ(Field(table, 14 + 32 * slot), std::string(16, ' ')) << slot;
    }
}

TEST_F(UnitAutomation, ExecutedScriptRunsStepByStepWithItsDelays) {
    Store(0x20, "13B2A6");  // 1 on, 2 on, wait 5, 1 off, wait 4, 3 off
    EXPECT_EQ(unit.Type('K', {{20, 0x10}}), 1) << "no slot: not acknowledged";
    EXPECT_EQ(unit.Type('K', {{20, 0x20}}), 3);
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
    ASSERT_EQ(unit.Type('K', {{20, 0x00}}), 3);
    EXPECT_EQ(RelaysOn(unit.Status()), "110");
}

TEST_F(UnitAutomation, OneShotTimerCountsDownAndRunsItsScriptOnce) {
    Store(0x20, "3");
    ASSERT_EQ(unit.Type('M', {{20, 0}, {21, 0}, {22, 90}, {23, 0x20}, {24, 0}}), 5);
    Bytes status = unit.Status();
    EXPECT_EQ(TimerSeconds(status), 90u);
    EXPECT_EQ(status[100], 1);
    EXPECT_EQ(status[101], 0x20);
    unit.Advance(89500ms);
    EXPECT_EQ(TimerSeconds(unit.Status()), 1u) << "rounded up";
    EXPECT_EQ(RelaysOn(unit.Status()), "000");
    unit.Advance(500ms);
    status = unit.Status();
    EXPECT_EQ(RelaysOn(status), "010");
    EXPECT_EQ(status[100], 0);
    EXPECT_EQ(TimerSeconds(status), 0u);
    unit.Command('6');
    unit.Advance(200s);
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "ran once only";
    EXPECT_EQ(unit.LogCount("\"M\" timer set: 90 s, slot 2, one shot"), 1);
    EXPECT_EQ(unit.LogCount(" timer fired"), 1);
    EXPECT_EQ(unit.LogCount(" script slot 2 finished"), 1);
}

TEST_F(UnitAutomation, ContinuousTimerReloadsUntilStopped) {
    Store(0x00, "172");  // relay 1 on, wait a second, relay 1 off
    ASSERT_EQ(unit.Type('M', {{20, 0}, {21, 0}, {22, 2}, {23, 0x00}, {24, 1}}), 5);
    unit.Advance(2500ms);
    Bytes status = unit.Status();
    EXPECT_EQ(RelaysOn(status), "100");
    EXPECT_EQ(status[100], 1);
    EXPECT_EQ(TimerSeconds(status), 2u);
    // A clock jump runs every event in order: fired at 2, 4, ..., 3602 s.
    unit.Advance(1h + 500ms);
    EXPECT_EQ(RelaysOn(unit.Status()), "000") << "the last firing's script has finished too";
    EXPECT_EQ(unit.LogCount("timer fired"), 1801);
    EXPECT_EQ(unit.Type('N'), 4);
    status = unit.Status();
    EXPECT_EQ(status[100], 0);
    EXPECT_EQ(TimerSeconds(status), 0u);
}

TEST_F(UnitAutomation, LargestTimerDelayIsTakenAndBadSettingsAreRefused) {
    ASSERT_EQ(unit.Type('M', {{20, 0x28}, {21, 0xDE}, {22, 0x7F}, {23, 0xE0}, {24, 0}}), 5);
    EXPECT_EQ(TimerSeconds(unit.Status()), 2678399u);
    ASSERT_EQ(unit.Type('N'), 4);
    for (const Params& bad : {Params{{20, 0}, {21, 0}, {22, 0}, {23, 0}, {24, 0}},
                              Params{{20, 0x28}, {21, 0xDE}, {22, 0x80}, {23, 0}, {24, 0}},
                              Params{{20, 0}, {21, 0}, {22, 5}, {23, 0x21}, {24, 0}},
                              Params{{20, 0}, {21, 0}, {22, 5}, {23, 0}, {24, 2}}}) {
        const auto reply = unit.Command('M', bad);
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[13], 1) << "a status record, not \"Timer Data Received !\"";
        EXPECT_EQ((*reply)[100], 0);
    }
}

TEST_F(UnitAutomation, TemperatureTriggerRunsItsScriptsWhenCrossingThresholds) {
    Store(0x00, "1");  // above: relay 1 on
    Store(0x20, "2");  // below: relay 1 off
    unit.Console("temp 35");
    ASSERT_EQ(unit.Type('P', {{20, 1}, {21, 0x00}, {22, 0x20}, {23, 30}, {24, 20}}), 7);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 117, status.begin() + 122), (Bytes{1, 0x00, 0x20, 30, 20}));
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

TEST_F(UnitAutomation, TemperatureTriggerRefusesBadSettingsAndSwitchesOff) {
    for (const Params& bad : {Params{{20, 1}, {21, 0}, {22, 0x20}, {23, 25}, {24, 25}},
                              Params{{20, 1}, {21, 0}, {22, 0x20}, {23, 51}, {24, 25}},
                              Params{{20, 1}, {21, 3}, {22, 0x20}, {23, 30}, {24, 20}},
                              Params{{20, 2}, {21, 0}, {22, 0x20}, {23, 30}, {24, 20}}}) {
        EXPECT_EQ(unit.Type('P', bad), 1);
    }
    ASSERT_EQ(unit.Type('P', {{20, 1}, {21, 0}, {22, 0x20}, {23, 50}, {24, 20}}), 7);
    ASSERT_EQ(unit.Type('P', {{20, 0}, {21, 0}, {22, 0}, {23, 0}, {24, 0}}), 7);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 117, status.begin() + 122), Bytes(5, 0));
}

TEST_F(UnitAutomation, IoTriggerRunsTheScriptForThePinsNewLevel) {
    Store(0x00, "2");  // pin becomes 0: relay 1 off
    Store(0x20, "1");  // pin becomes 1: relay 1 on
    ASSERT_EQ(unit.Type('O', {{20, 2}, {21, 1}, {22, 0x00}, {23, 0x20}}), 6);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 108, status.begin() + 111), (Bytes{1, 0x00, 0x20}));

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

TEST_F(UnitAutomation, IoTriggerOffAndBadSettings) {
    ASSERT_EQ(unit.Type('O', {{20, 4}, {21, 1}, {22, 0xE0}, {23, 0xE0}}), 6);
    EXPECT_EQ(unit.Type('O', {{20, 5}, {21, 1}, {22, 0}, {23, 0}}), 1);
    EXPECT_EQ(unit.Type('O', {{20, 0}, {21, 1}, {22, 0x30}, {23, 0}}), 1);
    ASSERT_EQ(unit.Type('O', {{20, 4}, {21, 0}, {22, 0}, {23, 0}}), 6);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 102, status.begin() + 117), Bytes(15, 0));
}

}  // namespace
}  // namespace varnex::unit::testing
