#include "automation/io_trigger.h"

#include "trigger_test_support.h"

namespace varnex {
namespace {

using testing::Bytes;

constexpr PickedScript Row(int row) {
    return PickedScript{row, false};
}

struct IoRules : testing::RulesFixture {
    ScriptAction Upload(int pin, const IoChoice& choice) {
        return UploadIoTrigger(harness.session, Hooks(), pin, choice);
    }
};

TEST_F(IoRules, UploadPutsThePinsSettingOnTheWire) {
    struct Case {
        const char* what;
        int pin;
        IoChoice choice;
        Bytes bytes;  // 20..24
    };
    const std::vector<Case> cases = {
        {"pin 3, rows 1 and 8", 3, {false, Row(0), Row(7)}, {2, 1, 0x00, 0xE0, '*'}},
        {"pin 5 off", 5, {true, {}, {}}, {4, 0, 0, 0, '*'}},
        {"pin 1, the same slot twice", 1, {false, Row(4), Row(4)}, {0, 1, 0x80, 0x80, '*'}},
        {"pin 2 off with scripts chosen", 2, {true, Row(1), Row(2)}, {1, 0, 0, 0, '*'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Upload(c.pin, c.choice), ScriptAction::Sent) << c.what;
        EXPECT_EQ(NextParameters('O', 5), c.bytes) << c.what;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(IoRules, ChecksComeInOrderAndSendNothing) {
    const PickedScript empty{3, true};
    struct Case {
        const char* what;
        int pin;
        IoChoice choice;
        const char* text;  // nullptr: refused without a word
    };
    const std::vector<Case> cases = {
        {"nothing chosen",
         4,
         {false, {}, {}},
         "Choose a Relay Script to execute when I/O state changes to 0 !"},
        {"script for 0 empty", 4, {false, empty, {}}, "Empty Script Not Allowed !"},
        {"no script for 1",
         4,
         {false, Row(0), {}},
         "Choose a Relay Script to execute when I/O state changes to 1 !"},
        {"script for 1 empty", 4, {false, Row(0), empty}, "Empty Script Not Allowed !"},
        {"pin 0", 0, {true, {}, {}}, nullptr},
        {"pin 6", 6, {false, Row(0), Row(1)}, nullptr},
    };
    const std::string sentBefore = SentCount();
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        EXPECT_EQ(Upload(c.pin, c.choice), ScriptAction::Refused) << c.what;
        if (c.text != nullptr) {
            expected.push_back(c.text);
        }
    }
    EXPECT_EQ(SentCount(), sentBefore);
    std::vector<std::string> shown;
    for (const Message& m : Messages()) {
        shown.push_back(m.text);
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.caption, "");
    }
    EXPECT_EQ(shown, expected);
}

TEST(IoOpening, FromThePinsThreeBytes) {
    StatusSnapshot snapshot;
    snapshot.ioTrigger = {0, 0, 0, 1, 0x40, 0x60, 2, 0x00, 0xE0, 0, 0, 0, 1, 0x11, 0x20};
    const auto check = [&](int pin, bool executeOn, bool enabled, std::optional<int> zero,
                           std::optional<int> one) {
        const ReportedIoTrigger r = ReportedIo(snapshot, pin);
        EXPECT_EQ(r.executeOn, executeOn) << "pin " << pin;
        EXPECT_EQ(r.enabled, enabled) << "pin " << pin;
        EXPECT_EQ(r.rowForZero, zero) << "pin " << pin;
        EXPECT_EQ(r.rowForOne, one) << "pin " << pin;
    };
    check(1, false, false, 0, 0);
    check(2, true, true, 2, 3);
    check(3, true, false, 0, 7);
    check(5, true, true, std::nullopt, 1);
    check(6, false, false, std::nullopt, std::nullopt);
}

}  // namespace
}  // namespace varnex
