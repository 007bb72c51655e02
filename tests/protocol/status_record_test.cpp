#include "protocol/status_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/reply_kind.h"

namespace varnex {
namespace {

using Bytes = std::vector<uint8_t>;

ReplyBuffer StatusReply(std::vector<std::pair<std::size_t, Bytes>> fields) {
    ReplyBuffer reply{};
    for (const auto& [offset, bytes] : fields) {
        std::memcpy(reply.data() + offset, bytes.data(), bytes.size());
    }
    return reply;
}

Bytes Counting(uint8_t first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(first + i);
    }
    return bytes;
}

TEST(StatusRecordTest, DecodesEveryFieldAndTheSnapshotKeepsThem) {
    const ReplyBuffer reply = StatusReply({
        {14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFE}},
        {20, {0xFF, 0xFF, 0x00, 0x01, 0x12, 0x34}},  // high nibble of byte 2 ignored
        {36, {0, 1, 0, 7}},
        {40, Counting(1, 21)},
        {61, {0, 5, 0, 1}},
        {65, {1, 7, 4, 20, 0x81}},
        {73, {0x01, 0x02, 0x03, 0x04}},
        {77, {'U', 'n', 'i', 't'}},
        {97, {0x01, 0x5F, 0xCD, 1, 0x40}},
        {102, Counting(100, 20)},
    });
    const StatusRecord r = DecodeStatusRecord(reply);
    EXPECT_EQ(r.rawVoltages, (std::array<uint16_t, 8>{4095, 1, 0x12 * 16 + 4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r.relays, (std::array<uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(r.pins, (std::array<uint8_t, 5>{0, 5, 0, 1, 7}));
    EXPECT_EQ(FirmwareVersion(r), 174u);
    EXPECT_EQ(FirmwareVersionText(r), "1.7.4");
    EXPECT_EQ(r.temperature, 20);
    EXPECT_EQ(r.temperatureFlags, 0x81);
    EXPECT_EQ(r.timerSeconds, 90061u);
    EXPECT_TRUE(r.timerRunning);
    EXPECT_EQ(r.timerSlot, 0x40);

    StatusSnapshot s;
    UpdateSnapshot(s, r);
    EXPECT_EQ(s.macTexts, (std::array<std::string, 6>{"00", "1A", "2B", "3C", "4D", "FE"}));
    EXPECT_EQ(s.relayOn, (std::array<uint8_t, 3>{1, 0, 1}));
    EXPECT_EQ(Bytes(s.allowedClients.begin(), s.allowedClients.end()), Counting(1, 21));
    EXPECT_EQ(s.uptime, 0x04030201u);
    EXPECT_EQ(s.stationName, "Unit");
    Bytes triggers(s.ioTrigger.begin(), s.ioTrigger.end());
    triggers.insert(triggers.end(), s.temperatureTrigger.begin(), s.temperatureTrigger.end());
    EXPECT_EQ(triggers, Counting(100, 20));
}

TEST(StatusRecordTest, VersionDigitAboveNineKeepsItsFullValue) {
    const StatusRecord r = DecodeStatusRecord(StatusReply({{65, {1, 12, 0}}}));
    EXPECT_EQ(FirmwareVersion(r), 220u);
    EXPECT_EQ(FirmwareVersionText(r), "1.<.0");
}

TEST(StatusRecordTest, StationNameEndsAtZeroAndLosesTrailingBlanks) {
    const std::pair<std::string, std::string> cases[] = {
        {"Pumps" + std::string(15, ' '), "Pumps"},
        {std::string(20, ' '), ""},
        {"  Lab 7\t\r" + std::string(11, ' '), "  Lab 7"},
        {std::string("Ab\0cdefghijklmnopqr", 20), "Ab"},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},
    };
    for (const auto& [bytes, name] : cases) {
        ReplyBuffer reply{};
        std::memcpy(reply.data() + 77, bytes.data(), 20);
        reply[97] = 'X';  // the next field never joins the name
        EXPECT_EQ(DecodeStatusRecord(reply).stationName, name) << bytes;
    }
}

TEST(StatusRecordTest, SnapshotFollowsTheVersionGates) {
    struct Case {
        Bytes digits;
        uint8_t http, snmp;
        bool boardsStored, resetAvailable;
    };
    const Case cases[] = {
        {{1, 6, 7}, 0, 0, false, false}, {{1, 6, 8}, 1, 0, false, false},
        {{1, 6, 9}, 1, 0, false, false}, {{1, 7, 0}, 1, 0, true, false},
        {{1, 7, 1}, 1, 1, true, false},  {{1, 7, 3}, 1, 1, true, false},
        {{1, 7, 4}, 1, 1, true, true},
    };
    for (const auto& c : cases) {
        const int version = c.digits[0] * 100 + c.digits[1] * 10 + c.digits[2];
        StatusSnapshot snapshot;
        snapshot.boards.fill(0x33);  // values of an earlier record
        UpdateSnapshot(snapshot,
                       DecodeStatusRecord(StatusReply(
                           {{65, c.digits}, {122, {1}}, {123, Bytes(13, 0xFF)}, {136, {1}}})));
        EXPECT_EQ(snapshot.firmwareVersion, static_cast<unsigned>(version));
        EXPECT_EQ(snapshot.http, c.http) << version;
        EXPECT_EQ(snapshot.snmp, c.snmp) << version;
        EXPECT_EQ(snapshot.boards[0], c.boardsStored ? 0xFF : 0x33) << version;
        EXPECT_EQ(snapshot.temperatureResetAvailable, c.resetAvailable) << version;
    }
}

TEST(ReplyKindTest, PasswordStatusThenTypeByte) {
    const std::pair<uint8_t, std::string> returnMessages[] = {
        {3, "Relay Script Executed!"},
        {4, "Timer Stopped Forcefully !"},
        {5, "Timer Data Received !"},
        {6, "I/O Data Received !"},
        {7, "Temperature Data Received !"},
        {8, "HTTP Server Status Changed !"},
        {9, "RDB Command Success !"},
        {10, "RDB Command Failed !"},
        {11, "RDB Command Failure !"},
        {12, "SNMP Access Changed !"},
        {13, "I2C Bus Reset!"},
        {20, "Allowable IP Status Changed !"},
        {100, "One Toggle Timer Only !"},
        {101, "I2C rooster command sent!"},
    };
    struct Case {
        uint8_t passwordStatus, type;
        ReplyKind kind;
    };
    std::vector<Case> cases = {
        {0, 0, ReplyKind::Status},
        {0, 2, ReplyKind::ScriptTable},
        {0, 14, ReplyKind::Status},
        {0, 19, ReplyKind::Status},
        {0, 255, ReplyKind::Status},
        {1, 2, ReplyKind::PasswordRefused},
        {0xFF, 3, ReplyKind::PasswordRefused},
    };
    for (const auto& [code, text] : returnMessages) {
        EXPECT_EQ(ReturnMessageText(code), text) << int(code);
        cases.push_back({0, code, ReplyKind::ReturnMessage});
    }
    EXPECT_FALSE(ReturnMessageText(2).has_value());
    for (const auto& c : cases) {
        ReplyBuffer reply{};
        reply[10] = c.passwordStatus;
        reply[13] = c.type;
        EXPECT_EQ(ClassifyReply(reply), c.kind) << int(c.passwordStatus) << "/" << int(c.type);
    }
}

}  // namespace
}  // namespace varnex
