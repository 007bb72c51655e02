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
    Apply(std::move(*loaded.config));
    log_("varnexd: " + std::to_string(stations_.size()) + " stations" +
         (options_.probeOnly ? ", probe only" : "") + "; receive buffer " +
         std::to_string(poller_.Counters().grantedReceiveBuffer) + " bytes");
    return true;
}

bool Daemon::Reload() {
    ConfigResult loaded = Load();
    if (!loaded.config) {
        std::lock_guard lock(mutex_);
        figures_.lastReloadSucceeded = false;
        log_("varnexd: reload failed, keeping " + std::to_string(stations_.size()) +
             " stations: " + loaded.error);
        return false;
    }
    Apply(std::move(*loaded.config));
    log_("varnexd: reloaded, " + std::to_string(stations_.size()) + " stations");
    return true;
}

void Daemon::Apply(FleetConfig config) {
    std::vector<fleet::StationSetup> setups;
    std::vector<std::string> labels;
    std::map<std::string, std::size_t> byTarget;
    for (std::size_t i = 0; i < config.stations.size(); ++i) {
        const WatchedStation& station = config.stations[i];
        setups.push_back(station.setup);
        labels.push_back(LabelText(station));
        byTarget.emplace(DottedAddress(station.setup.address), i);
    }
    for (std::size_t i = 0; i < config.stations.size(); ++i) {
        byTarget[config.stations[i].setup.id] = i;  // an id wins over an address
    }
    std::lock_guard lock(mutex_);
    poller_.SetStations(options_.probeOnly ? std::vector<fleet::StationSetup>{} : setups,
                        Clock::now());
    stations_ = std::move(config.stations);
    labels_ = std::move(labels);
    byTarget_ = std::move(byTarget);
    figures_.stations = stations_.size();
    figures_.lastReloadSucceeded = true;
    figures_.lastReloadSuccessSeconds = WallNow();
}

void Daemon::Run(int signalFd) {
    for (;;) {
        int wait = 1000;
        bool watch = true;
        {
            std::lock_guard lock(mutex_);
            const auto now = Clock::now();
            watch = now >= poller_.NextRead();
            auto next = poller_.NextDeadline().value_or(now + 1s);
            if (!watch) {
                next = std::min(next, poller_.NextRead());
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            wait = static_cast<int>(std::clamp<long>(left.count(), 0, 1000));
        }
        pollfd ready[2] = {{watch ? poller_.Descriptor() : -1, POLLIN, 0}, {signalFd, POLLIN, 0}};
        poll(ready, 2, wait);
        if ((ready[1].revents & POLLIN) != 0) {
            signalfd_siginfo signal{};
            if (read(signalFd, &signal, sizeof signal) == sizeof signal) {
                if (signal.ssi_signo != SIGHUP) {
                    log_("varnexd: stopping");
                    return;
                }
                Reload();
            }
        }
        std::lock_guard lock(mutex_);
        if ((ready[0].revents & POLLIN) != 0) {
            poller_.OnReadable(Clock::now());
        }
        poller_.Advance(Clock::now());
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
    {
        std::lock_guard lock(mutex_);
        if (!options_.probeOnly) {
            stations.reserve(stations_.size());
            for (std::size_t i = 0; i < stations_.size(); ++i) {
                stations.push_back({labels_[i], stations_[i].name, poller_.Status(i)});
            }
        }
        figures = figures_;
        figures.counters = poller_.Counters();
        figures.roundTrips = poller_.RoundTrips();
        steadyNow = Clock::now();
        wallNow = WallNow();
    }
    ExpositionWriter out;
    WriteStations(out, stations, steadyNow, wallNow);
    WriteExporter(out, figures);
    WriteProcess(out);
    return {200, "text/plain; version=0.0.4; charset=utf-8", out.Take()};
}

HttpAnswer Daemon::Probe(const HttpRequest& request) {
    const auto target = QueryValue(request.query, "target");
    ExposedStation station;
    fleet::StationSetup setup;
    {
        std::lock_guard lock(mutex_);
        const auto found = target ? byTarget_.find(*target) : byTarget_.end();
        if (found == byTarget_.end()) {
            ++figures_.refusedProbes;
            return Plain(
                400, target ? "unknown target " + *target + "\n" : "target parameter is missing\n");
        }
        ++figures_.probes;
        setup = stations_[found->second].setup;
        station.labels = labels_[found->second];
        station.name = stations_[found->second].name;
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
