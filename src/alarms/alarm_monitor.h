// Turns what is known of each watched station into alarms: limits with
// hysteresis on the voltages and the temperature, and silence. It owns no
// clock and no output; the caller feeds observations and shows the changes
// (overview, alarm list, desktop notifications, history).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "alarms/alarm.h"
#include "protocol/readings.h"
#include "stations/station_watch.h"

namespace varnex::alarms {

// The alarm list keeps at least this many of the newest alarms; older
// cleared ones are dropped, open ones never.
inline constexpr std::size_t kKeptAlarms = 1000;

// What the overview knows of one station when it observes it.
struct StationObservation {
    std::string ip;
    // The last valid reply; empty when none came since watching began.
    std::optional<Time> lastValidReply;
    bool passwordRefused = false;
    std::optional<Readings> readings;  // from the last valid status record
};

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
    // open alarms are cleared in the next round. A station's silence counts
    // from `now` when it begins to be watched. New limits apply in the next
    // round: an open alarm raised against a limit that changed is cleared
    // and judged again.
    void SetWatches(const std::map<std::string, StationWatch>& watches, Time now);
    // Polling resumes after a pause: every station's silence counts from
    // `now`, not from its last reply before the pause.
    void RestartSilence(Time now);

    // Records one station's latest state; the next Evaluate acts on it.
    // Observations of stations not watched are ignored.
    void Observe(const StationObservation& observation);
    // Compares every watched station with its limits.
    RoundOutcome Evaluate(Time now, WallTime wallNow);

    // Every watched station (two or more) is silent past its own silence
    // limit; a station without one never counts as silent, and a refused
    // password is an answer. Ends when any of them answers.
    bool NetworkDown() const { return networkDown_; }
    // Newest first; raised, cleared and acknowledged ones alike, bounded.
    const std::vector<Alarm>& Alarms() const { return alarms_; }
    // An alarm of the list by its id; null once it has been dropped. The
    // alarms a round's changes name stay until the next round.
    const Alarm* FindAlarm(uint64_t alarmId) const;
    // The open (not cleared) alarms of one station.
    std::vector<const Alarm*> OpenAlarms(const std::string& ip) const;
    void Acknowledge(uint64_t alarmId, WallTime wallNow);

  private:
    // One thing that can be in alarm: (station, kind, voltmeter).
    using AlarmKey = std::tuple<std::string, AlarmKind, int>;
    struct Verdict;

    // Where a reading stands against one side of its band.
    static Verdict Judge(std::optional<double> limit, double hysteresis,
                         std::optional<double> value, bool upper);
    Alarm* Find(uint64_t alarmId);
    // The silence's age, in seconds, when the station counts as silent.
    std::optional<double> Silence(const std::string& ip, const StationWatch& watch, Time now) const;
    bool EveryStationSilent(Time now) const;
    // Whether some other watched station answered well within `silence` seconds.
    bool AnotherStationAnswered(const std::string& ip, double silence, Time now) const;
    void JudgeReadings(const std::string& ip, const StationWatch& watch, WallTime wallNow,
                       RoundOutcome& outcome);
    void JudgeSilence(const std::string& ip, const StationWatch& watch, Time now, WallTime wallNow,
                      RoundOutcome& outcome);
    // Raises or clears the alarm of `key` as the verdict says; true when raised.
    bool Settle(const AlarmKey& key, const Verdict& verdict, WallTime wallNow,
                RoundOutcome& outcome);
    void Clear(const AlarmKey& key, WallTime wallNow, RoundOutcome& outcome);
    void DropOldCleared();

    std::map<std::string, StationWatch> watches_;  // watched stations only
    std::map<std::string, StationObservation> observations_;
    std::map<std::string, Time> watchedSince_;
    std::vector<Alarm> alarms_;  // newest first, so ids descend
    std::vector<Alarm> raised_;  // during a round: its new alarms, oldest first
    std::map<AlarmKey, uint64_t> open_;
    uint64_t nextId_ = 1;
    bool networkDown_ = false;
};

}  // namespace varnex::alarms
