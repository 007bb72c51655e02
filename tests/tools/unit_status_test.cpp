// The status record's bytes as a client receives them, after each kind of
// command and console input.
#include <gtest/gtest.h>

#include "unit/voltage_drift.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
    return Bytes(bytes.begin() + static_cast<long>(offset),
                 bytes.begin() + static_cast<long>(offset + size));
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

uint16_t Raw(const Bytes& status, std::size_t meter) {
    return static_cast<uint16_t>(status[wire::kVoltmeterOffset + 2 * meter] * 16 +
                                 (status[wire::kVoltmeterOffset + 2 * meter + 1] & 0x0F));
}

TEST(UnitStatus, FreshUnitReportsItsSetupAndCountsItsUptime) {
    UnitSetup setup;
    setup.name = "Lab Unit";
    setup.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    setup.firmware = {1, 7, 1};
    UnitHarness unit(setup);
    const Bytes status = unit.Status();

    EXPECT_EQ(status[10], 0);
    EXPECT_EQ(status[13], 1);
    EXPECT_EQ(Slice(status, 14, 6), (Bytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(RelaysOn(status), "000");
    EXPECT_EQ(Slice(status, 65, 3), (Bytes{1, 7, 1}));
    EXPECT_EQ(status[68], 21);
    EXPECT_EQ(status[69], 0x80) << "21.5 degrees";
    EXPECT_EQ(Slice(status, 73, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Slice(status, 77, 20), Text("Lab Unit            "));
    EXPECT_EQ(Slice(status, 97, 5), (Bytes{0, 0, 0, 0, 0})) << "timer idle";
    EXPECT_EQ(Slice(status, 123, 6), Bytes(6, 0)) << "no boards";
    for (std::size_t meter = 0; meter < 8; ++meter) {
        EXPECT_EQ(status[20 + 2 * meter + 1] & 0xF0, 0) << "voltmeter " << meter + 1;
    }
    EXPECT_NEAR(RawToVolts(0, Raw(status, 0)), 12.6, 0.2);
    EXPECT_NEAR(RawToVolts(5, Raw(status, 5)), 4.75, 0.05);

    unit.Advance(std::chrono::seconds(70000) + 999ms);
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
         {Case{'4', 17, 17s, "100"}, Case{'7', 0, 1s, "010"}, Case{'A', 200, 60s, "001"}}) {
        SCOPED_TRACE(c.letter);
        UnitHarness unit;
        const auto reply = unit.Command(c.letter, {{20, c.seconds}});
        ASSERT_TRUE(reply);
        EXPECT_EQ(RelaysOn(*reply), c.relays);
        unit.Advance(c.on - 1ms);
        EXPECT_EQ(RelaysOn(unit.Status()), c.relays) << "still on";
        EXPECT_EQ(unit.Command(c.letter == '4' ? '7' : '4', {{20, 5}}),
                  (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100}))
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
        uint8_t whole, flags, http, board1, snmp;
    };
    for (const Case& c : std::vector<Case>{{{1, 6, 7}, "temp -20.5", 0, 0x00, 0, 0, 0},
                                           {{1, 6, 7}, "temp 20.5", 20, 0x00, 0, 0, 0},
                                           {{1, 6, 8}, "temp -20", 20, 0x01, 1, 0, 0},
                                           {{1, 6, 9}, "temp -0.5", 0, 0x81, 1, 0, 0},
                                           {{1, 7, 0}, "temp 20.5", 20, 0x80, 1, 0xFF, 0},
                                           {{1, 7, 1}, "temp -20.5", 20, 0x81, 1, 0xFF, 1}}) {
        SCOPED_TRACE(std::to_string(c.firmware[1] * 10 + c.firmware[2]) + " " + c.console);
        UnitSetup setup;
        setup.firmware = c.firmware;
        setup.boards = {true, false, false, false, false, false};
        UnitHarness unit(setup);
        unit.Console(c.console);
        ASSERT_EQ(unit.Type('Q', {{20, 1}}), 8);
        ASSERT_EQ(unit.Type('S', {{20, 1}}), 12);
        const Bytes status = unit.Status();
        EXPECT_EQ(status[68], c.whole);
        EXPECT_EQ(status[69], c.flags);
        EXPECT_EQ(status[122], c.http);
        EXPECT_EQ(status[123], c.board1);
        EXPECT_EQ(status[129], c.board1 ? 0x7F : 0);
        EXPECT_EQ(status[136], c.snmp);
    }
}

TEST(UnitStatus, SwitchCommandRefusesOtherValues) {
    UnitHarness unit;
    ASSERT_EQ(unit.Type('S', {{20, 1}}), 12);
    const auto refused = unit.Command('S', {{20, '*'}});
    ASSERT_TRUE(refused);
    EXPECT_EQ((*refused)[13], 1) << "a status record, no acknowledgement";
    EXPECT_EQ((*refused)[136], 1) << "unchanged";
}

TEST(UnitStatus, NameCommandSetsTheNameAsPrintableText) {
    UnitHarness unit;
    Bytes frame = Frame('I');
    std::fill(frame.begin() + 20, frame.end(), 0);
    PutText(frame, 20, "Pump House          ");
    ASSERT_TRUE(unit.Exchange(frame));
    EXPECT_EQ(Slice(unit.Status(), 77, 20), Text("Pump House          "));

    PutText(frame, 20, "Tab\there");
    frame[28] = 0;
    frame[29] = 'x';
    ASSERT_TRUE(unit.Exchange(frame));
    EXPECT_EQ(Slice(unit.Status(), 77, 20), Text("Tab here            "))
        << "control bytes become blanks, a zero byte ends the name";
}

TEST(UnitStatus, MacCommandTakesUnicastAddressesOnly) {
    UnitHarness unit;
    ASSERT_TRUE(unit.Command(
        'E', {{20, 0x00}, {21, 0x00}, {22, 0xC0}, {23, 0xA8}, {24, 0x01}, {25, 0xFF}}));
    EXPECT_EQ(Slice(unit.Status(), 14, 6), (Bytes{0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    for (const Params& bad :
         {Params{{20, 0x01}}, Params{{20, 0}, {21, 0}, {22, 0}, {23, 0}, {24, 0}, {25, 0}}}) {
        ASSERT_TRUE(unit.Command('E', bad));
        EXPECT_EQ(Slice(unit.Status(), 14, 6), (Bytes{0x00, 0x00, 0xC0, 0xA8, 0x01, 0xFF}));
    }
}

TEST(UnitStatus, AddressCommandMovesToALoopbackAddressOnly) {
    UnitHarness unit;
    const uint16_t port = unit.Server().Port();
    ASSERT_TRUE(unit.Command('F', {{20, 192}, {21, 168}, {22, 1}, {23, 50}}));
    EXPECT_EQ(unit.Server().State().address, (Address4{192, 168, 1, 50}));
    EXPECT_EQ(unit.Server().Address(), "127.0.0.1") << "recorded, not moved";

    ASSERT_TRUE(unit.Command('F', {{20, 127}, {21, 0}, {22, 0}, {23, 2}}));
    EXPECT_EQ(unit.Server().Address(), "127.0.0.2");
    EXPECT_EQ(unit.Server().Port(), port);
    EXPECT_EQ(unit.Status()[13], 1) << "answers at the new address";
}

TEST(UnitStatus, AllowedClientBlockShowsTheList) {
    UnitHarness unit;
    Params params = {{20, 1}};
    const Bytes addresses = {127, 0, 0, 1, 10, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        params.emplace_back(21 + i, addresses[i]);
    }
    EXPECT_EQ(unit.Type('H', params), 20);
    const Bytes status = unit.Status();
    EXPECT_EQ(status[40], 1);
    EXPECT_EQ(Slice(status, 41, 20), addresses);

    EXPECT_EQ(unit.Type('H', {{20, 0}}), 20);
    EXPECT_EQ(unit.Status()[40], 0);
    EXPECT_EQ(Slice(unit.Status(), 41, 20), addresses) << "the list stays for later";
}

TEST(UnitStatus, HeldVoltsAndPinsShowAsSet) {
    UnitHarness unit;
    EXPECT_EQ(unit.Console("volts 3 30"), "voltmeter 3 held at 30.000 V\n");
    unit.Console("volts 6 2.5");
    unit.Console("volts 8 99");
    unit.Console("pin 1 1");
    unit.Console("pin 5 1");
    unit.Advance(10s);
    const Bytes status = unit.Status();
    EXPECT_EQ(Slice(status, 24, 2), (Bytes{0xFF, 0x0F}));
    EXPECT_EQ(Slice(status, 30, 2), (Bytes{0x80, 0x00}));
    EXPECT_EQ(Slice(status, 34, 2), (Bytes{0xFF, 0x0F})) << "clamped to full scale";
    EXPECT_EQ(Slice(status, 61, 4), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(status[39], 1);
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

}  // namespace
}  // namespace varnex::unit::testing
