// Daughter boards, the password, the allowed-client list and the reply
// policy (dropping, delaying, silence).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;

UnitSetup WithBoards(std::array<bool, 6> boards, std::array<uint8_t, 3> firmware = {1, 7, 4}) {
    UnitSetup setup;
    setup.boards = boards;
    setup.firmware = firmware;
    return setup;
}

uint8_t Board(UnitHarness& unit, uint8_t address, uint8_t mask, uint8_t action, uint8_t delay) {
    return unit.Type('R', {{20, address}, {21, mask}, {22, action}, {23, delay}});
}

TEST(UnitBoards, CommandsSwitchOneElementOrAreRefused) {
    struct Case {
        uint8_t address, mask, action, delay;
        uint8_t code;
        uint8_t board1State;
    };
    UnitHarness unit(WithBoards({true, false, true, false, false, false}));
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 123, status.begin() + 136),
              (Bytes{0xFF, 0, 0xFF, 0, 0, 0, 0x7F, 0, 0x7F, 0, 0, 0, 0}))
        << "boards 1 and 3 present, resting";
    for (const Case& c : std::vector<Case>{
             {0x44, 0x01, 1, 0, 9, 0x7E},   // relay 1 to NO
             {0x44, 0x40, 1, 0, 9, 0x3E},   // output on
             {0x44, 0x01, 0, 0, 9, 0x3F},   // relay 1 back to NC
             {0x46, 0x01, 1, 0, 10, 0x3F},  // board 2 absent
             {0x45, 0x01, 1, 0, 10, 0x3F},  // no board at an odd address
             {0x42, 0x01, 1, 0, 10, 0x3F},  // below board 1
             {0x50, 0x01, 1, 0, 10, 0x3F},  // beyond board 6
             {0x44, 0x03, 1, 0, 11, 0x3F},  // two elements
             {0x44, 0x00, 1, 0, 11, 0x3F},
             {0x44, 0x80, 1, 0, 11, 0x3F},
             {0x44, 0x01, 3, 0, 11, 0x3F},
             {0x44, 0x01, 2, 0, 11, 0x3F},  // toggle for 0 or 61 seconds
             {0x44, 0x01, 2, 61, 11, 0x3F},
         }) {
        SCOPED_TRACE(::testing::Message() << "address " << int{c.address} << " mask " << int{c.mask}
                                          << " action " << int{c.action});
        EXPECT_EQ(Board(unit, c.address, c.mask, c.action, c.delay), c.code);
        EXPECT_EQ(unit.Status()[129], c.board1State);
    }
}

TEST(UnitBoards, OneToggleTimerForRelaysAndBoards) {
    UnitHarness unit(WithBoards({false, false, true, false, false, false}));
    ASSERT_EQ(Board(unit, 0x48, 0x10, 2, 12), 9);
    EXPECT_EQ(unit.Status()[131], 0x6F);
    EXPECT_EQ(unit.Status()[135], 12);
    unit.Advance(5s);
    EXPECT_EQ(unit.Status()[135], 7);
    EXPECT_EQ(Board(unit, 0x48, 0x40, 2, 3), 100);
    EXPECT_EQ(unit.Type('4', {{20, 3}}), 100);
    EXPECT_EQ(Board(unit, 0x48, 0x40, 1, 0), 9) << "switching still works";
    unit.Advance(7s);
    EXPECT_EQ(unit.Status()[131], 0x3F) << "relay 5 back on NC, the output stays on";
    EXPECT_EQ(unit.Status()[135], 0);

    ASSERT_EQ(unit.Command('4', {{20, 9}})->size(), 137u);
    EXPECT_EQ(unit.Status()[135], 0) << "a power relay's seconds are not the board's";
    EXPECT_EQ(Board(unit, 0x48, 0x02, 2, 3), 100);
}

TEST(UnitBoards, OlderFirmwareOrUnpluggedBoardRefusesCommands) {
    UnitHarness old(WithBoards({true, true, true, true, true, true}, {1, 6, 9}));
    EXPECT_EQ(Board(old, 0x44, 0x01, 1, 0), 10);

    UnitHarness unit;
    EXPECT_EQ(unit.Console("board 6 on"), "board 6 plugged in\n");
    EXPECT_EQ(Board(unit, 0x4E, 0x40, 1, 0), 9);
    EXPECT_EQ(unit.Status()[134], 0x3F);
    unit.Console("board 6 off");
    EXPECT_EQ(unit.Status()[128], 0);
    EXPECT_EQ(Board(unit, 0x4E, 0x40, 1, 0), 10);
}

TEST(UnitPassword, WrongOneIsRefusedAndAChangeHoldsFromTheNextDatagram) {
    UnitHarness unit;
    for (char letter : {'1', '2'}) {
        const auto reply = unit.Exchange(Frame(letter, {}, "tamblf"));
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1})) << letter;
    }
    EXPECT_EQ(unit.Status()[36], 1) << "the refused relay command did nothing";

    Bytes change = Frame('G');
    PutText(change, 20, "newpw*****");
    ASSERT_EQ((*unit.Exchange(change))[10], 0);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "tamble")))[10], 1);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "newpw")))[10], 0);
}

TEST(UnitAccess, OnlyListedClientsGetAnswersUntilTheConsoleAllowsAll) {
    UnitHarness unit;
    ClientSocket other("127.0.0.2");
    Params listOnlyOther = {{20, 1}, {21, 127}, {22, 0}, {23, 0}, {24, 2}};
    for (std::size_t i = 25; i <= 40; ++i) {
        listOnlyOther.emplace_back(i, 0);
    }
    ASSERT_EQ(unit.Type('H', listOnlyOther), 20);
    EXPECT_FALSE(unit.Command('2')) << "127.0.0.1 is not listed";
    EXPECT_FALSE(unit.Server().State().relayOn[0]) << "ignored, not obeyed";
    const auto listed = unit.Exchange(Frame('1'), &other);
    ASSERT_TRUE(listed);
    EXPECT_EQ((*listed)[13], 1);
    EXPECT_EQ(unit.Console("allow all"), "every client is allowed\n");
    EXPECT_TRUE(unit.Command('1'));
}

TEST(UnitAccess, MalformedDatagramsGetNoAnswer) {
    UnitHarness unit;
    Bytes shortFrame = Frame('1');
    shortFrame.resize(284);
    Bytes noMagic = Frame('1');
    noMagic[0] = '&';
    Bytes longFrame = Frame('1');
    longFrame.resize(600, 0);
    EXPECT_FALSE(unit.Exchange(shortFrame));
    EXPECT_FALSE(unit.Exchange(noMagic));
    EXPECT_FALSE(unit.Exchange(Frame('B')));
    EXPECT_FALSE(unit.Exchange(Frame('B', {}, "wrong"))) << "an unknown letter is not refused";
    EXPECT_TRUE(unit.Exchange(longFrame)) << "bytes after the frame are not read";
    EXPECT_THAT(unit.Log()[0], ::testing::EndsWith(" short datagram (284 bytes), no answer"));
}

// Requests queue up while the unit is busy: one look at the socket serves
// them all (more than one read's worth), in the order they came.
TEST(UnitAccess, AQueuedBurstIsServedInFullAndInOrder) {
    UnitHarness unit;
    ClientSocket client;
    constexpr int kBurst = 40;
    constexpr int kShortAt = 20;
    Bytes shortFrame = Frame('1');
    shortFrame.resize(284);
    for (int i = 0; i < kBurst; ++i) {
        client.SendTo(unit.Server().Address(), unit.Server().Port(),
                      i == kShortAt ? shortFrame : Frame('1'));
    }
    unit.Server().Serve(kSilenceWait);
    int replies = 0;
    while (replies <= kBurst && client.Receive(std::chrono::milliseconds(200))) {
        ++replies;
    }
    EXPECT_EQ(replies, kBurst - 1);
    ASSERT_EQ(unit.Log().size(), static_cast<std::size_t>(kBurst));
    EXPECT_THAT(unit.Log()[kShortAt],
                ::testing::EndsWith(" short datagram (284 bytes), no answer"));
}

TEST(UnitPolicy, EveryNthReplyIsDroppedButItsCommandActs) {
    UnitHarness unit;
    EXPECT_EQ(unit.Console("drop 3"), "1 reply in 3 is dropped\n");
    std::string answered;
    for (int i = 0; i < 7; ++i) {
        answered += unit.Command('5') ? 'y' : 'n';
    }
    EXPECT_EQ(answered, "yynyyny");
    EXPECT_THAT(unit.Log()[2], ::testing::MatchesRegex("     0\\.000 from 127\\.0\\.0\\.1:[0-9]+ "
                                                       "\"5\" relay 2 on \\(reply dropped\\)"));
    EXPECT_TRUE(unit.Server().State().relayOn[1]);
}

TEST(UnitPolicy, DelayedRepliesLeaveInTheOrderTheyFallDue) {
    UnitHarness unit;
    unit.Console("delay 500");
    EXPECT_FALSE(unit.Command('L'));
    unit.Console("delay 0");
    const auto quick = unit.Command('1');
    ASSERT_TRUE(quick);
    EXPECT_EQ(quick->size(), 137u) << "a shorter delay overtakes";
    EXPECT_EQ(unit.Server().IdleTime(1000ms), 500ms);
    unit.Advance(499ms);
    EXPECT_FALSE(unit.Receive());
    unit.Advance(1ms);
    const auto slow = unit.Receive();
    ASSERT_TRUE(slow);
    EXPECT_EQ(slow->size(), 270u);
    EXPECT_EQ(unit.Server().IdleTime(100ms), 100ms);
}

}  // namespace
}  // namespace varnex::unit::testing
