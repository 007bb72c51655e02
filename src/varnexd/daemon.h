// varnexd's running parts: the configuration, the background poller driven
// by epoll in the calling thread, and the HTTP answers, which civetweb's
// threads ask for. One mutex guards the poller and the configuration; HTTP
// holds it only to copy, never while writing text or polling.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "fleet/fleet_poller.h"
#include "varnexd/daemon_options.h"
#include "varnexd/fleet_exposition.h"
#include "varnexd/http_endpoint.h"
#include "varnexd/station_config.h"

namespace varnex::varnexd {

class Daemon {
  public:
    using Log = std::function<void(const std::string&)>;

    Daemon(DaemonOptions options, Log log);

    // Loads the stations and starts polling (unless probe-only); false with
    // a one-line reason when the first load fails.
    bool Start(std::string& error);
    // Loads the stations again; a failure keeps the stations it had and
    // shows in varnex_exporter_config_last_reload_successful.
    bool Reload();
    // Drives the poller until `signalFd` (a signalfd for SIGHUP, SIGINT and
    // SIGTERM) brings SIGINT or SIGTERM; SIGHUP reloads.
    void Run(int signalFd);

    HttpAnswer Answer(const HttpRequest& request);

  private:
    ConfigResult Load() const;
    void Apply(FleetConfig config);
    HttpAnswer Metrics();
    HttpAnswer Probe(const HttpRequest& request);

    DaemonOptions options_;
    Log log_;
    std::mutex mutex_;
    fleet::FleetPoller poller_;
    std::vector<WatchedStation> stations_;
    std::vector<std::string> labels_;              // each station's label text
    std::map<std::string, std::size_t> byTarget_;  // id, then address
    ExporterFigures figures_;
};

}  // namespace varnex::varnexd
