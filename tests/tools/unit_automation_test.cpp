// Scripts, the relay timer and the two triggers, seen through the status
// record and the script table while the unit's clock is moved by hand.
#include <gtest/gtest.h>

#include "unit/script_steps.h"
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

// Relays 1..3 as "1" for on and "0" for off.
std::string Relays(const Bytes& status) {
    std::string text;
    for (std::size_t i = 0; i < 3; ++i) {
        text += status[36 + i] == 0 ? '1' : '0';
    }
    return text;
}

uint32_t TimerSeconds(const Bytes& status) {
    return uint32_t{status[97]} << 16 | uint32_t{status[98]} << 8 | status[99];
}

TEST(UnitScriptSteps, EveryCodeHasItsAction) {
    struct Case {
        char code;
        StepKind kind;
        std::size_t relay;
        bool on;
        int seconds;
    };
    for (const Case& c : std::vector<Case>{{'1', StepKind::Relay, 0, true, 0},
                                           {'2', StepKind::Relay, 0, false, 0},
                                           {'3', StepKind::Relay, 1, true, 0},
                                           {'4', StepKind::Relay, 1, false, 0},
                                           {'5', StepKind::Relay, 2, true, 0},
                                           {'6', StepKind::Relay, 2, false, 0},
                                           {'7', StepKind::Delay, 0, false, 1},
                                           {'8', StepKind::Delay, 0, false, 2},
                                           {'9', StepKind::Delay, 0, false, 3},
                                           {'A', StepKind::Delay, 0, false, 4},
                                           {'B', StepKind::Delay, 0, false, 5},
                                           {' ', StepKind::End, 0, false, 0},
                                           {'C', StepKind::Unknown, 0, false, 0},
                                           {'a', StepKind::Unknown, 0, false, 0},
                                           {'*', StepKind::Unknown, 0, false, 0},
                                           {'\0', StepKind::Unknown, 0, false, 0}}) {
        const StepAction step = StepFromCode(static_cast<uint8_t>(c.code));
        EXPECT_EQ(step.kind, c.kind) << c.code;
        EXPECT_EQ(step.relay, c.relay) << c.code;
        EXPECT_EQ(step.on, c.on) << c.code;
        EXPECT_EQ(step.seconds, c.seconds) << c.code;
    }
}

class UnitAutomation : public ::testing::Test {
  protected:
    void Store(uint8_t slotByte, const std::string& codes, const std::string& name = "Test") {
        std::string padded = name;
        padded.resize(16, ' ');
        std::string steps = codes;
        steps.resize(16, ' ');
        const auto reply = unit.Exchange(Upload(slotByte, steps, padded));
        ASSERT_TRUE(reply);
        ASSERT_EQ((*reply)[13], 1);
    }

    UnitHarness unit;
};

TEST_F(UnitAutomation, ScriptTableHoldsUploadsAsSent) {
    ASSERT_TRUE(unit.Exchange(Upload(0x40, "18              ", "Pump            ")));
    ASSERT_TRUE(unit.Exchange(Upload(0xE0, "1234567891AB1234", "ABCDEFGHIJKLMNO ")));
    const Bytes table = unit.ScriptTable();
    EXPECT_EQ(table.size(), 270u);
    EXPECT_EQ(table[10], 0);
    EXPECT_EQ(table[13], 2);
    EXPECT_EQ(Field(table, 14 + 64), "18              ");
    EXPECT_EQ(Field(table, 30 + 64), "Pump            ");
    EXPECT_EQ(Field(table, 14 + 224), "1234567891AB1234") << "sixteen steps, no blank";
    EXPECT_EQ(Field(table, 30 + 224), "ABCDEFGHIJKLMNO ");
    EXPECT_EQ(Field(table, 14), std::string(16, ' ')) << "a slot never written is blank";
    EXPECT_EQ(Field(table, 30), std::string(16, ' '));
}

TEST_F(UnitAutomation, UploadWithoutNameKeepsTheFiller) {
    ASSERT_TRUE(unit.Exchange(Frame('J', {{20, 0x20}, {21, '1'}})));
    const Bytes table = unit.ScriptTable();
    EXPECT_EQ(Field(table, 14 + 32), "1***************");
    EXPECT_EQ(Field(table, 30 + 32), "****************");
}

TEST_F(UnitAutomation, UploadToAByteThatIsNoSlotChangesNothing) {
    const auto reply = unit.Exchange(Upload(0x21, "1               ", "Bad             "));
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 1);
    const Bytes table = unit.ScriptTable();
    for (std::size_t slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(Field(table, 30 + 32 * slot), std::string(16, ' '));
    }
}

TEST_F(UnitAutomation, ExecutedScriptRunsStepByStepWithItsDelays) {
    Store(0x20, "13B2A6");  // 1 on, 2 on, wait 5, 1 off, wait 4, 3 off
    const auto reply = unit.Command('K', {{20, 0x20}});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 14u);
    EXPECT_EQ((*reply)[13], 3);
    EXPECT_EQ(Relays(unit.Status()), "110");
    unit.Advance(4999ms);
    EXPECT_EQ(Relays(unit.Status()), "110");
    unit.Advance(1ms);
    EXPECT_EQ(Relays(unit.Status()), "010");
    unit.Command('8');  // relay 3 on by hand while the script waits
    EXPECT_EQ(Relays(unit.Status()), "011");
    unit.Advance(4s);
    EXPECT_EQ(Relays(unit.Status()), "010");
    EXPECT_FALSE(unit.Server().State().script.has_value());
}

TEST_F(UnitAutomation, UnknownCodesAreSkippedAndABlankEndsTheScript) {
    Store(0x00, "x1z 3");
    ASSERT_TRUE(unit.Command('K', {{20, 0x00}}));
    EXPECT_EQ(Relays(unit.Status()), "100");
}

TEST_F(UnitAutomation, ExecuteOfAByteThatIsNoSlotIsNotAcknowledged) {
    const auto reply = unit.Command('K', {{20, 0x10}});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 1);
}

TEST_F(UnitAutomation, OneShotTimerCountsDownAndRunsItsScriptOnce) {
    Store(0x20, "3");
    const auto reply = unit.Command('M', {{20, 0}, {21, 0}, {22, 90}, {23, 0x20}, {24, 0}});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 5);
    Bytes status = unit.Status();
    EXPECT_EQ(TimerSeconds(status), 90u);
    EXPECT_EQ(status[100], 1);
    EXPECT_EQ(status[101], 0x20);
    unit.Advance(30s);
    EXPECT_EQ(TimerSeconds(unit.Status()), 60u);
    unit.Advance(59500ms);
    EXPECT_EQ(TimerSeconds(unit.Status()), 1u) << "rounded up";
    EXPECT_EQ(Relays(unit.Status()), "000");
    unit.Advance(500ms);
    status = unit.Status();
    EXPECT_EQ(Relays(status), "010");
    EXPECT_EQ(status[100], 0);
    EXPECT_EQ(TimerSeconds(status), 0u);
    unit.Command('6');
    unit.Advance(200s);
    EXPECT_EQ(Relays(unit.Status()), "000") << "ran once only";
}

TEST_F(UnitAutomation, ContinuousTimerReloadsAndRunsAgain) {
    Store(0x00, "1");
    ASSERT_TRUE(unit.Command('M', {{20, 0}, {21, 0}, {22, 10}, {23, 0x00}, {24, 1}}));
    unit.Advance(10s);
    Bytes status = unit.Status();
    EXPECT_EQ(Relays(status), "100");
    EXPECT_EQ(status[100], 1);
    EXPECT_EQ(TimerSeconds(status), 10u);
    unit.Command('3');
    unit.Advance(9s);
    EXPECT_EQ(Relays(unit.Status()), "000");
    unit.Advance(1s);
    EXPECT_EQ(Relays(unit.Status()), "100");
    const auto stop = unit.Command('N');
    ASSERT_TRUE(stop);
    EXPECT_EQ((*stop)[13], 4);
    status = unit.Status();
    EXPECT_EQ(status[100], 0);
    EXPECT_EQ(TimerSeconds(status), 0u);
}

TEST_F(UnitAutomation, AClockJumpRunsEveryEventInOrder) {
    Store(0x00, "172");  // relay 1 on, wait a second, relay 1 off
    ASSERT_TRUE(unit.Command('M', {{20, 0}, {21, 0}, {22, 2}, {23, 0x00}, {24, 1}}));
    unit.Advance(2500ms);
    EXPECT_EQ(Relays(unit.Status()), "100");
    unit.Advance(1h + 500ms);  // 3603 s after setting: fired at 2, 4, ..., 3602 s
    EXPECT_EQ(Relays(unit.Status()), "000") << "the last firing's script has finished too";
    const auto& log = unit.Log();
    const auto fired = std::count_if(log.begin(), log.end(), [](const std::string& line) {
        return line.find("timer fired") != std::string::npos;
    });
    EXPECT_EQ(fired, 1801);
}

TEST_F(UnitAutomation, LargestDelayIsTakenAndBadSettingsAreRefused) {
    ASSERT_EQ((*unit.Command('M', {{20, 0x28}, {21, 0xDE}, {22, 0x7F}, {23, 0xE0}, {24, 0}}))[13],
              5);
    EXPECT_EQ(TimerSeconds(unit.Status()), 2678399u);
    ASSERT_EQ((*unit.Command('N'))[13], 4);
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
    const auto reply = unit.Command('P', {{20, 1}, {21, 0x00}, {22, 0x20}, {23, 30}, {24, 20}});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 7);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 117, status.begin() + 122), (Bytes{1, 0x00, 0x20, 30, 20}));

    unit.Console("temp 30");
    EXPECT_EQ(Relays(unit.Status()), "000") << "not greater yet";
    unit.Console("temp 30.5");
    EXPECT_EQ(Relays(unit.Status()), "100");
    unit.Command('3');
    unit.Console("temp 40");
    EXPECT_EQ(Relays(unit.Status()), "000") << "no second run without crossing again";
    unit.Command('2');
    unit.Console("temp 20");
    EXPECT_EQ(Relays(unit.Status()), "100");
    unit.Console("temp 19.5");
    EXPECT_EQ(Relays(unit.Status()), "000");
    unit.Console("temp 35");
    EXPECT_EQ(Relays(unit.Status()), "100");
}

TEST_F(UnitAutomation, TemperatureTriggerRefusesBadSettingsAndSwitchesOff) {
    for (const Params& bad : {Params{{20, 1}, {21, 0}, {22, 0x20}, {23, 25}, {24, 25}},
                              Params{{20, 1}, {21, 0}, {22, 0x20}, {23, 20}, {24, 25}},
                              Params{{20, 1}, {21, 0}, {22, 0x20}, {23, 51}, {24, 25}},
                              Params{{20, 1}, {21, 3}, {22, 0x20}, {23, 30}, {24, 20}},
                              Params{{20, 2}, {21, 0}, {22, 0x20}, {23, 30}, {24, 20}}}) {
        EXPECT_EQ((*unit.Command('P', bad))[13], 1);
    }
    ASSERT_EQ((*unit.Command('P', {{20, 1}, {21, 0}, {22, 0x20}, {23, 30}, {24, 20}}))[13], 7);
    ASSERT_EQ((*unit.Command('P', {{20, 0}, {21, 0}, {22, 0}, {23, 0}, {24, 0}}))[13], 7);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 117, status.begin() + 122), Bytes(5, 0));
}

TEST_F(UnitAutomation, ResetRunsTheScriptForATemperatureAlreadyBeyondAThreshold) {
    Store(0x40, "5");
    unit.Console("temp 45");
    ASSERT_TRUE(unit.Command('P', {{20, 1}, {21, 0x40}, {22, 0x40}, {23, 40}, {24, 10}}));
    EXPECT_EQ(Relays(unit.Status()), "000") << "a new setting does not fire by itself";
    const auto reply = unit.Command('T');
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 13);
    EXPECT_EQ(Relays(unit.Status()), "001");
}

TEST_F(UnitAutomation, IoTriggerRunsTheScriptForThePinsNewLevel) {
    Store(0x00, "2");  // pin becomes 0: relay 1 off
    Store(0x20, "1");  // pin becomes 1: relay 1 on
    const auto reply = unit.Command('O', {{20, 2}, {21, 1}, {22, 0x00}, {23, 0x20}});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[13], 6);
    EXPECT_EQ(reply->size(), 14u);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 108, status.begin() + 111), (Bytes{1, 0x00, 0x20}));

    unit.Console("pin 3 1");
    EXPECT_EQ(Relays(unit.Status()), "100");
    unit.Console("pin 3 1");
    unit.Command('3');
    EXPECT_EQ(Relays(unit.Status()), "000") << "no change, no script";
    unit.Command('2');
    unit.Console("pin 3 0");
    EXPECT_EQ(Relays(unit.Status()), "000");
    unit.Console("pin 2 1");
    EXPECT_EQ(Relays(unit.Status()), "000") << "pin 2 has no trigger";
}

TEST_F(UnitAutomation, IoTriggerOffAndBadSettings) {
    ASSERT_EQ((*unit.Command('O', {{20, 4}, {21, 1}, {22, 0xE0}, {23, 0xE0}}))[13], 6);
    EXPECT_EQ((*unit.Command('O', {{20, 5}, {21, 1}, {22, 0}, {23, 0}}))[13], 1);
    EXPECT_EQ((*unit.Command('O', {{20, 0}, {21, 1}, {22, 0x30}, {23, 0}}))[13], 1);
    ASSERT_EQ((*unit.Command('O', {{20, 4}, {21, 0}, {22, 0}, {23, 0}}))[13], 6);
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 102, status.begin() + 117), Bytes(15, 0));
}

TEST_F(UnitAutomation, ItsOwnEventsAreLogged) {
    Store(0x00, "7");
    ASSERT_TRUE(unit.Command('M', {{20, 0}, {21, 0}, {22, 2}, {23, 0}, {24, 0}}));
    unit.Advance(3s);
    const auto& log = unit.Log();
    const auto has = [&](const std::string& text) {
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    };
    EXPECT_TRUE(has("timer fired"));
    EXPECT_TRUE(has("script slot 1 started"));
    EXPECT_TRUE(has("script slot 1 finished"));
    EXPECT_TRUE(has("\"M\" timer set: 2 s, slot 1, one shot"));
}

}  // namespace
}  // namespace varnex::unit::testing
