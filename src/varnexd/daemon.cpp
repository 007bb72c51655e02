#include "varnexd/daemon.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>

#include "text/conversions.h"
#include "varnexd/database_stations.h"
#include "varnexd/probe.h"

namespace varnex::varnexd {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A probe leaves Prometheus this share of its scrape timeout to take the
// answer, so a silent unit reads varnex_up 0 rather than a failed scrape.
constexpr double kProbeShare = 0.9;
constexpr double kDefaultScrapeTimeout = 10;  // Prometheus's own default
constexpr double kLongestProbe = 60;
// With a bridge the loop looks at its messages, paced discovery and commands
// waiting for a status this often.
constexpr long kBridgeWait = 100;

double WallNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string DottedAddress(uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
}

std::string LabelText(const WatchedStation& station) {
    std::string text;
    AppendLabel(text, "station", station.setup.id);
    for (const auto& [name, value] : station.labels) {
        AppendLabel(text, name, value);
    }
    return text;
}

HttpAnswer Plain(int status, std::string body) {
    return {status, "text/plain; charset=utf-8", std::move(body)};
}

}  // namespace

Daemon::Daemon(DaemonOptions options, Log log)
    : options_(std::move(options)), log_(std::move(log)) {}

ConfigResult Daemon::Load() const {
    ConfigDefaults defaults;
    defaults.port = options_.unitPort;
    defaults.interval = options_.interval;
    if (const char* folder = std::getenv("CREDENTIALS_DIRECTORY")) {
        defaults.credentialsFolder = folder;
    }
    return options_.database.empty() ? LoadConfigFile(options_.config, defaults)
                                     : LoadDatabaseStations(options_.database, defaults);
}

bool Daemon::Start(std::string& error) {
    if (!poller_.Error().empty()) {
        error = poller_.Error();
        return false;
    }
    ConfigResult loaded = Load();
    if (!loaded.config) {
        error = loaded.error;
        return false;
    }
    std::optional<MqttConfig> mqtt = BridgeConfig(*loaded.config, error);
    if (!mqtt) {
        return false;
    }
    if (error = SetBridge(std::move(*mqtt)); !error.empty()) {
        return false;
    }
    Apply(std::move(*loaded.config));
    log_("varnexd: " + std::to_string(Loaded()->stations.size()) + " stations" +
         (options_.probeOnly ? ", probe only" : "") + "; receive buffer " +
         std::to_string(poller_.Counters().grantedReceiveBuffer) + " bytes");
    return true;
}

bool Daemon::Reload() {
    ConfigResult loaded = Load();
    std::optional<MqttConfig> mqtt;
    if (loaded.config) {
        mqtt = BridgeConfig(*loaded.config, loaded.error);
    }
    if (!mqtt) {
        std::lock_guard lock(mutex_);
        figures_.lastReloadSucceeded = false;
        log_("varnexd: reload failed, keeping " + std::to_string(figures_.stations) +
             " stations: " + loaded.error);
        return false;
    }
    const std::string bridgeError = SetBridge(std::move(*mqtt));
    Apply(std::move(*loaded.config));
    if (!bridgeError.empty()) {
        std::lock_guard lock(mutex_);
        figures_.lastReloadSucceeded = false;
        log_("varnexd: reloaded the stations, but publishes to no broker: " + bridgeError);
        return false;
    }
    log_("varnexd: reloaded, " + std::to_string(Loaded()->stations.size()) + " stations");
    return true;
}

std::optional<MqttConfig> Daemon::BridgeConfig(const FleetConfig& config,
                                               std::string& error) const {
    MqttConfig mqtt = config.mqtt;
    if (std::string bad = ApplyMqttOverrides(mqtt, options_.mqtt); !bad.empty()) {
        error = bad;
        return std::nullopt;
    }
    return mqtt;
}

std::string Daemon::SetBridge(MqttConfig config) {
    std::lock_guard lock(mutex_);
    if (bridge_ ? bridge_->Config() == config : config.host.empty()) {
        return "";
    }
    // The old connection says offline before the new one says online.
    if (bridge_) {
        bridge_->Stop();
        bridge_.reset();
    }
    if (config.host.empty()) {
        return "";
    }
    auto bridge = std::make_unique<MqttBridge>(std::move(config), log_);
    std::string error;
    if (!bridge->Start(error)) {
        return error;
    }
    bridge_ = std::move(bridge);
    return "";
}

std::shared_ptr<const Daemon::LoadedStations> Daemon::Loaded() {
    std::lock_guard lock(loadedMutex_);
    return loaded_;
}

void Daemon::Apply(FleetConfig config) {
    auto next = std::make_shared<LoadedStations>();
    std::vector<fleet::StationSetup> setups;
    for (std::size_t i = 0; i < config.stations.size(); ++i) {
        const WatchedStation& station = config.stations[i];
        setups.push_back(station.setup);
        next->labels.push_back(LabelText(station));
        next->byTarget.emplace(DottedAddress(station.setup.address), i);
    }
    for (std::size_t i = 0; i < config.stations.size(); ++i) {
        next->byTarget[config.stations[i].setup.id] = i;  // an id wins over an address
    }
    next->stations = std::move(config.stations);
    // The poller's stations and the loaded ones change together.
    std::lock_guard lock(mutex_);
    poller_.SetStations(options_.probeOnly ? std::vector<fleet::StationSetup>{} : setups,
                        Clock::now());
    if (bridge_) {
        std::vector<BridgedStation> bridged;
        for (const WatchedStation& station : next->stations) {
            bridged.push_back({station.setup.id, station.name});
        }
        bridge_->SetStations(options_.probeOnly ? std::vector<BridgedStation>{} : bridged);
    }
    figures_.stations = next->stations.size();
    figures_.lastReloadSucceeded = true;
    figures_.lastReloadSuccessSeconds = WallNow();
    std::lock_guard swap(loadedMutex_);
    loaded_ = std::move(next);
}

void Daemon::Run(int signalFd) {
    for (;;) {
        int wait = 1000;
        bool watch = true;
        int commandReplies = -1;
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            watch = now >= poller_.NextRead();
            auto next = poller_.NextDeadline().value_or(now + 1s);
            if (!watch) {
                next = std::min(next, poller_.NextRead());
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            wait =
                static_cast<int>(std::clamp<long>(left.count(), 0, bridge_ ? kBridgeWait : 1000));
            commandReplies = bridge_ ? bridge_->CommandDescriptor() : -1;
        }
        pollfd ready[3] = {{watch ? poller_.Descriptor() : -1, POLLIN, 0},
                           {signalFd, POLLIN, 0},
                           {commandReplies, POLLIN, 0}};
        poll(ready, 3, wait);
        if ((ready[1].revents & POLLIN) != 0) {
            signalfd_siginfo signal{};
            if (read(signalFd, &signal, sizeof signal) == sizeof signal) {
                if (signal.ssi_signo != SIGHUP) {
                    log_("varnexd: stopping");
                    std::lock_guard lock(mutex_);
                    if (bridge_) {
                        bridge_->Stop();
                    }
                    return;
                }
                Reload();
            }
        }
        std::lock_guard lock(mutex_);
        if ((ready[0].revents & POLLIN) != 0) {
            poller_.OnReadable(Clock::now());
        }
        if ((ready[2].revents & POLLIN) != 0) {
            bridge_->OnCommandReply();
        }
        poller_.Advance(Clock::now());
        if (bridge_) {
            bridge_->Update(poller_, Clock::now());
        }
    }
}

HttpAnswer Daemon::Answer(const HttpRequest& request) {
    if (request.path == "/metrics") {
        return Metrics();
    }
    if (request.path == "/probe") {
        return Probe(request);
    }
    if (request.path == "/") {
        return {200, "text/html; charset=utf-8",
                "<html><head><title>varnexd</title></head><body><h1>varnexd</h1>"
                "<p><a href=\"/metrics\">Metrics</a></p>"
                "<p>Probe a unit: /probe?target=ID_OR_ADDRESS</p></body></html>\n"};
    }
    return Plain(404, "not found\n");
}

HttpAnswer Daemon::Metrics() {
    std::vector<ExposedStation> stations;
    ExporterFigures figures;
    fleet::Time steadyNow;
    double wallNow = 0;
    std::optional<BridgeFigures> bridge;
    {
        std::lock_guard lock(mutex_);
        const auto loaded = Loaded();
        if (!options_.probeOnly) {
            stations.reserve(loaded->stations.size());
            for (std::size_t i = 0; i < loaded->stations.size(); ++i) {
                stations.push_back(
                    {loaded->labels[i], loaded->stations[i].name, poller_.Status(i)});
            }
        }
        figures = figures_;
        figures.counters = poller_.Counters();
        figures.roundTrips = poller_.RoundTrips();
        if (bridge_) {
            bridge = bridge_->Figures();
        }
        steadyNow = Clock::now();
        wallNow = WallNow();
    }
    figures.probes = probes_;
    figures.refusedProbes = refusedProbes_;
    ExpositionWriter out;
    WriteStations(out, stations, steadyNow, wallNow);
    WriteExporter(out, figures);
    if (bridge) {
        WriteBridge(out, *bridge);
    }
    WriteProcess(out);
    return {200, "text/plain; version=0.0.4; charset=utf-8", out.Take()};
}

HttpAnswer Daemon::Probe(const HttpRequest& request) {
    const auto target = QueryValue(request.query, "target");
    ExposedStation station;
    fleet::StationSetup setup;
    {
        const auto loaded = Loaded();
        const auto found = target ? loaded->byTarget.find(*target) : loaded->byTarget.end();
        if (found == loaded->byTarget.end()) {
            ++refusedProbes_;
            return Plain(
                400, target ? "unknown target " + *target + "\n" : "target parameter is missing\n");
        }
        ++probes_;
        setup = loaded->stations[found->second].setup;
        station.labels = loaded->labels[found->second];
        station.name = loaded->stations[found->second].name;
    }
    const double timeout = request.scrapeTimeoutSeconds.value_or(kDefaultScrapeTimeout);
    const auto budget = std::chrono::milliseconds(
        std::llround(std::min(timeout * kProbeShare, kLongestProbe) * 1000));
    const auto start = Clock::now();
    station.status = ProbeStation(setup, std::max(budget, std::chrono::milliseconds(1)));
    ExpositionWriter out;
    WriteStations(out, {station}, Clock::now(), WallNow());
    out.Family("varnex_probe_duration_seconds", "gauge", "How long the probe took");
    out.Sample("varnex_probe_duration_seconds", {},
               std::chrono::duration<double>(Clock::now() - start).count());
    return {200, "text/plain; version=0.0.4; charset=utf-8", out.Take()};
}

}  // namespace varnex::varnexd
