// What the stations overview knows of one watched station, whether the
// fleet poller or the main window's session feeds it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "overview/loss_window.h"
#include "protocol/readings.h"

namespace varnex::overview {

enum class RowState { Waiting, Up, Silent, PasswordRefused, Paused };

struct OverviewRow {
    std::string ip;
    std::string comment;  // the station list's name for it
    VoltmeterJumpers jumpers;
    LossWindow loss;
    std::optional<std::chrono::nanoseconds> lastRoundTrip;
    std::optional<Time> lastValidReply;
    // Polling (or the session) began, or began again after a pause, here;
    // silence is counted from here when no reply came since.
    Time watchingSince{};
    std::optional<Readings> readings;  // from the last valid status record
    bool silent = false;               // by the shared rule
    bool passwordRefused = false;      // until the next valid status record
    bool paused = false;
    bool inSession = false;  // fed by the main window's session
    std::vector<std::string> openAlarms;
};

RowState StateOf(const OverviewRow& row);
// Since when the row has been silent: its last reply, or when watching
// (re)began if no reply came since.
Time SilentSince(const OverviewRow& row);

}  // namespace varnex::overview
