// varnexd's running parts: the configuration, the background poller driven
// by epoll in the calling thread, and the HTTP answers, which civetweb's
// threads ask for. One mutex guards the poller, taken by HTTP only to copy
// its figures; the stations are swapped whole on reload, so a probe never
// waits for the poller or a scrape.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "fleet/fleet_poller.h"
#include "varnexd/daemon_options.h"
#include "varnexd/fleet_exposition.h"
#include "varnexd/http_endpoint.h"
#include "varnexd/mqtt_bridge.h"
#include "varnexd/station_config.h"

namespace varnex::varnexd {

class Daemon {
  public:
    using Log = std::function<void(const std::string&)>;

    Daemon(DaemonOptions options, Log log);

    // Loads the stations and starts polling (unless probe-only); false with
    // a one-line reason when the first load fails.
    bool Start(std::string& error);
    // Loads the stations and the broker settings again; a failure keeps the
    // stations it had and shows in
    // varnex_exporter_config_last_reload_successful. Changed broker settings
    // end the bridge's connection (every station offline) and start anew.
    bool Reload();
    // Drives the poller until `signalFd` (a signalfd for SIGHUP, SIGINT and
    // SIGTERM) brings SIGINT or SIGTERM; SIGHUP reloads. The MQTT bridge,
    // if any, says offline before Run returns.
    void Run(int signalFd);

    HttpAnswer Answer(const HttpRequest& request);

  private:
    ConfigResult Load() const;
    // The broker settings of the file with the options laid over them.
    std::optional<MqttConfig> BridgeConfig(const FleetConfig& config, std::string& error) const;
    // Replaces the bridge when its settings changed; an error when the new
    // one cannot start (then there is none).
    std::string SetBridge(MqttConfig config);
    void Apply(FleetConfig config);
    HttpAnswer Metrics();
    HttpAnswer Probe(const HttpRequest& request);

    // The stations as loaded; replaced whole on reload, never changed, so
    // a probe takes a reference and lets go of every lock.
    struct LoadedStations {
        std::vector<WatchedStation> stations;
        std::vector<std::string> labels;              // each station's label text
        std::map<std::string, std::size_t> byTarget;  // id, then address
    };
    std::shared_ptr<const LoadedStations> Loaded();

    DaemonOptions options_;
    Log log_;
    std::mutex mutex_;  // the poller and figures_; taken before loadedMutex_
    fleet::FleetPoller poller_;
    ExporterFigures figures_;
    std::unique_ptr<MqttBridge> bridge_;  // under mutex_; none without a broker
    std::mutex loadedMutex_;
    std::shared_ptr<const LoadedStations> loaded_ = std::make_shared<LoadedStations>();
    std::atomic<uint64_t> probes_{0};
    std::atomic<uint64_t> refusedProbes_{0};
};

}  // namespace varnex::varnexd
