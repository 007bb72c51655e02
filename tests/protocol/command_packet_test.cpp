#include "protocol/command_packet.h"

#include <gtest/gtest.h>

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

TEST(CommandPacketTest, PasswordFieldIsTenBytesPaddedWithStars) {
    const std::pair<const char*, const char*> cases[] = {
        {"Abcdef1234", "Abcdef1234"},
        {"secret", "secret****"},
        {"", "**********"},
        {"abcdefghijKLM", "abcdefghij"},  // cut, so that no field moves
    };
    for (const auto& [password, field] : cases) {
        CommandPacket packet;
        BuildCommand(packet, Command::Relay2Toggle, password);
        EXPECT_EQ(Sent(packet), Frame('7', field, "", '*')) << password;
    }
}

TEST(CommandPacketTest, StationNameAndUploadFrames) {
    CommandPacket packet;
    packet.bytes.fill(0x55);  // a previous command's leftovers
    BuildStationNameCommand(packet, "secret", "Lab Unit 7");
    EXPECT_EQ(Sent(packet), Frame('I', "secret****", "Lab Unit 7" + std::string(10, '\0'), '\0'));
    BuildStationNameCommand(packet, "pw", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(Sent(packet), Frame('I', "pw********", "ABCDEFGHIJKLMNOPQRST", '\0'));

    const std::string record = "18              Pump            ";
    BuildUploadScriptCommand(packet, "secret", 0xE0, record);
    EXPECT_EQ(Sent(packet), Frame('J', "secret****", "\xE0" + record, '*'));
    // Without a name the name field keeps the filler.
    BuildUploadScriptCommand(packet, "secret", 0xE0, record.substr(0, 16));
    EXPECT_EQ(Sent(packet), Frame('J', "secret****", "\xE0" + record.substr(0, 16), '*'));
}

}  // namespace
}  // namespace varnex
