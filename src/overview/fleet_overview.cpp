#include "overview/fleet_overview.h"

#include <algorithm>
#include <map>
#include <utility>

#include "text/conversions.h"

namespace varnex::overview {
namespace {

// A reply later than this is no use to a person watching; a short interval
// must still leave room for the next poll.
constexpr std::chrono::milliseconds kLongestTimeout{2000};

}  // namespace

FleetOverview::FleetOverview(alarms::AlarmMonitor& monitor, const OverviewOptions& options)
    : unitPort_(options.unitPort),
      interval_(std::clamp(options.interval, kShortestPollInterval, kLongestPollInterval)),
      poller_(options.poller),
      monitor_(monitor) {}

std::optional<Time> FleetOverview::NextDeadline() const {
    std::optional<Time> next = poller_.NextDeadline();
    if (!paused_ && nextRound_ && (!next || *nextRound_ < *next)) {
        next = nextRound_;
    }
    return next;
}

void FleetOverview::OnReadable(Time now) {
    poller_.OnReadable(now);
    TakePollerNews(now);
}

std::optional<alarms::RoundOutcome> FleetOverview::Advance(Time now, WallTime wallNow) {
    poller_.Advance(now);
    TakePollerNews(now);
    if (paused_ || !nextRound_ || now < *nextRound_) {
        return std::nullopt;
    }
    nextRound_ = now + interval_;
    return EvaluateRound(now, wallNow);
}

void FleetOverview::SetStations(const std::vector<WatchedStation>& stations, Time now) {
    std::map<std::string, std::size_t> before;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        before.emplace(rows_[i].ip, i);
    }
    std::vector<OverviewRow> rows;
    std::vector<std::string> passwords;
    std::vector<Seen> seen;
    std::map<std::string, StationWatch> watches;
    for (const WatchedStation& watched : stations) {
        const LoadedStation& station = watched.station;
        if (!ParseDottedAddress(station.address)) {
            continue;  // nothing could be sent to it
        }
        const auto old = before.find(station.address);
        if (old != before.end()) {
            rows.push_back(std::move(rows_[old->second]));
            seen.push_back(seen_[old->second]);
        } else {
            OverviewRow row;
            row.ip = station.address;
            row.watchingSince = now;
            rows.push_back(std::move(row));
            seen.emplace_back();
        }
        OverviewRow& row = rows.back();
        row.comment = station.comment;
        row.jumpers = JumpersOf(station);
        row.paused = paused_;
        row.inSession = row.ip == sessionIp_;
        passwords.push_back(station.password);
        watches.emplace(station.address, watched.watch);
    }
    rows_ = std::move(rows);
    passwords_ = std::move(passwords);
    seen_ = std::move(seen);
    changed_.assign(rows_.size(), false);
    changedRows_.clear();
    monitor_.SetWatches(watches, now);
    if (!nextRound_) {
        nextRound_ = now + interval_;
    }
    RebuildPoller(now);
}

void FleetOverview::SetInterval(std::chrono::milliseconds interval, Time now) {
    interval_ = std::clamp(interval, kShortestPollInterval, kLongestPollInterval);
    nextRound_ = now + interval_;
    RebuildPoller(now);
}

void FleetOverview::SetPaused(bool paused, Time now) {
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].paused = paused;
        if (!paused && !rows_[i].inSession) {
            // A pause is no silence: it counts again from here.
            rows_[i].watchingSince = now;
            rows_[i].silent = false;
        }
        MarkChanged(i);
    }
    if (!paused) {
        monitor_.RestartSilence(now);
    }
    nextRound_ = now + interval_;
    RebuildPoller(now);
}

void FleetOverview::RebuildPoller(Time now) {
    std::map<std::string, fleet::StationSetup> polledBefore;
    for (std::size_t i = 0; i < poller_.Size(); ++i) {
        polledBefore.emplace(poller_.Setup(i).id, poller_.Setup(i));
    }
    std::vector<fleet::StationSetup> setups;
    rowOfStation_.clear();
    for (std::size_t r = 0; r < rows_.size() && !paused_; ++r) {
        OverviewRow& row = rows_[r];
        if (row.inSession) {
            continue;  // the session polls it already
        }
        fleet::StationSetup setup;
        setup.id = row.ip;
        setup.address = ParseDottedAddress(row.ip).value_or(0);
        setup.port = unitPort_;
        setup.password = passwords_[r];
        setup.jumpers = row.jumpers;
        setup.interval = interval_;
        setup.timeout = std::min<std::chrono::milliseconds>(interval_ / 2, kLongestTimeout);
        const auto old = polledBefore.find(setup.id);
        if (old == polledBefore.end() || !(old->second == setup)) {
            // The poller starts this station afresh, its counters from zero.
            seen_[r] = {};
            row.watchingSince = std::max(row.watchingSince, now);
            row.silent = false;
        }
        setups.push_back(std::move(setup));
        rowOfStation_.push_back(r);
    }
    poller_.SetStations(setups, now);
}

void FleetOverview::TakePollerNews(Time now) {
    for (std::size_t i = 0; i < poller_.Size(); ++i) {
        const std::size_t r = rowOfStation_[i];
        const fleet::StationStatus& status = poller_.Status(i);
        Seen& seen = seen_[r];
        if (status.sent == seen.sent && status.received == seen.received &&
            status.lost == seen.lost) {
            continue;
        }
        OverviewRow& row = rows_[r];
        const uint64_t received = status.received - seen.received;
        const uint64_t lost = status.lost - seen.lost;
        row.loss.Add(now, received + lost, lost);
        if (received > 0) {
            row.readings = status.readings;
            row.lastRoundTrip = status.lastRoundTrip;
            row.lastValidReply = status.lastValidReply;
        }
        // A refusal the session saw stands until the poller gets a valid record.
        row.passwordRefused =
            received > 0 ? status.passwordRefused : row.passwordRefused || status.passwordRefused;
        row.silent = status.silent;
        seen = {status.sent, status.received, status.lost};
        MarkChanged(r);
    }
}

OverviewRow* FleetOverview::SessionRow(const std::string& ip) {
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [&ip](const OverviewRow& row) { return row.ip == ip; });
    return found == rows_.end() ? nullptr : &*found;
}

void FleetOverview::OnSession(const std::string& ip, SessionNews news, Time now) {
    if (news == SessionNews::Started) {
        sessionIp_ = ip;
    } else if (ip != sessionIp_) {
        return;  // news of a session the overview was not told had started
    }
    OverviewRow* row = SessionRow(ip);
    if (news == SessionNews::Stopped) {
        sessionIp_.clear();
    }
    if (row == nullptr) {
        return;
    }
    switch (news) {
        case SessionNews::Started:
        case SessionNews::Stopped:
            row->inSession = news == SessionNews::Started;
            row->silent = false;
            row->watchingSince = now;
            RebuildPoller(now);
            break;
        case SessionNews::PasswordRefused:
            row->passwordRefused = true;
            break;
        case SessionNews::Silent:
        case SessionNews::Back:
            row->silent = news == SessionNews::Silent;
            break;
    }
    MarkChanged(static_cast<std::size_t>(row - rows_.data()));
}

void FleetOverview::OnSessionRecord(const std::string& ip, const StatusRecord& record,
                                    const VoltmeterJumpers& jumpers, Time now) {
    OverviewRow* row = ip == sessionIp_ ? SessionRow(ip) : nullptr;
    if (row == nullptr) {
        return;
    }
    row->readings = DecodeReadings(record, jumpers);
    row->lastValidReply = now;
    row->passwordRefused = false;
    row->silent = false;
    MarkChanged(static_cast<std::size_t>(row - rows_.data()));
}

alarms::RoundOutcome FleetOverview::EvaluateRound(Time now, WallTime wallNow) {
    for (const OverviewRow& row : rows_) {
        alarms::StationObservation observation;
        observation.ip = row.ip;
        observation.lastValidReply = row.lastValidReply;
        observation.passwordRefused = row.passwordRefused;
        observation.readings = row.readings;
        monitor_.Observe(observation);
    }
    alarms::RoundOutcome outcome = monitor_.Evaluate(now, wallNow);
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        std::vector<std::string> texts;
        for (const alarms::Alarm* alarm : monitor_.OpenAlarms(rows_[r].ip)) {
            texts.push_back(alarms::AlarmDescription(*alarm));
        }
        if (texts != rows_[r].openAlarms) {
            rows_[r].openAlarms = std::move(texts);
            MarkChanged(r);
        }
    }
    return outcome;
}

void FleetOverview::MarkChanged(std::size_t row) {
    if (!changed_[row]) {
        changed_[row] = true;
        changedRows_.push_back(row);
    }
}

std::vector<std::size_t> FleetOverview::TakeChangedRows() {
    for (const std::size_t row : changedRows_) {
        changed_[row] = false;
    }
    return std::exchange(changedRows_, {});
}

std::vector<std::string> FleetOverview::PolledStations() const {
    std::vector<std::string> ips;
    for (std::size_t i = 0; i < poller_.Size(); ++i) {
        ips.push_back(poller_.Setup(i).id);
    }
    return ips;
}

}  // namespace varnex::overview
