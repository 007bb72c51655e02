// Turns what is known of each watched station into alarms: limits with
// hysteresis on the voltages and the temperature, and silence. It owns no
// clock and no output; the caller feeds observations and shows the changes
// (overview, alarm list, desktop notifications, history).
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "protocol/readings.h"
#include "stations/station_watch.h"

namespace varnex::alarms {

using Time = std::chrono::steady_clock::time_point;
using WallTime = std::chrono::system_clock::time_point;

// What the overview knows of one station when it observes it.
struct StationObservation {
    std::string ip;
    // The last valid reply; empty when none came since watching began.
    std::optional<Time> lastValidReply;
    bool passwordRefused = false;
    std::optional<Readings> readings;  // from the last valid status record
};

enum class AlarmKind { VoltageHigh, VoltageLow, TemperatureHigh, TemperatureLow, Silent };

struct Alarm {
    uint64_t id = 0;  // unique for the monitor's life
    std::string ip;
    AlarmKind kind = AlarmKind::Silent;
    int voltmeter = -1;  // 0..7 for voltage alarms
    double value = 0;    // the reading that raised it (seconds of silence for Silent)
    double limit = 0;
    WallTime raised{};
    std::optional<WallTime> cleared;
    std::optional<WallTime> acknowledged;
};

// The whole alarm's text as lists and notifications show it.
std::string AlarmText(const Alarm& alarm);

enum class ChangeKind { Raised, Cleared };
struct AlarmChange {
    ChangeKind kind = ChangeKind::Raised;
    uint64_t alarmId = 0;
};

// What one evaluation round tells the user. Many stations falling silent in
// one round make one notice with their count, and every watched station
// silent at once says the client's own network may be down, instead of one
// silent alarm per station.
struct RoundOutcome {
    std::vector<AlarmChange> changes;
    std::size_t newlySilent = 0;
    bool networkDownBegan = false;
    bool networkDownEnded = false;
};

class AlarmMonitor {
  public:
    // Stations absent from `watches`, or not watched, are forgotten; their
    // open alarms are cleared in the next round.
    void SetWatches(const std::map<std::string, StationWatch>& watches, Time now);

    // Records one station's latest state; the next Evaluate acts on it.
    void Observe(const StationObservation& observation);
    // Compares every watched station with its limits.
    RoundOutcome Evaluate(Time now, WallTime wallNow);

    bool NetworkDown() const { return networkDown_; }
    // Newest first; raised, cleared and acknowledged ones alike, bounded.
    const std::vector<Alarm>& Alarms() const { return alarms_; }
    // The open (not cleared) alarms of one station.
    std::vector<const Alarm*> OpenAlarms(const std::string& ip) const;
    void Acknowledge(uint64_t alarmId, WallTime wallNow);

  private:
    std::map<std::string, StationWatch> watches_;
    std::map<std::string, StationObservation> observations_;
    std::map<std::string, Time> watchedSince_;
    std::vector<Alarm> alarms_;
    uint64_t nextId_ = 1;
    bool networkDown_ = false;
};

}  // namespace varnex::alarms
