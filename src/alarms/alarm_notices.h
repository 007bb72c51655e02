// What one round of the alarm monitor tells the desktop. Each raised alarm
// has a notice of its own, but stations falling silent together make one
// notice with their count, and every watched station silent at once says
// that this computer's network may be down.
#pragma once

#include <string>
#include <vector>

#include "alarms/alarm_monitor.h"

namespace varnex::alarms {

struct Notice {
    std::string summary;
    std::string body;
    bool operator==(const Notice&) const = default;
};

std::vector<Notice> RoundNotices(const AlarmMonitor& monitor, const RoundOutcome& outcome);

}  // namespace varnex::alarms
