#include "automation/io_trigger.h"

#include <tuple>

#include "rules_fixture.h"

namespace varnex {
namespace {

using testing::Bytes;
using testing::Row;
using testing::Texts;

struct IoRules : testing::RulesFixture {
    ScriptAction Upload(int pin, const IoChoice& choice) {
        return UploadIoTrigger(harness.session, Hooks(), pin, choice);
    }
};

TEST_F(IoRules, UploadPutsThePinsSettingOnTheWire) {
    const std::tuple<int, IoChoice, Bytes> cases[] = {
        {3, {false, Row(0), Row(7)}, {2, 1, 0x00, 0xE0, '*'}},
        {5, {true, {}, {}}, {4, 0, 0, 0, '*'}},
        {1, {false, Row(4), Row(4)}, {0, 1, 0x80, 0x80, '*'}},  // the same slot twice
        {2, {true, Row(1), Row(2)}, {1, 0, 0, 0, '*'}},         // off: nothing checked
    };
    for (const auto& [pin, choice, bytes] : cases) {
        EXPECT_EQ(Upload(pin, choice), ScriptAction::Sent);
        EXPECT_EQ(NextParameters('O', 5), bytes);
    }
    EXPECT_TRUE(harness.recorder.messages.empty());
}

TEST_F(IoRules, ChecksComeInOrderAndSendNothing) {
    const PickedScript empty{3, true};
    const std::tuple<int, IoChoice, Texts> cases[] = {
        {4, {false, {}, {}}, {"Choose a Relay Script to execute when I/O state changes to 0 !"}},
        {4, {false, empty, {}}, {"Empty Script Not Allowed !"}},
        {4,
         {false, Row(0), {}},
         {"Choose a Relay Script to execute when I/O state changes to 1 !"}},
        {4, {false, Row(0), empty}, {"Empty Script Not Allowed !"}},
        {0, {true, {}, {}}, {}},  // no such pin: refused without a word
        {6, {false, Row(0), Row(1)}, {}},
    };
    for (const auto& [pin, choice, texts] : cases) {
        EXPECT_EQ(Upload(pin, choice), ScriptAction::Refused) << pin;
        EXPECT_EQ(TakeMessages(MessageIcon::Exclamation), texts);
    }
    EXPECT_EQ(SentCount(), "1");
}

TEST(IoOpening, FromThePinsThreeBytes) {
    StatusSnapshot snapshot;
    snapshot.ioTrigger = {0, 0, 0, 1, 0x40, 0x60, 2, 0x00, 0xE0, 0, 0, 0, 1, 0x11, 0x20};
    using Fields = std::tuple<bool, bool, std::optional<int>, std::optional<int>>;
    const std::pair<int, Fields> cases[] = {
        {1, {false, false, 0, 0}},
        {2, {true, true, 2, 3}},
        {3, {true, false, 0, 7}},
        {5, {true, true, std::nullopt, 1}},
        {6, {false, false, std::nullopt, std::nullopt}},  // no such pin
    };
    for (const auto& [pin, expected] : cases) {
        const ReportedIoTrigger r = ReportedIo(snapshot, pin);
        EXPECT_EQ(Fields(r.executeOn, r.enabled, r.rowForZero, r.rowForOne), expected) << pin;
    }
}

}  // namespace
}  // namespace varnex
