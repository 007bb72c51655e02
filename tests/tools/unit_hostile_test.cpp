// Random datagrams of any length and content: the unit never crashes and
// never answers with anything but one of its four reply forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "unit/command_handler.h"
#include "unit_harness.h"

namespace varnex::unit::testing {
namespace {

// A reply is a status record, the script table, a bare return code or a
// password refusal; nothing else may leave the unit.
::testing::AssertionResult IsWellFormedReply(const Bytes& reply) {
    const uint8_t type = reply[13];
    if (reply.size() == 14 && reply[10] == 1) {
        return ::testing::AssertionSuccess();
    }
    if (reply[10] != 0) {
        return ::testing::AssertionFailure() << "password byte " << int(reply[10]);
    }
    if (reply.size() == 137 && type == 1) {
        return ::testing::AssertionSuccess();
    }
    if (reply.size() == 270 && type == 2) {
        return ::testing::AssertionSuccess();
    }
    const bool code = std::find(wire::kReturnCodes.begin(), wire::kReturnCodes.end(), type) !=
                      wire::kReturnCodes.end();
    if (reply.size() == 14 && code) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "size " << reply.size() << " type " << int(type);
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
        const Bytes datagram = RandomDatagram(random);
        const HandledDatagram handled = HandleDatagram(state, datagram, {127, 0, 0, 1}, now);
        if (handled.reply) {
            ++answered;
            ASSERT_TRUE(IsWellFormedReply(*handled.reply)) << "datagram " << i;
        }
        // Keep the random commands reaching the unit: a changed password or
        // a client list would silence the rest of the run.
        state.password = PasswordField("tamble");
        state.allowMode = 0;
    }
    EXPECT_GT(answered, 5000);
}

}  // namespace
}  // namespace varnex::unit::testing
