// The stations overview without its window: every watched station's row,
// kept up by the fleet poller, except the station of the main window's
// running session, whose row the session feeds and which goes back to the
// poller when the session stops. Each polling round ends by handing every
// row to the alarm monitor. Like the poller it owns no thread or clock: the
// caller waits on Descriptor() from NextRead() on and until NextDeadline().
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarm_monitor.h"
#include "fleet/fleet_poller.h"
#include "overview/overview_row.h"
#include "overview/watched_stations.h"
#include "protocol/status_record.h"

namespace varnex::overview {

using WallTime = std::chrono::system_clock::time_point;

inline constexpr std::chrono::milliseconds kDefaultPollInterval{5000};
// Tests poll faster than a person would ever ask for.
inline constexpr std::chrono::milliseconds kShortestPollInterval{100};
inline constexpr std::chrono::milliseconds kLongestPollInterval{3'600'000};

struct OverviewOptions {
    uint16_t unitPort = 7;
    std::chrono::milliseconds interval = kDefaultPollInterval;
    fleet::PollerOptions poller{};
};

// What the main window's session reports, as the overview hears it.
enum class SessionNews { Started, Stopped, PasswordRefused, Silent, Back };

class FleetOverview {
  public:
    // `monitor` outlives the overview (its alarm list stays when the window goes).
    explicit FleetOverview(alarms::AlarmMonitor& monitor, const OverviewOptions& options = {});

    // Why polling cannot work (sockets); empty when it can.
    const std::string& Error() const { return poller_.Error(); }
    int Descriptor() const { return poller_.Descriptor(); }
    Time NextRead() const { return poller_.NextRead(); }
    std::optional<Time> NextDeadline() const;

    void OnReadable(Time now);
    // Sends what is due, expires what timed out; at the end of a round
    // evaluates the alarms and answers what the round brought.
    std::optional<alarms::RoundOutcome> Advance(Time now, WallTime wallNow);

    // Rows follow the list: a station still listed keeps its row (loss,
    // readings, alarms), one no longer listed loses it.
    void SetStations(const std::vector<WatchedStation>& stations, Time now);
    void SetInterval(std::chrono::milliseconds interval, Time now);
    std::chrono::milliseconds Interval() const { return interval_; }
    // Stops every poll of the overview (not the main window's session).
    void SetPaused(bool paused, Time now);
    bool Paused() const { return paused_; }

    void OnSession(const std::string& ip, SessionNews news, Time now);
    void OnSessionRecord(const std::string& ip, const StatusRecord& record,
                         const VoltmeterJumpers& jumpers, Time now);

    const std::vector<OverviewRow>& Rows() const { return rows_; }
    // The rows whose content changed since the last call, each once.
    std::vector<std::size_t> TakeChangedRows();
    // The stations the poller polls now, by address.
    std::vector<std::string> PolledStations() const;
    const alarms::AlarmMonitor& Alarms() const { return monitor_; }
    alarms::AlarmMonitor& Alarms() { return monitor_; }

  private:
    // What was last taken from the poller for a row.
    struct Seen {
        uint64_t sent = 0;
        uint64_t received = 0;
        uint64_t lost = 0;
    };

    void RebuildPoller(Time now);
    void TakePollerNews(Time now);
    void MarkChanged(std::size_t row);
    OverviewRow* SessionRow(const std::string& ip);
    alarms::RoundOutcome EvaluateRound(Time now, WallTime wallNow);

    uint16_t unitPort_;
    std::chrono::milliseconds interval_;
    fleet::FleetPoller poller_;
    alarms::AlarmMonitor& monitor_;
    std::vector<OverviewRow> rows_;
    std::vector<std::string> passwords_;     // by row
    std::vector<Seen> seen_;                 // by row
    std::vector<std::size_t> rowOfStation_;  // the poller's station -> row
    std::vector<bool> changed_;
    std::vector<std::size_t> changedRows_;
    std::string sessionIp_;
    bool paused_ = false;
    std::optional<Time> nextRound_;
};

}  // namespace varnex::overview
