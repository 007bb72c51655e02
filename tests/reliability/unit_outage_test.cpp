// The unit goes silent, or away altogether, and comes back: the client keeps
// polling, counts what is lost and shows readings again as soon as they come.
#include <gtest/gtest.h>

#include <optional>

#include "counters_printer.h"
#include "session/session_harness.h"
#include "tools/unit_harness.h"

namespace varnex {
namespace {

using std::chrono::milliseconds;
using testing::HookRecorder;
using testing::LabStation;
using testing::WaitReadable;
using unit::testing::UnitHarness;

unit::UnitSetup OutageLab(const std::string& name) {
    unit::UnitSetup setup;
    setup.password = "secret";
    setup.name = name;
    return setup;
}

class UnitOutageTest : public ::testing::Test {
  protected:
    // The unit's turn (if it is there), then the client reads what arrives;
    // true when a reply was counted.
    bool Answer() {
        if (unit_) {
            unit_->Advance(milliseconds(1000));
        }
        if (!WaitReadable(session_.link().socketDescriptor(), 100)) {
            return false;
        }
        const std::string before = Counters().received;
        // A refused port's error also shows as readiness; it is no reply.
        session_.OnSocketNotification(0);
        return Counters().received != before;
    }
    bool PollOnce() {
        session_.OnTimer(kPollTimer);
        return Answer();
    }

    const PacketCounters& Counters() const { return session_.display().counters; }

    HookRecorder recorder_;
    std::optional<UnitHarness> unit_{std::in_place, OutageLab("Outage Lab")};
    const uint16_t unitPort_ = unit_->Server().Port();
    Session session_{recorder_.hooks, SessionSeams{[](const std::string&) { return LabStation(); },
                                                   [] { return std::string("127.0.0.1"); },
                                                   [] { return 2026; }, LinkOptions{unitPort_}}};
};

TEST_F(UnitOutageTest, SilentThenGoneThenRestartedUnit) {
    session_.StartSession();
    ASSERT_TRUE(Answer());
    EXPECT_EQ(session_.display().stationName.substr(0, 10), "Outage Lab");

    unit_->Server().SetDropEvery(1);
    EXPECT_FALSE(PollOnce());
    EXPECT_FALSE(PollOnce());
    EXPECT_EQ(Counters(), (PacketCounters{"3", "1", "1"}));
    // Gone: the port refusals that come back are neither replies nor the end.
    unit_.reset();
    EXPECT_FALSE(PollOnce());
    EXPECT_FALSE(PollOnce());
    EXPECT_EQ(Counters(), (PacketCounters{"5", "1", "3"}));
    EXPECT_EQ(session_.display().statusBar[1], " Connected");

    unit_.emplace(OutageLab("Back Again"), unitPort_);
    EXPECT_TRUE(PollOnce());
    EXPECT_TRUE(PollOnce());
    EXPECT_EQ(Counters(), (PacketCounters{"7", "3", "4"}));
    EXPECT_EQ(session_.display().stationName.substr(0, 10), "Back Again");
    EXPECT_TRUE(recorder_.messages.empty());
}

}  // namespace
}  // namespace varnex
