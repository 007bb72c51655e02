// What happened to a session, as history keeps it beside the readings.
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
};

struct StoredEvent {
    int64_t timeMs = 0;
    HistoryEvent kind = HistoryEvent::Started;
    bool operator==(const StoredEvent&) const = default;
};

std::string_view HistoryEventName(HistoryEvent kind);

}  // namespace varnex
