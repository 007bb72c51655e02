// varnexd's MQTT bridge end to end: Debian's mosquitto on a free loopback
// port (plain, with a password file, or with TLS from a CA made here),
// varnex-unit serving five units on 127.1.3.x, varnexd as a program, and a
// real client listening to everything.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>

#include <csignal>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <thread>

#include "engine/child_process.h"
#include "varnexd/mqtt_listener.h"
#include "varnexd/varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

using namespace std::chrono_literals;
using json = nlohmann::json;
using varnex::testing::ChildProcess;
using Topics = std::map<std::string, Heard>;

constexpr int kUnits = 5;
constexpr const char* kFirstUnit = "127.1.3.1";
constexpr const char* kSilentUnit = "127.1.3.9";  // no unit answers there
constexpr auto kLimit = 20s;

enum class Access { Plain, Password, Tls };

bool Accepts(uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool open = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return open;
}

// The broker with a throw-away configuration; Restart loses every retained
// message, as a broker without persistence does.
class Broker {
  public:
    Broker(const TempFolder& folder, Access access) : folder_(folder), port_(FreeTcpPort()) {
        std::string conf = "listener " + std::to_string(port_) +
                           " 127.0.0.1\npersistence false\nuser " + getpwuid(getuid())->pw_name +
                           "\n";
        if (access == Access::Password) {
            RunCommand("mosquitto_passwd -b -c " + ShellQuoted(folder.File("passwd")) +
                       " varnexd s3cret");
            conf += "allow_anonymous false\npassword_file " + folder.File("passwd") + "\n";
        } else {
            conf += "allow_anonymous true\n";
        }
        if (access == Access::Tls) {
            const std::string f = ShellQuoted(folder.path());
            const auto [status, output] = RunCommand(
                "cd " + f +
                " && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                "-keyout ca.key -out ca.crt -days 1 -subj /CN=varnex-test-ca"
                " && openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
                "-keyout server.key -out server.csr -subj /CN=127.0.0.1"
                " && printf 'subjectAltName=IP:127.0.0.1\\n' > san.ext"
                " && openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                "-out server.crt -days 1 -extfile san.ext");
            EXPECT_EQ(status, 0) << output;
            conf += "cafile " + folder.File("ca.crt") + "\ncertfile " + folder.File("server.crt") +
                    "\nkeyfile " + folder.File("server.key") + "\n";
        }
        WriteFile(folder.File("mosquitto.conf"), conf);
        Start();
    }
    void Start() {
        process_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/sbin/mosquitto", "-c", folder_.File("mosquitto.conf")},
            folder_.File("mosquitto.log"));
        for (int i = 0; i < 100 && !Accepts(port_); ++i) {
            std::this_thread::sleep_for(50ms);
        }
        ASSERT_TRUE(Accepts(port_)) << process_->Log();
    }
    void Restart() {
        process_.reset();
        Start();
    }
    uint16_t Port() const { return port_; }

  private:
    const TempFolder& folder_;
    uint16_t port_;
    std::unique_ptr<ChildProcess> process_;
};

std::string UnitAddress(int k) {
    return "127.1.3." + std::to_string(k);
}

// What a test sets up beyond the broker's access.
struct BridgeSetup {
    bool commands = false;
    std::string unitFivePassword = "tamble";  // the station's, in its password file
    std::vector<std::string> retainedBefore;  // topics given a retained ON before varnexd starts
};

class MqttBridgeTest : public ::testing::TestWithParam<Access> {
  protected:
    void SetUp() override { Begin(GetParam()); }

    void Begin(Access access, const BridgeSetup& setup = {}) {
        broker_ = std::make_unique<Broker>(folder_, access);
        const uint16_t unitPort = FreeUdpPort(kFirstUnit);
        units_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{VARNEX_UNIT_EXECUTABLE, "--units", std::to_string(kUnits),
                                     "--address", kFirstUnit, "--port", std::to_string(unitPort),
                                     "--quiet"},
            folder_.File("units.log"), true);
        WriteFile(folder_.File("pw"), "tamble\n");
        WriteFile(folder_.File("pw5"), setup.unitFivePassword + "\n");
        std::string yaml = "interval: 250ms\ntimeout: 100ms\nstations:\n";
        for (int k = 1; k <= kUnits; ++k) {
            // Dots are no part of a topic id: u.1 becomes u_1.
            yaml += "  - id: u." + std::to_string(k) + "\n    address: " + UnitAddress(k) +
                    "\n    password_file: " + (k == 5 ? "pw5" : "pw") + "\n";
        }
        yaml += "  - id: silent\n    address: " + std::string(kSilentUnit) +
                "\n    password_file: pw\n";
        ListenerSetup listener{broker_->Port(), "", "", ""};
        yaml += "mqtt:\n  client_id: varnexd-test\n";
        if (access == Access::Password) {
            WriteFile(folder_.File("mqtt-pw"), "s3cret\n");
            yaml += "  username: varnexd\n  password_file: mqtt-pw\n";
            listener.username = "varnexd";
            listener.password = "s3cret";
        }
        if (access == Access::Tls) {
            yaml += "  tls:\n    ca_file: ca.crt\n";
            listener.caFile = folder_.File("ca.crt");
        }
        if (setup.commands) {
            yaml += "  commands: true\n";
        }
        WriteFile(folder_.File("varnexd.yaml"), yaml);
        listener_ = std::make_unique<MqttListener>(listener);
        for (const std::string& topic : setup.retainedBefore) {
            ASSERT_TRUE(PublishRetained(topic, "ON"));
        }
        setenv("VARNEX_UNIT_PORT", std::to_string(unitPort).c_str(), 1);
        StartVarnexd();
        unsetenv("VARNEX_UNIT_PORT");
        ASSERT_TRUE(units_->Started() && varnexd_->Started());
    }
    // Published again until the broker has it (the listener may still be
    // connecting), bounded.
    bool PublishRetained(const std::string& topic, const std::string& payload) {
        for (int i = 0; i < 50; ++i) {
            listener_->Publish(topic, payload, true);
            if (listener_->Until([&](const Topics& t) { return Payload(t, topic) == payload; },
                                 200ms)) {
                return true;
            }
        }
        return false;
    }
    void TearDown() override {
        listener_.reset();
        varnexd_.reset();
        units_.reset();
        broker_.reset();
    }
    void StartVarnexd() {
        webPort_ = FreeTcpPort();
        varnexd_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{VARNEXD_EXECUTABLE, "--config", folder_.File("varnexd.yaml"),
                                     "--web.listen-address",
                                     "127.0.0.1:" + std::to_string(webPort_), "--mqtt.broker",
                                     "127.0.0.1:" + std::to_string(broker_->Port())},
            folder_.File("varnexd.log"));
    }
    std::map<std::string, double> Metrics() {
        return ParseSeries(RunCommand("curl -s --max-time 5 http://127.0.0.1:" +
                                      std::to_string(webPort_) + "/metrics")
                               .second);
    }
    // Relay `n` of unit `k` as the unit itself tells its console, in its word.
    bool UnitSaysOn(int k, int n) {
        const std::size_t from = units_->Log().size();
        units_->Write("@" + UnitAddress(k) + " state\n");
        std::smatch relays;
        for (int i = 0; i < 100; ++i) {
            const std::string log = units_->Log().substr(from);
            if (std::regex_search(log, relays,
                                  std::regex("relays 1:(on|off) 2:(on|off) 3:(on|off)"))) {
                return relays[n] == "on";
            }
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "the unit never told its state";
        return false;
    }
    bool Until(const std::function<bool(const Topics&)>& holds, const std::string& what) {
        if (listener_->Until(holds, kLimit)) {
            return true;
        }
        ADD_FAILURE() << what << " never held\nvarnexd: " << varnexd_->Log();
        return false;
    }
    static std::string Payload(const Topics& topics, const std::string& topic) {
        const auto found = topics.find(topic);
        return found == topics.end() ? std::string() : found->second.payload;
    }
    // The devices of every temperature sensor's configuration.
    static std::set<std::string> Devices(const Topics& topics) {
        std::set<std::string> devices;
        static const std::regex kTemperature("homeassistant/sensor/[^/]+/temperature/config");
        for (const auto& [topic, heard] : topics) {
            if (std::regex_match(topic, kTemperature) && !heard.payload.empty()) {
                devices.insert(json::parse(heard.payload)["device"]["identifiers"][0]);
            }
        }
        return devices;
    }
    static bool AllOnline(const Topics& topics) { return OnlineUpTo(kUnits, topics); }
    // Units 1 to `last` and the bridge.
    static bool OnlineUpTo(int last, const Topics& topics) {
        for (int k = 1; k <= last; ++k) {
            if (Payload(topics, "varnex/u_" + std::to_string(k) + "/availability") != "online") {
                return false;
            }
        }
        return Payload(topics, "varnex/bridge/availability") == "online";
    }
    // The volts a console command held voltmeter `n` of unit `k` at.
    double Hold(int k, int n, const std::string& volts) {
        units_->Write("@" + UnitAddress(k) + " volts " + std::to_string(n) + " " + volts + "\n");
        std::smatch held;
        std::string log;
        for (int i = 0; i < 100; ++i) {
            log = units_->Log();
            if (std::regex_search(log, held, std::regex("held at ([0-9.]+) V"))) {
                return std::stod(held[1]);
            }
            std::this_thread::sleep_for(50ms);
        }
        ADD_FAILURE() << "the unit never held the voltmeter: " << log;
        return -1;
    }

    TempFolder folder_;
    uint16_t webPort_ = 0;
    std::unique_ptr<Broker> broker_;
    std::unique_ptr<ChildProcess> units_;
    std::unique_ptr<ChildProcess> varnexd_;
    std::unique_ptr<MqttListener> listener_;
};

TEST_P(MqttBridgeTest, DiscoveryStateAndAvailabilityReachTheBroker) {
    EXPECT_TRUE(Until([](const Topics& t) { return Devices(t).size() == kUnits + 1; },
                      "six devices in the discovery"));
    const Topics topics = listener_->Topics();
    const json sensor =
        json::parse(Payload(topics, "homeassistant/sensor/varnex_u_2/voltmeter_3/config"));
    EXPECT_EQ(sensor["state_topic"], "varnex/u_2/state");
    EXPECT_EQ(sensor["availability_mode"], "all");
    EXPECT_EQ(sensor["availability"], json::parse(R"([{"topic":"varnex/bridge/availability"},)"
                                                  R"({"topic":"varnex/u_2/availability"}])"));
    EXPECT_EQ(sensor["device_class"], "voltage");
    EXPECT_EQ(sensor["unit_of_measurement"], "V");
    EXPECT_TRUE(sensor.contains("expire_after"));
    EXPECT_TRUE(json::parse(Payload(topics, "homeassistant/binary_sensor/varnex_u_2/pin_5/config"))
                    .is_object());
    EXPECT_TRUE(Until(
        [](const Topics& t) {
            const std::string config =
                Payload(t, "homeassistant/sensor/varnex_u_2/temperature/config");
            return !config.empty() &&
                   json::parse(config)["device"].value("sw_version", "") == "1.7.4";
        },
        "the unit's firmware on its device"));
    // Commands are off: every relay's switch is an empty configuration.
    EXPECT_EQ(Payload(topics, "homeassistant/switch/varnex_u_2/relay_1/config"), "");

    EXPECT_TRUE(Until(AllOnline, "every unit and the bridge online"));
    EXPECT_EQ(Payload(listener_->Topics(), "varnex/silent/availability"), "offline");

    const double volts = Hold(2, 3, "17.25");
    EXPECT_TRUE(Until(
        [volts](const Topics& t) {
            const std::string state = Payload(t, "varnex/u_2/state");
            return !state.empty() &&
                   std::fabs(json::parse(state)["voltmeters"][2]["volts"].get<double>() - volts) <
                       0.0005;
        },
        "the held volts in the state"));
    const auto state = listener_->Topics().at("varnex/u_2/state");
    EXPECT_EQ(json::parse(state.payload)["station_name"], "Varnex Unit 2");
}

INSTANTIATE_TEST_SUITE_P(Brokers, MqttBridgeTest,
                         ::testing::Values(Access::Plain, Access::Password, Access::Tls),
                         [](const auto& info) {
                             return std::string(info.param == Access::Plain      ? "Plain"
                                                : info.param == Access::Password ? "Password"
                                                                                 : "Tls");
                         });

class MqttBridgePlainTest : public MqttBridgeTest {
  protected:
    void SetUp() override { Begin(Access::Plain); }
};

TEST_F(MqttBridgePlainTest, AvailabilityFollowsTheUnitAndTheBridgesLastWill) {
    ASSERT_TRUE(Until(AllOnline, "every unit online"));
    units_->Write("@" + UnitAddress(4) + " drop 1\n");
    EXPECT_TRUE(
        Until([](const Topics& t) { return Payload(t, "varnex/u_4/availability") == "offline"; },
              "a unit that stops answering goes offline"));
    units_->Write("@" + UnitAddress(4) + " drop 0\n");
    EXPECT_TRUE(
        Until([](const Topics& t) { return Payload(t, "varnex/u_4/availability") == "online"; },
              "the unit back online"));

    varnexd_->Kill();
    EXPECT_TRUE(
        Until([](const Topics& t) { return Payload(t, "varnex/bridge/availability") == "offline"; },
              "the last will"));
}

TEST_F(MqttBridgePlainTest, CleanShutdownTakesEveryStationOffline) {
    ASSERT_TRUE(Until(AllOnline, "every unit online"));
    varnexd_->Stop();
    EXPECT_TRUE(Until(
        [](const Topics& t) {
            for (int k = 1; k <= kUnits; ++k) {
                if (Payload(t, "varnex/u_" + std::to_string(k) + "/availability") != "offline") {
                    return false;
                }
            }
            return Payload(t, "varnex/bridge/availability") == "offline";
        },
        "every station and the bridge offline"));
}

TEST_F(MqttBridgePlainTest, EverythingIsSentAgainAfterABrokerRestartAndHomeAssistantsBirth) {
    ASSERT_TRUE(Until([](const Topics& t) { return Devices(t).size() == kUnits + 1; },
                      "the first discovery"));
    listener_.reset();
    broker_->Restart();
    listener_ = std::make_unique<MqttListener>(ListenerSetup{broker_->Port(), "", "", ""});
    // Only retained messages reach a new subscriber at once: the broker
    // lost them all, so these were sent again.
    EXPECT_TRUE(Until(
        [](const Topics& t) {
            return Devices(t).size() == kUnits + 1 && AllOnline(t) &&
                   !Payload(t, "varnex/u_1/state").empty();
        },
        "discovery, availability and state after the restart"));

    listener_->Forget();
    listener_->Publish("homeassistant/status", "online");
    EXPECT_TRUE(Until([](const Topics& t) { return Devices(t).size() == kUnits + 1; },
                      "discovery after Home Assistant's birth message"));
}

TEST_F(MqttBridgePlainTest, CommandsWhileTheyAreOffAndHostilePayloadsChangeNothing) {
    ASSERT_TRUE(Until(AllOnline, "every unit online"));
    const auto relayOne = [](const Topics& t) {
        return json::parse(Payload(t, "varnex/u_1/state"))["relays"][0]["unit_says_on"];
    };
    ASSERT_TRUE(
        Until([](const Topics& t) { return !Payload(t, "varnex/u_1/state").empty(); }, "a state"));
    const json before = relayOne(listener_->Topics());
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"varnex/u_1/relay/1/set", before.get<bool>() ? "OFF" : "ON"},
        {"varnex/u_1/relay/1/set", std::string("\0\xff\x01ON", 5)},
        {"varnex/u_1/relay/1/set", std::string(1 << 20, 'O')},
        {"varnex/u_1/relay/9/set", "ON"},
        {"varnex/nobody/relay/1/set", "ON"},
        {"homeassistant/status", std::string("\xff\xfe", 2)},
    };
    for (const auto& [topic, payload] : hostile) {
        listener_->Publish(topic, payload);
    }
    std::this_thread::sleep_for(2s);  // several polls of every unit
    EXPECT_TRUE(Until(AllOnline, "every unit still online"));
    EXPECT_EQ(relayOne(listener_->Topics()), before);
    EXPECT_EQ(UnitSaysOn(1, 1), before.get<bool>());
    // Not even an answer: nothing listens on the command topics.
    for (const auto& [topic, heard] : listener_->Topics()) {
        EXPECT_EQ(topic.find("/result"), std::string::npos) << topic;
    }
}

TEST_F(MqttBridgePlainTest, AReloadWithOtherBrokerSettingsReconnectsUnderThem) {
    ASSERT_TRUE(Until(AllOnline, "every unit online"));
    // The mqtt section is the file's last: a new prefix, and commands on.
    std::string yaml;
    std::getline(std::ifstream(folder_.File("varnexd.yaml")), yaml, '\0');
    WriteFile(folder_.File("varnexd.yaml"), yaml + "  prefix: site/b\n  commands: true\n");
    varnexd_->Signal(SIGHUP);
    EXPECT_TRUE(Until(
        [](const Topics& t) {
            return Payload(t, "varnex/bridge/availability") == "offline" &&
                   Payload(t, "varnex/u_1/availability") == "offline" &&
                   Payload(t, "site/b/bridge/availability") == "online" &&
                   Payload(t, "site/b/u_1/availability") == "online" &&
                   !Payload(t, "homeassistant/switch/varnex_u_1/relay_1/config").empty();
        },
        "the old prefix offline, the new one online, with switches"));
    listener_->Publish("site/b/u_1/relay/2/set", "ON");
    EXPECT_TRUE(
        Until([](const Topics& t) { return Payload(t, "site/b/u_1/relay/2/result") == "done"; },
              "a command under the new prefix"));
}

// Commands on; unit 5's station has a wrong password, and a retained ON for
// unit 1's relay 1 waits on the broker before varnexd starts.
class MqttCommandsTest : public MqttBridgeTest {
  protected:
    void SetUp() override {
        Begin(Access::Plain, {true, "wrong", {"varnex/u_1/relay/1/set"}});
        ASSERT_TRUE(Until([](const Topics& t) { return OnlineUpTo(kUnits - 1, t); },
                          "units 1 to 4 online"));
    }
    static std::string Result(const Topics& topics, const std::string& station, int relay) {
        return Payload(topics, "varnex/" + station + "/relay/" + std::to_string(relay) + "/result");
    }
    static bool StateSaysOn(const Topics& topics, const std::string& station, int relay) {
        const std::string state = Payload(topics, "varnex/" + station + "/state");
        return !state.empty() &&
               json::parse(state)["relays"][relay - 1]["unit_says_on"].get<bool>();
    }
};

TEST_F(MqttCommandsTest, RelaysSwitchFromMqttAndEachOutcomeIsPublished) {
    const json relaySwitch =
        json::parse(Payload(listener_->Topics(), "homeassistant/switch/varnex_u_2/relay_1/config"));
    EXPECT_EQ(relaySwitch["command_topic"], "varnex/u_2/relay/1/set");
    EXPECT_EQ(relaySwitch["state_topic"], "varnex/u_2/state");
    EXPECT_EQ(relaySwitch["availability"].size(), 2u);

    // The retained ON was never carried out.
    EXPECT_FALSE(StateSaysOn(listener_->Topics(), "u_1", 1));
    EXPECT_FALSE(UnitSaysOn(1, 1));
    EXPECT_EQ(Result(listener_->Topics(), "u_1", 1), "");

    listener_->Publish("varnex/u_1/relay/1/set", "ON");
    EXPECT_TRUE(Until([](const Topics& t) { return Result(t, "u_1", 1) == "done"; }, "done"));
    EXPECT_FALSE(listener_->Topics()["varnex/u_1/relay/1/result"].retained);
    EXPECT_TRUE(UnitSaysOn(1, 1));
    EXPECT_TRUE(Until([](const Topics& t) { return StateSaysOn(t, "u_1", 1); }, "ON in the state"));

    // A timed toggle: on at once, off again by itself.
    listener_->Publish("varnex/u_2/relay/2/set", "TOGGLE 2");
    EXPECT_TRUE(Until([](const Topics& t) { return Result(t, "u_2", 2) == "done"; }, "done"));
    EXPECT_TRUE(UnitSaysOn(2, 2));
    EXPECT_TRUE(Until([](const Topics& t) { return !StateSaysOn(t, "u_2", 2); },
                      "the toggle over in the state"));

    // A second command for a relay still in flight is busy.
    listener_->Publish("varnex/u_3/relay/3/set", "ON");
    listener_->Publish("varnex/u_3/relay/3/set", "OFF");
    EXPECT_TRUE(Until(
        [](const Topics& t) {
            const auto found = t.find("varnex/u_3/relay/3/result");
            return found != t.end() && found->second.count == 2 && found->second.payload == "done";
        },
        "busy, then done"));
    EXPECT_TRUE(UnitSaysOn(3, 3));

    listener_->Publish("varnex/silent/relay/1/set", "ON");
    EXPECT_TRUE(Until([](const Topics& t) { return Result(t, "silent", 1) == "no answer"; },
                      "no answer from a silent unit"));
    listener_->Publish("varnex/u_5/relay/1/set", "ON");
    EXPECT_TRUE(Until([](const Topics& t) { return Result(t, "u_5", 1) == "refused"; },
                      "a wrong password refused"));
    EXPECT_FALSE(UnitSaysOn(5, 1));

    auto metrics = Metrics();
    EXPECT_EQ(metrics["varnex_mqtt_commands_total{outcome=\"done\"}"], 3);
    EXPECT_EQ(metrics["varnex_mqtt_commands_total{outcome=\"busy\"}"], 1);
    EXPECT_EQ(metrics["varnex_mqtt_commands_total{outcome=\"no answer\"}"], 1);
    EXPECT_EQ(metrics["varnex_mqtt_commands_total{outcome=\"refused\"}"], 1);
    EXPECT_EQ(metrics["varnex_mqtt_commands_ignored_total{reason=\"retained\"}"], 1);
}

TEST_F(MqttCommandsTest, HostilePayloadsChangeNothingAndAreCounted) {
    ASSERT_TRUE(
        Until([](const Topics& t) { return !Payload(t, "varnex/u_1/state").empty(); }, "a state"));
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"varnex/u_1/relay/2/set", std::string("\0\xff\x01ON", 5)},
        {"varnex/u_1/relay/2/set", "on"},
        {"varnex/u_1/relay/2/set", "TOGGLE 99"},
        {"varnex/u_1/relay/2/set", "ON; OFF"},
        {"varnex/u_1/relay/2/set", std::string(1 << 20, 'O')},
        {"varnex/u_1/relay/9/set", "ON"},
        {"varnex/u_1/relay/0/set", "ON"},
        {"varnex/nobody/relay/2/set", "ON"},
        {"varnex/u_1/relay/2/set/more", "ON"},
    };
    for (const auto& [topic, payload] : hostile) {
        listener_->Publish(topic, payload);
    }
    std::map<std::string, double> metrics;
    const auto counted = [&] {
        metrics = Metrics();
        return metrics["varnex_mqtt_commands_ignored_total{reason=\"bad_payload\"}"] == 4 &&
               metrics["varnex_mqtt_commands_ignored_total{reason=\"oversized\"}"] == 1 &&
               metrics["varnex_mqtt_commands_ignored_total{reason=\"bad_relay\"}"] == 2 &&
               metrics["varnex_mqtt_commands_ignored_total{reason=\"unknown_station\"}"] == 1;
    };
    bool all = false;
    for (int i = 0; i < 100 && !(all = counted()); ++i) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(all) << RunCommand("curl -s http://127.0.0.1:" + std::to_string(webPort_) +
                                   "/metrics | grep mqtt")
                            .second;
    for (const char* outcome : {"done", "refused", "busy", "no answer"}) {
        EXPECT_EQ(metrics["varnex_mqtt_commands_total{outcome=\"" + std::string(outcome) + "\"}"],
                  0)
            << outcome;
    }
    for (int n = 1; n <= 3; ++n) {
        EXPECT_FALSE(UnitSaysOn(1, n)) << n;
    }
    for (const auto& [topic, heard] : listener_->Topics()) {
        EXPECT_EQ(topic.find("/result"), std::string::npos) << topic;
    }
}

}  // namespace
}  // namespace varnex::varnexd::testing
