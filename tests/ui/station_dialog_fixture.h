// The station dialogs' tests: a seeded database file in a temporary folder,
// every message recorded, and a session that can be started against a
// silent peer on 127.0.0.1 to see the dialogs end it.
#pragma once

#include <gmock/gmock.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "session/session.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_test_support.h"
#include "ui/dialog_context.h"

namespace varnex {

inline constexpr const char* kSeedLine = "10.10.10.10      VNX DEFAULT IP";

// A datagram socket on 127.0.0.1 (kernel-chosen port) that never answers.
class QuietLoopbackPeer {
  public:
    QuietLoopbackPeer() : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~QuietLoopbackPeer() { close(fd_); }
    QuietLoopbackPeer(const QuietLoopbackPeer&) = delete;
    QuietLoopbackPeer& operator=(const QuietLoopbackPeer&) = delete;
    uint16_t port() const { return port_; }

  private:
    int fd_;
    uint16_t port_ = 0;
};

MATCHER_P2(IsStationMessage, text, icon, "") {
    return arg.text == text && arg.icon == icon && arg.caption == "  Varnex v1" &&
           arg.owner == MessageOwner::ActiveDialog;
}

class StationDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteSeedDatabaseIfMissing(path_), SeedOutcome::Written);
        store_.OpenStationStore(path_);
        ASSERT_TRUE(store_.IsOpen());
    }

    std::vector<std::string> Rows() {
        return testing::Sqlite(path_, "SELECT IPADDRESS, PASSWORD, COMMENT, \"DEFAULT\" FROM main");
    }
    const std::vector<Message>& messages() const { return recorder_.messages; }

    // Starts a session with the station 127.0.0.1 against the quiet peer.
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

    // Runs `act` on the modal dialog once it is open; a modal dialog still
    // open after two seconds is rejected, so a blocking exec() always ends.
    void WhenModalOpens(std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                act(modal);
            }
        });
        modalGuard_.setSingleShot(true);
        modalGuard_.callOnTimeout([] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "modal dialog left open";
                modal->reject();
            }
        });
        modalGuard_.start(2000);
    }

    testing::TempFolder folder_;
    std::string path_ = folder_.File("VNXv1.MDB");
    testing::MessageRecorder recorder_;
    StationStore store_{recorder_.hooks};
    QuietLoopbackPeer peer_;
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
    QTimer modalGuard_;  // stops with the test
};

}  // namespace varnex
