#include "alarms/alarm_notices.h"

namespace varnex::alarms {
namespace {

// A notice names at most this many silent stations; the count says the rest.
constexpr std::size_t kNamedStations = 10;

Notice AlarmNotice(const Alarm& alarm) {
    return {"Alarm: " + alarm.ip, AlarmDescription(alarm)};
}

Notice SilentStationsNotice(const std::vector<const Alarm*>& silent) {
    std::string names;
    for (std::size_t n = 0; n < silent.size() && n < kNamedStations; ++n) {
        names += (n == 0 ? "" : ", ") + silent[n]->ip;
    }
    if (silent.size() > kNamedStations) {
        names += " and " + std::to_string(silent.size() - kNamedStations) + " more";
    }
    return {std::to_string(silent.size()) + " stations stopped answering", names};
}

}  // namespace

std::vector<Notice> RoundNotices(const AlarmMonitor& monitor, const RoundOutcome& outcome) {
    std::vector<Notice> notices;
    if (outcome.networkDownBegan) {
        notices.push_back(
            {"All watched stations are silent", "This computer's network may be down."});
    }
    std::vector<const Alarm*> silent;
    for (const AlarmChange& change : outcome.changes) {
        const Alarm* alarm = monitor.FindAlarm(change.alarmId);
        if (change.kind != ChangeKind::Raised || alarm == nullptr) {
            continue;
        }
        if (alarm->kind == AlarmKind::Silent) {
            silent.push_back(alarm);
        } else {
            notices.push_back(AlarmNotice(*alarm));
        }
    }
    if (silent.size() == 1) {
        notices.push_back(AlarmNotice(*silent.front()));
    } else if (!silent.empty()) {
        notices.push_back(SilentStationsNotice(silent));
    }
    return notices;
}

}  // namespace varnex::alarms
