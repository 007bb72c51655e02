#include "protocol/command_packet.h"

#include <gtest/gtest.h>

#include <functional>
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

TEST(CommandPacketTest, FramesOnTheWire) {
    const std::string record = "18              Pump            ";
    const struct {
        const char* name;
        std::function<void(CommandPacket&)> build;
        Bytes expected;
    } cases[] = {
        {"ten-character password",
         [](CommandPacket& p) { BuildCommand(p, Command::Status, "Abcdef1234"); },
         Frame('1', "Abcdef1234", "", '*')},
        {"short password padded",
         [](CommandPacket& p) { BuildCommand(p, Command::Relay2Toggle, "secret"); },
         Frame('7', "secret****", "", '*')},
        {"no password", [](CommandPacket& p) { BuildCommand(p, Command::RequestScriptTable, ""); },
         Frame('L', "**********", "", '*')},
        {"too long a password is cut",
         [](CommandPacket& p) { BuildCommand(p, Command::StopRelayTimer, "abcdefghijKLM"); },
         Frame('N', "abcdefghij", "", '*')},
        {"station name: zero from byte 40 over a previous command's leftovers",
         [](CommandPacket& p) {
             p.bytes.fill(0x55);
             BuildStationNameCommand(p, "secret", "Lab Unit 7");
         },
         Frame('I', "secret****", std::string("Lab Unit 7") + std::string(10, '\0'), '\0')},
        {"station name of more than twenty keeps twenty",
         [](CommandPacket& p) { BuildStationNameCommand(p, "pw", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"); },
         Frame('I', "pw********", "ABCDEFGHIJKLMNOPQRST", '\0')},
        {"upload: filler from byte 53",
         [&](CommandPacket& p) { BuildUploadScriptCommand(p, "secret", 0xE0, record); },
         Frame('J', "secret****", "\xE0" + record, '*')},
        {"upload without a name keeps the filler in the name field",
         [](CommandPacket& p) { BuildUploadScriptCommand(p, "secret", 0x20, "1               "); },
         Frame('J', "secret****",
               "\x20"
               "1               ",
               '*')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandPacket packet;
        c.build(packet);
        EXPECT_EQ(Bytes(packet.bytes.begin(), packet.bytes.begin() + 285), c.expected);
    }
}

}  // namespace
}  // namespace varnex
