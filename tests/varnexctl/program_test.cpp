// The varnexctl program against a varnex-unit on 127.0.0.1: every command
// changes the unit as it says, outputs parse and keep their schema, every
// failure has its exit status, writes go out once, bad arguments send
// nothing, and the password never shows.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_table.h"
#include "stations/station_writers.h"
#include "varnexctl/program_harness.h"

namespace varnex::ctl::testing {
namespace {

using nlohmann::json;

constexpr const char* kPassword = "Qz7secret";

class TempHome {
  public:
    TempHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnexctl-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~TempHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

class VarnexctlTest : public ::testing::Test {
  protected:
    explicit VarnexctlTest(std::vector<std::string> unitOptions = {"--boards", "1"})
        : unit_(WithPassword(std::move(unitOptions))) {}

    static std::vector<std::string> WithPassword(std::vector<std::string> options) {
        options.insert(options.end(), {"--password", kPassword});
        return options;
    }

    // A home without the client's settings or database, so only what a
    // test gives is read.
    std::vector<std::string> Environment(std::vector<std::string> more = {}) const {
        more.insert(
            more.end(),
            {"HOME=" + home_.path(), "XDG_CONFIG_HOME=" + home_.path() + "/config",
             "XDG_DATA_HOME=" + home_.path() + "/data", "VARNEX_UNIT_PORT=" + unit_.port()});
        return more;
    }

    Finished Ctl(std::vector<std::string> args, std::vector<std::string> environment = {},
                 const std::string& input = "") {
        args.insert(args.begin(), VARNEXCTL_PROGRAM);
        environment.push_back(std::string("VARNEX_PASSWORD=") + kPassword);
        Finished finished = RunProgram(args, Environment(environment), input);
        EXPECT_EQ(finished.out.find(kPassword), std::string::npos) << finished.out;
        EXPECT_EQ(finished.err.find(kPassword), std::string::npos) << finished.err;
        return finished;
    }

    json StatusJson() {
        const Finished f = Ctl({"127.0.0.1", "status", "--json"});
        EXPECT_EQ(f.status, 0) << f.err;
        return json::parse(f.out, nullptr, false);
    }

    TempHome home_;
    UnitProcess unit_;
};

TEST_F(VarnexctlTest, EachWriteChangesTheUnitAndIsConfirmed) {
    struct Case {
        std::vector<std::string> args;
        std::string stateShows;  // in the simulator's "state"
    };
    for (const Case& c : std::vector<Case>{
             {{"relay", "2", "on"}, "2:on"},
             {{"relay", "2", "off"}, "2:off"},
             {{"relay", "3", "toggle", "--seconds", "30"}, "3:on"},
             {{"name", "Lab Unit 7"}, "name \"Lab Unit 7 "},  // blank-padded as the dialog sends it
             {{"timer", "set", "--slot", "2", "--seconds", "600"}, "slot 2, one shot"},
             {{"timer", "stop"}, "timer stopped"},
             // A set bit is an element at rest; all are at first.
             {{"board", "1", "3", "on"}, "boards 1:7B"},
             {{"board", "1", "output", "on"}, "boards 1:3B"},
             {{"board", "1", "3", "off"}, "boards 1:3F"},
             {{"--yes", "mac", "02:11:22:33:44:55"}, "mac 02:11:22:33:44:55"},
             {{"--yes", "allowed-clients", "only", "127.0.0.1", "127.0.0.3"},
              "listed clients only"},
             {{"--yes", "allowed-clients", "all"}, "every client allowed"},
             {{"script", "upload", "3", "--name", "Pump", "relay1:on", "delay:1", "relay1:off"},
              "name"},
             {{"script", "run", "3"}, "script in slot 3 runs"},
         }) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        std::vector<std::string> args = {"127.0.0.1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Finished f = Ctl(args);
        EXPECT_EQ(f.status, 0) << f.out << f.err;
        EXPECT_NE(f.out.find("confirmed"), std::string::npos) << f.out;
        EXPECT_NE(unit_.State().find(c.stateShows), std::string::npos) << unit_.State();
    }
}

TEST_F(VarnexctlTest, SettingsShowInTheStatusAndTheScriptTable) {
    struct Case {
        std::vector<std::string> args;
        std::string pointer;  // into the status JSON
        json expected;
    };
    for (const Case& c : std::vector<Case>{
             {{"http", "off"}, "/http_enabled", false},
             {{"http", "on"}, "/http_enabled", true},
             {{"snmp", "off"}, "/snmp_enabled", false},
             {{"trigger", "io", "4", "--slot-for-0", "2", "--slot-for-1", "7"},
              "/io_triggers/3",
              json{{"pin", 4}, {"enabled", true}, {"slot_for_0", 2}, {"slot_for_1", 7}}},
             {{"trigger", "temperature", "--upper", "40", "--upper-slot", "1", "--lower", "5",
               "--lower-slot", "8"},
              "/temperature_trigger",
              json{{"enabled", true},
                   {"upper_slot", 1},
                   {"lower_slot", 8},
                   {"upper_celsius", 40},
                   {"lower_celsius", 5}}},
             {{"trigger", "temperature", "--off"}, "/temperature_trigger/enabled", false},
         }) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        std::vector<std::string> args = {"127.0.0.1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Finished f = Ctl(args);
        EXPECT_EQ(f.status, 0) << f.out << f.err;
        EXPECT_EQ(StatusJson().at(json::json_pointer(c.pointer)), c.expected);
    }
    ASSERT_EQ(Ctl({"127.0.0.1", "script", "upload", "5", "--name", "Fan.2", "relay3:on", "delay:5"})
                  .status,
              0);
    const Finished list = Ctl({"127.0.0.1", "--json", "script", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(json::parse(list.out)["scripts"][4],
              (json{{"slot", 5}, {"name", "Fan.2"}, {"steps", {"Relay 3 ON", "Delay 5 Seconds"}}}));
}

TEST_F(VarnexctlTest, PasswordChangeAndMoveAreConfirmedWhereTheUnitNowIs) {
    EXPECT_EQ(Ctl({"127.0.0.1", "password"}, {"VARNEX_NEW_PASSWORD=Fresh9"}).status,
              2);  // no --yes
    const Finished changed =
        Ctl({"127.0.0.1", "--yes", "password"}, {"VARNEX_NEW_PASSWORD=Fresh9"});
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out.find("Fresh9"), std::string::npos);
    EXPECT_EQ(Ctl({"127.0.0.1", "status"}).status, 3);  // the old one is refused now
    const Finished fresh = RunProgram(
        {VARNEXCTL_PROGRAM, "--password-file", "-", "127.0.0.1", "--yes", "ip", "127.0.0.9"},
        Environment(), "Fresh9\n");
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(fresh.out.find("Fresh9"), std::string::npos);
    EXPECT_EQ(RunProgram({VARNEXCTL_PROGRAM, "--password", "Fresh9", "127.0.0.9", "uptime"},
                         Environment())
                  .status,
              0);
}

TEST_F(VarnexctlTest, StatusJsonKeepsItsSchemaInEveryLocale) {
    unit_.Console("volts 3 12.5");
    unit_.Console("temp -7.5");
    const Finished f =
        Ctl({"127.0.0.1", "status", "--json"}, {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
    ASSERT_EQ(f.status, 0) << f.err;
    const json status = json::parse(f.out);
    EXPECT_EQ(status["schema_version"], 1);
    std::vector<std::string> keys;
    for (const auto& [key, value] : status.items()) {
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    // The keys the man page documents, no more and no fewer.
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "address", "allowed_clients", "daughter_boards", "firmware", "http_enabled",
                        "io_triggers", "mac_address", "pins", "relays", "schema_version",
                        "snmp_enabled", "station_name", "temperature_celsius", "temperature_raw",
                        "temperature_trigger", "timer", "uptime_seconds", "voltmeters"}));
    EXPECT_EQ(status["temperature_celsius"], -7.5);
    ASSERT_EQ(status["voltmeters"].size(), 8u);
    EXPECT_NEAR(status["voltmeters"][2]["volts"].get<double>(), 12.5, 0.01);
    EXPECT_EQ(status["voltmeters"][2]["full_scale_volts"], 30);
    for (const json& v : status["voltmeters"]) {
        EXPECT_TRUE(v["volts"].is_number_float());
        EXPECT_TRUE(v["raw"].is_number_unsigned());
        EXPECT_LE(v["raw"].get<int>(), 4095);
    }
    for (const char* key : {"station_name", "mac_address", "firmware"}) {
        EXPECT_TRUE(status[key].is_string()) << key;
    }
    for (const char* key : {"uptime_seconds", "temperature_celsius"}) {
        EXPECT_TRUE(status[key].is_number()) << key;
    }
    for (const char* key : {"http_enabled", "snmp_enabled"}) {
        EXPECT_TRUE(status[key].is_boolean()) << key;
    }
    EXPECT_EQ(status["relays"].size(), 3u);
    EXPECT_EQ(status["pins"].size(), 5u);
    EXPECT_TRUE(status["daughter_boards"]["boards"][0]["detected"].get<bool>());
}

class OldFirmwareTest : public VarnexctlTest {
  protected:
    OldFirmwareTest() : VarnexctlTest({"--firmware", "1.6.7"}) {}
};

TEST_F(OldFirmwareTest, FieldsTheFirmwareLacksAreNull) {
    const json status = StatusJson();
    for (const char* key : {"http_enabled", "snmp_enabled", "daughter_boards"}) {
        EXPECT_TRUE(status[key].is_null()) << key;
    }
}

TEST_F(VarnexctlTest, WatchWritesOneParsableLinePerReplyAndASummary) {
    const Finished j = Ctl({"127.0.0.1", "--json", "watch", "--interval", "0", "--count", "3"});
    ASSERT_EQ(j.status, 0) << j.err;
    std::istringstream lines(j.out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        const json object = json::parse(line);
        EXPECT_EQ(object["seq"], count + 1);
        EXPECT_EQ(object["schema_version"], 1);
        EXPECT_TRUE(object["round_trip_ms"].is_number());
    }
    EXPECT_EQ(count, 3);
    EXPECT_NE(j.err.find("3 sent, 3 received, 0.0% lost, round trip min/avg/max"),
              std::string::npos)
        << j.err;

    const Finished csv = Ctl({"127.0.0.1", "watch", "--csv", "--interval", "0.01", "--count", "2"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::istringstream rows(csv.out);
    std::string header, row;
    std::getline(rows, header);
    EXPECT_EQ(header.rfind("seq,round_trip_ms,volts1,raw1,", 0), 0u) << header;
    const auto fields = [](const std::string& text) {
        return std::count(text.begin(), text.end(), ',') + 1;
    };
    for (int n = 0; n < 2; ++n) {
        ASSERT_TRUE(std::getline(rows, row));
        EXPECT_EQ(fields(row), fields(header)) << row;
    }
    EXPECT_EQ(unit_.Received('1'), 5);  // one request a line, no more
    // A new local port for every request, so a late reply never counts for the next.
    const std::vector<std::string> ports = unit_.SenderPorts('1');
    ASSERT_EQ(ports.size(), 5u);
    for (const std::size_t n : {1, 2, 4}) {  // within each of the two runs
        EXPECT_NE(ports[n], ports[n - 1]) << n;
    }
}

TEST_F(VarnexctlTest, CtrlCEndsWatchWithTheSummaryAndAClosedPipeQuietly) {
    int in = -1, out = -1, err = -1;
    const pid_t watching =
        Spawn({VARNEXCTL_PROGRAM, "127.0.0.1", "watch", "--interval", "0.02"},
              Environment({std::string("VARNEX_PASSWORD=") + kPassword}), in, out, err);
    ASSERT_GT(watching, 0);
    std::string seen = ReadUntil(out, "seq=3 ");
    ASSERT_NE(seen.find("seq=3 "), std::string::npos) << seen;  // line by line through a pipe
    kill(watching, SIGINT);
    EXPECT_EQ(Reap(watching), 0);
    Drain(out, seen);
    EXPECT_NE(seen.find("--- 127.0.0.1 varnexctl watch ---"), std::string::npos) << seen;
    EXPECT_NE(seen.find(" received, "), std::string::npos) << seen;
    close(in);
    close(out);
    close(err);

    const pid_t piped =
        Spawn({VARNEXCTL_PROGRAM, "127.0.0.1", "watch", "--interval", "0.01"},
              Environment({std::string("VARNEX_PASSWORD=") + kPassword}), in, out, err);
    ASSERT_GT(piped, 0);
    ASSERT_NE(ReadUntil(out, "seq=1 ").find("seq=1 "), std::string::npos);
    close(out);  // as `| head -1` does
    EXPECT_EQ(Reap(piped), 0);
    std::string complaints;
    Drain(err, complaints);
    EXPECT_EQ(complaints, "");
    close(in);
    close(err);
}

TEST_F(VarnexctlTest, EveryFailureHasItsExitStatus) {
    // Refused password.
    const Finished refused = RunProgram(
        {VARNEXCTL_PROGRAM, "--password", "wrong", "127.0.0.1", "status"}, Environment());
    EXPECT_EQ(refused.status, 3) << refused.err;
    const Finished refusedJson = RunProgram(
        {VARNEXCTL_PROGRAM, "--password", "wrong", "--json", "127.0.0.1", "status"}, Environment());
    EXPECT_EQ(json::parse(refusedJson.out)["error"]["exit_status"], 3);
    const Finished usageJson = Ctl({"--json", "127.0.0.1", "relay", "9", "on"});
    EXPECT_EQ(usageJson.status, 2);
    EXPECT_EQ(json::parse(usageJson.out)["error"]["exit_status"], 2);
    EXPECT_EQ(
        json::parse(
            Ctl({"--json", "127.0.0.1", "--frobnicate", "status"}).out)["error"]["exit_status"],
        2);
    // The unit refuses: no such daughter board, a toggle while one runs.
    const Finished noBoard = Ctl({"127.0.0.1", "board", "4", "2", "on"});
    EXPECT_EQ(noBoard.status, 5) << noBoard.err;
    EXPECT_NE(noBoard.err.find("return code 10"), std::string::npos) << noBoard.err;
    ASSERT_EQ(Ctl({"127.0.0.1", "relay", "1", "toggle", "--seconds", "60"}).status, 0);
    const Finished second = Ctl({"127.0.0.1", "relay", "2", "toggle", "--seconds", "5"});
    EXPECT_EQ(second.status, 5) << second.err;
    EXPECT_NE(second.err.find("return code 100"), std::string::npos) << second.err;
    // A lost reply to a write: sent once, not confirmed.
    unit_.Console("drop 1");
    const int before = unit_.Received('6');
    const Finished lost = Ctl({"127.0.0.1", "--timeout", "0.2", "relay", "2", "off"});
    EXPECT_EQ(lost.status, 6) << lost.err;
    EXPECT_NE(lost.err.find("sent once, not confirmed"), std::string::npos) << lost.err;
    EXPECT_EQ(unit_.Received('6'), before + 1);
    // Silence: a read tries 1 + retries times.
    const int reads = unit_.Received('1');
    const Finished silent = Ctl({"127.0.0.1", "--timeout", "0.1", "--retries", "2", "status"});
    EXPECT_EQ(silent.status, 4) << silent.err;
    EXPECT_EQ(unit_.Received('1'), reads + 3);
}

TEST_F(VarnexctlTest, ALockOutNeedsForceAndThenCannotBeConfirmed) {
    const std::vector<std::string> lockOut = {"127.0.0.1", "--yes", "allowed-clients", "only",
                                              "127.0.0.5"};
    EXPECT_EQ(Ctl(lockOut).status, 2);
    EXPECT_EQ(unit_.Received('H'), 0);
    std::vector<std::string> forced = lockOut;
    forced.insert(forced.begin() + 1, "--force");
    forced.insert(forced.begin() + 1, {"--timeout", "0.1"});
    const Finished f = Ctl(forced);
    EXPECT_EQ(f.status, 6) << f.err;  // this computer may no longer ask
    EXPECT_EQ(unit_.Received('H'), 1);
    EXPECT_NE(unit_.State().find("listed clients only"), std::string::npos);
    unit_.Console("allow all");
    EXPECT_EQ(Ctl({"127.0.0.1", "uptime"}).status, 0);
}

TEST_F(VarnexctlTest, CheckGivesEachStatusAtItsThreshold) {
    unit_.Console("volts 2 12");
    unit_.Console("temp 30");
    struct Case {
        std::vector<std::string> thresholds;
        int status;
        std::string starts;
    };
    for (const Case& c : std::vector<Case>{
             {{"--warning", "volts2=11:13", "--critical", "volts2=10:14"}, 0, "VARNEX OK - "},
             {{"--warning", "volts2=12.5:13", "--critical", "volts2=10:14"},
              1,
              "VARNEX WARNING - volts2 12.0"},
             {{"--warning", "volts2=13:14", "--critical", "volts2=@11:13"},
              2,
              "VARNEX CRITICAL - volts2"},
             {{"--warning", "celsius=~:29.5"}, 1, "VARNEX WARNING - celsius 30.0 C"},
             {{"--critical", "celsius=30:"}, 0, "VARNEX OK"},
             {{"--critical", "celsius=30.5:"}, 2, "VARNEX CRITICAL"},
             {{"--warning", "volts9=1:2"}, 3, "VARNEX UNKNOWN - --warning"},
         }) {
        std::vector<std::string> args = {"127.0.0.1", "check"};
        args.insert(args.end(), c.thresholds.begin(), c.thresholds.end());
        const Finished f = Ctl(args);
        SCOPED_TRACE(f.out);
        EXPECT_EQ(f.status, c.status);
        EXPECT_EQ(f.out.rfind(c.starts, 0), 0u);
        EXPECT_EQ(std::count(f.out.begin(), f.out.end(), '\n'), 1);
        if (c.status != 3) {
            EXPECT_NE(f.out.find(" | volts1="), std::string::npos);
        }
    }
    unit_.Console("drop 1");
    const Finished silent = Ctl({"127.0.0.1", "--timeout", "0.05", "--retries", "0", "check"});
    EXPECT_EQ(silent.status, 3);
    EXPECT_EQ(silent.out.rfind("VARNEX UNKNOWN - no answer", 0), 0u) << silent.out;
}

TEST_F(VarnexctlTest, HostileArgumentsAreRefusedBeforeAnythingIsSent) {
    const std::string longName(5000, 'a');
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"127.0.0.1", "name", "x; rm -rf /"},
             {"127.0.0.1", "name", "$(reboot)"},
             {"127.0.0.1", "name", longName},
             {"127.0.0.1", "relay", "-1", "on"},
             {"127.0.0.1", "relay", "4", "on"},
             {"127.0.0.1", "relay", "1", "toggle", "--seconds", "-5"},
             {"127.0.0.1", "relay", "1", "toggle", "--seconds", "61"},
             {"127.0.0.1", "relay", "1", "on", "--seconds", "5"},
             {"127.0.0.1", "relay", "1", "`id`"},
             {"127.0.0.1", "board", "7", "1", "on"},
             {"127.0.0.1", "timer", "set", "--slot", "9", "--seconds", "10"},
             {"127.0.0.1", "timer", "set", "--slot", "1", "--seconds", "2678400"},
             {"127.0.0.1", "script", "upload", "1", "--name", "ok", "relay1:on", "reboot"},
             {"127.0.0.1", "script", "upload", "1", "--name", longName, "relay1:on"},
             {"127.0.0.1", "trigger", "temperature", "--upper", "20", "--upper-slot", "1",
              "--lower", "20", "--lower-slot", "1"},
             {"127.0.0.1", "trigger", "io", "6", "--off"},
             {"127.0.0.1", "--yes", "mac", "00:00:00:00:00:00"},
             {"127.0.0.1", "--yes", "mac", "01:11:22:33:44:55"},
             {"127.0.0.1", "--yes", "ip", "127.0.0.1;reboot"},
             {"127.0.0.1", "--yes", "allowed-clients", "only", "127.0.0.5"},  // leaves us out
             {"127.0.0.1", "mac", "02:11:22:33:44:55"},                       // no --yes
             {"127.0.0.1", "--yes", "password"},  // no new password from any source
             {"127.0.0.1", "--timeout", "-1", "status"},
             {"127.0.0.1", "--retries", "x", "status"},
             {"127.0.0.1", "--port", "70000", "status"},
             {"$(reboot)", "status"},
             {"127.0.0.1", "frobnicate"},
         }) {
        const Finished f = Ctl(args);
        SCOPED_TRACE(args.back().substr(0, 40));
        EXPECT_EQ(f.status, 2) << f.err;
        EXPECT_EQ(std::count(f.err.begin(), f.err.end(), '\n'), 1) << f.err;
        EXPECT_LT(f.err.size(), 400u);
    }
    EXPECT_EQ(unit_.Datagrams(), 0);
}

TEST_F(VarnexctlTest, StationsAreFoundByAddressOrCommentInTheClientsDatabase) {
    const std::string database = home_.path() + "/stations.db";
    {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(database), SeedOutcome::Written);
        PlatformHooks hooks;
        StationStore store(hooks);
        store.OpenStationStore(database);
        ASSERT_TRUE(DeleteStation(store, std::string(kFactoryAddress)));  // not on loopback
        ASSERT_TRUE(InsertStation(store, "127.0.0.1", PasswordAsStored(kPassword), "Bench A"));
        ASSERT_TRUE(InsertStation(store, "127.0.0.2", "other*****", "Twin"));
        ASSERT_TRUE(InsertStation(store, "127.0.0.3", "other*****", "Twin"));
        ASSERT_TRUE(InsertStation(store, "127.0.0.4", "other*****", "Caf\xe9 latin-1"));
    }
    // The client's settings file names the database, quoted and escaped as written.
    std::filesystem::create_directories(home_.path() + "/config/Korvath");
    std::ofstream(home_.path() + "/config/Korvath/VNXv1.ini")
        << "[General]\nx=1\n\n[Options]\nDatabase\\Location=\"" << database << "\"\n";
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), VARNEXCTL_PROGRAM);
        return RunProgram(args, Environment());
    };
    const Finished byComment = run({"Bench A", "uptime"});
    EXPECT_EQ(byComment.status, 0) << byComment.err;
    EXPECT_EQ(run({"127.0.0.1", "uptime"}).status, 0);  // its stored password
    const Finished twin = run({"Twin", "uptime"});
    EXPECT_EQ(twin.status, 2);
    EXPECT_NE(twin.err.find("several stations"), std::string::npos) << twin.err;
    EXPECT_EQ(run({"Nobody", "uptime"}).status, 2);
    const Finished list = run({"--json", "stations"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(json::parse(list.out)["stations"][0],
              (json{{"address", "127.0.0.1"}, {"comment", "Bench A"}, {"default", false}}));
    EXPECT_EQ(list.out.find("other"), std::string::npos);
    // Bytes that are no UTF-8 are replaced, not a failure.
    EXPECT_EQ(json::parse(list.out)["stations"][3]["comment"], "Caf\xef\xbf\xbd latin-1");
    EXPECT_EQ(list.out.find(kPassword), std::string::npos);
    EXPECT_EQ(unit_.Datagrams(), 2);
    // Missing database: an error, and no file appears.
    const Finished missing = run({"--database", home_.path() + "/none.db", "stations"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(std::filesystem::exists(home_.path() + "/none.db"));
}

}  // namespace
}  // namespace varnex::ctl::testing
