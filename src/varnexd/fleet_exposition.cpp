#include "varnexd/fleet_exposition.h"

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace varnex::varnexd {
namespace {

using Reading = std::function<void(ExpositionWriter&, const ExposedStation&, const Readings&)>;

bool Up(const fleet::StationStatus& status) {
    return status.readings.has_value() && !status.silent;
}

// One family of reading series, written only for stations that are up.
void ReadingFamily(ExpositionWriter& out, const std::vector<ExposedStation>& stations,
                   const char* name, const char* type, const char* help, const Reading& write) {
    out.Family(name, type, help);
    for (const ExposedStation& station : stations) {
        if (Up(station.status)) {
            write(out, station, *station.status.readings);
        }
    }
}

// One series per station, whether it is up or not.
template <typename Value>
void StationFamily(ExpositionWriter& out, const std::vector<ExposedStation>& stations,
                   const char* name, const char* type, const char* help, Value value) {
    out.Family(name, type, help);
    for (const ExposedStation& station : stations) {
        out.Sample(name, {}, static_cast<double>(value(station.status)), station.labels);
    }
}

const char* kIndex[] = {"1", "2", "3", "4", "5", "6", "7", "8"};

}  // namespace

void WriteStations(ExpositionWriter& out, const std::vector<ExposedStation>& stations,
                   fleet::Time steadyNow, double wallNow) {
    // About what a station that is up takes, so the text grows without copies.
    out.Reserve(stations.size() * 1800);
    StationFamily(out, stations, "varnex_up", "gauge",
                  "1 when the unit's last status request got a valid status record in time, "
                  "0 when it is silent by the shared rule or never answered",
                  [](const fleet::StationStatus& s) { return Up(s) ? 1 : 0; });
    // A unit that answers with a refusal is up as far as the network goes
    // but gives no readings: an alert on this names the cause.
    StationFamily(out, stations, "varnex_password_refused", "gauge",
                  "1 when the unit's last answer refused the station's password, until its next "
                  "valid status record",
                  [](const fleet::StationStatus& s) { return s.passwordRefused ? 1 : 0; });
    out.Family("varnex_last_reply_timestamp_seconds", "gauge",
               "Unix time of the unit's last valid status record");
    for (const ExposedStation& s : stations) {
        if (s.status.lastValidReply) {
            const double age =
                std::chrono::duration<double>(steadyNow - *s.status.lastValidReply).count();
            out.Sample("varnex_last_reply_timestamp_seconds", {}, wallNow - age, s.labels);
        }
    }
    StationFamily(out, stations, "varnex_requests_total", "counter",
                  "Status requests sent to the unit, retries included",
                  [](const fleet::StationStatus& s) { return s.sent; });
    StationFamily(out, stations, "varnex_replies_total", "counter",
                  "Valid status records received within their timeout",
                  [](const fleet::StationStatus& s) { return s.received; });
    StationFamily(out, stations, "varnex_lost_requests_total", "counter",
                  "Status requests without a valid status record within their timeout",
                  [](const fleet::StationStatus& s) { return s.lost; });
    StationFamily(out, stations, "varnex_late_replies_total", "counter",
                  "Replies that came after their request's timeout, dropped",
                  [](const fleet::StationStatus& s) { return s.late; });
    StationFamily(out, stations, "varnex_invalid_replies_total", "counter",
                  "Replies in time that were no valid status record (a wrong password, garbage)",
                  [](const fleet::StationStatus& s) { return s.invalid; });
    ReadingFamily(out, stations, "varnex_round_trip_seconds", "gauge",
                  "Round trip of the unit's last valid status record",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings&) {
                      o.Sample("varnex_round_trip_seconds", {},
                               std::chrono::duration<double>(*s.status.lastRoundTrip).count(),
                               s.labels);
                  });
    ReadingFamily(out, stations, "varnex_unit_info", "gauge",
                  "The unit's name, MAC address and firmware version (always 1)",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      o.Sample("varnex_unit_info",
                               {{"name", s.name.empty() ? std::string_view(r.stationName)
                                                        : std::string_view(s.name)},
                                {"mac", r.macAddress},
                                {"firmware", r.firmwareText}},
                               1, s.labels);
                  });
    ReadingFamily(out, stations, "varnex_voltage_volts", "gauge",
                  "Voltmeter reading, scaled to the voltmeter's range and jumper",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      for (std::size_t i = 0; i < r.voltmeters.size(); ++i) {
                          o.Sample("varnex_voltage_volts", {{"voltmeter", kIndex[i]}},
                                   static_cast<double>(r.voltmeters[i].volts), s.labels);
                      }
                  });
    ReadingFamily(out, stations, "varnex_temperature_celsius", "gauge",
                  "Temperature sensor, in steps of half a degree",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      if (r.temperature) {
                          o.Sample("varnex_temperature_celsius", {},
                                   static_cast<double>(r.temperature->Celsius()), s.labels);
                      }
                  });
    ReadingFamily(out, stations, "varnex_relay_unit_on", "gauge",
                  "1 when the unit calls the relay ON, which is the coil at rest; "
                  "see varnex_relay_energised for the coil",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      for (std::size_t i = 0; i < r.relays.size(); ++i) {
                          o.Sample("varnex_relay_unit_on", {{"relay", kIndex[i]}},
                                   r.relays[i].unitSaysOn ? 1 : 0, s.labels);
                      }
                  });
    ReadingFamily(out, stations, "varnex_relay_energised", "gauge",
                  "1 when the relay's coil pulls (the unit then calls the relay OFF)",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      for (std::size_t i = 0; i < r.relays.size(); ++i) {
                          o.Sample("varnex_relay_energised", {{"relay", kIndex[i]}},
                                   r.relays[i].energised ? 1 : 0, s.labels);
                      }
                  });
    ReadingFamily(
        out, stations, "varnex_pin_level", "gauge", "I/O pin level, 1 high, 0 low",
        [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
            for (std::size_t i = 0; i < r.pinsHigh.size(); ++i) {
                o.Sample("varnex_pin_level", {{"pin", kIndex[i]}}, r.pinsHigh[i] ? 1 : 0, s.labels);
            }
        });
    ReadingFamily(out, stations, "varnex_uptime_seconds", "gauge", "Seconds since the unit started",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      o.Sample("varnex_uptime_seconds", {}, r.uptimeSeconds, s.labels);
                  });
    ReadingFamily(out, stations, "varnex_relay_timer_running", "gauge",
                  "1 while the unit's relay timer runs",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      o.Sample("varnex_relay_timer_running", {}, r.timerRunning ? 1 : 0, s.labels);
                  });
    ReadingFamily(out, stations, "varnex_relay_timer_remaining_seconds", "gauge",
                  "Seconds until the relay timer fires",
                  [](ExpositionWriter& o, const ExposedStation& s, const Readings& r) {
                      o.Sample("varnex_relay_timer_remaining_seconds", {}, r.timerRemainingSeconds,
                               s.labels);
                  });
}

void WriteExporter(ExpositionWriter& out, const ExporterFigures& f) {
    out.Family("varnex_round_trip_duration_seconds", "histogram",
               "Round trips of valid status records across the whole fleet");
    for (std::size_t i = 0; i < fleet::RoundTripHistogram::kBounds.size(); ++i) {
        std::string bound;
        AppendValue(bound, fleet::RoundTripHistogram::kBounds[i]);
        out.Sample("varnex_round_trip_duration_seconds_bucket", {{"le", bound}},
                   static_cast<double>(f.roundTrips.Bucket(i)));
    }
    out.Sample("varnex_round_trip_duration_seconds_bucket", {{"le", "+Inf"}},
               static_cast<double>(f.roundTrips.Count()));
    out.Sample("varnex_round_trip_duration_seconds_sum", {}, f.roundTrips.SumSeconds());
    out.Sample("varnex_round_trip_duration_seconds_count", {},
               static_cast<double>(f.roundTrips.Count()));
    const auto gauge = [&out](const char* name, const char* type, const char* help, double v) {
        out.Family(name, type, help);
        out.Sample(name, {}, v);
    };
    gauge("varnex_exporter_stations", "gauge", "Stations in the configuration",
          static_cast<double>(f.stations));
    gauge("varnex_exporter_foreign_datagrams_total", "counter",
          "Datagrams from no configured station, dropped", static_cast<double>(f.counters.foreign));
    gauge("varnex_exporter_late_replies_total", "counter",
          "Replies after their request's timeout, all stations",
          static_cast<double>(f.counters.late));
    gauge("varnex_exporter_send_errors_total", "counter", "Requests the kernel refused to send",
          static_cast<double>(f.counters.sendErrors));
    gauge("varnex_exporter_receive_buffer_bytes", "gauge",
          "Receive buffer the kernel granted each polling socket", f.counters.grantedReceiveBuffer);
    gauge("varnex_exporter_config_last_reload_successful", "gauge",
          "1 when the last configuration load succeeded; 0 keeps the previous one",
          f.lastReloadSucceeded ? 1 : 0);
    gauge("varnex_exporter_config_last_reload_success_timestamp_seconds", "gauge",
          "Unix time of the last successful configuration load", f.lastReloadSuccessSeconds);
    gauge("varnex_exporter_probes_total", "counter", "Probes answered",
          static_cast<double>(f.probes));
    gauge("varnex_exporter_refused_probes_total", "counter",
          "Probes refused for an unknown or missing target", static_cast<double>(f.refusedProbes));
}

void WriteBridge(ExpositionWriter& out, const BridgeFigures& f) {
    const auto gauge = [&out](const char* name, const char* type, const char* help, double v) {
        out.Family(name, type, help);
        out.Sample(name, {}, v);
    };
    gauge("varnex_mqtt_connected", "gauge", "1 while connected to the MQTT broker",
          f.connected ? 1 : 0);
    gauge("varnex_mqtt_connections_total", "counter", "Connections made to the MQTT broker",
          static_cast<double>(f.connections));
    out.Family("varnex_mqtt_commands_total", "counter",
               "Relay commands from MQTT sent to a unit or answered busy, by outcome");
    for (std::size_t n = 0; n < f.commands.size(); ++n) {
        out.Sample("varnex_mqtt_commands_total",
                   {{"outcome", fleet::OutcomeText(static_cast<fleet::CommandOutcome>(n))}},
                   static_cast<double>(f.commands[n]));
    }
    out.Family("varnex_mqtt_commands_ignored_total", "counter",
               "Messages on relay command topics that reached no unit, by reason");
    for (std::size_t n = 0; n < f.ignoredCommands.size(); ++n) {
        out.Sample("varnex_mqtt_commands_ignored_total",
                   {{"reason", ReasonLabel(static_cast<IgnoredReason>(n))}},
                   static_cast<double>(f.ignoredCommands[n]));
    }
    gauge("varnex_mqtt_dropped_messages_total", "counter",
          "Messages dropped unread because too many were waiting",
          static_cast<double>(f.droppedMessages));
    gauge("varnex_mqtt_states_published_total", "counter", "State messages published",
          static_cast<double>(f.statesPublished));
}

void WriteProcess(ExpositionWriter& out) {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command name, which may hold blanks, start at state (3).
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::vector<std::string> f;
    for (std::string field; fields >> field;) {
        f.push_back(field);
    }
    if (f.size() < 22) {
        return;
    }
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double cpu = (std::stod(f[11]) + std::stod(f[12])) / ticks;  // utime, stime
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const double started = now - uptime + std::stod(f[19]) / ticks;
    std::size_t fds = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr) {
            ++fds;
        }
        closedir(dir);
    }
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    const auto gauge = [&out](const char* name, const char* type, const char* help, double v) {
        out.Family(name, type, help);
        out.Sample(name, {}, v);
    };
    gauge("process_cpu_seconds_total", "counter", "User and system CPU time spent in seconds", cpu);
    gauge("process_resident_memory_bytes", "gauge", "Resident memory size in bytes",
          std::stod(f[21]) * static_cast<double>(sysconf(_SC_PAGESIZE)));
    gauge("process_virtual_memory_bytes", "gauge", "Virtual memory size in bytes",
          std::stod(f[20]));
    gauge("process_open_fds", "gauge", "Number of open file descriptors",
          static_cast<double>(fds > 3 ? fds - 3 : 0));  // ., .. and the listing's own
    gauge("process_max_fds", "gauge", "Maximum number of open file descriptors",
          static_cast<double>(limit.rlim_cur));
    gauge("process_start_time_seconds", "gauge", "Start time of the process since unix epoch",
          started);
}

}  // namespace varnex::varnexd
