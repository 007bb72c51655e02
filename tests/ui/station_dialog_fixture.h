// The station dialogs' tests: a seeded database file in a temporary folder,
// every message recorded, and a session that can be started against a
// silent peer on 127.0.0.1 to see the dialogs end it.
#pragma once

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "protocol/loopback_peer.h"
#include "session/session.h"
#include "stations/station_test_support.h"
#include "ui/dialog_context.h"
#include "ui_test_support.h"

namespace varnex {

inline constexpr const char* kSeedLine = "10.10.10.10      VNX DEFAULT IP";

MATCHER_P2(IsStationMessage, text, icon, "") {
    return arg.text == text && arg.icon == icon && arg.caption == "  Varnex v1" &&
           arg.owner == MessageOwner::ActiveDialog;
}

class StationDialogTest : public testing::SeededStationTest {
  protected:
    std::vector<std::string> Rows() const {
        return Select("SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main");
    }
    const std::vector<Message>& messages() const { return recorder_.messages; }

    // Starts a session with the station 127.0.0.1 against the silent peer.
    void StartSession() {
        session_.StartSession();
        ASSERT_TRUE(PollRunning());
    }
    bool PollRunning() const {
        for (const WindowTimer& timer : session_.timers()) {
            if (timer.id == kPollTimer) {
                return timer.running;
            }
        }
        return false;
    }

    testing::LoopbackPeer peer_;  // never answers
    Session session_{recorder_.hooks,
                     SessionSeams{
                         .lookupStation =
                             [](const std::string& ip) {
                                 LoadedStation station;
                                 station.address = ip;
                                 station.password = "tamble****";
                                 return std::optional(station);
                             },
                         .stationListText = [] { return std::string("127.0.0.1"); },
                         .link = LinkOptions{.unitPort = peer_.port()},
                     }};
    DialogContext context_{session_, store_, recorder_.hooks};
    ModalWatchdog watchdog_{2000};  // a dialog a test never answers is closed
};

}  // namespace varnex
