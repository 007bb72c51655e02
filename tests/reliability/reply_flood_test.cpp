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

#include "protocol/reply_kind.h"
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
constexpr auto kBurstDeadline = std::chrono::seconds(5);
constexpr std::size_t kAllowedGrowth = 1 << 20;
constexpr int kKinds = 2 + static_cast<int>(wire::kReturnCodes.size());
constexpr int kLastStatus = (kFloodSize - 1) / kKinds * kKinds;

// Bytes the program holds on the heap now.
std::size_t HeapInUse() {
#ifdef VARNEX_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

Bytes ScriptTableBytes() {
    Bytes bytes(wire::kScriptTableSize, 0);
    bytes[wire::kReplyTypeOffset] = wire::kScriptTableType;
    for (std::size_t slot = 0; slot < wire::kScriptSlotCount; ++slot) {
        const std::string name = "Script " + std::to_string(slot + 1);
        std::copy(name.begin(), name.end(),
                  bytes.begin() +
                      static_cast<long>(wire::kScriptNameOffset + wire::kScriptSlotStride * slot));
    }
    return bytes;
}

Bytes ReturnCodeBytes(uint8_t code) {
    Bytes bytes(wire::kReplyTypeOffset + 1, 0);
    bytes[wire::kReplyTypeOffset] = code;
    return bytes;
}

// Every kind of reply in turn: a status record whose voltages change, the
// script table, then each return code.
Bytes NthReply(int n) {
    const int kind = n % kKinds;
    if (kind == 0) {
        const auto reading = static_cast<uint8_t>(n / kKinds);
        return StatusBytes({{wire::kVoltmeterOffset, {reading, 0x05, 0xFF, 0x0F}}});
    }
    if (kind == 1) {
        return ScriptTableBytes();
    }
    return ReturnCodeBytes(wire::kReturnCodes[static_cast<std::size_t>(kind - 2)]);
}

uint32_t Counter(const std::string& text) {
    return ParseUnsigned(text);
}

class ReplyFloodTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h_.recorder.hooks.showReturnMessage = [this](int code, const std::string& text) {
            ++popups_[code];
            lastPopupText_ = text;
        };
        h_.Start();
        ASSERT_TRUE(h_.Deliver(StatusBytes()));
    }

    // One poll tick: the request must reach the unit, which answers from
    // then on to the client's new socket.
    void PollAndExpectRequest() {
        const uint32_t sentBefore = Counter(h_.session.display().counters.sent);
        h_.session.OnTimer(kPollTimer);
        EXPECT_EQ(Counter(h_.session.display().counters.sent), sentBefore + 1);
        const auto request = h_.peer.Receive();
        ASSERT_TRUE(request.has_value());
        ASSERT_EQ(request->size(), wire::kCommandFrameSize);
        EXPECT_EQ((*request)[wire::kLetterOffset], '1');
        ++polls_;
    }

    // Sends `count` replies from the unit's address and port in bursts and
    // lets the session read each, polling now and then.
    void Flood(int count) {
        const uint32_t receivedBefore = Counter(h_.session.display().counters.received);
        for (int first = 0; first < count; first += kBurst) {
            if (first % kPollEvery == 0) {
                PollAndExpectRequest();
                if (HasFatalFailure()) {
                    return;
                }
            }
            const int burst = std::min(kBurst, count - first);
            for (int n = first; n < first + burst; ++n) {
                h_.peer.Reply(NthReply(n));
                ++sentByKind_[static_cast<std::size_t>(n % sentByKind_.size())];
            }
            const uint32_t expected = receivedBefore + static_cast<uint32_t>(first + burst);
            const auto deadline = Clock::now() + kBurstDeadline;
            while (Counter(h_.session.display().counters.received) < expected &&
                   Clock::now() < deadline &&
                   WaitReadable(h_.session.link().socketDescriptor(), 1000)) {
                h_.session.OnSocketNotification(0);
            }
            ASSERT_EQ(Counter(h_.session.display().counters.received), expected)
                << "after reply " << first + burst;
        }
    }

    SessionHarness h_;
    std::map<int, int> popups_;  // by return code
    std::string lastPopupText_;
    std::array<int, 2 + wire::kReturnCodes.size()> sentByKind_{};
    int polls_ = 0;
};

TEST_F(ReplyFloodTest, EveryReplyIsCountedAndActedOnWhilePollingGoesOn) {
    Flood(kFloodSize);
    ASSERT_FALSE(HasFatalFailure());
    const std::size_t heapAfterFirst = HeapInUse();
    Flood(kFloodSize);
    ASSERT_FALSE(HasFatalFailure());
    const std::size_t heapAfterSecond = HeapInUse();

    EXPECT_LT(heapAfterSecond, heapAfterFirst + kAllowedGrowth);
    RecordProperty("heap_growth_bytes", std::to_string(static_cast<long long>(heapAfterSecond) -
                                                       static_cast<long long>(heapAfterFirst)));
    const PacketCounters& counters = h_.session.display().counters;
    EXPECT_EQ(counters.received, std::to_string(1 + 2 * kFloodSize));
    EXPECT_EQ(counters.sent, std::to_string(1 + polls_));
    EXPECT_EQ(polls_, 2 * ((kFloodSize + kPollEvery - 1) / kPollEvery));
    // No acknowledgement goes unseen, however fast they come.
    for (std::size_t i = 0; i < wire::kReturnCodes.size(); ++i) {
        const uint8_t code = wire::kReturnCodes[i];
        EXPECT_EQ(popups_[code], sentByKind_[i + 2]) << "code " << int{code};
    }
    EXPECT_EQ(lastPopupText_,
              ReturnMessageText(NthReply(kFloodSize - 1)[wire::kReplyTypeOffset]).value_or("?"));
    EXPECT_EQ(h_.session.scriptTable()[7].name, "Script 8");
    // The readouts are those of the last status record, as if it had come alone.
    SessionHarness alone;
    alone.Start();
    ASSERT_TRUE(alone.Deliver(NthReply(kLastStatus)));
    EXPECT_EQ(h_.session.display().voltmeters[0].valueText,
              alone.session.display().voltmeters[0].valueText);
    EXPECT_NE(h_.session.display().voltmeters[0].valueText,
              alone.session.display().voltmeters[1].valueText);
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

// The largest datagrams UDP carries are cut to the reply buffer, and each
// still counts once.
TEST(OversizedReply, IsReadOnceAndCutToTheBuffer) {
    SessionHarness h;
    h.Start();
    constexpr std::size_t kLargestDatagram = 65507;
    for (uint8_t code : {uint8_t{3}, uint8_t{5}, uint8_t{4}}) {
        Bytes reply = ReturnCodeBytes(code);
        reply.resize(kLargestDatagram, 0xEE);
        ASSERT_TRUE(h.Deliver(reply));
    }
    EXPECT_EQ(h.session.display().counters.received, "3");
    EXPECT_EQ(h.session.link().lastReplySize(), wire::kReplyBufferSize);
    EXPECT_EQ(h.recorder.events, (std::vector<std::string>{"popup:Relay Script Executed!",
                                                           "popup:Timer Data Received !",
                                                           "popup:Timer Stopped Forcefully !"}));
    EXPECT_FALSE(WaitReadable(h.session.link().socketDescriptor(), 0));
}

}  // namespace
}  // namespace varnex
