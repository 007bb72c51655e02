// A session connected to a recording unit on 127.0.0.1 (kernel-chosen
// port), a station database in a temporary folder holding that station, and
// hooks that record every message, question, beep and launch.
#pragma once

#include <gmock/gmock.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/loopback_peer.h"
#include "session/session.h"
#include "session/session_harness.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "stations/station_writers.h"
#include "unit/reply_encoding.h"
#include "unit/unit_state.h"

namespace varnex::testing {

inline constexpr const char* kUnitAddress = "127.0.0.1";
inline constexpr const char* kStoredPassword = "secret****";

struct SettingsRecorder {
    PlatformHooks hooks;
    std::vector<Message> messages;
    std::vector<Message> questions;
    std::vector<std::vector<std::string>> launches;
    int beeps = 0;
    bool answerYes = true;

    SettingsRecorder() {
        hooks.showMessage = [this](const Message& m) { messages.push_back(m); };
        hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return answerYes;
        };
        hooks.findProgram = [](const std::string& name) {
            return std::optional<std::string>("/usr/bin/" + name);
        };
        hooks.launch = [this](const std::vector<std::string>& argv) {
            launches.push_back(argv);
            return true;
        };
        hooks.beep = [this] { ++beeps; };
    }
};

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(database_), SeedOutcome::Written);
        stations_.OpenStationStore(database_);
        ASSERT_TRUE(stations_.IsOpen());
        ASSERT_TRUE(InsertStation(stations_, kUnitAddress, kStoredPassword, "bench unit"));

        SessionSeams seams;
        seams.lookupStation = [this](const std::string& ip) {
            return stations_.LoadStation(MessageOwner::MainWindow, ip);
        };
        seams.stationListText = [] { return std::string(kUnitAddress); };
        seams.link.unitPort = unit_.port();
        seams.link.bindPort = [this](int fd, uint16_t port) {
            return !refuseBind_ && BindAnyInterface(fd, port);
        };
        session_ = std::make_unique<Session>(recorder_.hooks, seams);
        session_->StartSession();
        const std::optional<std::vector<uint8_t>> first = unit_.Receive();
        ASSERT_TRUE(first.has_value());
        ASSERT_EQ(first->at(wire::kLetterOffset), '1');
    }

    // A unit state whose status record the session is then given.
    unit::UnitState UnitWith(std::array<uint8_t, 3> firmware = {1, 7, 4}) const {
        unit::UnitSetup setup;
        setup.firmware = firmware;
        return unit::MakeUnitState(setup, unit::UnitTime{0});
    }

    // Answers the last request with the state's status record, `uptime`
    // seconds after the unit started, and lets the session read it.
    void ReplyStatus(const unit::UnitState& state, uint32_t uptime = 0) {
        unit_.Reply(
            unit::EncodeStatusRecord(state, state.startedAt + unit::UnitTime{uptime * 1000LL}));
        ASSERT_TRUE(WaitReadable(session_->link().socketDescriptor()));
        session_->OnSocketNotification(0);
    }

    // The next datagram the unit receives, or nullopt when none comes.
    std::optional<std::vector<uint8_t>> NextCommand(int timeoutMs = kWaitMs) {
        return unit_.Receive(timeoutMs);
    }
    std::vector<uint8_t> Sent() { return NextCommand().value_or(std::vector<uint8_t>{}); }

    std::vector<std::string> Messages() const { return MessageLines(recorder_.messages); }
    std::vector<std::string> Questions() const { return MessageLines(recorder_.questions); }

    bool SessionRuns() const {
        for (const WindowTimer& timer : session_->timers()) {
            if (timer.id == kPollTimer) {
                return timer.running;
            }
        }
        return false;
    }

    std::vector<std::string> Row(const std::string& columns) const {
        return Sqlite(database_, "SELECT " + columns + " FROM main WHERE IPADDRESS='" +
                                     std::string(kUnitAddress) + "'");
    }

    // Makes every later statement fail to execute.
    void BreakTable() { Sqlite(database_, "ALTER TABLE main RENAME TO elsewhere"); }

    TempFolder folder_;
    std::string database_ = folder_.File("VNXv1.MDB");
    SettingsRecorder recorder_;
    LoopbackPeer unit_;
    StationStore stations_{recorder_.hooks};
    std::unique_ptr<Session> session_;
    // Makes the transport fail whenever it binds a fresh local port.
    bool refuseBind_ = false;
};

}  // namespace varnex::testing
