// The status record's bytes as a client receives them, after each kind of
// command and console input, daughter boards included.
#include <gtest/gtest.h>

#include "unit/voltage_drift.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;

uint16_t Raw(const Bytes& status, std::size_t meter) {
    return static_cast<uint16_t>(status[wire::kVoltmeterOffset + 2 * meter] * 16 +
                                 (status[wire::kVoltmeterOffset + 2 * meter + 1] & 0x0F));
}

UnitSetup WithBoards(std::array<bool, 6> boards, std::array<uint8_t, 3> firmware = {1, 7, 4}) {
    UnitSetup setup;
    setup.boards = boards;
    setup.firmware = firmware;
    return setup;
}

TEST(UnitStatus, FreshUnitReportsItsSetupAndCountsItsUptime) {
    UnitSetup setup;
    setup.name = "Lab Unit";
    setup.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    setup.firmware = {1, 7, 1};
    UnitHarness unit(setup);
    const Bytes status = unit.Status();
    EXPECT_EQ(Slice(status, 0, 14), Header(1));
    EXPECT_EQ(Slice(status, 14, 6), (Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(RelaysOn(status), "000");
    EXPECT_EQ(Slice(status, 65, 5), (Bytes{1, 7, 1, 21, 0x80})) << "21.5 degrees";
    EXPECT_EQ(Slice(status, 73, 4), Bytes(4, 0));
    EXPECT_EQ(Slice(status, 77, 20), Text("Lab Unit            "));
    EXPECT_EQ(Slice(status, 97, 5), Bytes(5, 0)) << "timer idle";
    EXPECT_EQ(Slice(status, 123, 6), Bytes(6, 0)) << "no boards";
    for (std::size_t meter = 0; meter < 8; ++meter) {
        EXPECT_EQ(status[20 + 2 * meter + 1] & 0xF0, 0) << "voltmeter " << meter + 1;
    }
    EXPECT_NEAR(RawToVolts(0, Raw(status, 0)), 12.6, 0.2);
    EXPECT_NEAR(RawToVolts(5, Raw(status, 5)), 4.75, 0.05);

    unit.Advance(70000s + 999ms);
    EXPECT_EQ(Slice(unit.Status(), 73, 4), (Bytes{0x70, 0x11, 0x01, 0x00}))
        << "whole seconds, least significant byte first";
}

TEST(UnitStatus, RelayLettersSwitchTheirRelay) {
    UnitHarness unit;
    for (const auto& [letter, on] : std::vector<std::pair<char, std::string>>{
             {'2', "100"}, {'5', "110"}, {'8', "111"}, {'6', "101"}, {'3', "001"}, {'9', "000"}}) {
        const auto reply = unit.Command(letter);
        ASSERT_TRUE(reply && reply->size() == 137u) << letter;
        EXPECT_EQ(RelaysOn(*reply), on) << letter;
    }
}

TEST(UnitStatus, RelayToggleIsOnForItsSecondsBoundedToOneToSixty) {
    struct Case {
        char letter;
        uint8_t seconds;
        std::chrono::milliseconds on;
        std::string relays;
    };
    for (const Case& c :
         std::vector<Case>{{'4', 17, 17s, "100"}, {'7', 0, 1s, "010"}, {'A', 200, 60s, "001"}}) {
        SCOPED_TRACE(c.letter);
        UnitHarness unit;
        const auto reply = unit.Command(c.letter, {c.seconds});
        ASSERT_TRUE(reply);
        EXPECT_EQ(RelaysOn(*reply), c.relays);
        unit.Advance(c.on - 1ms);
        EXPECT_EQ(RelaysOn(unit.Status()), c.relays) << "still on";
        EXPECT_EQ(unit.Command(c.letter == '4' ? '7' : '4', {5}), Header(100))
            << "one toggle at a time";
        unit.Advance(1ms);
        EXPECT_EQ(RelaysOn(unit.Status()), "000");
    }
}

// Firmware 1.6.8 brings signed half degrees and HTTP, 1.7.0 the boards, 1.7.1 SNMP.
TEST(UnitStatus, TemperatureSwitchesAndBoardsFollowTheFirmware) {
    struct Case {
        std::array<uint8_t, 3> firmware;
        std::string console;
        Bytes temperatureHttpBoardSnmp;  // bytes 68, 69, 122, 123, 129, 136
    };
    for (const Case& c :
         std::vector<Case>{{{1, 6, 7}, "temp -20.5", {0, 0x00, 0, 0, 0, 0}},
                           {{1, 6, 7}, "temp 20.5", {20, 0x00, 0, 0, 0, 0}},
                           {{1, 6, 8}, "temp -20", {20, 0x01, 1, 0, 0, 0}},
                           {{1, 6, 9}, "temp -0.5", {0, 0x81, 1, 0, 0, 0}},
                           {{1, 7, 0}, "temp 20.5", {20, 0x80, 1, 0xFF, 0x7F, 0}},
                           {{1, 7, 1}, "temp -20.5", {20, 0x81, 1, 0xFF, 0x7F, 1}}}) {
        SCOPED_TRACE(std::to_string(c.firmware[1] * 10 + c.firmware[2]) + " " + c.console);
        UnitHarness unit(WithBoards({true, false, false, false, false, false}, c.firmware));
        unit.Console(c.console);
        ASSERT_EQ(unit.Type('Q', {1}), 8);
        ASSERT_EQ(unit.Type('S', {1}), 12);
        EXPECT_EQ(Pick(unit.Status(), {68, 69, 122, 123, 129, 136}), c.temperatureHttpBoardSnmp);
    }
}

TEST(UnitStatus, NameAndMacCommandsTakeWhatTheUnitCanShow) {
    UnitHarness unit;
    Bytes name = Text("Pump House          ");
    name.resize(265, 0);
    ASSERT_TRUE(unit.Command('I', name));
    EXPECT_EQ(Slice(unit.Status(), 77, 20), Text("Pump House          "));
    std::copy_n("Tab\there\0x", 10, name.begin());
    ASSERT_TRUE(unit.Command('I', name));
    EXPECT_EQ(Slice(unit.Status(), 77, 20), Text("Tab here            "))
        << "control bytes become blanks, a zero byte ends the name";

    const Bytes mac = {0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF};
    ASSERT_TRUE(unit.Command('E', mac));
    EXPECT_EQ(Slice(unit.Status(), 14, 6), mac);
    for (const Bytes& multicastOrZero : {Bytes{0x01}, Bytes(6, 0)}) {
        ASSERT_TRUE(unit.Command('E', multicastOrZero));
        EXPECT_EQ(Slice(unit.Status(), 14, 6), mac);
    }
}

TEST(UnitStatus, AddressCommandMovesToALoopbackAddressOnly) {
    UnitHarness unit;
    const uint16_t port = unit.Server().Port();
    ASSERT_TRUE(unit.Command('F', {192, 168, 1, 50}));
    EXPECT_EQ(unit.Server().State().address, (Address4{192, 168, 1, 50}));
    EXPECT_EQ(unit.Server().Address(), "127.0.0.1") << "recorded, not moved";

    ASSERT_TRUE(unit.Command('F', {127, 0, 0, 2}));
    EXPECT_EQ(unit.Server().Address(), "127.0.0.2");
    EXPECT_EQ(unit.Server().Port(), port);
    EXPECT_EQ(unit.Status()[13], 1) << "answers at the new address";
}

TEST(UnitStatus, AllowedClientBlockShowsTheListAndSwitchesRefuseOtherValues) {
    UnitHarness unit;
    Bytes block = {1, 127, 0, 0, 1, 10, 0, 0, 2};  // listed only, two addresses
    block.resize(21, 0);
    EXPECT_EQ(unit.Type('H', block), 20);
    EXPECT_EQ(Slice(unit.Status(), 40, 21), block);
    EXPECT_EQ(unit.Type('H', {0}), 20);
    block[0] = 0;
    EXPECT_EQ(Slice(unit.Status(), 40, 21), block) << "the list stays for later";

    ASSERT_EQ(unit.Type('S', {1}), 12);
    const auto refused = unit.Command('S', {'*'});
    ASSERT_TRUE(refused);
    EXPECT_EQ(Pick(*refused, {13, 136}), (Bytes{1, 1})) << "a status record, SNMP unchanged";
}

TEST(UnitStatus, HeldVoltsAndPinsShowAsSet) {
    UnitHarness unit;
    EXPECT_EQ(unit.Console("volts 3 30"), "voltmeter 3 held at 30.000 V\n");
    for (const char* line : {"volts 6 2.5", "volts 8 99", "pin 1 1", "pin 5 1"}) {
        unit.Console(line);
    }
    unit.Advance(10s);
    // Voltmeters 3, 6 and 8 (clamped to full scale), pin 5, pins 1 to 4.
    EXPECT_EQ(Pick(unit.Status(), {24, 25, 30, 31, 34, 35, 39, 61, 62, 63, 64}),
              (Bytes{0xFF, 0x0F, 0x80, 0x00, 0xFF, 0x0F, 1, 1, 0, 0, 0}));
}

TEST(UnitStatus, ReadingsDriftWithinABandAndRepeatForASeed) {
    const auto readings = [](uint64_t seed) {
        UnitSetup setup;
        setup.seed = seed;
        UnitHarness unit(setup);
        std::vector<uint16_t> raws;
        for (int second = 0; second < 100; ++second) {
            unit.Advance(1s);
            for (const Voltmeter& meter : unit.Server().State().voltmeters) {
                EXPECT_LE(std::abs(meter.raw - meter.centre), 40);
                raws.push_back(meter.raw);
            }
        }
        return raws;
    };
    const auto first = readings(7);
    EXPECT_EQ(first, readings(7));
    EXPECT_NE(first, readings(8));
    EXPECT_NE(std::vector<uint16_t>(first.begin(), first.begin() + 8),
              std::vector<uint16_t>(first.end() - 8, first.end()))
        << "the readings move";
}

TEST(UnitBoards, CommandsSwitchOneElementOrAreRefused) {
    struct Case {
        Bytes addressMaskActionDelay;
        uint8_t code, board1State;
    };
    UnitHarness unit(WithBoards({true, false, true, false, false, false}));
    EXPECT_EQ(Slice(unit.Status(), 123, 13),
              (Bytes{0xFF, 0, 0xFF, 0, 0, 0, 0x7F, 0, 0x7F, 0, 0, 0, 0}))
        << "boards 1 and 3 present, resting";
    for (const Case& c : std::vector<Case>{
             {{0x44, 0x01, 1, 0}, 9, 0x7E},   // relay 1 to NO
             {{0x44, 0x40, 1, 0}, 9, 0x3E},   // output on
             {{0x44, 0x01, 0, 0}, 9, 0x3F},   // relay 1 back to NC
             {{0x46, 0x01, 1, 0}, 10, 0x3F},  // board 2 absent
             {{0x45, 0x01, 1, 0}, 10, 0x3F},  // no board at an odd address
             {{0x42, 0x01, 1, 0}, 10, 0x3F},  // below board 1
             {{0x50, 0x01, 1, 0}, 10, 0x3F},  // beyond board 6
             {{0x44, 0x03, 1, 0}, 11, 0x3F},  // two elements
             {{0x44, 0x00, 1, 0}, 11, 0x3F},
             {{0x44, 0x80, 1, 0}, 11, 0x3F},
             {{0x44, 0x01, 3, 0}, 11, 0x3F},
             {{0x44, 0x01, 2, 0}, 11, 0x3F},  // toggle for 0 or 61 seconds
             {{0x44, 0x01, 2, 61}, 11, 0x3F},
         }) {
        SCOPED_TRACE(::testing::PrintToString(c.addressMaskActionDelay));
        EXPECT_EQ(unit.Type('R', c.addressMaskActionDelay), c.code);
        EXPECT_EQ(unit.Status()[129], c.board1State);
    }
}

TEST(UnitBoards, OneToggleTimerForRelaysAndBoards) {
    UnitHarness unit(WithBoards({false, false, true, false, false, false}));
    ASSERT_EQ(unit.Type('R', {0x48, 0x10, 2, 12}), 9);
    EXPECT_EQ(Pick(unit.Status(), {131, 135}), (Bytes{0x6F, 12}));
    unit.Advance(5s);
    EXPECT_EQ(unit.Status()[135], 7);
    EXPECT_EQ(unit.Type('R', {0x48, 0x40, 2, 3}), 100);
    EXPECT_EQ(unit.Type('4', {3}), 100);
    EXPECT_EQ(unit.Type('R', {0x48, 0x40, 1, 0}), 9) << "switching still works";
    unit.Advance(7s);
    EXPECT_EQ(Pick(unit.Status(), {131, 135}), (Bytes{0x3F, 0}))
        << "relay 5 back on NC, the output stays on";

    ASSERT_EQ(unit.Command('4', {9})->size(), 137u);
    EXPECT_EQ(unit.Status()[135], 0) << "a power relay's seconds are not the board's";
    EXPECT_EQ(unit.Type('R', {0x48, 0x02, 2, 3}), 100);
}

TEST(UnitBoards, OlderFirmwareOrUnpluggedBoardRefusesCommands) {
    UnitHarness old(WithBoards({true, true, true, true, true, true}, {1, 6, 9}));
    EXPECT_EQ(old.Type('R', {0x44, 0x01, 1, 0}), 10);

    UnitHarness unit;
    EXPECT_EQ(unit.Console("board 6 on"), "board 6 plugged in\n");
    EXPECT_EQ(unit.Type('R', {0x4E, 0x40, 1, 0}), 9);
    EXPECT_EQ(unit.Status()[134], 0x3F);
    unit.Console("board 6 off");
    EXPECT_EQ(unit.Status()[128], 0);
    EXPECT_EQ(unit.Type('R', {0x4E, 0x40, 1, 0}), 10);
}

}  // namespace
}  // namespace varnex::unit::testing
