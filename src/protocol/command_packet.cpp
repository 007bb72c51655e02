#include "protocol/command_packet.h"

#include <algorithm>

namespace varnex {
namespace {

void WriteText(CommandPacket& packet, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), packet.bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

void BuildCommand(CommandPacket& packet, Command command, std::string_view password) {
    auto& b = packet.bytes;
    WriteText(packet, wire::kMagicOffset, wire::kMagic);
    b[wire::kLetterOffset] = static_cast<uint8_t>(command);
    const std::string_view field = password.substr(0, wire::kPasswordSize);
    std::fill_n(b.begin() + wire::kPasswordOffset, wire::kPasswordSize, wire::kFiller);
    WriteText(packet, wire::kPasswordOffset, field);
    std::fill_n(b.begin() + wire::kParameterOffset, wire::kFillerSize, wire::kFiller);
    std::fill(b.begin() + wire::kTerminatorOffset, b.begin() + wire::kCommandFrameSize, 0);
}

void BuildStationNameCommand(CommandPacket& packet, std::string_view password,
                             std::string_view name) {
    BuildCommand(packet, Command::SetStationName, password);
    auto& b = packet.bytes;
    std::fill(b.begin() + wire::kParameterOffset, b.begin() + wire::kCommandFrameSize, 0);
    WriteText(packet, wire::kParameterOffset, name.substr(0, wire::kStationNameCommandSize));
}

void BuildUploadScriptCommand(CommandPacket& packet, std::string_view password, uint8_t slotByte,
                              std::string_view record) {
    BuildCommand(packet, Command::UploadScript, password);
    packet.bytes[wire::kUploadSlotOffset] = slotByte;
    WriteText(packet, wire::kUploadRecordOffset, record.substr(0, wire::kScriptRecordSize));
}

void ClearCommand(CommandPacket& packet) {
    packet.bytes.fill(0);
}

}  // namespace varnex
