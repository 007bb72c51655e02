// The unit goes silent, or away altogether, and comes back: the client keeps
// polling from fresh local ports, counts what is lost and shows readings
// again as soon as they come.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "counters_printer.h"
#include "session/session_harness.h"
#include "unit/unit_server.h"
#include "unit/unit_state.h"

namespace varnex {
namespace {

using std::chrono::milliseconds;
using testing::HookRecorder;
using testing::LabStation;
using testing::LocalPort;
using testing::WaitReadable;

// Loopback hands a datagram over within sendto; this bound only passes
// when nothing comes.
constexpr int kSilenceMs = 100;

class UnitOutageTest : public ::testing::Test {
  protected:
    // A simulated unit with the lab station's password on 127.0.0.1:`port`
    // (0: the kernel chooses); nullptr when the port cannot be bound.
    std::unique_ptr<unit::UnitServer> MakeUnit(uint16_t port) {
        unit::UnitSetup setup;
        setup.password = "secret";
        setup.name = "Outage Lab";
        auto server = std::make_unique<unit::UnitServer>(
            unit::MakeUnitState(setup, unitTime_), [this] { return unitTime_; },
            [](const std::string&) {});
        std::string error;
        return server->Bind("127.0.0.1", port, error) ? std::move(server) : nullptr;
    }

    // One poll tick, the unit's turn (if it is there), and the client
    // reading what arrives; true when a reply was counted.
    bool PollOnce() {
        session_.OnTimer(kPollTimer);
        ports_.push_back(LocalPort(session_.link().socketDescriptor()));
        return Answer();
    }

    bool Answer() {
        if (unit_) {
            unitTime_ += milliseconds(1000);
            unit_->Serve(milliseconds(kSilenceMs));
        }
        if (!WaitReadable(session_.link().socketDescriptor(), kSilenceMs)) {
            return false;
        }
        const std::string before = Counters().received;
        // A refused port's error also shows as readiness; it is no reply.
        session_.OnSocketNotification(0);
        return Counters().received != before;
    }

    const PacketCounters& Counters() const { return session_.display().counters; }

    HookRecorder recorder_;
    unit::UnitTime unitTime_{1000};
    std::unique_ptr<unit::UnitServer> unit_ = MakeUnit(0);
    const uint16_t unitPort_ = unit_ ? unit_->Port() : 0;
    Session session_{recorder_.hooks, SessionSeams{[](const std::string&) { return LabStation(); },
                                                   [] { return std::string("127.0.0.1"); },
                                                   [] { return 2026; }, LinkOptions{unitPort_}}};
    std::vector<uint16_t> ports_;
};

TEST_F(UnitOutageTest, SilentUnitIsCountedLostAndPolledFromFreshPortsUntilItAnswers) {
    ASSERT_TRUE(unit_);
    session_.StartSession();
    ASSERT_TRUE(Answer());
    ASSERT_TRUE(PollOnce());
    EXPECT_EQ(session_.display().stationName.substr(0, 10), "Outage Lab");
    EXPECT_EQ(Counters(), (PacketCounters{"2", "2", "0"}));

    unit_->SetDropEvery(1);
    std::vector<std::string> lost;
    for (int poll = 0; poll < 5; ++poll) {
        EXPECT_FALSE(PollOnce());
        lost.push_back(Counters().lost);
    }
    // Each tick still goes out; Lost follows the requests that went unanswered.
    EXPECT_EQ(lost, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(Counters().sent, "7");
    EXPECT_EQ(session_.display().statusBar[1], " Connected");
    // Once Lost has moved, every request leaves from a newly drawn port.
    for (std::size_t i = 3; i < ports_.size(); ++i) {
        EXPECT_GE(ports_[i], kLowestLocalPort);
        EXPECT_LT(ports_[i], kLocalPortLimit);
        EXPECT_NE(ports_[i], ports_[i - 1]);
    }

    unit_->SetDropEvery(0);
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_TRUE(PollOnce()) << "poll " << poll << " after the unit came back";
    }
    EXPECT_EQ(Counters(), (PacketCounters{"10", "5", "5"}));  // requests 3 to 7
    EXPECT_EQ(session_.display().stationName.substr(0, 10), "Outage Lab");
    EXPECT_TRUE(recorder_.messages.empty());
}

// No one listens on the unit's port: the refusals that come back are
// neither replies nor the end of the session.
TEST_F(UnitOutageTest, UnitThatIsGoneAndRestartsOnTheSamePort) {
    ASSERT_TRUE(unit_);
    session_.StartSession();
    ASSERT_TRUE(Answer());

    unit_.reset();
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_FALSE(PollOnce());
    }
    EXPECT_EQ(Counters(), (PacketCounters{"4", "1", "2"}));
    EXPECT_TRUE(recorder_.messages.empty());
    EXPECT_EQ(session_.display().statusBar[1], " Connected");

    unit_ = MakeUnit(unitPort_);
    ASSERT_TRUE(unit_) << "port " << unitPort_ << " was taken meanwhile";
    EXPECT_TRUE(PollOnce());
    EXPECT_TRUE(PollOnce());
    EXPECT_EQ(Counters().received, "3");
    EXPECT_EQ(session_.display().stationName.substr(0, 10), "Outage Lab");
    EXPECT_TRUE(recorder_.messages.empty());
}

}  // namespace
}  // namespace varnex
