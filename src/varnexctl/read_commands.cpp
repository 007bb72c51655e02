#include "varnexctl/read_commands.h"

#include <nlohmann/json.hpp>

#include "protocol/script_record.h"
#include "text/conversions.h"
#include "varnexctl/status_report.h"

namespace varnex::ctl {
namespace {

using json = nlohmann::ordered_json;

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void PrintJson(const json& value) {
    Print(JsonText(value, 2) + "\n");
}

// The status record, or why there is none.
std::variant<StatusRecord, Failure> ReadRecord(UnitExchange& exchange) {
    auto read = exchange.ReadStatus();
    if (auto* failure = std::get_if<Failure>(&read)) {
        return *failure;
    }
    const Reply& reply = std::get<Reply>(read);
    const StatusRecord record = DecodeStatusRecord(reply.bytes);
    if (reply.kind != ReplyKind::Status || !IsValidStatusRecord(record, reply.size)) {
        return Failure{kUnitRefused, "the unit answered the status request with no status record"};
    }
    return record;
}

}  // namespace

int ReportFailure(const Failure& failure, bool asJson) {
    if (asJson) {
        PrintJson({{"schema_version", kSchemaVersion},
                   {"error", {{"exit_status", failure.status}, {"message", failure.message}}}});
    } else {
        std::fprintf(stderr, "varnexctl: %s\n", failure.message.c_str());
    }
    return failure.status;
}

int RunStatus(UnitExchange& exchange, const VoltmeterJumpers& jumpers, bool asJson) {
    auto record = ReadRecord(exchange);
    if (auto* failure = std::get_if<Failure>(&record)) {
        return ReportFailure(*failure, asJson);
    }
    const StatusRecord& r = std::get<StatusRecord>(record);
    if (asJson) {
        json value = StatusJson(r, jumpers);
        value["address"] = exchange.unit().address;
        PrintJson(value);
    } else {
        Print(StatusText(r, jumpers));
    }
    return kSuccess;
}

int RunUptime(UnitExchange& exchange, bool asJson) {
    auto record = ReadRecord(exchange);
    if (auto* failure = std::get_if<Failure>(&record)) {
        return ReportFailure(*failure, asJson);
    }
    const uint32_t seconds = std::get<StatusRecord>(record).uptime;
    if (asJson) {
        PrintJson({{"schema_version", kSchemaVersion}, {"uptime_seconds", seconds}});
    } else {
        Print(UptimeText(seconds) + "\n");
    }
    return kSuccess;
}

int RunScriptList(UnitExchange& exchange, bool asJson) {
    auto read = exchange.Read([&exchange](CommandPacket& packet) {
        BuildCommand(packet, Command::RequestScriptTable, exchange.unit().password);
    });
    if (auto* failure = std::get_if<Failure>(&read)) {
        return ReportFailure(*failure, asJson);
    }
    const Reply& reply = std::get<Reply>(read);
    if (reply.kind != ReplyKind::ScriptTable) {
        return ReportFailure({kUnitRefused, "the unit answered with no script table"}, asJson);
    }
    ScriptTable table;
    StoreScriptTable(table, reply.bytes);
    json slots = json::array();
    std::string text;
    for (std::size_t n = 0; n < table.size(); ++n) {
        const std::vector<std::string> steps = DecodeScriptSteps(table[n].codes);
        const std::string name = TrimRight(table[n].name);
        slots.push_back({{"slot", n + 1}, {"name", name}, {"steps", steps}});
        text += std::to_string(n + 1) + "  " + (name.empty() ? "(no name)" : name) + ":";
        for (const std::string& step : steps) {
            text += (&step == &steps.front() ? " " : ", ") + step;
        }
        text += "\n";
    }
    if (asJson) {
        PrintJson({{"schema_version", kSchemaVersion}, {"scripts", slots}});
    } else {
        Print(text);
    }
    return kSuccess;
}

int RunStations(const std::vector<LoadedStation>& stations, bool asJson) {
    json list = json::array();
    std::string text;
    for (const LoadedStation& s : stations) {
        // The password column is never shown.
        list.push_back(
            {{"address", s.address}, {"comment", s.comment}, {"default", s.defaultFlag == "YES"}});
        char line[160];
        std::snprintf(line, sizeof line, "%-17s %s%s\n", s.address.c_str(), s.comment.c_str(),
                      s.defaultFlag == "YES" ? "  (default)" : "");
        text += line;
    }
    if (asJson) {
        PrintJson({{"schema_version", kSchemaVersion}, {"stations", list}});
    } else {
        Print(text);
    }
    return kSuccess;
}

int RunCheck(UnitExchange& exchange, const VoltmeterJumpers& jumpers,
             const CheckThresholds& thresholds) {
    auto record = ReadRecord(exchange);
    const CheckResult result =
        std::holds_alternative<Failure>(record)
            ? UnknownCheck(std::get<Failure>(record).message)
            : EvaluateCheck(DecodeReadings(std::get<StatusRecord>(record), jumpers), thresholds);
    Print(result.line + "\n");
    return result.status;
}

}  // namespace varnex::ctl
