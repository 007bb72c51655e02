// Daughter boards, the password, the allowed-client list and the reply
// policy (dropping, delaying, silence).
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

Params Board(uint8_t address, uint8_t mask, uint8_t action, uint8_t delay) {
    return {{20, address}, {21, mask}, {22, action}, {23, delay}};
}

TEST(UnitBoards, PresenceAndResting) {
    UnitHarness unit(WithBoards({true, false, true, false, false, false}));
    const Bytes status = unit.Status();
    EXPECT_EQ(Bytes(status.begin() + 123, status.begin() + 136),
              (Bytes{0xFF, 0, 0xFF, 0, 0, 0, 0x7F, 0, 0x7F, 0, 0, 0, 0}));
}

TEST(UnitBoards, CommandsSwitchOneElementOrAreRefused) {
    struct Case {
        Params command;
        uint8_t code;
        uint8_t board1State;
    };
    UnitHarness unit(WithBoards({true, false, true, false, false, false}));
    for (const Case& c : std::vector<Case>{
             {Board(0x44, 0x01, 1, 0), 9, 0x7E},   // relay 1 to NO
             {Board(0x44, 0x40, 1, 0), 9, 0x3E},   // output on
             {Board(0x44, 0x01, 0, 0), 9, 0x3F},   // relay 1 back to NC
             {Board(0x44, 0x40, 0, 0), 9, 0x7F},   // output off
             {Board(0x46, 0x01, 1, 0), 10, 0x7F},  // board 2 absent
             {Board(0x45, 0x01, 1, 0), 10, 0x7F},  // no board at an odd address
             {Board(0x50, 0x01, 1, 0), 10, 0x7F},
             {Board(0x2A, 0x01, 1, 0), 10, 0x7F},
             {Board(0x44, 0x03, 1, 0), 11, 0x7F},  // two elements
             {Board(0x44, 0x00, 1, 0), 11, 0x7F},
             {Board(0x44, 0x80, 1, 0), 11, 0x7F},
             {Board(0x44, 0x01, 3, 0), 11, 0x7F},
             {Board(0x44, 0x01, 2, 0), 11, 0x7F},  // toggle without seconds
             {Board(0x44, 0x01, 2, 61), 11, 0x7F},
         }) {
        const auto reply = unit.Command('R', c.command);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->size(), 14u);
        EXPECT_EQ((*reply)[13], c.code)
            << int(c.command[0].second) << " " << int(c.command[1].second);
        EXPECT_EQ(unit.Status()[129], c.board1State);
    }
}

TEST(UnitBoards, ToggleFlipsAnElementAndRestoresItAfterItsSeconds) {
    UnitHarness unit(WithBoards({false, false, true, false, false, false}));
    ASSERT_EQ((*unit.Command('R', Board(0x48, 0x10, 2, 12)))[13], 9);
    Bytes status = unit.Status();
    EXPECT_EQ(status[131], 0x6F);
    EXPECT_EQ(status[135], 12);
    unit.Advance(5s);
    EXPECT_EQ(unit.Status()[135], 7);
    EXPECT_EQ((*unit.Command('R', Board(0x48, 0x40, 2, 3)))[13], 100);
    EXPECT_EQ((*unit.Command('4', {{20, 3}}))[13], 100) << "one toggle timer for relays and boards";
    EXPECT_EQ((*unit.Command('R', Board(0x48, 0x40, 1, 0)))[13], 9) << "switching still works";
    unit.Advance(7s);
    status = unit.Status();
    EXPECT_EQ(status[131], 0x3F) << "relay 5 back on NC, the output stays on";
    EXPECT_EQ(status[135], 0);
}

TEST(UnitBoards, PowerRelayToggleDoesNotShowAsBoardSeconds) {
    UnitHarness unit(WithBoards({true, false, false, false, false, false}));
    ASSERT_TRUE(unit.Command('4', {{20, 9}}));
    EXPECT_EQ(unit.Status()[135], 0);
    EXPECT_EQ((*unit.Command('R', Board(0x44, 0x02, 2, 3)))[13], 100);
}

TEST(UnitBoards, FirmwareWithoutBoardsRefusesBoardCommands) {
    UnitHarness unit(WithBoards({true, true, true, true, true, true}, {1, 6, 9}));
    EXPECT_EQ((*unit.Command('R', Board(0x44, 0x01, 1, 0)))[13], 10);
}

TEST(UnitBoards, ConsolePlugsBoardsInAndOut) {
    UnitHarness unit;
    EXPECT_EQ(unit.Console("board 6 on"), "board 6 plugged in\n");
    EXPECT_EQ((*unit.Command('R', Board(0x4E, 0x40, 1, 0)))[13], 9);
    EXPECT_EQ(unit.Status()[134], 0x3F);
    unit.Console("board 6 off");
    EXPECT_EQ(unit.Status()[128], 0);
    EXPECT_EQ((*unit.Command('R', Board(0x4E, 0x40, 1, 0)))[13], 10);
}

TEST(UnitPassword, WrongPasswordGetsARefusal) {
    UnitHarness unit;
    for (char letter : {'1', 'L', 'K', '2'}) {
        const auto reply = unit.Exchange(Frame(letter, {}, "tamblf"));
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[10], 1) << letter;
    }
    EXPECT_EQ(unit.Status()[36], 1) << "the refused relay command did nothing";
}

TEST(UnitPassword, ChangedPasswordHoldsFromTheNextDatagram) {
    UnitHarness unit;
    Bytes change = Frame('G');
    PutText(change, 20, "newpw*****");
    const auto reply = unit.Exchange(change);
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[10], 0);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "tamble")))[10], 1);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "newpw")))[10], 0);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "newpw*****")))[10], 0) << "the same ten bytes";
}

TEST(UnitPassword, PasswordFromTheCommandLine) {
    UnitSetup setup;
    setup.password = "0123456789";
    UnitHarness unit(setup);
    EXPECT_EQ((*unit.Exchange(Frame('1', {}, "0123456789")))[10], 0);
    EXPECT_EQ((*unit.Exchange(Frame('1')))[10], 1);
}

TEST(UnitAccess, OnlyListedClientsGetAnswers) {
    UnitHarness unit;
    ClientSocket other("127.0.0.2");
    Params listOnlyOther = {{20, 1}, {21, 127}, {22, 0}, {23, 0}, {24, 2}};
    for (std::size_t i = 25; i <= 40; ++i) {
        listOnlyOther.emplace_back(i, 0);
    }
    ASSERT_EQ((*unit.Command('H', listOnlyOther))[13], 20);
    EXPECT_FALSE(unit.Command('1')) << "127.0.0.1 is not listed";
    EXPECT_FALSE(unit.Command('2'));
    EXPECT_EQ(unit.Server().State().relayOn[0], false) << "ignored, not obeyed";
    const auto listed = unit.Exchange(Frame('1'), &other);
    ASSERT_TRUE(listed);
    EXPECT_EQ((*listed)[13], 1);
    ASSERT_EQ((*unit.Exchange(Frame('H', {{20, 0}}), &other))[13], 20);
    EXPECT_TRUE(unit.Command('1'));
}

TEST(UnitAccess, ConsoleAllowsEveryClientAgain) {
    UnitHarness unit;
    ASSERT_TRUE(unit.Command('H', {{20, 1}, {21, 10}, {22, 1}, {23, 1}, {24, 1}}));
    EXPECT_FALSE(unit.Command('1'));
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
    EXPECT_FALSE(unit.Exchange(Bytes{}));
    EXPECT_FALSE(unit.Exchange(noMagic));
    EXPECT_FALSE(unit.Exchange(Frame('B')));
    EXPECT_FALSE(unit.Exchange(Frame('a')));
    EXPECT_FALSE(unit.Exchange(Frame('B', {}, "wrong")));
    EXPECT_TRUE(unit.Exchange(longFrame)) << "bytes after the frame are not read";
    EXPECT_NE(unit.Log()[0].find("short datagram (284 bytes), no answer"), std::string::npos);
}

TEST(UnitPolicy, EveryNthReplyIsDropped) {
    UnitHarness unit;
    EXPECT_EQ(unit.Console("drop 3"), "1 reply in 3 is dropped\n");
    std::string answered;
    for (int i = 0; i < 7; ++i) {
        answered += unit.Command('5') ? 'y' : 'n';
    }
    EXPECT_EQ(answered, "yynyyny");
    EXPECT_NE(unit.Log()[2].find("\"5\" relay 2 on (reply dropped)"), std::string::npos);
    EXPECT_TRUE(unit.Server().State().relayOn[1]) << "a dropped reply's command still acts";
    unit.Console("drop 0");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(unit.Command('1'));
    }
}

TEST(UnitPolicy, DelayedReplyLeavesWhenItsTimeComes) {
    UnitHarness unit;
    unit.Console("delay 500");
    EXPECT_FALSE(unit.Command('1'));
    unit.Advance(499ms);
    EXPECT_FALSE(unit.Receive());
    unit.Advance(1ms);
    const auto reply = unit.Receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 137u);
    EXPECT_EQ(unit.Server().IdleTime(100ms), 100ms);
}

TEST(UnitPolicy, ShorterDelayOvertakesALongerOne) {
    UnitHarness unit;
    unit.Console("delay 500");
    EXPECT_FALSE(unit.Command('L'));
    unit.Console("delay 0");
    const auto quick = unit.Command('1');
    ASSERT_TRUE(quick);
    EXPECT_EQ(quick->size(), 137u);
    EXPECT_EQ(unit.Server().IdleTime(1000ms), 500ms);
    unit.Advance(500ms);
    const auto slow = unit.Receive();
    ASSERT_TRUE(slow);
    EXPECT_EQ(slow->size(), 270u);
}

TEST(UnitPolicy, LogLineNamesSenderLetterAndAction) {
    UnitHarness unit;
    unit.Command('1');
    ASSERT_EQ(unit.Log().size(), 1u);
    const std::string& line = unit.Log()[0];
    EXPECT_EQ(line.substr(0, 10), "     0.000");
    EXPECT_NE(line.find(" from 127.0.0.1:"), std::string::npos);
    EXPECT_EQ(line.substr(line.size() - 17), "\"1\" status record");
}

}  // namespace
}  // namespace varnex::unit::testing
