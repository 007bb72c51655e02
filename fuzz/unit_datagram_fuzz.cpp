// Any datagram to the simulated unit. Odd first bytes get a valid magic and
// password so that every command's parameter handling is reached; the
// unit's state carries over from one input to the next.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "protocol/wire_format.h"
#include "unit/command_handler.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static unit::UnitSetup setup = [] {
        unit::UnitSetup s;
        s.boards = {true, false, true, false, false, true};
        return s;
    }();
    static unit::UnitState state = unit::MakeUnitState(setup, unit::UnitTime{0});
    static int64_t clock = 0;
    if (size == 0) {
        return 0;
    }
    if (data[0] == 0xFF) {
        state = unit::MakeUnitState(setup, unit::UnitTime{clock});  // e.g. after "H" shut us out
    }
    std::vector<uint8_t> datagram(data + 1, data + size);
    if ((data[0] & 1) && datagram.size() >= wire::kPasswordOffset + wire::kPasswordSize) {
        std::memcpy(datagram.data(), wire::kMagic.data(), wire::kMagic.size());
        std::memcpy(datagram.data() + wire::kPasswordOffset, state.password.data(),
                    state.password.size());
    }
    clock += data[0] * 37;  // time moves on: scripts, timers and toggles run
    const unit::HandledDatagram handled =
        unit::HandleDatagram(state, datagram, unit::Address4{127, 0, 0, 1}, unit::UnitTime{clock});
    if (handled.reply && handled.reply->size() > wire::kReplyBufferSize) {
        __builtin_trap();
    }
    if (datagram.size() < wire::kCommandFrameSize && handled.reply) {
        __builtin_trap();  // a short datagram is never answered
    }
    return 0;
}
