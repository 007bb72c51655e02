#include "alarms/alarm_monitor.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace varnex::alarms {

struct AlarmMonitor::Verdict {
    std::optional<double> limit;  // none: the side is not checked
    double value = 0;
    bool past = false;        // beyond the limit: raise
    bool backInside = false;  // inside by more than the hysteresis: clear
};

AlarmMonitor::Verdict AlarmMonitor::Judge(std::optional<double> limit, double hysteresis,
                                          std::optional<double> value, bool upper) {
    Verdict verdict{limit};
    if (!limit || !value) {
        return verdict;
    }
    verdict.value = *value;
    // A negative hysteresis would clear an alarm still past its limit.
    hysteresis = std::max(hysteresis, 0.0);
    verdict.past = upper ? *value > *limit : *value < *limit;
    verdict.backInside = upper ? *value < *limit - hysteresis : *value > *limit + hysteresis;
    return verdict;
}

void AlarmMonitor::SetWatches(const std::map<std::string, StationWatch>& watches, Time now) {
    std::map<std::string, StationWatch> watched;
    for (const auto& [ip, watch] : watches) {
        if (watch.watched) {
            watched.emplace(ip, watch);
        }
    }
    std::erase_if(watchedSince_, [&](const auto& entry) { return !watched.contains(entry.first); });
    std::erase_if(observations_, [&](const auto& entry) { return !watched.contains(entry.first); });
    for (const auto& entry : watched) {
        watchedSince_.try_emplace(entry.first, now);
    }
    watches_ = std::move(watched);
}

void AlarmMonitor::RestartSilence(Time now) {
    for (auto& entry : watchedSince_) {
        entry.second = now;
    }
}

void AlarmMonitor::Observe(const StationObservation& observation) {
    if (watches_.contains(observation.ip)) {
        observations_[observation.ip] = observation;
    }
}

RoundOutcome AlarmMonitor::Evaluate(Time now, WallTime wallNow) {
    DropOldCleared();
    RoundOutcome outcome;
    std::vector<AlarmKey> forgotten;
    for (const auto& entry : open_) {
        if (!watches_.contains(std::get<0>(entry.first))) {
            forgotten.push_back(entry.first);
        }
    }
    for (const AlarmKey& key : forgotten) {
        Clear(key, wallNow, outcome);
    }

    const bool allSilent = watches_.size() >= 2 && EveryStationSilent(now);
    if (allSilent != networkDown_) {
        networkDown_ = allSilent;
        (allSilent ? outcome.networkDownBegan : outcome.networkDownEnded) = true;
    }

    for (const auto& [ip, watch] : watches_) {
        JudgeReadings(ip, watch, wallNow, outcome);
        JudgeSilence(ip, watch, now, wallNow, outcome);
    }
    // Newest first, in one move of the list rather than one per alarm.
    alarms_.insert(alarms_.begin(), std::make_move_iterator(raised_.rbegin()),
                   std::make_move_iterator(raised_.rend()));
    raised_.clear();
    return outcome;
}

void AlarmMonitor::JudgeReadings(const std::string& ip, const StationWatch& watch, WallTime wallNow,
                                 RoundOutcome& outcome) {
    const auto observed = observations_.find(ip);
    const Readings* readings = observed != observations_.end() && observed->second.readings
                                   ? &*observed->second.readings
                                   : nullptr;
    const auto judgeBoth = [&](AlarmKind high, AlarmKind low, int voltmeter,
                               const ReadingLimits& limits, std::optional<double> value) {
        Settle({ip, high, voltmeter}, Judge(limits.upper, limits.hysteresis, value, true), wallNow,
               outcome);
        Settle({ip, low, voltmeter}, Judge(limits.lower, limits.hysteresis, value, false), wallNow,
               outcome);
    };
    for (std::size_t n = 0; n < watch.voltmeters.size(); ++n) {
        std::optional<double> volts;
        if (readings && n < readings->voltmeters.size()) {
            volts = static_cast<double>(readings->voltmeters[n].volts);
        }
        judgeBoth(AlarmKind::VoltageHigh, AlarmKind::VoltageLow, static_cast<int>(n),
                  watch.voltmeters[n], volts);
    }
    std::optional<double> celsius;
    if (readings && readings->temperature) {
        celsius = static_cast<double>(readings->temperature->Celsius());
    }
    judgeBoth(AlarmKind::TemperatureHigh, AlarmKind::TemperatureLow, -1, watch.temperature,
              celsius);
}

void AlarmMonitor::JudgeSilence(const std::string& ip, const StationWatch& watch, Time now,
                                WallTime wallNow, RoundOutcome& outcome) {
    Verdict silence{watch.silentSeconds};
    if (const std::optional<double> age = Silence(ip, watch, now)) {
        silence.value = *age;
        // With the whole network down one notice says so; no station's own.
        // Polls are spread over the interval, so the first stations pass
        // their limits a little before the rest: a silence is the station's
        // own only once another station has answered well after it went
        // quiet, or when it has lasted twice its limit.
        silence.past = !networkDown_ &&
                       (*age > 2.0 * *watch.silentSeconds || AnotherStationAnswered(ip, *age, now));
    } else {
        silence.backInside = true;
    }
    if (Settle({ip, AlarmKind::Silent, -1}, silence, wallNow, outcome)) {
        ++outcome.newlySilent;
    }
}

std::optional<double> AlarmMonitor::Silence(const std::string& ip, const StationWatch& watch,
                                            Time now) const {
    if (!watch.silentSeconds) {
        return std::nullopt;
    }
    Time since = watchedSince_.at(ip);
    if (const auto observed = observations_.find(ip); observed != observations_.end()) {
        // A refused password is an answer: the station is there.
        if (observed->second.passwordRefused) {
            return std::nullopt;
        }
        if (observed->second.lastValidReply) {
            since = std::max(since, *observed->second.lastValidReply);
        }
    }
    const double age = std::chrono::duration<double>(now - since).count();
    if (age > *watch.silentSeconds) {
        return age;
    }
    return std::nullopt;
}

// Half the silence: the minimum limit is three polling intervals, so a
// station that answers at every poll is always well inside it, while after a
// network failure every station's silence has lasted at least two thirds of it.
bool AlarmMonitor::AnotherStationAnswered(const std::string& ip, double silence, Time now) const {
    if (watches_.size() < 2) {
        return true;
    }
    return std::any_of(observations_.begin(), observations_.end(), [&](const auto& entry) {
        const StationObservation& other = entry.second;
        return entry.first != ip &&
               (other.passwordRefused ||
                (other.lastValidReply &&
                 std::chrono::duration<double>(now - *other.lastValidReply).count() < silence / 2));
    });
}

// A station without a silence limit never counts as silent, so it keeps the
// network judged up.
bool AlarmMonitor::EveryStationSilent(Time now) const {
    return std::all_of(watches_.begin(), watches_.end(), [&](const auto& entry) {
        return Silence(entry.first, entry.second, now).has_value();
    });
}

bool AlarmMonitor::Settle(const AlarmKey& key, const Verdict& verdict, WallTime wallNow,
                          RoundOutcome& outcome) {
    if (const auto open = open_.find(key); open != open_.end()) {
        const Alarm* alarm = FindAlarm(open->second);
        const bool limitChanged = !verdict.limit || alarm->limit != *verdict.limit;
        if (!limitChanged && !verdict.backInside) {
            return false;
        }
        Clear(key, wallNow, outcome);
    }
    if (!verdict.limit || !verdict.past) {
        return false;
    }
    Alarm alarm;
    alarm.id = nextId_++;
    std::tie(alarm.ip, alarm.kind, alarm.voltmeter) = key;
    alarm.value = verdict.value;
    alarm.limit = *verdict.limit;
    alarm.raised = wallNow;
    raised_.push_back(alarm);
    open_.emplace(key, alarm.id);
    outcome.changes.push_back({ChangeKind::Raised, alarm.id});
    return true;
}

void AlarmMonitor::Clear(const AlarmKey& key, WallTime wallNow, RoundOutcome& outcome) {
    const auto open = open_.find(key);
    if (Alarm* alarm = Find(open->second)) {
        alarm->cleared = wallNow;
    }
    outcome.changes.push_back({ChangeKind::Cleared, open->second});
    open_.erase(open);
}

void AlarmMonitor::DropOldCleared() {
    if (alarms_.size() <= kKeptAlarms) {
        return;
    }
    const std::size_t excess = alarms_.size() - kKeptAlarms;
    auto from = alarms_.end();
    for (std::size_t found = 0; from != alarms_.begin() && found < excess;) {
        --from;
        found += from->Open() ? 0 : 1;
    }
    alarms_.erase(std::remove_if(from, alarms_.end(), [](const Alarm& a) { return !a.Open(); }),
                  alarms_.end());
}

const Alarm* AlarmMonitor::FindAlarm(uint64_t alarmId) const {
    const auto found = std::lower_bound(alarms_.begin(), alarms_.end(), alarmId,
                                        [](const Alarm& a, uint64_t id) { return a.id > id; });
    return found != alarms_.end() && found->id == alarmId ? &*found : nullptr;
}

Alarm* AlarmMonitor::Find(uint64_t alarmId) {
    return const_cast<Alarm*>(FindAlarm(alarmId));
}

std::vector<const Alarm*> AlarmMonitor::OpenAlarms(const std::string& ip) const {
    std::vector<const Alarm*> open;
    for (auto it = open_.lower_bound({ip, AlarmKind::VoltageHigh, INT_MIN});
         it != open_.end() && std::get<0>(it->first) == ip; ++it) {
        if (const Alarm* alarm = FindAlarm(it->second)) {
            open.push_back(alarm);
        }
    }
    return open;
}

void AlarmMonitor::Acknowledge(uint64_t alarmId, WallTime wallNow) {
    if (Alarm* alarm = Find(alarmId); alarm && !alarm->acknowledged) {
        alarm->acknowledged = wallNow;
    }
}

}  // namespace varnex::alarms
