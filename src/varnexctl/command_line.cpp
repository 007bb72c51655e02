#include "varnexctl/command_line.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <nlohmann/json.hpp>

#include "protocol/device_link.h"
#include "text/conversions.h"
#include "varnexctl/argument_checks.h"
#include "varnexctl/password_input.h"
#include "varnexctl/read_commands.h"
#include "varnexctl/station_lookup.h"
#include "varnexctl/status_report.h"
#include "varnexctl/watch_loop.h"
#include "varnexctl/write_commands.h"

namespace varnex::ctl {
namespace {

struct GlobalOptions {
    std::string target;
    std::string database;
    std::optional<std::string> port;
    std::string timeout = "1";
    std::string retries = "2";
    std::optional<std::string> password;
    std::optional<std::string> passwordFile;
    bool json = false;
    bool yes = false;
    bool force = false;
};

// Everything the subcommands collect, as text: the checks name the argument.
struct CommandArguments {
    std::string first, second, third;
    std::optional<std::string> seconds;
    std::vector<std::string> list;
    std::string name;
    std::string slot;
    bool continuous = false;
    TemperatureTriggerArguments temperature;
    IoTriggerArguments io;
    std::string interval = "1";
    std::string count = "0";
    bool csv = false;
    bool flood = false;
    std::vector<std::string> warning, critical;
    std::optional<std::string> newPasswordFile;
};

const char* const kDescription =
    "Reads and drives a Varnex monitoring-and-control unit over UDP.\n"
    "TARGET is a dotted IPv4 address or a station of the station database (its address or its "
    "exact comment).\nExit statuses: 0 success, 1 other failure, 2 usage error, 3 password "
    "refused, 4 no answer, 5 refused by the unit, 6 sent but not confirmed; check: 0 OK, "
    "1 WARNING, 2 CRITICAL, 3 UNKNOWN.";

struct Target {
    UnitAddress unit;
    VoltmeterJumpers jumpers;
    std::optional<std::string> storedPassword;
};

std::variant<Target, Failure> ResolveTarget(const GlobalOptions& g, bool passwordGiven) {
    if (g.target.empty()) {
        return UsageError("TARGET is required");
    }
    Target target;
    const bool literal = IsDottedAddress(g.target);
    target.unit.address = g.target;
    // A literal address with a password needs nothing from the database.
    if (literal && passwordGiven && g.database.empty()) {
        return target;
    }
    const std::string path = DatabasePath(g.database);
    auto stations = ReadStations(path);
    if (auto* failure = std::get_if<Failure>(&stations)) {
        if (literal) {
            return target;  // a literal address stands on its own
        }
        return UsageError("TARGET: " + Shown(g.target) + " is no dotted IPv4 address, and " +
                          failure->message);
    }
    auto found = FindStation(std::get<std::vector<LoadedStation>>(stations), g.target);
    if (auto* failure = std::get_if<Failure>(&found)) {
        return *failure;
    }
    const std::optional<LoadedStation>& station = std::get<std::optional<LoadedStation>>(found);
    if (!station) {
        if (literal) {
            return target;
        }
        return UsageError("TARGET: " + Shown(g.target) +
                          " is neither a dotted IPv4 address nor a station of " + path);
    }
    if (!IsDottedAddress(station->address)) {
        return UsageError("TARGET: the station's address " + Shown(station->address) +
                          " is no dotted IPv4 address");
    }
    target.unit.address = station->address;
    target.jumpers = JumpersOf(*station);
    target.storedPassword = station->password;
    return target;
}

std::variant<std::string, Failure> ResolvePassword(const GlobalOptions& g, const Target& target) {
    if (g.password) {
        return *g.password;
    }
    if (g.passwordFile) {
        return ReadPasswordFile(*g.passwordFile, "--password-file");
    }
    if (target.storedPassword && !target.storedPassword->empty()) {
        return *target.storedPassword;
    }
    if (const char* env = std::getenv("VARNEX_PASSWORD"); env != nullptr && env[0] != '\0') {
        return std::string(env);
    }
    if (auto typed = PromptPassword("Password for " + target.unit.address + ": ")) {
        return *typed;
    }
    return UsageError(
        "no password: give --password-file FILE, set VARNEX_PASSWORD or run on a "
        "terminal");
}

std::variant<std::string, Failure> ResolveNewPassword(const CommandArguments& a) {
    std::string typed;
    if (a.newPasswordFile) {
        auto read = ReadPasswordFile(*a.newPasswordFile, "--new-password-file");
        if (auto* failure = std::get_if<Failure>(&read)) {
            return *failure;
        }
        typed = std::get<std::string>(read);
    } else if (const char* env = std::getenv("VARNEX_NEW_PASSWORD"); env != nullptr) {
        typed = env;
    } else {
        const auto first = PromptPassword("New password: ");
        const auto again = first ? PromptPassword("New password again: ") : std::nullopt;
        if (!first || !again) {
            return UsageError(
                "no new password: give --new-password-file FILE, set "
                "VARNEX_NEW_PASSWORD or run on a terminal");
        }
        if (*first != *again) {
            return UsageError("the new passwords differ");
        }
        typed = *first;
    }
    if (auto bad = CheckPasswordText(typed, "new password")) {
        return *bad;
    }
    return typed;
}

bool WantsJson(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            return true;
        }
    }
    return false;
}

int PrintWriteOutcome(const WriteOutcome& outcome, bool json) {
    if (outcome.status != kSuccess) {
        return ReportFailure({outcome.status, outcome.message}, json);
    }
    const std::string text = json ? JsonText({{"schema_version", kSchemaVersion},
                                              {"done", outcome.message},
                                              {"confirmed", true}},
                                             2)
                                  : outcome.message;
    std::printf("%s\n", text.c_str());
    return kSuccess;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    GlobalOptions g;
    CommandArguments a;
    CLI::App app{kDescription, "varnexctl"};
    app.fallthrough();
    app.require_subcommand(1);
    app.add_option("TARGET", g.target, "dotted IPv4 address, or a station's address or comment");
    app.add_option("--database", g.database, "station database file (default: the client's)");
    app.add_option("--port", g.port, "the unit's UDP port (default: VARNEX_UNIT_PORT, else 7)");
    app.add_option("--timeout", g.timeout, "seconds to wait for each reply, a decimal (1)");
    app.add_option("--retries", g.retries, "further attempts of a read (2); writes go once");
    app.add_option("--password", g.password,
                   "the unit's password (visible to other users: prefer --password-file)");
    app.add_option("--password-file", g.passwordFile, "read the password from FILE (- for stdin)");
    app.add_flag("--json", g.json, "machine-readable output, failures included");
    app.add_flag("--yes", g.yes, "confirm a command that can lock you out or move the unit");
    app.add_flag("--force", g.force, "send an allowed-client list without this computer");

    auto* status = app.add_subcommand("status", "every reading and setting");
    auto* uptime = app.add_subcommand("uptime", "the unit's time since start");
    auto* stations = app.add_subcommand("stations", "the station database's list (no TARGET)");
    auto* watch = app.add_subcommand("watch", "a line per status reply, then a summary");
    watch->add_option("--interval", a.interval, "seconds between requests (1)");
    watch->add_option("--count", a.count, "stop after N requests (0: until Ctrl-C)");
    watch->add_flag("--csv", a.csv, "CSV with a header line");
    watch->add_flag("--flood", a.flood, "allow intervals under 0.1 s outside 127.0.0.0/8");
    auto* check = app.add_subcommand("check", "a monitoring-plugin check with performance data");
    check->add_option("-w,--warning", a.warning, "METRIC=RANGE (volts1..volts8, celsius)");
    check->add_option("-c,--critical", a.critical, "METRIC=RANGE (volts1..volts8, celsius)");
    auto* relay = app.add_subcommand("relay", "switch a power relay: N on|off|toggle");
    relay->add_option("RELAY", a.first, "1, 2 or 3")->required();
    relay->add_option("ACTION", a.second, "on, off or toggle")->required();
    relay->add_option("--seconds", a.seconds, "a toggle's seconds, 1 to 60");
    auto* board =
        app.add_subcommand("board", "a daughter board's element: B ELEMENT on|off|toggle");
    board->add_option("BOARD", a.first, "1 to 6")->required();
    board->add_option("ELEMENT", a.second, "relay 1 to 6, or output")->required();
    board->add_option("ACTION", a.third, "on (relay NO, output on), off, or toggle")->required();
    board->add_option("--seconds", a.seconds, "a toggle's seconds, 1 to 60");
    auto* timer = app.add_subcommand("timer", "the relay timer");
    timer->require_subcommand(1);
    auto* timerSet = timer->add_subcommand("set", "run a script slot after a delay");
    timerSet->add_option("--slot", a.slot, "script slot 1 to 8")->required();
    timerSet->add_option("--seconds", a.seconds, "delay, 1 to 2678399")->required();
    timerSet->add_flag("--continuous", a.continuous, "run again after every delay");
    auto* timerStop = timer->add_subcommand("stop", "stop the relay timer");
    auto* script = app.add_subcommand("script", "relay scripts");
    script->require_subcommand(1);
    auto* scriptList = script->add_subcommand("list", "the unit's eight script slots");
    auto* scriptUpload =
        script->add_subcommand("upload", "store a script: SLOT --name NAME STEP...");
    scriptUpload->add_option("SLOT", a.slot, "1 to 8")->required();
    scriptUpload->add_option("--name", a.name, "up to 15 digits, letters, blanks, full stops")
        ->required();
    scriptUpload->add_option("STEP", a.list, "relay1:on .. relay3:off, delay:1 .. delay:5")
        ->required();
    auto* scriptRun = script->add_subcommand("run", "run a stored script: SLOT");
    scriptRun->add_option("SLOT", a.slot, "1 to 8")->required();
    auto* trigger = app.add_subcommand("trigger", "temperature and I/O triggers");
    trigger->require_subcommand(1);
    auto* temperature = trigger->add_subcommand("temperature", "run scripts past thresholds");
    temperature->add_flag("--off", a.temperature.off, "disable the trigger");
    temperature->add_option("--upper", a.temperature.upper, "upper threshold, 1 to 50 C");
    temperature->add_option("--upper-slot", a.temperature.upperSlot, "slot run above it");
    temperature->add_option("--lower", a.temperature.lower, "lower threshold, 0 to 49 C");
    temperature->add_option("--lower-slot", a.temperature.lowerSlot, "slot run below it");
    auto* io = trigger->add_subcommand("io", "run scripts when an I/O pin changes: PIN");
    io->add_option("PIN", a.io.pin, "1 to 5")->required();
    io->add_flag("--off", a.io.off, "disable the pin's trigger");
    io->add_option("--slot-for-0", a.io.slotFor0, "slot run when the pin goes to 0");
    io->add_option("--slot-for-1", a.io.slotFor1, "slot run when the pin goes to 1");
    auto* name = app.add_subcommand("name", "the station name: TEXT");
    name->add_option("TEXT", a.name, "up to 20 digits, letters, blanks")->required();
    auto* password = app.add_subcommand("password", "change the unit's password (needs --yes)");
    password->add_option("--new-password-file", a.newPasswordFile,
                         "read the new password from FILE (- for stdin)");
    auto* allowed = app.add_subcommand("allowed-clients", "all | only ADDRESS... (needs --yes)");
    allowed->add_option("MODE", a.first, "all or only")->required();
    allowed->add_option("ADDRESS", a.list, "1 to 5 dotted addresses");
    auto* http = app.add_subcommand("http", "the HTTP server: on|off");
    http->add_option("STATE", a.first, "on or off")->required();
    auto* snmp = app.add_subcommand("snmp", "SNMP access: on|off");
    snmp->add_option("STATE", a.first, "on or off")->required();
    auto* mac = app.add_subcommand("mac", "the MAC address: XX:XX:XX:XX:XX:XX (needs --yes)");
    mac->add_option("MAC", a.first, "six hexadecimal pairs")->required();
    auto* ip = app.add_subcommand("ip", "move the unit to A.B.C.D (needs --yes)");
    ip->add_option("ADDRESS", a.first, "dotted IPv4 address")->required();

    // The generated usage lines leave out what comes before the command.
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        const std::string target = command == stations ? "" : "TARGET ";
        command->footer("Run as: varnexctl [OPTIONS] " + target + command->get_name() +
                        " ...  (varnexctl --help: TARGET, OPTIONS, exit statuses)");
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return ReportFailure(UsageError(e.what()), WantsJson(argc, argv));
    }
    const bool json = g.json;
    const auto fail = [json](const Failure& f) { return ReportFailure(f, json); };

    if (stations->parsed()) {
        if (!g.target.empty()) {
            return fail(UsageError("stations: takes no TARGET"));
        }
        auto list = ReadStations(DatabasePath(g.database));
        if (auto* failure = std::get_if<Failure>(&list)) {
            return fail(*failure);
        }
        return RunStations(std::get<std::vector<LoadedStation>>(list), json);
    }
    const bool dangerous = password->parsed() || allowed->parsed() || mac->parsed() || ip->parsed();
    if (dangerous && !g.yes) {
        return fail(UsageError("this command can lock you out or move the unit: add --yes"));
    }
    // Transport settings first: nothing below may send before all are checked.
    auto timeout = CheckDecimal(g.timeout, "--timeout", 0.001, 3600);
    auto retries = CheckWhole(g.retries, "--retries", 0, 100);
    std::optional<long> port;
    if (g.port) {
        auto checked = CheckWhole(*g.port, "--port", 1, 65535);
        if (auto* failure = std::get_if<Failure>(&checked)) {
            return fail(*failure);
        }
        port = std::get<long>(checked);
    }
    for (auto* failure : {std::get_if<Failure>(&timeout), std::get_if<Failure>(&retries)}) {
        if (failure != nullptr) {
            return fail(*failure);
        }
    }
    CheckThresholds thresholds;
    if (auto bad = AddThresholds(a.warning, "--warning", thresholds.warning)) {
        return check->parsed() ? (std::printf("%s\n", UnknownCheck(bad->message).line.c_str()),
                                  int(kCheckUnknown))
                               : fail(*bad);
    }
    if (auto bad = AddThresholds(a.critical, "--critical", thresholds.critical)) {
        return check->parsed() ? (std::printf("%s\n", UnknownCheck(bad->message).line.c_str()),
                                  int(kCheckUnknown))
                               : fail(*bad);
    }
    const auto checkFail = [&](const Failure& f) {
        if (check->parsed()) {
            std::printf("%s\n", UnknownCheck(f.message).line.c_str());
            return int(kCheckUnknown);
        }
        return fail(f);
    };

    auto resolved =
        ResolveTarget(g, g.password || g.passwordFile || std::getenv("VARNEX_PASSWORD") != nullptr);
    if (auto* failure = std::get_if<Failure>(&resolved)) {
        return checkFail(*failure);
    }
    Target target = std::get<Target>(resolved);
    target.unit.port = port ? static_cast<uint16_t>(*port) : UnitPortFromEnvironment();

    WatchOptions watchOptions;
    if (watch->parsed()) {
        auto interval = CheckDecimal(a.interval, "--interval", 0, 86400);
        auto count = CheckWhole(a.count, "--count", 0, 1000000000);
        for (auto* failure : {std::get_if<Failure>(&interval), std::get_if<Failure>(&count)}) {
            if (failure != nullptr) {
                return fail(*failure);
            }
        }
        watchOptions.intervalSeconds = std::get<double>(interval);
        watchOptions.count = std::get<long>(count);
        if (a.csv && json) {
            return fail(UsageError("--csv and --json: choose one"));
        }
        watchOptions.format = a.csv  ? WatchFormat::Csv
                              : json ? WatchFormat::Json
                                     : WatchFormat::Text;
        if (auto refused =
                CheckWatchInterval(watchOptions.intervalSeconds, target.unit.address, a.flood)) {
            return fail(*refused);
        }
    }

    std::optional<std::string> newPassword;
    if (password->parsed()) {
        auto typed = ResolveNewPassword(a);
        if (auto* failure = std::get_if<Failure>(&typed)) {
            return fail(*failure);
        }
        newPassword = std::get<std::string>(typed);
    }
    auto pw = ResolvePassword(g, target);
    if (auto* failure = std::get_if<Failure>(&pw)) {
        return checkFail(*failure);
    }
    target.unit.password = std::get<std::string>(pw);

    // Every write's arguments are checked here, before anything is sent.
    std::optional<Plan> plan;
    if (relay->parsed()) {
        plan = RelayPlan(a.first, a.second, a.seconds);
    } else if (board->parsed()) {
        plan = BoardPlan(a.first, a.second, a.third, a.seconds);
    } else if (timerSet->parsed()) {
        plan = TimerSetPlan(a.slot, *a.seconds, a.continuous);
    } else if (timerStop->parsed()) {
        plan = TimerStopPlan();
    } else if (scriptUpload->parsed()) {
        plan = ScriptUploadPlan(a.slot, a.name, a.list);
    } else if (scriptRun->parsed()) {
        plan = ScriptRunPlan(a.slot);
    } else if (temperature->parsed()) {
        plan = TemperatureTriggerPlan(a.temperature);
    } else if (io->parsed()) {
        plan = IoTriggerPlan(a.io);
    } else if (name->parsed()) {
        plan = NamePlan(a.name);
    } else if (http->parsed() || snmp->parsed()) {
        plan = SwitchPlan(http->parsed(), a.first);
    } else if (mac->parsed()) {
        plan = MacPlan(a.first);
    } else if (ip->parsed()) {
        plan = IpPlan(a.first, target.unit);
    } else if (password->parsed()) {
        plan = PasswordPlan(*newPassword, target.unit);
    } else if (allowed->parsed()) {
        plan = AllowedClientsPlan(a.first, a.list, OwnAddressToward(target.unit), g.force);
    }
    if (plan) {
        if (auto* failure = std::get_if<Failure>(&*plan)) {
            return fail(*failure);
        }
    }

    const auto wait =
        std::chrono::milliseconds(std::max<long>(1, std::lround(std::get<double>(timeout) * 1000)));
    const int tries = static_cast<int>(std::get<long>(retries));
    UnitExchange exchange(target.unit, wait, tries);
    if (plan) {
        return PrintWriteOutcome(RunWrite(exchange, std::get<WritePlan>(*plan), wait, tries), json);
    }
    if (status->parsed()) {
        return RunStatus(exchange, target.jumpers, json);
    }
    if (uptime->parsed()) {
        return RunUptime(exchange, json);
    }
    if (scriptList->parsed()) {
        return RunScriptList(exchange, json);
    }
    if (check->parsed()) {
        return RunCheck(exchange, target.jumpers, thresholds);
    }
    if (watch->parsed()) {
        return RunWatch(exchange, watchOptions, target.jumpers, stdout,
                        watchOptions.format == WatchFormat::Text ? stdout : stderr);
    }
    return fail(UsageError("a COMMAND is required (see --help)"));
}

}  // namespace varnex::ctl
