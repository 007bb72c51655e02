// A session against a loopback peer for the rules of the script, timer,
// trigger and daughter-board dialogs: what the unit receives and what the
// user is told or asked.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/trigger_choice.h"
#include "session/session_harness.h"

namespace varnex::testing {

using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;

constexpr PickedScript Row(int row) {
    return PickedScript{row, false};
}

struct RulesFixture : ::testing::Test {
    RulesFixture() {
        harness.Start();
        harness.recorder.hooks.askYesNo = [this](const Message& m) {
            questions.push_back(m);
            return answer;
        };
    }

    // Parameter bytes 20..(20 + count) of the next frame the unit receives,
    // after checking its size, letter and password.
    Bytes NextParameters(char letter, std::size_t count) {
        const auto frame = harness.peer.Receive();
        EXPECT_TRUE(frame.has_value());
        if (!frame) {
            return {};
        }
        EXPECT_EQ(frame->size(), wire::kCommandFrameSize);
        EXPECT_EQ(char((*frame)[wire::kLetterOffset]), letter);
        EXPECT_EQ(std::string(frame->begin() + 10, frame->begin() + 20), "secret****");
        return Bytes(frame->begin() + 20, frame->begin() + 20 + std::ptrdiff_t(count));
    }

    // The texts of the boxes shown since the last call; each belongs to the
    // open dialog, has no caption and shows `icon`.
    Texts TakeMessages(MessageIcon icon) {
        Texts texts;
        for (const Message& m : harness.recorder.messages) {
            texts.push_back(m.text);
            EXPECT_EQ(m.icon, icon) << m.text;
            EXPECT_EQ(m.caption, "") << m.text;
            EXPECT_EQ(m.owner, MessageOwner::ActiveDialog) << m.text;
        }
        harness.recorder.messages.clear();
        return texts;
    }

    // The one question asked since the last call, without icon.
    void ExpectOneQuestion(const std::string& text, const std::string& caption) {
        ASSERT_EQ(questions.size(), 1u);
        EXPECT_EQ(questions[0].text, text);
        EXPECT_EQ(questions[0].caption, caption);
        EXPECT_EQ(questions[0].icon, MessageIcon::None);
        questions.clear();
    }

    std::string SentCount() const { return harness.session.display().counters.sent; }
    const PlatformHooks& Hooks() const { return harness.recorder.hooks; }

    SessionHarness harness;
    std::vector<Message> questions;
    bool answer = true;
};

}  // namespace varnex::testing
