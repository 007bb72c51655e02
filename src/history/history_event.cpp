#include "history/history_event.h"

namespace varnex {

std::string_view HistoryEventName(HistoryEvent kind) {
    switch (kind) {
        case HistoryEvent::Started:
            return "started";
        case HistoryEvent::Stopped:
            return "stopped";
        case HistoryEvent::PasswordRefused:
            return "password refused";
        case HistoryEvent::Silent:
            return "silent";
        case HistoryEvent::Back:
            return "back";
        case HistoryEvent::AlarmRaised:
            return "alarm raised";
        case HistoryEvent::AlarmCleared:
            return "alarm cleared";
    }
    return "";
}

bool IsAlarmEvent(HistoryEvent kind) {
    return kind == HistoryEvent::AlarmRaised || kind == HistoryEvent::AlarmCleared;
}

}  // namespace varnex
