// The link's socket: the random local port it binds and moves after a loss,
// the counters, what it sends and what it reads.
#include "protocol/device_link.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "protocol/hook_recorder.h"
#include "protocol/loopback_peer.h"

namespace varnex {
namespace {

using testing::LocalPort;
using testing::WaitReadable;
using Bytes = std::vector<uint8_t>;
using Ports = std::vector<uint16_t>;
using Texts = std::vector<std::string>;

// A link to a peer on 127.0.0.1 whose binds are recorded and can be refused.
struct LinkHarness {
    testing::HookRecorder recorder;
    PacketCounters counters;
    testing::LoopbackPeer peer;
    Ports bindPorts;
    int refuseBinds = 0;  // this many binds fail before they succeed
    DeviceLink link{recorder.hooks, counters,
                    LinkOptions{peer.port(), [this](int fd, uint16_t port) {
                                    bindPorts.push_back(port);
                                    return refuseBinds-- <= 0 && BindAnyInterface(fd, port);
                                }}};

    LinkHarness() {
        link.SetResetSession([this] { recorder.events.push_back("reset"); });
        SeedRandom(link.random(), 1);
    }

    bool Send() {
        BuildCommand(link.command(), Command::Status, "secret");
        return link.SendPacket("127.0.0.1");
    }
    ReadResult Read(const Bytes& reply) {
        peer.Reply(reply);
        EXPECT_TRUE(WaitReadable(link.socketDescriptor()));
        return link.OnSocketNotification(0);
    }
    // The peer takes the request and answers it `replies` times; the link reads them.
    void Exchange(int replies) {
        ASSERT_TRUE(peer.Receive().has_value());
        for (int i = 0; i < replies; ++i) {
            ASSERT_EQ(Read(Bytes(137, 0)), ReadResult::Received);
        }
    }
    Texts Counters() const { return {counters.sent, counters.received, counters.lost}; }
};

TEST(DeviceLinkTest, MissingReplyShowsLostThenMovesToAFreshPort) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());  // session start always binds
    EXPECT_EQ(h.bindPorts, Ports{LocalPort(h.link.socketDescriptor())});
    h.Exchange(1);
    EXPECT_EQ(h.Counters(), (Texts{"1", "1", "0"}));
    ASSERT_TRUE(h.Send());
    h.Exchange(0);  // this one goes unanswered
    ASSERT_TRUE(h.Send());
    EXPECT_EQ(h.Counters(), (Texts{"3", "1", "1"}));
    EXPECT_EQ(h.bindPorts.size(), 1u);
    h.Exchange(1);
    ASSERT_TRUE(h.Send());  // the Lost count changed: a new random port
    EXPECT_EQ(h.Counters(), (Texts{"4", "2", "1"}));
    ASSERT_EQ(h.bindPorts.size(), 2u);
    EXPECT_EQ(LocalPort(h.link.socketDescriptor()), h.bindPorts[1]);
    EXPECT_THAT(h.bindPorts,
                ::testing::Each(::testing::AllOf(::testing::Ge(6000), ::testing::Le(64999))));
    h.Exchange(1);
    ASSERT_TRUE(h.Send());  // Lost stays 1: no further bind
    EXPECT_EQ(h.bindPorts.size(), 2u);
}

TEST(DeviceLinkTest, ExtraReplyShowsMinusOneAndReadsAsZero) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());
    h.Exchange(2);
    EXPECT_EQ(h.Counters(), (Texts{"1", "2", "0"}));
    ASSERT_TRUE(h.Send());
    EXPECT_EQ(h.Counters(), (Texts{"2", "2", "-1"}));
    h.Exchange(0);
    ASSERT_TRUE(h.Send());  // -1 reads as 0, as remembered: no bind
    EXPECT_EQ(h.bindPorts.size(), 1u);
    EXPECT_EQ(h.Counters(), (Texts{"3", "2", "0"}));
}

// The first `count` draws below `limit` after seeding with `seed`.
std::vector<uint32_t> Draws(uint32_t seed, int count, uint32_t limit = 65000) {
    PortRandom random;
    SeedRandom(random, seed);
    std::vector<uint32_t> draws;
    for (int i = 0; i < count; ++i) {
        draws.push_back(RandomBelow(random, limit));
    }
    return draws;
}

TEST(DeviceLinkTest, DrawBelow6000IsDrawnAgainWithoutCountingAsAnAttempt) {
    // A seed whose first draw lies below 6000 and whose second does not.
    uint32_t seed = 1;
    while (seed < 100000 && !(Draws(seed, 2)[0] < 6000 && Draws(seed, 2)[1] >= 6000)) {
        ++seed;
    }
    ASSERT_LT(seed, 100000u);
    LinkHarness h;
    SeedRandom(h.link.random(), seed);
    h.refuseBinds = 9;
    ASSERT_TRUE(h.Send());
    ASSERT_EQ(h.bindPorts.size(), 10u);  // the short draw is no attempt
    EXPECT_EQ(h.bindPorts[0], Draws(seed, 2)[1]);
    EXPECT_TRUE(h.recorder.messages.empty());
}

TEST(DeviceLinkTest, TenthFailedBindEndsTheSession) {
    LinkHarness h;
    h.refuseBinds = 10;
    EXPECT_FALSE(h.Send());
    EXPECT_EQ(h.bindPorts.size(), 10u);
    EXPECT_EQ(h.recorder.events, (Texts{"reset", "message:Bind Error !!\r\nIt's Over !!"}));
    const Message& m = h.recorder.messages.at(0);
    EXPECT_EQ(std::tie(m.icon, m.caption, m.owner),
              std::make_tuple(MessageIcon::Stop, std::string(), MessageOwner::MainWindow));
    EXPECT_EQ(h.counters.sent, "0");
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

// The session ends before any box opens, so nothing polls behind it.
TEST(DeviceLinkTest, FailuresResetBeforeTellingTheUser) {
    LinkHarness h;
    BuildCommand(h.link.command(), Command::Status, "secret");
    EXPECT_FALSE(h.link.SendPacket("not an address"));  // not the broadcast address
    EXPECT_EQ(h.counters.sent, "0");
    EXPECT_EQ(h.link.OnSocketNotification(104), ReadResult::Error);
    EXPECT_EQ(h.recorder.events, (Texts{"reset", "message:Error Connect Socket !!\r\nIt's Over !!",
                                        "reset", "message:Shazbot FD_READ !!"}));
}

TEST(DeviceLinkTest, SendsTheFirst285BytesThenClearsTheBuffer) {
    LinkHarness h;
    BuildUploadScriptCommand(h.link.command(), "secret", 0x40, std::string(32, '7'));
    const Bytes built(h.link.command().bytes.begin(), h.link.command().bytes.begin() + 285);
    ASSERT_TRUE(h.link.SendPacket("127.0.0.1"));
    EXPECT_EQ(h.peer.Receive(), built);
    // The next, shorter command carries nothing of the upload.
    h.link.command().bytes[9] = 'K';
    ASSERT_TRUE(h.link.SendPacket("127.0.0.1"));
    Bytes expected(285, 0);
    expected[9] = 'K';
    EXPECT_EQ(h.peer.Receive(), expected);
}

TEST(DeviceLinkTest, IgnoredRepliesAreDrainedUnreadAndShortRepliesLeaveOlderBytes) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());
    ASSERT_TRUE(h.peer.Receive().has_value());
    h.link.SetRepliesIgnored(true);
    EXPECT_EQ(h.Read(Bytes(20, 9)), ReadResult::Ignored);
    EXPECT_EQ(h.counters.received, "0");
    EXPECT_EQ(h.link.reply()[0], 0);
    EXPECT_FALSE(WaitReadable(h.link.socketDescriptor(), 20)) << "drained";

    h.link.SetRepliesIgnored(false);
    ASSERT_EQ(h.Read(Bytes(200, 0xAA)), ReadResult::Received);
    ASSERT_EQ(h.Read(Bytes(50, 0x11)), ReadResult::Received);
    EXPECT_EQ(h.link.lastReplySize(), 50u);
    EXPECT_EQ(h.link.reply()[49], 0x11);
    EXPECT_EQ(h.link.reply()[50], 0xAA);
}

TEST(DeviceLinkTest, TheNotifierFollowsTheSocketAndARefusalIsTold) {
    LinkHarness h;
    std::vector<int> seen;
    h.link.SetSocketChanged([&](int fd) {
        seen.push_back(fd);
        return false;
    });
    EXPECT_TRUE(h.Send());  // the send goes on
    EXPECT_EQ(seen, std::vector<int>{h.link.socketDescriptor()});
    EXPECT_EQ(h.recorder.events, (Texts{"message:Error SyncSelect Socket !!\r\nIt's Over !!"}));
    EXPECT_TRUE(h.peer.Receive().has_value());
    h.link.StopNetworking();
    EXPECT_EQ(seen.back(), -1);
    EXPECT_EQ(h.link.socketDescriptor(), -1);
}

TEST(UnitPortTest, EnvironmentValue) {
    const std::vector<std::pair<const char*, uint16_t>> cases = {
        {nullptr, 7}, {"", 7}, {"7007", 7007}, {"65535", 65535}, {"65536", 7}, {"0", 7}, {" 80", 7},
    };
    for (const auto& [text, port] : cases) {
        EXPECT_EQ(ParseUnitPort(text), port) << (text ? text : "(unset)");
    }
}

// The minimal standard generator computed the plain way, in 64 bits.
uint32_t Reference(uint64_t seed) {
    return static_cast<uint32_t>(seed * 16807 % 2147483647);
}

TEST(PortRandomTest, FollowsTheMinimalStandardSequence) {
    for (const uint32_t seed : {1u, 12345678u, 2147483646u}) {
        const std::vector<uint32_t> drawn = Draws(seed, 1000, 0xFFFFFFFFu);
        uint64_t expected = seed;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            expected = Reference(expected);
            // Schrage's step may land m below the true value; it is then
            // returned as that negative number read unsigned.
            ASSERT_TRUE(drawn[i] == expected || drawn[i] == expected + 2147483649u)
                << seed << " draw " << i << ": " << drawn[i];
        }
    }
    EXPECT_EQ(Draws(1, 1)[0], 16807u);
    PortRandom programStart;
    EXPECT_EQ(RandomBelow(programStart, 0xFFFFFFFFu), Reference(12345678));
}

TEST(PortRandomTest, SeedsThatWouldStickAtZeroStillDrawAndTheTopBitIsFoldedBack) {
    // 0, the modulus and 0x80000001 (the modulus once its top bit is handled)
    // would make every draw 0.
    for (const uint32_t seed : {0u, 2147483647u, 0x80000001u}) {
        EXPECT_NE(Draws(seed, 1)[0], 0u) << seed;
    }
    // 0xFFFFFFFF + (2^31 - 1) modulo 2^32 is 2^31 - 2, and 16807 x (2^31 - 2)
    // by Schrage's method is -16807, read unsigned.
    EXPECT_EQ(Draws(0xFFFFFFFFu, 1, 0xFFFFFFFFu)[0], 4294950489u);
}

}  // namespace
}  // namespace varnex
