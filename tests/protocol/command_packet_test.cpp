#include "protocol/command_packet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace varnex {
namespace {

using Bytes = std::vector<uint8_t>;

// Builds the expected 285 bytes from its parts, independently of the code.
Bytes Frame(char letter, const std::string& passwordField, const std::string& parameters,
            char rest) {
    std::string text = "%$KQV1964";
    text += letter;
    text += passwordField;
    text += parameters;
    Bytes bytes(text.begin(), text.end());
    bytes.resize(275, static_cast<uint8_t>(rest));
    bytes.resize(285, 0);
    return bytes;
}

Bytes Sent(const CommandPacket& packet) {
    return Bytes(packet.bytes.begin(), packet.bytes.begin() + 285);
}

struct FrameCase {
    const char* name;
    Command command;
    std::string password;
    std::string expectedField;
};

TEST(CommandPacketTest, HeaderFillerAndTerminatorForEveryPasswordForm) {
    const std::vector<FrameCase> cases = {
        {"status, ten characters", Command::Status, "Abcdef1234", "Abcdef1234"},
        {"status, six padded", Command::Status, "secret****", "secret****"},
        {"status, six unpadded", Command::Status, "secret", "secret****"},
        {"relay toggle", Command::Relay2Toggle, "secret", "secret****"},
        {"script table", Command::RequestScriptTable, "", "**********"},
        {"too long is cut", Command::StopRelayTimer, "abcdefghijKLM", "abcdefghij"},
    };
    for (const auto& c : cases) {
        CommandPacket packet;
        BuildCommand(packet, c.command, c.password);
        EXPECT_EQ(Sent(packet), Frame(static_cast<char>(c.command), c.expectedField, "", '*'))
            << c.name;
    }
}

TEST(CommandPacketTest, ToggleTimeGoesOverTheFiller) {
    CommandPacket packet;
    BuildCommand(packet, Command::Relay1Toggle, "pw");
    packet.bytes[20] = 30;
    EXPECT_EQ(Sent(packet), Frame('4', "pw********", std::string(1, '\x1e'), '*'));
}

TEST(CommandPacketTest, StationNameFrameIsZeroFromByte40) {
    CommandPacket packet;
    packet.bytes.fill(0x55);  // a previous command's leftovers
    BuildStationNameCommand(packet, "secret", "Lab Unit 7");
    std::string name = "Lab Unit 7";
    name.resize(20, '\0');
    EXPECT_EQ(Sent(packet), Frame('I', "secret****", name, '\0'));
}

TEST(CommandPacketTest, StationNameOfMoreThanTwentyKeepsTwenty) {
    CommandPacket packet;
    BuildStationNameCommand(packet, "pw", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(Sent(packet), Frame('I', "pw********", "ABCDEFGHIJKLMNOPQRST", '\0'));
}

TEST(CommandPacketTest, UploadFrameHasFillerFromByte53) {
    CommandPacket packet;
    const std::string record = "18              Pump            ";
    BuildUploadScriptCommand(packet, "secret", 0xE0, record);
    EXPECT_EQ(Sent(packet), Frame('J', "secret****", "\xE0" + record, '*'));
}

TEST(CommandPacketTest, UploadWithoutNameKeepsFillerInTheNameField) {
    CommandPacket packet;
    const std::string codes = "1               ";
    BuildUploadScriptCommand(packet, "secret", 0x20, codes);
    EXPECT_EQ(Sent(packet), Frame('J', "secret****", "\x20" + codes, '*'));
}

TEST(CommandPacketTest, ClearedBufferIsAllZero) {
    CommandPacket packet;
    BuildUploadScriptCommand(packet, "secret", 0x20, "1");
    ClearCommand(packet);
    EXPECT_TRUE(
        std::all_of(packet.bytes.begin(), packet.bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST(CommandPacketTest, CatalogueHasEveryLetterOnce) {
    const std::string letters(wire::kCommandLetters.begin(), wire::kCommandLetters.end());
    EXPECT_EQ(letters, "123456789AEFGHIJKLMNOPQRST");
}

}  // namespace
}  // namespace varnex
