#include "protocol/status_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/reply_kind.h"

namespace varnex {
namespace {

ReplyBuffer StatusReply(std::vector<std::pair<std::size_t, std::vector<uint8_t>>> fields) {
    ReplyBuffer reply{};
    for (const auto& [offset, bytes] : fields) {
        std::memcpy(reply.data() + offset, bytes.data(), bytes.size());
    }
    return reply;
}

TEST(StatusRecordTest, DecodesEveryField) {
    const ReplyBuffer reply = StatusReply({
        {14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}},
        {20, {0xFF, 0xFF, 0x00, 0x01, 0x12, 0x34}},  // high nibble of byte 2 ignored
        {36, {0, 1, 0, 7}},
        {61, {0, 5, 0, 1}},
        {65, {1, 7, 4, 20, 0x81}},
        {73, {0x01, 0x02, 0x03, 0x04}},
        {97, {0x01, 0x5F, 0xCD, 1, 0x40}},
        {122, {1}},
        {136, {1}},
    });
    const StatusRecord r = DecodeStatusRecord(reply);
    EXPECT_EQ(r.rawVoltages[0], 4095);
    EXPECT_EQ(r.rawVoltages[1], 1);
    EXPECT_EQ(r.rawVoltages[2], 0x12 * 16 + 4);
    EXPECT_EQ(r.relays, (std::array<uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(r.pins, (std::array<uint8_t, 5>{0, 5, 0, 1, 7}));
    EXPECT_EQ(FirmwareVersion(r), 174u);
    EXPECT_EQ(FirmwareVersionText(r), "1.7.4");
    EXPECT_EQ(r.temperature, 20);
    EXPECT_EQ(r.temperatureFlags, 0x81);
    EXPECT_EQ(r.uptime, 0x04030201u);
    EXPECT_EQ(r.timerSeconds, 90061u);
    EXPECT_TRUE(r.timerRunning);
    EXPECT_EQ(r.timerSlot, 0x40);
}

TEST(StatusRecordTest, VersionDigitAboveNineKeepsItsFullValue) {
    const StatusRecord r = DecodeStatusRecord(StatusReply({{65, {1, 12, 0}}}));
    EXPECT_EQ(FirmwareVersion(r), 220u);
    EXPECT_EQ(FirmwareVersionText(r), "1.<.0");
}

TEST(StatusRecordTest, StationNameEndsAtZeroAndLosesTrailingBlanks) {
    struct Case {
        std::string bytes;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"Pumps" + std::string(15, ' '), "Pumps"},
        {std::string(20, ' '), ""},
        {"  Lab 7\t\r" + std::string(11, ' '), "  Lab 7"},
        {std::string("Ab\0cdefghijklmnopqr", 20), "Ab"},
        {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},
    };
    for (const auto& c : cases) {
        ReplyBuffer reply{};
        std::memcpy(reply.data() + 77, c.bytes.data(), 20);
        reply[97] = 'X';  // the next field never joins the name
        EXPECT_EQ(DecodeStatusRecord(reply).stationName, c.name) << c.bytes;
    }
}

TEST(StatusRecordTest, SnapshotFollowsTheVersionGates) {
    struct Case {
        std::vector<uint8_t> digits;
        uint8_t http, snmp;
        bool boardsStored, resetAvailable;
    };
    const std::vector<Case> cases = {
        {{1, 6, 7}, 0, 0, false, false}, {{1, 6, 8}, 1, 0, false, false},
        {{1, 6, 9}, 1, 0, false, false}, {{1, 7, 0}, 1, 0, true, false},
        {{1, 7, 1}, 1, 1, true, false},  {{1, 7, 3}, 1, 1, true, false},
        {{1, 7, 4}, 1, 1, true, true},
    };
    for (const auto& c : cases) {
        StatusSnapshot snapshot;
        snapshot.boards.fill(0x33);  // values of an earlier record
        const ReplyBuffer reply = StatusReply(
            {{65, c.digits}, {122, {1}}, {123, std::vector<uint8_t>(13, 0xFF)}, {136, {1}}});
        UpdateSnapshot(snapshot, DecodeStatusRecord(reply));
        const int version = c.digits[0] * 100 + c.digits[1] * 10 + c.digits[2];
        EXPECT_EQ(snapshot.firmwareVersion, static_cast<unsigned>(version));
        EXPECT_EQ(snapshot.http, c.http) << version;
        EXPECT_EQ(snapshot.snmp, c.snmp) << version;
        EXPECT_EQ(snapshot.boards[0], c.boardsStored ? 0xFF : 0x33) << version;
        EXPECT_EQ(snapshot.temperatureResetAvailable, c.resetAvailable) << version;
    }
}

TEST(StatusRecordTest, SnapshotKeepsDialogFields) {
    std::vector<uint8_t> allowed(21);
    std::vector<uint8_t> triggers(20);
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        allowed[i] = static_cast<uint8_t>(i + 1);
    }
    for (std::size_t i = 0; i < triggers.size(); ++i) {
        triggers[i] = static_cast<uint8_t>(100 + i);
    }
    const ReplyBuffer reply = StatusReply({{14, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xFE}},
                                           {36, {0, 1, 0}},
                                           {40, allowed},
                                           {73, {0x10, 0, 0, 0}},
                                           {77, {'U', 'n', 'i', 't'}},
                                           {102, triggers}});
    StatusSnapshot s;
    UpdateSnapshot(s, DecodeStatusRecord(reply));
    EXPECT_EQ(s.macTexts, (std::array<std::string, 6>{"00", "1A", "2B", "3C", "4D", "FE"}));
    EXPECT_EQ(s.relayOn, (std::array<uint8_t, 3>{1, 0, 1}));
    EXPECT_EQ(s.allowedClients[0], 1);
    EXPECT_EQ(s.allowedClients[20], 21);
    EXPECT_EQ(s.uptime, 16u);
    EXPECT_EQ(s.stationName, "Unit");
    EXPECT_EQ(s.ioTrigger[0], 100);
    EXPECT_EQ(s.ioTrigger[14], 114);
    EXPECT_EQ(s.temperatureTrigger[0], 115);
    EXPECT_EQ(s.temperatureTrigger[4], 119);
}

TEST(ReplyKindTest, PasswordStatusThenTypeByte) {
    struct Case {
        uint8_t passwordStatus, type;
        ReplyKind kind;
    };
    std::vector<Case> cases = {
        {0, 0, ReplyKind::Status},          {0, 14, ReplyKind::Status},
        {0, 1, ReplyKind::Status},          {0, 2, ReplyKind::ScriptTable},
        {0, 19, ReplyKind::Status},         {0, 21, ReplyKind::Status},
        {0, 99, ReplyKind::Status},         {0, 102, ReplyKind::Status},
        {0, 255, ReplyKind::Status},        {1, 0, ReplyKind::PasswordRefused},
        {1, 2, ReplyKind::PasswordRefused}, {0xFF, 3, ReplyKind::PasswordRefused},
    };
    for (const uint8_t code : {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 20, 100, 101}) {
        cases.push_back({0, code, ReplyKind::ReturnMessage});
    }
    for (const auto& c : cases) {
        ReplyBuffer reply{};
        reply[10] = c.passwordStatus;
        reply[13] = c.type;
        EXPECT_EQ(ClassifyReply(reply), c.kind) << int(c.passwordStatus) << "/" << int(c.type);
    }
}

TEST(ReplyKindTest, ReturnMessageTexts) {
    const std::vector<std::pair<uint8_t, std::string>> cases = {
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
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(ReturnMessageText(code), text) << int(code);
    }
    EXPECT_FALSE(ReturnMessageText(2).has_value());
    EXPECT_FALSE(ReturnMessageText(14).has_value());
}

}  // namespace
}  // namespace varnex
