// Any datagram, of any length and content, is handled without reading or
// writing out of bounds (CI runs this under AddressSanitizer and UBSan).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "session/session_harness.h"

namespace varnex {
namespace {

using testing::SessionHarness;
using testing::WaitReadable;

TEST(ReplyFuzzTest, RandomDatagramsOfEveryLength) {
    SessionHarness h;
    h.known.views = {"STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR"};
    h.Start();
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 1024);
    std::uniform_int_distribution<int> shape(0, 3);
    constexpr int kDatagrams = 400;
    int parsed = 0;
    for (int i = 0; i < kDatagrams; ++i) {
        std::vector<uint8_t> datagram(static_cast<std::size_t>(i < 2 ? i * 1024 : length(random)));
        for (auto& b : datagram) {
            b = static_cast<uint8_t>(byte(random));
        }
        // Mostly accepted passwords, so that every kind of reply is parsed.
        if (datagram.size() > 13 && shape(random) != 0) {
            datagram[10] = 0;
            const uint8_t types[] = {2, 4, 14, datagram[13]};
            datagram[13] = types[shape(random)];
        }
        ASSERT_TRUE(h.Deliver(datagram)) << i;
        if (h.session.link().repliesIgnored()) {
            h.Start();  // a refused password ended the session
        } else {
            ++parsed;
        }
        // A table request sent from the parser moved the socket: take it.
        while (h.peer.Receive(0).has_value()) {
        }
        const DisplayState& d = h.session.display();
        for (const auto& v : d.voltmeters) {
            ASSERT_LE(v.barPosition, v.barMaximum);
        }
        ASSERT_LE(d.stationName.size(), 20u);
    }
    EXPECT_GT(parsed, kDatagrams / 2);
}

TEST(ReplyFuzzTest, DatagramLongerThanTheBufferIsCut) {
    SessionHarness h;
    h.Start();
    // The largest datagram UDP carries.
    std::vector<uint8_t> datagram(65507, 0);
    datagram[65] = 1;
    datagram[66] = 6;
    datagram[67] = 8;
    ASSERT_TRUE(h.Deliver(datagram));
    EXPECT_EQ(h.session.link().lastReplySize(), 1024u);
    EXPECT_EQ(h.session.display().firmwareVersion, "1.6.8");
    EXPECT_EQ(h.session.display().counters.received, "1");
    EXPECT_FALSE(WaitReadable(h.session.link().socketDescriptor(), 0)) << "a remainder is left";
}

}  // namespace
}  // namespace varnex
