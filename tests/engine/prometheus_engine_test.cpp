// The whole chain with the real engine: varnex-unit serving 50 units on
// 127.1.2.x, varnexd polling them, and Debian's Prometheus on a free
// loopback port scraping varnexd both ways (/metrics, and /probe with the
// multi-target relabelling) and evaluating the shipped alerting rules, their
// waiting times cut so the test stays short. Everything is asked through
// Prometheus's query API.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <regex>
#include <thread>

#include "engine/child_process.h"
#include "varnexd/varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

using namespace std::chrono_literals;
using varnex::testing::ChildProcess;

constexpr int kUnits = 50;
constexpr const char* kFirstUnit = "127.1.2.1";

std::string ReadFile(const std::string& path) {
    std::ifstream stream(path);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

class PrometheusEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const uint16_t unitPort = FreeUdpPort(kFirstUnit);
        webPort_ = FreeTcpPort();
        prometheusPort_ = FreeTcpPort();
        units_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{VARNEX_UNIT_EXECUTABLE, "--units", std::to_string(kUnits),
                                     "--address", kFirstUnit, "--port", std::to_string(unitPort),
                                     "--quiet"},
            folder_.File("units.log"), true);

        WriteFile(folder_.File("pw"), "tamble\n");
        std::string stations = "interval: 250ms\ntimeout: 100ms\nstations:\n";
        std::string targets;
        for (int i = 1; i <= kUnits; ++i) {
            stations += "  - id: u" + std::to_string(i) + "\n    address: 127.1.2." +
                        std::to_string(i) + "\n    password_file: pw\n";
            targets += std::string(i == 1 ? "" : ", ") + "'u" + std::to_string(i) + "'";
        }
        WriteFile(folder_.File("varnexd.yaml"), stations);
        setenv("VARNEX_UNIT_PORT", std::to_string(unitPort).c_str(), 1);
        StartVarnexd();
        unsetenv("VARNEX_UNIT_PORT");

        // The shipped rules with their waiting times cut to nothing.
        const std::string rules = ReadFile(VARNEX_RULES_FILE);
        WriteFile(folder_.File("rules.yml"),
                  std::regex_replace(rules, std::regex("for: \\d+m"), "for: 0s"));
        const std::string varnexd = "127.0.0.1:" + std::to_string(webPort_);
        WriteFile(folder_.File("prometheus.yml"),
                  "global: {scrape_interval: 1s, scrape_timeout: 1s, evaluation_interval: 1s}\n"
                  "rule_files: [rules.yml]\n"
                  "scrape_configs:\n"
                  "  - job_name: varnex\n"
                  "    static_configs: [{targets: ['" +
                      varnexd +
                      "']}]\n"
                      "  - job_name: varnex_probe\n"
                      "    metrics_path: /probe\n"
                      "    static_configs: [{targets: [" +
                      targets +
                      "]}]\n"
                      "    relabel_configs:\n"
                      "      - {source_labels: [__address__], target_label: __param_target}\n"
                      "      - {source_labels: [__param_target], target_label: instance}\n"
                      "      - {target_label: __address__, replacement: '" +
                      varnexd + "'}\n");
        prometheus_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{
                "/usr/bin/prometheus", "--config.file=" + folder_.File("prometheus.yml"),
                "--storage.tsdb.path=" + folder_.File("data"),
                "--web.listen-address=127.0.0.1:" + std::to_string(prometheusPort_),
                "--log.level=warn"},
            folder_.File("prometheus.log"));
        ASSERT_TRUE(units_->Started() && varnexd_->Started() && prometheus_->Started());
    }
    void TearDown() override {
        prometheus_.reset();
        varnexd_.reset();
        units_.reset();
    }

    void StartVarnexd() {
        varnexd_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{VARNEXD_EXECUTABLE, "--config", folder_.File("varnexd.yaml"),
                                     "--web.listen-address",
                                     "127.0.0.1:" + std::to_string(webPort_)},
            folder_.File("varnexd.log"));
    }

    // The values of an instant query's result, one per series.
    std::vector<double> Query(const std::string& expression) {
        const auto [status, output] = RunCommand(
            "promtool query instant http://127.0.0.1:" + std::to_string(prometheusPort_) + " " +
            ShellQuoted(expression));
        std::vector<double> values;
        static const std::regex kValue(" => ([-+0-9.eE]+|NaN) @");
        for (auto it = std::sregex_iterator(output.begin(), output.end(), kValue);
             it != std::sregex_iterator(); ++it) {
            values.push_back(std::stod((*it)[1]));
        }
        return values;
    }
    // Asks until `expected` holds for the query's values, for at most `limit`.
    bool Eventually(const std::string& expression,
                    const std::function<bool(const std::vector<double>&)>& expected,
                    std::chrono::seconds limit = 40s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (expected(Query(expression))) {
                return true;
            }
            std::this_thread::sleep_for(500ms);
        }
        ADD_FAILURE() << expression
                      << " never held; last: " << ::testing::PrintToString(Query(expression))
                      << "\nvarnexd: " << varnexd_->Log() << "\nprometheus: " << prometheus_->Log();
        return false;
    }
    static std::function<bool(const std::vector<double>&)> Single(double value) {
        return [value](const std::vector<double>& v) {
            return v.size() == 1 && std::fabs(v[0] - value) < 1e-6;
        };
    }

    TempFolder folder_;
    uint16_t webPort_ = 0;
    uint16_t prometheusPort_ = 0;
    std::unique_ptr<ChildProcess> units_;
    std::unique_ptr<ChildProcess> varnexd_;
    std::unique_ptr<ChildProcess> prometheus_;
};

TEST_F(PrometheusEngineTest, BothWaysSeeTheFleetItsChangesAndTheAlertsFire) {
    for (const std::string job : {"varnex", "varnex_probe"}) {
        EXPECT_TRUE(Eventually("count(varnex_up{job=\"" + job + "\"} == 1)", Single(kUnits)))
            << job;
    }

    units_->Write("@127.1.2.7 volts 3 17.25\n");
    std::smatch held;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    std::string log;
    while (!std::regex_search(log = units_->Log(), held, std::regex("held at ([0-9.]+) V")) &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_FALSE(held.empty()) << log;
    const double volts = std::stod(held[1]);
    for (const std::string job : {"varnex", "varnex_probe"}) {
        EXPECT_TRUE(Eventually("round(varnex_voltage_volts{job=\"" + job +
                                   "\",station=\"u7\",voltmeter=\"3\"}, 0.001)",
                               Single(volts)))
            << job;
    }

    // Unit 9 leaves: no reply of it goes out any more.
    units_->Write("@127.1.2.9 drop 1\n");
    for (const std::string job : {"varnex", "varnex_probe"}) {
        EXPECT_TRUE(Eventually("varnex_up{job=\"" + job + "\",station=\"u9\"}", Single(0))) << job;
        EXPECT_TRUE(
            Eventually("count(ALERTS{alertname=\"VarnexUnitDown\",alertstate=\"firing\","
                       "job=\"" +
                           job + "\",station=\"u9\"})",
                       Single(1)))
            << job;
    }
    EXPECT_TRUE(Eventually("count(varnex_up{job=\"varnex\"} == 1)", Single(kUnits - 1)));
    EXPECT_TRUE(Query("ALERTS{alertname=\"VarnexExporterDown\"}").empty());

    varnexd_->Stop();
    EXPECT_TRUE(
        Eventually("count(ALERTS{alertname=\"VarnexExporterDown\",alertstate=\"firing\"})",
                   [](const std::vector<double>& v) { return v.size() == 1 && v[0] >= 1; }));
}

}  // namespace
}  // namespace varnex::varnexd::testing
