// What reaches the client's socket when the network misbehaves: datagrams
// from strangers, a unit that goes silent or away and comes back, and a
// unit that answers far more than it is asked.
#include <malloc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "session/session_harness.h"
#include "text/conversions.h"
#include "tools/unit_harness.h"

// The sanitizer's own heap, which mallinfo2() does not see; weak, so that
// it is null in a build without the sanitizer.
extern "C" __attribute__((weak)) std::size_t __sanitizer_get_current_allocated_bytes();

namespace varnex {

inline void PrintTo(const PacketCounters& counters, std::ostream* out) {
    *out << "{Sent " << counters.sent << ", Received " << counters.received << ", Lost "
         << counters.lost << "}";
}

namespace {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;
using testing::LabStation;
using testing::LocalPort;
using testing::LoopbackPeer;
using testing::SessionHarness;
using testing::StatusBytes;
using testing::WaitReadable;
using unit::testing::Header;  // a bare return code

Bytes Refused() {
    Bytes bytes = StatusBytes();
    bytes[wire::kPasswordStatusOffset] = 1;
    return bytes;
}

SessionSeams LabSeams(LinkOptions link) {
    return {[](const std::string&) { return std::optional(LabStation()); },
            [] { return std::string("127.0.0.1"); }, [] { return 2026; }, std::move(link)};
}

// Delivers to the session what its socket has, for a short bounded while;
// true when a reply was counted.
bool ReadWhatArrives(Session& session, int reads = 8) {
    const std::string before = session.display().counters.received;
    for (int i = 0; i < reads && WaitReadable(session.link().socketDescriptor(), 100); ++i) {
        // A refused port's error also shows as readiness; it is no reply.
        session.OnSocketNotification(0);
    }
    return session.display().counters.received != before;
}

// Neither another program on the client's host nor another address of it
// passes for the unit.
TEST(ForeignSender, IsNeitherCountedNorParsed) {
    SessionHarness h;
    h.Start();
    ASSERT_TRUE(h.Deliver(StatusBytes()));
    const uint16_t clientPort = LocalPort(h.session.link().socketDescriptor());
    for (const char* address : {"127.0.0.1", "127.0.0.2"}) {
        LoopbackPeer stranger(address);
        EXPECT_TRUE(stranger.SendTo("127.0.0.1", clientPort, Header(4)));
        EXPECT_TRUE(stranger.SendTo("127.0.0.1", clientPort, Refused()));
        ReadWhatArrives(h.session);
    }
    EXPECT_EQ(h.session.display().counters, (PacketCounters{"1", "1", "0"}));
    EXPECT_TRUE(h.recorder.events.empty());
    EXPECT_EQ(h.session.display().statusBar[1], " Connecting");

    // The unit itself is still heard on the same socket.
    ASSERT_TRUE(h.Deliver(Header(4)));
    EXPECT_EQ(h.recorder.events, Texts{"popup:Timer Stopped Forcefully !"});
}

// A fresh local port is bound before the socket is tied to the unit; a
// stranger's datagram that lands in between must not pass for a reply.
TEST(ForeignSender, DatagramQueuedBeforeTheUnitIsNamedIsDiscarded) {
    testing::HookRecorder recorder;
    LoopbackPeer peer;
    LoopbackPeer stranger("127.0.0.2");
    int strangerSends = 0;
    const auto bindAndIntrude = [&](int fd, uint16_t port) {
        const bool bound = BindAnyInterface(fd, port);
        strangerSends += bound && stranger.SendTo("127.0.0.1", port, Refused());
        return bound;
    };
    Session session(recorder.hooks, LabSeams({peer.port(), bindAndIntrude}));
    session.StartSession();
    ASSERT_TRUE(peer.Receive().has_value());
    ASSERT_EQ(strangerSends, 1);
    ReadWhatArrives(session);
    EXPECT_EQ(session.display().counters, (PacketCounters{"1", "0", "0"}));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(session.display().statusBar[1], " Connecting");
}

unit::UnitSetup OutageLab(const std::string& name) {
    unit::UnitSetup setup;
    setup.password = "secret";
    setup.name = name;
    return setup;
}

// The unit goes silent, then away, then comes back on the same port: the
// client keeps polling, counts what is lost and shows readings again.
TEST(UnitOutageTest, SilentThenGoneThenRestartedUnit) {
    std::optional<unit::testing::UnitHarness> unit(std::in_place, OutageLab("Outage Lab"));
    const uint16_t unitPort = unit->Server().Port();
    testing::HookRecorder recorder;
    Session session(recorder.hooks, LabSeams(LinkOptions{unitPort}));
    // The unit's turn (if it is there), then the client reads what arrives.
    const auto answer = [&] {
        if (unit) {
            unit->Advance(std::chrono::milliseconds(1000));
        }
        return ReadWhatArrives(session, 1);
    };
    const auto pollOnce = [&] {
        session.OnTimer(kPollTimer);
        return answer();
    };
    const PacketCounters& counters = session.display().counters;

    session.StartSession();
    ASSERT_TRUE(answer());
    EXPECT_EQ(session.display().stationName.substr(0, 10), "Outage Lab");
    unit->Server().SetDropEvery(1);
    EXPECT_FALSE(pollOnce());
    EXPECT_FALSE(pollOnce());
    EXPECT_EQ(counters, (PacketCounters{"3", "1", "1"}));
    // Gone: the port refusals that come back are neither replies nor the end.
    unit.reset();
    EXPECT_FALSE(pollOnce());
    EXPECT_FALSE(pollOnce());
    EXPECT_EQ(counters, (PacketCounters{"5", "1", "3"}));
    EXPECT_EQ(session.display().statusBar[1], " Connected");

    unit.emplace(OutageLab("Back Again"), unitPort);
    EXPECT_TRUE(pollOnce());
    EXPECT_TRUE(pollOnce());
    EXPECT_EQ(counters, (PacketCounters{"7", "3", "4"}));
    EXPECT_EQ(session.display().stationName.substr(0, 10), "Back Again");
    EXPECT_TRUE(recorder.messages.empty());
}

constexpr int kFloodSize = 50000;  // twice: 100,000 replies in all
// Small enough for the client socket's default receive buffer, so the
// kernel drops none and every datagram must show in Received.
constexpr int kBurst = 32;
constexpr int kPollEvery = 64 * kBurst;
constexpr std::size_t kAllowedGrowth = 1 << 20;
constexpr std::size_t kKinds = 2 + wire::kReturnCodes.size();

// Bytes the program holds on the heap now.
std::size_t HeapInUse() {
    return __sanitizer_get_current_allocated_bytes != nullptr
               ? __sanitizer_get_current_allocated_bytes()
               : mallinfo2().uordblks;
}

// Every kind of reply in turn: a status record whose voltages change, the
// script table, then each return code.
Bytes NthReply(int n) {
    const std::size_t kind = static_cast<std::size_t>(n) % kKinds;
    if (kind == 0) {
        const auto reading = static_cast<uint8_t>(n / kKinds);
        return StatusBytes({{wire::kVoltmeterOffset, {reading, 0x05, 0xFF, 0x0F}}});
    }
    if (kind == 1) {
        Bytes table(wire::kScriptTableSize, 0);
        table[wire::kReplyTypeOffset] = wire::kScriptTableType;
        const std::string name = "Script 8";
        std::copy(name.begin(), name.end(),
                  table.begin() + wire::kScriptNameOffset + 7 * wire::kScriptSlotStride);
        return table;
    }
    return Header(wire::kReturnCodes[kind - 2]);
}

// A unit that answers far more than it is asked: the client must read,
// count and act on every datagram, keep polling, and hold its memory.
class ReplyFloodTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.recorder.hooks.showReturnMessage = [this](int code, const std::string&) {
            ++popups_[code];
        };
        h_.Start();
        ASSERT_TRUE(h_.Deliver(StatusBytes()));
    }
    uint32_t Received() const { return ParseUnsigned(h_.session.display().counters.received); }

    // Sends `count` replies from the unit's address and port in bursts and
    // lets the session read each; a poll tick now and then, whose request
    // must reach the unit, which answers the new socket from then on.
    void Flood(int count) {
        const uint32_t receivedBefore = Received();
        for (int first = 0; first < count; first += kBurst) {
            if (first % kPollEvery == 0) {
                h_.session.OnTimer(kPollTimer);
                ASSERT_TRUE(h_.peer.Receive().has_value());
                ++polls_;
            }
            const int burst = std::min(kBurst, count - first);
            for (int n = first; n < first + burst; ++n) {
                h_.peer.Reply(NthReply(n));
                ++sentByKind_[static_cast<std::size_t>(n) % kKinds];
            }
            const uint32_t expected = receivedBefore + static_cast<uint32_t>(first + burst);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (Received() < expected && std::chrono::steady_clock::now() < deadline &&
                   WaitReadable(h_.session.link().socketDescriptor(), 1000)) {
                h_.session.OnSocketNotification(0);
            }
            ASSERT_EQ(Received(), expected) << "after reply " << first + burst;
        }
    }

    SessionHarness h_;
    std::map<int, int> popups_;  // by return code
    std::array<int, kKinds> sentByKind_{};
    int polls_ = 0;
};

TEST_F(ReplyFloodTest, EveryReplyIsCountedAndActedOnWhilePollingGoesOn) {
    Flood(kFloodSize);
    ASSERT_FALSE(HasFatalFailure());
    const std::size_t heapAfterFirst = HeapInUse();
    Flood(kFloodSize);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_LT(HeapInUse(), heapAfterFirst + kAllowedGrowth);

    EXPECT_EQ(h_.session.display().counters.received, std::to_string(1 + 2 * kFloodSize));
    EXPECT_EQ(h_.session.display().counters.sent, std::to_string(1 + polls_));
    EXPECT_EQ(polls_, 2 * ((kFloodSize + kPollEvery - 1) / kPollEvery));
    // No acknowledgement goes unseen, however fast they come.
    for (std::size_t i = 0; i < wire::kReturnCodes.size(); ++i) {
        EXPECT_EQ(popups_[wire::kReturnCodes[i]], sentByKind_[i + 2])
            << "code " << int{wire::kReturnCodes[i]};
    }
    EXPECT_EQ(h_.session.scriptTable()[7].name, "Script 8");
    EXPECT_EQ(h_.session.display().statusBar[1], " Connected");

    // A refusal still ends the session at once, and nothing after it counts.
    ASSERT_TRUE(h_.Deliver(Refused()));
    ASSERT_TRUE(h_.Deliver(Header(3)));
    EXPECT_EQ(h_.recorder.messages.back().text, "Bad Password!!");
    EXPECT_EQ(h_.session.display().counters, PacketCounters{});
    EXPECT_EQ(popups_[3], sentByKind_[2]);
    EXPECT_FALSE(h_.TimerRunning(kPollTimer));
}

}  // namespace
}  // namespace varnex
