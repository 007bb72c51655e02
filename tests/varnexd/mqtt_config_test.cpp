// The bridge's settings, its topic ids and its deadband, each against a table.
#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include "protocol/readings.h"
#include "varnexd/daemon_options.h"
#include "varnexd/mqtt_config.h"
#include "varnexd/mqtt_discovery.h"
#include "varnexd/reading_deadband.h"
#include "varnexd/varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

TEST(MqttConfig, EveryFieldIsTakenAndFilesResolveAgainstTheFolder) {
    TempFolder folder;
    WriteFile(folder.File("mqtt-pw"), "s3cret\r\n");
    const auto parsed = ParseMqttSection(YAML::Load(R"(
broker: broker.example:8883
client_id: site-a
username: varnexd
password_file: mqtt-pw
tls: {ca_file: ca.crt, cert_file: /etc/c.crt, key_file: c.key}
prefix: site/a
discovery_prefix: ha
keepalive: 20
qos: 0
commands: true
)"),
                                         folder.path());
    ASSERT_TRUE(parsed.config) << parsed.error;
    const MqttConfig& c = *parsed.config;
    EXPECT_EQ(c.host, "broker.example");
    EXPECT_EQ(c.port, 8883);
    EXPECT_EQ(c.clientId, "site-a");
    EXPECT_EQ(c.username, "varnexd");
    EXPECT_EQ(c.password, "s3cret");
    EXPECT_EQ(c.caFile, folder.File("ca.crt"));
    EXPECT_EQ(c.certFile, "/etc/c.crt");
    EXPECT_EQ(c.keyFile, folder.File("c.key"));
    EXPECT_EQ(c.prefix, "site/a");
    EXPECT_EQ(c.discoveryPrefix, "ha");
    EXPECT_EQ(c.keepAliveSeconds, 20);
    EXPECT_EQ(c.qos, 0);
    EXPECT_TRUE(c.commands);

    TempFolder credentials;
    WriteFile(credentials.File("mqtt-pw"), "from-systemd\n");
    const auto credential =
        ParseMqttSection(YAML::Load("password_file: mqtt-pw"), folder.path(), credentials.path());
    ASSERT_TRUE(credential.config) << credential.error;
    EXPECT_EQ(credential.config->password, "from-systemd");

    const auto absent = ParseMqttSection(YAML::Node(), folder.path());
    ASSERT_TRUE(absent.config);
    EXPECT_EQ(absent.config->host, "");  // no bridge
    EXPECT_EQ(absent.config->prefix, "varnex");
    EXPECT_EQ(absent.config->discoveryPrefix, "homeassistant");
    EXPECT_FALSE(absent.config->commands);
}

TEST(MqttConfig, BadSectionsNameTheField) {
    const struct {
        const char* yaml;
        const char* error;
    } cases[] = {
        {"broker: ':1883'", "mqtt.broker: the broker needs a host: :1883"},
        {"broker: h:0", "mqtt.broker: the broker's port must be 1 to 65535: h:0"},
        {"broker: h:65536", "mqtt.broker: the broker's port must be 1 to 65535: h:65536"},
        {"password_file: missing", "mqtt: cannot read the password file missing"},
        {"tls: {cert_file: c}", "mqtt.tls needs a ca_file"},
        {"tls: {ca_file: a, cert_file: c}",
         "mqtt.tls needs both cert_file and key_file, or neither"},
        {"prefix: a/+/b", "mqtt.prefix must be topic levels without + # or empty levels"},
        {"prefix: a//b", "mqtt.prefix must be topic levels without + # or empty levels"},
        {"discovery_prefix: '#'",
         "mqtt.discovery_prefix must be topic levels without + # or empty levels"},
        {"qos: 2", "mqtt.qos must be 0 to 1"},
        {"keepalive: 4", "mqtt.keepalive must be 5 to 3600"},
        {"commands: yes", "mqtt.commands must be true or false"},
        {"[1, 2]", "mqtt must be a mapping"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseMqttSection(YAML::Load(c.yaml), "/nowhere");
        EXPECT_FALSE(parsed.config) << c.yaml;
        EXPECT_EQ(parsed.error, c.error) << c.yaml;
    }
}

TEST(MqttConfig, OptionsLieOverTheFile) {
    const auto parsed = ParseDaemonOptions({"--mqtt.broker", "127.0.0.1:1884", "--mqtt.commands",
                                            "--mqtt.prefix=p", "--mqtt.discovery-prefix", "d"},
                                           nullptr);
    ASSERT_TRUE(parsed.options) << parsed.error;
    MqttConfig config;
    config.host = "from-file";
    EXPECT_EQ(ApplyMqttOverrides(config, parsed.options->mqtt), "");
    EXPECT_EQ(config.host, "127.0.0.1");
    EXPECT_EQ(config.port, 1884);
    EXPECT_TRUE(config.commands);
    EXPECT_EQ(config.prefix, "p");
    EXPECT_EQ(config.discoveryPrefix, "d");

    const auto off = ParseDaemonOptions({"--mqtt.commands=false"}, nullptr);
    ASSERT_TRUE(off.options);
    config.commands = true;
    EXPECT_EQ(ApplyMqttOverrides(config, off.options->mqtt), "");
    EXPECT_FALSE(config.commands);

    EXPECT_EQ(ParseDaemonOptions({"--mqtt.commands=1"}, nullptr).error,
              "--mqtt.commands takes true or false");
    // A password has no option: it would show in the process list.
    EXPECT_EQ(ParseDaemonOptions({"--mqtt.password", "x"}, nullptr).error,
              "unknown option --mqtt.password");
    MqttOverrides bad;
    bad.prefix = "a/#";
    EXPECT_EQ(ApplyMqttOverrides(config, bad),
              "--mqtt.prefix must be topic levels without + # or empty levels");
}

TEST(TopicId, KeepsLettersDigitsUnderscoreAndDash) {
    const struct {
        const char* id;
        const char* topicId;
    } cases[] = {
        {"boiler-room_2", "boiler-room_2"},
        {"127.1.0.5", "127_1_0_5"},
        {"site:a.b", "site_a_b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TopicId(c.id), c.topicId) << c.id;
    }
}

TEST(Deadband, OnlyMovesPastTheBandOrChangesOfStateCount) {
    Readings published;
    published.voltmeters[0].volts = 12.0L;
    published.temperature = TemperatureReading{false, 21, false};
    const Deadband band{0.05, 0.5};
    const struct {
        const char* what;
        void (*change)(Readings&);
        bool moved;
    } cases[] = {
        {"nothing", [](Readings&) {}, false},
        {"uptime", [](Readings& r) { r.uptimeSeconds += 10; }, false},
        {"timer countdown", [](Readings& r) { r.timerRemainingSeconds = 7; }, false},
        {"volts inside the band", [](Readings& r) { r.voltmeters[0].volts = 12.04L; }, false},
        {"volts past the band", [](Readings& r) { r.voltmeters[0].volts = 11.94L; }, true},
        {"another voltmeter", [](Readings& r) { r.voltmeters[7].volts = 0.06L; }, true},
        {"half a degree", [](Readings& r) { r.temperature->halfDegree = true; }, true},
        {"temperature lost", [](Readings& r) { r.temperature.reset(); }, true},
        {"a relay", [](Readings& r) { r.relays[2].unitSaysOn = true; }, true},
        {"a pin", [](Readings& r) { r.pinsHigh[4] = true; }, true},
        {"the timer starts", [](Readings& r) { r.timerRunning = true; }, true},
        {"new firmware", [](Readings& r) { r.firmwareText = "1.7.5"; }, true},
    };
    for (const auto& c : cases) {
        Readings latest = published;
        c.change(latest);
        EXPECT_EQ(MovedPast(published, latest, band), c.moved) << c.what;
    }
}

}  // namespace
}  // namespace varnex::varnexd::testing
