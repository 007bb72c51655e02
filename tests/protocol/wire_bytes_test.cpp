// The bytes the client writes and reads: command frames, the status record
// and its snapshot, and how a reply is told apart.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "protocol/command_packet.h"
#include "protocol/reply_kind.h"
#include "protocol/status_record.h"

namespace varnex {
namespace {

using Bytes = std::vector<uint8_t>;

// The expected 285 bytes built from their parts, independently of the code.
Bytes Frame(char letter, const std::string& passwordField, const std::string& parameters,
            char rest) {
    const std::string text = "%$KQV1964" + std::string(1, letter) + passwordField + parameters;
    Bytes bytes(text.begin(), text.end());
    bytes.resize(275, static_cast<uint8_t>(rest));
    bytes.resize(285, 0);
    return bytes;
}

TEST(CommandPacketTest, PasswordFieldStationNameAndUploadFrames) {
    CommandPacket packet;
    packet.bytes.fill(0x55);  // a previous command's leftovers
    const auto sent = [&] { return Bytes(packet.bytes.begin(), packet.bytes.begin() + 285); };
    const std::pair<const char*, const char*> passwords[] = {
        {"Abcdef1234", "Abcdef1234"},
        {"secret", "secret****"},
        {"", "**********"},
        {"abcdefghijKLM", "abcdefghij"},  // cut, so that no field moves
    };
    for (const auto& [password, field] : passwords) {
        BuildCommand(packet, Command::Relay2Toggle, password);
        EXPECT_EQ(sent(), Frame('7', field, "", '*')) << password;
    }
    BuildStationNameCommand(packet, "secret", "Lab Unit 7");
    EXPECT_EQ(sent(), Frame('I', "secret****", "Lab Unit 7" + std::string(10, '\0'), '\0'));
    BuildStationNameCommand(packet, "pw", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(sent(), Frame('I', "pw********", "ABCDEFGHIJKLMNOPQRST", '\0'));

    const std::string record = "18              Pump            ";
    BuildUploadScriptCommand(packet, "secret", 0xE0, record);
    EXPECT_EQ(sent(), Frame('J', "secret****", "\xE0" + record, '*'));
    // Without a name the name field keeps the filler.
    BuildUploadScriptCommand(packet, "secret", 0xE0, record.substr(0, 16));
    EXPECT_EQ(sent(), Frame('J', "secret****", "\xE0" + record.substr(0, 16), '*'));
}

ReplyBuffer StatusReply(const std::vector<std::pair<std::size_t, Bytes>>& fields) {
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
    EXPECT_EQ(std::tuple(r.temperature, r.temperatureFlags), std::tuple(20, 0x81));
    EXPECT_EQ(std::tuple(r.timerSeconds, r.timerRunning, r.timerSlot),
              std::tuple(90061u, true, 0x40));

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

    const StatusRecord twelve = DecodeStatusRecord(StatusReply({{65, {1, 12, 0}}}));
    EXPECT_EQ(FirmwareVersion(twelve), 220u) << "a digit above nine keeps its full value";
    EXPECT_EQ(FirmwareVersionText(twelve), "1.<.0");
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
    const Case cases[] = {{{1, 6, 7}, 0, 0, false, false}, {{1, 6, 8}, 1, 0, false, false},
                          {{1, 6, 9}, 1, 0, false, false}, {{1, 7, 0}, 1, 0, true, false},
                          {{1, 7, 1}, 1, 1, true, false},  {{1, 7, 3}, 1, 1, true, false},
                          {{1, 7, 4}, 1, 1, true, true}};
    for (const auto& c : cases) {
        const unsigned version = c.digits[0] * 100u + c.digits[1] * 10u + c.digits[2];
        SCOPED_TRACE(version);
        StatusSnapshot snapshot;
        snapshot.boards.fill(0x33);  // values of an earlier record
        UpdateSnapshot(snapshot,
                       DecodeStatusRecord(StatusReply(
                           {{65, c.digits}, {122, {1}}, {123, Bytes(13, 0xFF)}, {136, {1}}})));
        EXPECT_EQ(std::tuple(snapshot.firmwareVersion, snapshot.http, snapshot.snmp,
                             snapshot.boards[0], snapshot.temperatureResetAvailable),
                  std::tuple(version, c.http, c.snmp, uint8_t(c.boardsStored ? 0xFF : 0x33),
                             c.resetAvailable));
    }
}

TEST(ReplyKindTest, PasswordStatusThenTypeByte) {
    struct Case {
        uint8_t passwordStatus, type;
        ReplyKind kind;
    };
    std::vector<Case> cases = {{0, 0, ReplyKind::Status},
                               {0, 2, ReplyKind::ScriptTable},
                               {0, 14, ReplyKind::Status},
                               {0, 19, ReplyKind::Status},
                               {0, 255, ReplyKind::Status},
                               {1, 2, ReplyKind::PasswordRefused},
                               {0xFF, 3, ReplyKind::PasswordRefused}};
    std::vector<std::string> texts;
    for (const uint8_t code : {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 20, 100, 101}) {
        texts.emplace_back(ReturnMessageText(code).value_or("(none)"));
        cases.push_back({0, code, ReplyKind::ReturnMessage});
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Relay Script Executed!", "Timer Stopped Forcefully !",
                         "Timer Data Received !", "I/O Data Received !",
                         "Temperature Data Received !", "HTTP Server Status Changed !",
                         "RDB Command Success !", "RDB Command Failed !", "RDB Command Failure !",
                         "SNMP Access Changed !", "I2C Bus Reset!", "Allowable IP Status Changed !",
                         "One Toggle Timer Only !", "I2C rooster command sent!"}));
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
