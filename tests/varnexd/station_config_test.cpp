// varnexd's station file: what a good file gives, and a one-line reason
// naming the field for each kind of bad one, never a password.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "varnexd/daemon_options.h"
#include "varnexd/station_config.h"
#include "varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSecret = "s3cr3t";

class StationConfigTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteFile(folder_.File("pw"), std::string(kSecret) + "\n"); }
    ConfigResult Parse(const std::string& yaml) {
        return ParseConfig(yaml, folder_.path(), {.port = 7007});
    }
    TempFolder folder_;
};

TEST_F(StationConfigTest, EveryFieldIsTaken) {
    const ConfigResult result = Parse(R"(
interval: 2s
timeout: 300ms
retries: 2
stations:
  - id: pump-1
    address: 127.1.0.1
    password_file: pw
  - id: north.2
    address: 127.1.0.2
    port: 7100
    password_file: pw
    jumpers: {voltmeter1: removed}
    name: North "2"
    labels: {site: north, rack: "7"}
    interval: 100ms
)");
    ASSERT_TRUE(result.config) << result.error;
    const auto& s = result.config->stations;
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(std::tie(s[0].setup.id, s[0].setup.address, s[0].setup.port, s[0].setup.password),
              std::tuple("pump-1", (127u << 24) | (1u << 16) | 1u, 7007, kSecret));
    EXPECT_EQ(std::tie(s[0].setup.interval, s[0].setup.timeout, s[0].setup.retries),
              std::tuple(2000ms, 300ms, 2));
    EXPECT_EQ(s[0].setup.jumpers, (VoltmeterJumpers{true, true}));
    EXPECT_EQ(
        std::tie(s[1].setup.port, s[1].name, s[1].setup.interval, s[1].setup.timeout),
        std::tuple(7100, "North \"2\"", 100ms, 100ms));  // a timeout never exceeds the interval
    EXPECT_EQ(s[1].setup.jumpers, (VoltmeterJumpers{false, true}));
    EXPECT_EQ(s[1].labels, (std::map<std::string, std::string>{{"rack", "7"}, {"site", "north"}}));
}

TEST_F(StationConfigTest, BadFilesNameTheFieldAndNeverThePassword) {
    const std::string good = "    address: 127.1.0.1\n    password_file: pw\n";
    for (const auto& [yaml, error] : std::vector<std::pair<std::string, std::string>>{
             {"stations: 3", "needs a list under stations:"},
             {"stations:\n  - address: 127.1.0.1\n", "stations[0] needs an id"},
             {"stations:\n  - id: a b\n" + good, "stations[0].id must be 1 to 64 letters"},
             {"stations:\n  - id: a\n    address: 127.1.0\n    password_file: pw\n",
              "stations[0] (a) needs an IPv4 address"},
             {"stations:\n  - id: a\n    address: 127.1.0.1\n",
              "stations[0] (a) needs a password_file"},
             {"stations:\n  - id: a\n    address: 127.1.0.1\n    password_file: nope\n",
              "stations[0]: cannot read the password file nope"},
             {"stations:\n  - id: a\n" + good + "    port: 70000\n", "stations[0].port must be"},
             {"stations:\n  - id: a\n" + good + "    interval: 1h\n",
              "stations[0].interval is no duration"},
             {"stations:\n  - id: a\n" + good + "    labels: {station: x}\n",
              "stations[0].labels: station cannot be a label name"},
             {"stations:\n  - id: a\n" + good + "    labels: {__x: y}\n",
              "stations[0].labels: __x cannot be a label name"},
             {"stations:\n  - id: a\n" + good + "    jumpers: {voltmeter2: maybe}\n",
              "stations[0].jumpers.voltmeter2 must be installed or removed"},
             {"stations:\n  - id: a\n" + good +
                  "  - id: a\n    address: 127.1.0.2\n    password_file: pw\n",
              "the id a is given twice"},
             {"stations:\n  - id: a\n" + good + "  - id: b\n" + good,
              "b has the address and port of another station"},
             {"retries: 9\nstations: []", "retries must be 0 to 5"},
             {"stations: [", "not valid YAML"},
         }) {
        const ConfigResult result = Parse(yaml);
        EXPECT_FALSE(result.config) << yaml;
        EXPECT_THAT(result.error, ::testing::HasSubstr(error)) << yaml;
        EXPECT_THAT(result.error, ::testing::Not(::testing::HasSubstr(kSecret)));
    }
}

TEST(StationConfigFile, CredentialsFolderComesFirstAndTheFileNameLeads) {
    TempFolder config;
    TempFolder credentials;
    WriteFile(config.File("pw"), "from-config\n");
    WriteFile(credentials.File("pw"), "from-systemd\r\n");
    WriteFile(config.File("varnexd.yaml"),
              "stations:\n  - id: a\n    address: 127.1.0.1\n    password_file: pw\n");
    const ConfigResult result =
        LoadConfigFile(config.File("varnexd.yaml"), {.credentialsFolder = credentials.path()});
    ASSERT_TRUE(result.config) << result.error;
    EXPECT_EQ(result.config->stations[0].setup.password, "from-systemd");
    EXPECT_EQ(LoadConfigFile(config.File("missing.yaml"), {}).error,
              config.File("missing.yaml") + ": cannot be read");
}

TEST(ParseDuration, UnitsAndLimits) {
    for (const auto& [text, ms] : std::vector<std::pair<std::string, long>>{{"250ms", 250},
                                                                            {"1s", 1000},
                                                                            {"1.5s", 1500},
                                                                            {"2m", 120000},
                                                                            {"0s", -1},
                                                                            {"-1s", -1},
                                                                            {"1", -1},
                                                                            {"1h", -1},
                                                                            {"s", -1},
                                                                            {"0.1ms", -1}}) {
        const auto parsed = ParseDuration(text);
        EXPECT_EQ(parsed ? parsed->count() : -1, ms) << text;
    }
}

TEST(DaemonOptions, DefaultsOptionsAndTheUnitPort) {
    const auto defaults = ParseDaemonOptions({}, nullptr);
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(std::tie(defaults.options->config, defaults.options->listen,
                       defaults.options->unitPort, defaults.options->probeOnly),
              std::tuple("/etc/varnex/varnexd.yaml", "127.0.0.1:9871", 7, false));
    const auto set = ParseDaemonOptions({"--config=/x.yaml", "--web.listen-address", "127.0.0.2:1",
                                         "--interval", "5s", "--probe-only"},
                                        "7007");
    ASSERT_TRUE(set.options) << set.error;
    EXPECT_EQ(std::tie(set.options->config, set.options->listen, set.options->interval,
                       set.options->unitPort, set.options->probeOnly),
              std::tuple("/x.yaml", "127.0.0.2:1", 5000ms, 7007, true));
    for (const auto& [arguments, port, error] :
         std::vector<std::tuple<std::vector<std::string>, const char*, std::string>>{
             {{"--bogus"}, nullptr, "unknown option --bogus"},
             {{"--config"}, nullptr, "--config needs a value"},
             {{"--interval", "soon"}, nullptr, "bad value for --interval: soon"},
             {{}, "70000", "bad VARNEX_UNIT_PORT: 70000"},
         }) {
        EXPECT_EQ(ParseDaemonOptions(arguments, port).error, error);
    }
}

}  // namespace
}  // namespace varnex::varnexd::testing
