#include "protocol/reply_kind.h"

#include <algorithm>
#include <array>
#include <utility>

namespace varnex {
namespace {

constexpr std::array<std::pair<uint8_t, std::string_view>, wire::kReturnCodes.size()>
    kReturnMessages = {{
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
    }};

}  // namespace

std::optional<std::string_view> ReturnMessageText(uint8_t code) {
    const auto* found = std::find_if(kReturnMessages.begin(), kReturnMessages.end(),
                                     [code](const auto& entry) { return entry.first == code; });
    if (found == kReturnMessages.end()) {
        return std::nullopt;
    }
    return found->second;
}

ReplyKind ClassifyReply(const ReplyBuffer& reply) {
    if (reply[wire::kPasswordStatusOffset] != 0) {
        return ReplyKind::PasswordRefused;
    }
    const uint8_t type = reply[wire::kReplyTypeOffset];
    if (type == wire::kScriptTableType) {
        return ReplyKind::ScriptTable;
    }
    return ReturnMessageText(type) ? ReplyKind::ReturnMessage : ReplyKind::Status;
}

}  // namespace varnex
