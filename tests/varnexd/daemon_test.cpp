// varnexd's answers against fleet simulator units on 127.1.1.x: /metrics
// from the poller's latest readings, /probe at scrape time, silence, reload;
// every text checked by promtool and parsed back.
#include <poll.h>
#include <sys/signalfd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "unit/unit_fleet.h"
#include "unit/voltage_drift.h"
#include "varnexd/daemon.h"
#include "varnexd_test_support.h"

namespace varnex::varnexd::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::size_t kUnits = 3;

// Simulated units answering from a thread of their own, and a daemon over
// them driven by another; both stop with the object.
class DaemonRig {
  public:
    // `configured` of the units as stations, then `extra` stations.
    explicit DaemonRig(bool probeOnly = false, std::size_t configured = kUnits,
                       const std::string& extra = "") {
        unit::UnitSetup first;
        first.address = {127, 1, 1, 1};
        std::string error;
        EXPECT_TRUE(units_.Start(first, kUnits, 0, error)) << error;
        units_.Unit(1).State().voltmeters[2] = {unit::VoltsToRaw(2, 12.5), true};
        WriteFile(folder_.File("pw"), "tamble\n");
        WriteFile(folder_.File("wrong"), "nope\n");
        WriteConfig(configured, extra);
        DaemonOptions options;
        options.config = folder_.File("varnexd.yaml");
        options.unitPort = units_.Unit(0).Port();
        options.probeOnly = probeOnly;
        daemon_ = std::make_unique<Daemon>(options, [this](const std::string& line) {
            std::lock_guard lock(logMutex_);
            log_ += line + "\n";
        });
        EXPECT_TRUE(daemon_->Start(error)) << error;
        unitThread_ = std::thread([this] {
            while (!stop_) {
                pollfd ready{units_.Descriptor(), POLLIN, 0};
                poll(&ready, 1, 10);
                units_.Serve();
            }
        });
        EXPECT_EQ(pipe(signals_), 0);
        daemonThread_ = std::thread([this] { daemon_->Run(signals_[0]); });
    }
    ~DaemonRig() {
        Signal(SIGTERM);
        daemonThread_.join();
        stop_ = true;
        unitThread_.join();
        close(signals_[0]);
        close(signals_[1]);
    }

    // The first `count` units, then a station where no unit answers.
    void WriteConfig(std::size_t count, const std::string& extra = "") {
        std::string yaml = "interval: 100ms\ntimeout: 50ms\nstations:\n";
        for (std::size_t i = 0; i < count; ++i) {
            yaml += "  - id: u" + std::to_string(i + 1) + "\n    address: 127.1.1." +
                    std::to_string(i + 1) +
                    "\n    password_file: pw\n    labels: {site: \"a\\\\b\"}\n";
        }
        yaml += "  - id: silent\n    address: 127.1.1.99\n    password_file: pw\n" + extra;
        WriteFile(folder_.File("varnexd.yaml"), yaml);
    }
    // Passes a signal the way a signalfd would.
    void Signal(int number) {
        signalfd_siginfo info{};
        info.ssi_signo = static_cast<uint32_t>(number);
        EXPECT_EQ(write(signals_[1], &info, sizeof info), static_cast<ssize_t>(sizeof info));
    }
    std::string Get(const std::string& path, const std::string& query = "",
                    std::optional<double> timeout = std::nullopt) {
        const HttpAnswer answer = daemon_->Answer({path, query, timeout});
        status_ = answer.status;
        return answer.body;
    }
    int LastStatus() const { return status_; }
    std::string Log() {
        std::lock_guard lock(logMutex_);
        return log_;
    }

  private:
    TempFolder folder_;
    unit::UnitFleet units_{unit::MonotonicClock(), {}};
    std::unique_ptr<Daemon> daemon_;
    std::thread unitThread_;
    std::thread daemonThread_;
    std::atomic<bool> stop_{false};
    int signals_[2] = {-1, -1};
    int status_ = 0;
    std::mutex logMutex_;
    std::string log_;
};

TEST(Daemon, MetricsShowEveryStationAndDropASilentUnitsReadings) {
    DaemonRig rig;
    std::this_thread::sleep_for(600ms);
    const std::string text = rig.Get("/metrics");
    EXPECT_EQ(PromtoolCheckMetrics(text), std::pair(0, std::string())) << text;
    const auto series = ParseSeries(text);
    for (const auto& [name, value] : std::vector<std::pair<std::string, double>>{
             {R"(varnex_up{station="u1",site="a\\b"})", 1},
             {R"(varnex_up{station="u3",site="a\\b"})", 1},
             {R"(varnex_up{station="silent"})", 0},
             {R"(varnex_voltage_volts{voltmeter="3",station="u2",site="a\\b"})", 12.5},
             {R"(varnex_temperature_celsius{station="u3",site="a\\b"})", 21.5},
             {R"(varnex_relay_unit_on{relay="1",station="u1",site="a\\b"})", 0},
             {R"(varnex_relay_energised{relay="1",station="u1",site="a\\b"})", 1},
             {R"(varnex_replies_total{station="silent"})", 0},
             {"varnex_exporter_stations", 4},
             {"varnex_exporter_config_last_reload_successful", 1},
         }) {
        ASSERT_TRUE(series.count(name)) << name << "\n" << text;
        EXPECT_NEAR(series.at(name), value, 0.01) << name;
    }
    EXPECT_GE(series.at(R"(varnex_lost_requests_total{station="silent"})"), 3);
    EXPECT_THAT(
        text,
        HasSubstr(
            R"(varnex_unit_info{name="Varnex Unit 2",mac="02:56:4E:58:00:02",firmware="1.7.4",station="u2")"));
    // A silent unit: no reading series, no last reply, no info.
    EXPECT_THAT(text, Not(HasSubstr(R"(varnex_voltage_volts{voltmeter="1",station="silent")")));
    EXPECT_THAT(text, Not(HasSubstr(R"(last_reply_timestamp_seconds{station="silent")")));
    EXPECT_THAT(text + rig.Log(), Not(HasSubstr("tamble")));
}

TEST(Daemon, ProbesAnswerWithinTheScrapeTimeoutAndRefuseUnknownTargets) {
    DaemonRig rig(true, kUnits - 1,
                  "  - id: refused\n    address: 127.1.1.3\n    password_file: wrong\n");
    struct Case {
        std::string query;
        int status;
        std::string contains;
        std::chrono::milliseconds within;  // the scrape timeout is 500 ms
    };
    for (const Case& c : std::vector<Case>{
             {"target=u2", 200,
              R"(varnex_voltage_volts{voltmeter="3",station="u2",site="a\\b"} 12.)", 100ms},
             {"target=127.1.1.2", 200, R"(varnex_up{station="u2",site="a\\b"} 1)", 100ms},
             // Silent: answered before Prometheus gives up.
             {"target=silent", 200, R"(varnex_up{station="silent"} 0)", 500ms},
             // A refused password is an answer: no waiting for more.
             {"target=refused", 200, R"(varnex_invalid_replies_total{station="refused"} 1)", 100ms},
             {"target=refused", 200, R"(varnex_password_refused{station="refused"} 1)", 100ms},
             {"target=u2", 200, R"(varnex_password_refused{station="u2",site="a\\b"} 0)", 100ms},
             {"target=127.1.1.50", 400, "unknown target 127.1.1.50", 100ms},
             {"", 400, "target parameter is missing", 100ms},
         }) {
        const auto start = std::chrono::steady_clock::now();
        const std::string text = rig.Get("/probe", c.query, 0.5);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(rig.LastStatus(), c.status) << c.query;
        EXPECT_THAT(text, HasSubstr(c.contains)) << c.query;
        EXPECT_LT(took, c.within) << c.query;
        if (c.status == 200) {
            EXPECT_EQ(PromtoolCheckMetrics(text).first, 0) << text;
        }
    }
    // Probe-only: nothing polled in the background.
    EXPECT_THAT(rig.Get("/metrics"), Not(HasSubstr("varnex_up{")));
    EXPECT_THAT(rig.Get("/metrics"), HasSubstr("varnex_exporter_probes_total 6"));
    EXPECT_THAT(rig.Get("/metrics"), HasSubstr("varnex_exporter_refused_probes_total 2"));
}

TEST(Daemon, ReloadDropsRemovedStationsAndAFailedOneKeepsTheOldConfig) {
    DaemonRig rig;
    std::this_thread::sleep_for(300ms);
    rig.WriteConfig(1);
    rig.Signal(SIGHUP);
    std::this_thread::sleep_for(300ms);
    std::string text = rig.Get("/metrics");
    EXPECT_THAT(text, HasSubstr(R"(varnex_up{station="u1")"));
    EXPECT_THAT(text, Not(HasSubstr(R"(station="u2")")));
    EXPECT_THAT(text, HasSubstr("varnex_exporter_stations 2"));

    rig.WriteConfig(1, "  - id: broken\n");
    rig.Signal(SIGHUP);
    std::this_thread::sleep_for(300ms);
    text = rig.Get("/metrics");
    EXPECT_THAT(text, HasSubstr("varnex_exporter_config_last_reload_successful 0"));
    EXPECT_THAT(text, HasSubstr(R"(varnex_up{station="u1",site="a\\b"} 1)"));
    EXPECT_THAT(rig.Log(), HasSubstr("reload failed, keeping 2 stations"));
    EXPECT_EQ(rig.Get("/nowhere"), "not found\n");
    EXPECT_EQ(rig.LastStatus(), 404);
}

}  // namespace
}  // namespace varnex::varnexd::testing
