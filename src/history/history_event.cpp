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
    }
    return "";
}

}  // namespace varnex
