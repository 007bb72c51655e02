// Datagrams that do not come from the unit's address and port: another
// program on the client's host, or another address of the same host.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "counters_printer.h"
#include "session/session_harness.h"
#include "tools/unit_harness.h"

namespace varnex {
namespace {

using testing::HookRecorder;
using testing::LabStation;
using testing::LocalPort;
using testing::LoopbackPeer;
using testing::SessionHarness;
using testing::StatusBytes;
using testing::WaitReadable;
using Stranger = unit::testing::ClientSocket;
using Bytes = std::vector<uint8_t>;

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
    for (int reads = 0; reads < 8 && WaitReadable(session.link().socketDescriptor(), 100);
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
        Stranger stranger(address);
        stranger.SendTo("127.0.0.1", clientPort, TimerStopped());
        stranger.SendTo("127.0.0.1", clientPort, Refused());
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
    Stranger stranger("127.0.0.2");
    int strangerSends = 0;
    const auto bindAndIntrude = [&](int fd, uint16_t port) {
        if (!BindAnyInterface(fd, port)) {
            return false;
        }
        stranger.SendTo("127.0.0.1", port, Refused());
        ++strangerSends;
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
