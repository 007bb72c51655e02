// Datagrams that do not come from the unit's address and port: another
// program on the client's host, or another address of the same host.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "counters_printer.h"
#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::HookRecorder;
using testing::LabStation;
using testing::LocalPort;
using testing::LoopbackPeer;
using testing::SessionHarness;
using testing::StatusBytes;
using testing::WaitReadable;
using Bytes = std::vector<uint8_t>;

constexpr int kQuietMs = 100;

// A socket bound to `address` on a kernel-chosen port that sends one datagram.
class Stranger {
  public:
    explicit Stranger(const char* address) {
        fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, address, &local.sin_addr);
        bound_ = bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    }
    ~Stranger() { close(fd_); }
    Stranger(const Stranger&) = delete;
    Stranger& operator=(const Stranger&) = delete;

    bool SendTo(uint16_t port, const Bytes& bytes) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return bound_ &&
               sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                      sizeof to) == static_cast<ssize_t>(bytes.size());
    }

  private:
    int fd_ = -1;
    bool bound_ = false;
};

Bytes TimerStopped() {
    Bytes bytes(wire::kReplyTypeOffset + 1, 0);
    bytes[wire::kReplyTypeOffset] = 4;
    return bytes;
}

Bytes Refused() {
    Bytes bytes = StatusBytes();
    bytes[wire::kPasswordStatusOffset] = 1;
    return bytes;
}

// Delivers to the session whatever its socket has, for a short bounded while.
void ReadWhatArrives(Session& session) {
    for (int reads = 0; reads < 8 && WaitReadable(session.link().socketDescriptor(), kQuietMs);
         ++reads) {
        session.OnSocketNotification(0);
    }
}

TEST(ForeignSender, IsNeitherCountedNorParsed) {
    SessionHarness h;
    h.Start();
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    const uint16_t clientPort = LocalPort(h.session.link().socketDescriptor());

    for (const char* address : {"127.0.0.1", "127.0.0.2"}) {
        SCOPED_TRACE(address);
        const Stranger stranger(address);
        ASSERT_TRUE(stranger.SendTo(clientPort, TimerStopped()));
        ASSERT_TRUE(stranger.SendTo(clientPort, Refused()));
        ReadWhatArrives(h.session);
    }
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"1", "1", "0"}));
    EXPECT_TRUE(h.recorder.events.empty());
    EXPECT_EQ(h.session.display().statusBar[1], " Connecting");

    // The unit itself is still heard on the same socket.
    ASSERT_TRUE(h.Deliver(TimerStopped()));
    EXPECT_EQ(h.recorder.events, std::vector<std::string>{"popup:Timer Stopped Forcefully !"});
}

// A fresh local port is bound before the socket is tied to the unit; a
// stranger's datagram that lands in between must not pass for a reply.
TEST(ForeignSender, DatagramQueuedBeforeTheUnitIsNamedIsDiscarded) {
    HookRecorder recorder;
    LoopbackPeer peer;
    const Stranger stranger("127.0.0.2");
    int strangerSends = 0;
    const auto bindAndIntrude = [&](int fd, uint16_t port) {
        if (!BindAnyInterface(fd, port)) {
            return false;
        }
        strangerSends += stranger.SendTo(port, Refused()) ? 1 : 0;
        return true;
    };
    Session session(recorder.hooks,
                    SessionSeams{[](const std::string&) { return LabStation(); },
                                 [] { return std::string("127.0.0.1"); }, [] { return 2026; },
                                 LinkOptions{peer.port(), bindAndIntrude}});
    session.StartSession();
    ASSERT_TRUE(peer.Receive().has_value());
    ASSERT_EQ(strangerSends, 1);

    ReadWhatArrives(session);
    EXPECT_EQ(session.display().counters, (PacketCounters{"1", "0", "0"}));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(session.display().statusBar[1], " Connecting");
}

}  // namespace
}  // namespace varnex
