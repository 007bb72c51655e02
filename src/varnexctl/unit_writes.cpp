#include "varnexctl/unit_writes.h"

namespace varnex::ctl {
namespace {

std::string CodeText(uint8_t code) {
    const std::optional<std::string_view> text = ReturnMessageText(code);
    return "return code " + std::to_string(code) +
           (text ? " \"" + std::string(*text) + "\"" : std::string());
}

bool StatusShows(const WritePlan& plan, const Reply& reply) {
    const StatusRecord record = DecodeStatusRecord(reply.bytes);
    return reply.kind == ReplyKind::Status && IsValidStatusRecord(record, reply.size) &&
           plan.statusShows(record);
}

// The confirming read: nullopt when it shows the change, else why not.
std::optional<std::string> Unconfirmed(UnitExchange& exchange, const WritePlan& plan,
                                       std::chrono::milliseconds timeout, int retries) {
    std::optional<UnitExchange> elsewhere;
    if (plan.confirmAt) {
        elsewhere.emplace(*plan.confirmAt, timeout, retries);
    }
    UnitExchange& reader = elsewhere ? *elsewhere : exchange;
    if (plan.tableShows) {
        auto read = reader.Read([&reader](CommandPacket& packet) {
            BuildCommand(packet, Command::RequestScriptTable, reader.unit().password);
        });
        if (auto* failure = std::get_if<Failure>(&read)) {
            return failure->message;
        }
        const Reply& reply = std::get<Reply>(read);
        ScriptTable table;
        StoreScriptTable(table, reply.bytes);
        if (reply.kind != ReplyKind::ScriptTable || !plan.tableShows(table)) {
            return "the script table does not show it";
        }
        return std::nullopt;
    }
    auto read = reader.ReadStatus();
    if (auto* failure = std::get_if<Failure>(&read)) {
        return failure->message;
    }
    if (!StatusShows(plan, std::get<Reply>(read))) {
        return "the status does not show it";
    }
    return std::nullopt;
}

}  // namespace

WriteOutcome RunWrite(UnitExchange& exchange, const WritePlan& plan,
                      std::chrono::milliseconds timeout, int retries) {
    plan.build(exchange.command(), exchange.unit().password);
    auto sent = exchange.SendOnce();
    if (auto* failure = std::get_if<Failure>(&sent)) {
        return {failure->status, failure->message};
    }
    const std::optional<Reply>& reply = std::get<std::optional<Reply>>(sent);
    if (reply && reply->kind == ReplyKind::PasswordRefused) {
        return {kPasswordRefused, PasswordRefusedFailure(exchange.unit()).message + "; " +
                                      plan.what + " was not done"};
    }
    if (reply && reply->kind == ReplyKind::ReturnMessage) {
        const uint8_t code = reply->bytes[wire::kReplyTypeOffset];
        if (!plan.acknowledgement || code != *plan.acknowledgement) {
            return {kUnitRefused, "the unit refused " + plan.what + ": " + CodeText(code)};
        }
        if (plan.acknowledgementConfirms) {
            return {kSuccess, plan.what + ": done, confirmed by " + CodeText(code)};
        }
    }
    if (reply && reply->kind == ReplyKind::Status && plan.acknowledgement) {
        return {kUnitRefused, "the unit did not take " + plan.what +
                                  " (it answered with its status instead of an acknowledgement)"};
    }
    if (plan.acknowledgementConfirms) {
        return {kNotConfirmed, plan.what + ": sent once, not confirmed: no acknowledgement came"};
    }
    // A status record in answer, taken after the change, may show it already.
    if (reply && plan.statusShows && !plan.confirmAt && StatusShows(plan, *reply)) {
        return {kSuccess, plan.what + ": done, confirmed"};
    }
    if (const auto why = Unconfirmed(exchange, plan, timeout, retries)) {
        return {kNotConfirmed, plan.what + ": sent once, not confirmed: " +
                                   (reply ? "" : "no reply to it; ") + *why};
    }
    return {kSuccess, plan.what + ": done, confirmed"};
}

}  // namespace varnex::ctl
