#include "protocol/device_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/hook_recorder.h"
#include "protocol/loopback_peer.h"

namespace varnex {
namespace {

using testing::HookRecorder;
using testing::LocalPort;
using testing::LoopbackPeer;
using testing::WaitReadable;

// A link to a peer on 127.0.0.1 whose binds are recorded and can be refused.
struct LinkHarness {
    HookRecorder recorder;
    PacketCounters counters;
    LoopbackPeer peer;
    std::vector<uint16_t> bindPorts;
    int refuseBinds = 0;  // this many binds fail before they succeed
    DeviceLink link{recorder.hooks, counters,
                    LinkOptions{peer.port(), [this](int fd, uint16_t port) {
                                    bindPorts.push_back(port);
                                    if (refuseBinds > 0) {
                                        --refuseBinds;
                                        return false;
                                    }
                                    return BindAnyInterface(fd, port);
                                }}};

    LinkHarness() {
        link.SetResetSession([this] { recorder.events.push_back("reset"); });
        SeedRandom(link.random(), 1);
    }

    bool Send() {
        BuildCommand(link.command(), Command::Status, "secret");
        return link.SendPacket("127.0.0.1");
    }
    // The peer takes the request; answers it `replies` times; the link reads them.
    void Exchange(int replies) {
        ASSERT_TRUE(peer.Receive().has_value());
        for (int i = 0; i < replies; ++i) {
            peer.Reply(std::vector<uint8_t>(137, 0));
            ASSERT_TRUE(WaitReadable(link.socketDescriptor()));
            ASSERT_EQ(link.OnSocketNotification(0), ReadResult::Received);
        }
    }
    std::vector<std::string> Counters() const {
        return {counters.sent, counters.received, counters.lost};
    }
};

using Texts = std::vector<std::string>;

TEST(DeviceLinkTest, MissingReplyShowsLostThenMovesToAFreshPort) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());
    ASSERT_EQ(h.bindPorts.size(), 1u);  // session start always binds
    EXPECT_EQ(LocalPort(h.link.socketDescriptor()), h.bindPorts[0]);
    h.Exchange(1);
    EXPECT_EQ(h.Counters(), (Texts{"1", "1", "0"}));
    ASSERT_TRUE(h.Send());
    h.Exchange(0);  // this one goes unanswered
    ASSERT_TRUE(h.Send());
    EXPECT_EQ(h.Counters(), (Texts{"3", "1", "1"}));
    EXPECT_EQ(h.bindPorts.size(), 1u);
    h.Exchange(1);
    ASSERT_TRUE(h.Send());  // the Lost count changed: a new random port
    ASSERT_EQ(h.bindPorts.size(), 2u);
    EXPECT_EQ(LocalPort(h.link.socketDescriptor()), h.bindPorts[1]);
    for (const uint16_t port : h.bindPorts) {
        EXPECT_GE(port, 6000);
        EXPECT_LE(port, 64999);
    }
    EXPECT_EQ(h.Counters(), (Texts{"4", "2", "1"}));
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

TEST(DeviceLinkTest, DrawBelow6000IsDrawnAgainWithoutCountingAsAnAttempt) {
    // A seed whose first draw lies below 6000 and whose second does not.
    PortRandom draws;
    uint32_t seed = 1;
    for (; seed < 100000; ++seed) {
        SeedRandom(draws, seed);
        if (RandomBelow(draws, 65000) < 6000 && RandomBelow(draws, 65000) >= 6000) {
            break;
        }
    }
    ASSERT_LT(seed, 100000u);
    LinkHarness h;
    SeedRandom(h.link.random(), seed);
    h.refuseBinds = 9;
    ASSERT_TRUE(h.Send());
    ASSERT_EQ(h.bindPorts.size(), 10u);  // the short draw is no attempt
    SeedRandom(draws, seed);
    RandomBelow(draws, 65000);
    EXPECT_EQ(h.bindPorts[0], RandomBelow(draws, 65000));
    EXPECT_TRUE(h.recorder.messages.empty());
}

TEST(DeviceLinkTest, TenthFailedBindEndsTheSession) {
    LinkHarness h;
    h.refuseBinds = 10;
    EXPECT_FALSE(h.Send());
    EXPECT_EQ(h.bindPorts.size(), 10u);
    EXPECT_EQ(h.recorder.events, (Texts{"message:Bind Error !!\r\nIt's Over !!", "reset"}));
    const Message& m = h.recorder.messages.at(0);
    EXPECT_EQ(m.icon, MessageIcon::Stop);
    EXPECT_EQ(m.caption, "");
    EXPECT_EQ(m.owner, MessageOwner::MainWindow);
    EXPECT_EQ(h.counters.sent, "0");
    EXPECT_FALSE(h.peer.Receive(50).has_value());
}

TEST(DeviceLinkTest, AddressThatIsNoAddressResetsThenTellsConnectError) {
    LinkHarness h;
    BuildCommand(h.link.command(), Command::Status, "secret");
    EXPECT_FALSE(h.link.SendPacket("not an address"));  // not the broadcast address
    EXPECT_EQ(h.recorder.events,
              (Texts{"reset", "message:Error Connect Socket !!\r\nIt's Over !!"}));
    EXPECT_EQ(h.counters.sent, "0");
}

TEST(DeviceLinkTest, NotificationErrorTellsThenResets) {
    LinkHarness h;
    EXPECT_EQ(h.link.OnSocketNotification(104), ReadResult::Error);
    EXPECT_EQ(h.recorder.events, (Texts{"message:Shazbot FD_READ !!", "reset"}));
}

TEST(DeviceLinkTest, SendsTheFirst285BytesThenClearsTheBuffer) {
    LinkHarness h;
    BuildUploadScriptCommand(h.link.command(), "secret", 0x40, std::string(32, '7'));
    const std::vector<uint8_t> built(h.link.command().bytes.begin(),
                                     h.link.command().bytes.begin() + 285);
    ASSERT_TRUE(h.link.SendPacket("127.0.0.1"));
    EXPECT_EQ(h.peer.Receive(), built);
    // The next, shorter command carries nothing of the upload.
    h.link.command().bytes[9] = 'K';
    ASSERT_TRUE(h.link.SendPacket("127.0.0.1"));
    std::vector<uint8_t> expected(285, 0);
    expected[9] = 'K';
    EXPECT_EQ(h.peer.Receive(), expected);
}

TEST(DeviceLinkTest, IgnoredRepliesAreNeitherReadNorCounted) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());
    ASSERT_TRUE(h.peer.Receive().has_value());
    h.peer.Reply(std::vector<uint8_t>(20, 9));
    ASSERT_TRUE(WaitReadable(h.link.socketDescriptor()));
    h.link.SetRepliesIgnored(true);
    EXPECT_EQ(h.link.OnSocketNotification(0), ReadResult::Ignored);
    EXPECT_EQ(h.counters.received, "0");
    EXPECT_EQ(h.link.reply()[0], 0);
    // Drained, so the socket no longer reads as readable.
    EXPECT_FALSE(WaitReadable(h.link.socketDescriptor(), 20));
}

TEST(DeviceLinkTest, ShorterReplyLeavesOlderBytesInPlace) {
    LinkHarness h;
    ASSERT_TRUE(h.Send());
    ASSERT_TRUE(h.peer.Receive().has_value());
    for (const auto& [size, fill] : {std::pair{200, 0xAA}, {50, 0x11}}) {
        h.peer.Reply(std::vector<uint8_t>(size, uint8_t(fill)));
        ASSERT_TRUE(WaitReadable(h.link.socketDescriptor()));
        ASSERT_EQ(h.link.OnSocketNotification(0), ReadResult::Received);
    }
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

}  // namespace
}  // namespace varnex
