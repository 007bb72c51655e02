// A write to the unit: sent exactly once (the protocol has no request ids,
// so a repeated toggle runs twice and a repeated password change fails after
// it succeeded), then confirmed by a read that shows the change.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/command_packet.h"
#include "protocol/script_record.h"
#include "protocol/status_record.h"
#include "varnexctl/unit_exchange.h"

namespace varnex::ctl {

struct WritePlan {
    std::string what;  // "relay 1 on", for the messages
    std::function<void(CommandPacket&, std::string_view password)> build;
    // The return code with which the unit takes the command; without one it
    // answers with its status record, and a return code is a refusal.
    std::optional<uint8_t> acknowledgement;
    // For passing actions no status can show (a script run, a board toggle):
    // the acknowledgement is the confirmation.
    bool acknowledgementConfirms = false;
    std::function<bool(const StatusRecord&)> statusShows;
    std::function<bool(const ScriptTable&)> tableShows;  // instead of the status
    // Where and with which password the confirming read goes, when the write
    // moves the unit or changes its password.
    std::optional<UnitAddress> confirmAt;
};

struct WriteOutcome {
    int status = kSuccess;
    std::string message;
};

WriteOutcome RunWrite(UnitExchange& exchange, const WritePlan& plan,
                      std::chrono::milliseconds timeout, int retries);

}  // namespace varnex::ctl
