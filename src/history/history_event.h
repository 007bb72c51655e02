// What happened to a session or to a station's alarms, as history keeps it beside
// the readings.
#pragma once

#include <cstdint>
#include <string_view>

namespace varnex {

// Stored as these numbers: never renumber.
enum class HistoryEvent : int {
    Started = 1,
    Stopped = 2,
    PasswordRefused = 3,
    Silent = 4,  // the shared silence rule says the unit stopped answering
    Back = 5,    // the first valid status record after silence
    AlarmRaised = 6,  // one of the station's alarms (a limit or silence)
    AlarmCleared = 7,
};

struct StoredEvent {
    int64_t timeMs = 0;
    HistoryEvent kind = HistoryEvent::Started;
    bool operator==(const StoredEvent&) const = default;
};

std::string_view HistoryEventName(HistoryEvent kind);
// The station's alarms, as opposed to what happened to a session.
bool IsAlarmEvent(HistoryEvent kind);

}  // namespace varnex
