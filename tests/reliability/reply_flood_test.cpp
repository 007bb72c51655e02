// A unit that answers far more than it is asked: the client must read,
// count and act on every datagram, keep polling, and hold its memory.
#include <malloc.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "session/session_harness.h"
#include "text/conversions.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VARNEX_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VARNEX_ASAN 1
#endif
#ifdef VARNEX_ASAN
// The sanitizer's own heap, which mallinfo2() does not see; declared here
// because not every compiler ships its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace varnex {
namespace {

using Clock = std::chrono::steady_clock;
using testing::SessionHarness;
using testing::StatusBytes;
using testing::WaitReadable;
using Bytes = std::vector<uint8_t>;

constexpr int kFloodSize = 50000;  // twice: 100,000 replies in all
// Small enough for the client socket's default receive buffer, so the
// kernel drops none and every datagram must show in Received.
constexpr int kBurst = 32;
constexpr int kPollEvery = 64 * kBurst;
constexpr std::size_t kAllowedGrowth = 1 << 20;
constexpr std::size_t kKinds = 2 + wire::kReturnCodes.size();

// Bytes the program holds on the heap now.
std::size_t HeapInUse() {
#ifdef VARNEX_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

Bytes ReturnCodeBytes(uint8_t code) {
    Bytes bytes(wire::kReplyTypeOffset + 1, 0);
    bytes[wire::kReplyTypeOffset] = code;
    return bytes;
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
    return ReturnCodeBytes(wire::kReturnCodes[kind - 2]);
}

uint32_t Received(const SessionHarness& h) {
    return ParseUnsigned(h.session.display().counters.received);
}

class ReplyFloodTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.recorder.hooks.showReturnMessage = [this](int code, const std::string&) {
            ++popups_[code];
        };
        h_.Start();
        ASSERT_TRUE(h_.Deliver(StatusBytes()));
    }

    // Sends `count` replies from the unit's address and port in bursts and
    // lets the session read each; a poll tick now and then, whose request
    // must reach the unit, which answers the new socket from then on.
    void Flood(int count) {
        const uint32_t receivedBefore = Received(h_);
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
            const auto deadline = Clock::now() + std::chrono::seconds(5);
            while (Received(h_) < expected && Clock::now() < deadline &&
                   WaitReadable(h_.session.link().socketDescriptor(), 1000)) {
                h_.session.OnSocketNotification(0);
            }
            ASSERT_EQ(Received(h_), expected) << "after reply " << first + burst;
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
    Bytes refused = StatusBytes();
    refused[wire::kPasswordStatusOffset] = 1;
    ASSERT_TRUE(h_.Deliver(refused));
    ASSERT_TRUE(h_.Deliver(ReturnCodeBytes(3)));
    EXPECT_EQ(h_.recorder.messages.back().text, "Bad Password!!");
    EXPECT_EQ(h_.session.display().counters, PacketCounters{});
    EXPECT_EQ(popups_[3], sentByKind_[2]);
    EXPECT_FALSE(h_.TimerRunning(kPollTimer));
}

}  // namespace
}  // namespace varnex
