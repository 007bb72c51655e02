// Who gets an answer: the password, the allowed-client list, malformed and
// random datagrams, and the reply policy (dropping, delaying).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "unit/command_handler.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::EndsWith;

Bytes Resized(Bytes bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

TEST(UnitPassword, WrongOneIsRefusedAndAChangeHoldsFromTheNextDatagram) {
    UnitHarness unit;
    for (char letter : {'1', '2'}) {
        EXPECT_EQ(unit.Exchange(Frame(letter, {}, "tamblf")), Header(1, 1)) << letter;
    }
    EXPECT_EQ(unit.Status()[36], 1) << "the refused relay command did nothing";
    const auto passwordStatus = [&](const Bytes& frame) {
        return unit.Exchange(frame).value_or(Bytes(14, 0xEE))[10];
    };
    ASSERT_EQ(passwordStatus(Frame('G', Text("newpw*****"))), 0);
    EXPECT_EQ(passwordStatus(Frame('1', {}, "tamble")), 1);
    EXPECT_EQ(passwordStatus(Frame('1', {}, "newpw")), 0);
}

TEST(UnitAccess, OnlyListedClientsGetAnswersUntilTheConsoleAllowsAll) {
    UnitHarness unit;
    ClientSocket other("127.0.0.2");
    ASSERT_EQ(unit.Type('H', Resized({1, 127, 0, 0, 2}, 21)), 20);
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
    Bytes noMagic = Frame('1');
    noMagic[0] = '&';
    // An unknown letter goes unanswered even with a wrong password.
    for (const Bytes& datagram :
         {Resized(Frame('1'), 284), noMagic, Frame('B'), Frame('B', {}, "wrong")}) {
        EXPECT_FALSE(unit.Exchange(datagram)) << datagram.size() << " bytes";
    }
    EXPECT_TRUE(unit.Exchange(Resized(Frame('1'), 600))) << "bytes after the frame are not read";
    EXPECT_THAT(unit.Log()[0], EndsWith(" short datagram (284 bytes), no answer"));
}

// Requests queue up while the unit is busy: one look at the socket serves
// them all (more than one read's worth), in the order they came.
TEST(UnitAccess, AQueuedBurstIsServedInFullAndInOrder) {
    UnitHarness unit;
    ClientSocket client;
    constexpr int kBurst = 40;
    constexpr int kShortAt = 20;
    for (int i = 0; i < kBurst; ++i) {
        ASSERT_TRUE(client.SendTo(unit.Server().Address(), unit.Server().Port(),
                                  i == kShortAt ? Resized(Frame('1'), 284) : Frame('1')));
    }
    unit.Server().Serve(kSilenceWait);
    int replies = 0;
    while (replies <= kBurst && client.Receive(200)) {
        ++replies;
    }
    EXPECT_EQ(replies, kBurst - 1);
    ASSERT_EQ(unit.Log().size(), static_cast<std::size_t>(kBurst));
    EXPECT_THAT(unit.Log()[kShortAt], EndsWith(" short datagram (284 bytes), no answer"));
}

// A status record, the script table, a bare return code or a password
// refusal; nothing else may leave the unit.
bool IsWellFormedReply(const Bytes& reply) {
    const uint8_t type = reply[13];
    const bool code = std::find(wire::kReturnCodes.begin(), wire::kReturnCodes.end(), type) !=
                      wire::kReturnCodes.end();
    return (reply.size() == 14 && reply[10] == 1) ||
           (reply[10] == 0 && ((reply.size() == 137 && type == 1) ||
                               (reply.size() == 270 && type == 2) || (reply.size() == 14 && code)));
}

// Half the datagrams pass the magic and password checks, so the commands'
// own parameter checks see random bytes too.
Bytes RandomDatagram(std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    if (random() % 2 == 0) {
        Bytes datagram(random() % 700);
        std::generate(datagram.begin(), datagram.end(), [&] { return byte(random); });
        return datagram;
    }
    Bytes frame = Frame(wire::kCommandLetters[random() % wire::kCommandLetters.size()]);
    for (std::size_t i = 20; i < frame.size(); ++i) {
        if (random() % 4 == 0) {
            frame[i] = static_cast<uint8_t>(byte(random));
        }
    }
    return frame;
}

TEST(UnitHostile, RandomDatagramsGetWellFormedRepliesOrNone) {
    std::mt19937 random(20261206);
    UnitSetup setup;
    setup.boards = {true, true, true, true, true, true};
    UnitState state = MakeUnitState(setup, UnitTime(0));
    UnitTime now(0);
    int answered = 0;
    for (int i = 0; i < 20000; ++i) {
        now += UnitTime(random() % 3000);
        const HandledDatagram handled =
            HandleDatagram(state, RandomDatagram(random), {127, 0, 0, 1}, now);
        if (handled.reply) {
            ++answered;
            const Bytes& reply = *handled.reply;
            ASSERT_TRUE(IsWellFormedReply(reply))
                << "datagram " << i << ": size " << reply.size() << " password byte "
                << int{reply[10]} << " type " << int{reply[13]};
        }
        // Keep the random commands reaching the unit: a changed password or
        // a client list would silence the rest of the run.
        state.password = PasswordField("tamble");
        state.allowMode = 0;
    }
    EXPECT_GT(answered, 5000);
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
