// A session against a loopback peer for the trigger and daughter-board
// rules: what the unit receives and what the user is told.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session_harness.h"

namespace varnex::testing {

using Bytes = std::vector<uint8_t>;

struct RulesFixture : ::testing::Test {
    RulesFixture() { harness.Start(); }

    // Parameter bytes 20..(20 + count) of the next frame the unit receives,
    // after checking its letter and password.
    Bytes NextParameters(char letter, std::size_t count) {
        const auto frame = harness.peer.Receive();
        EXPECT_TRUE(frame.has_value());
        if (!frame) {
            return {};
        }
        EXPECT_EQ(char((*frame)[wire::kLetterOffset]), letter);
        EXPECT_EQ(std::string(frame->begin() + 10, frame->begin() + 20), "secret****");
        return Bytes(frame->begin() + 20, frame->begin() + 20 + std::ptrdiff_t(count));
    }
    std::string SentCount() const { return harness.session.display().counters.sent; }
    const std::vector<Message>& Messages() const { return harness.recorder.messages; }
    const PlatformHooks& Hooks() const { return harness.recorder.hooks; }

    SessionHarness harness;
};

}  // namespace varnex::testing
