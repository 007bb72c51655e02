// Any datagram into the reply buffer (older bytes stay, as on the wire),
// sorted and shown the way a session shows it: status readouts, snapshot,
// relay-timer row, script table and its decoded steps.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "protocol/script_record.h"
#include "protocol/reply_kind.h"
#include "protocol/status_record.h"
#include "session/display_state.h"
#include "session/status_display.h"

using namespace varnex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ReplyBuffer reply{};
    static DisplayState display{};
    static StatusSnapshot snapshot{};
    static ScriptTable scripts{};
    if (size == 0) {
        return 0;
    }
    // The first byte picks the station's views and jumpers.
    LoadedStation station;
    station.jumper6 = (data[0] & 1) ? "ON" : "OFF";
    station.jumper7 = (data[0] & 2) ? "ON" : "";
    for (std::size_t i = 0; i < station.views.size(); ++i) {
        station.views[i] = (data[0] >> (i % 6)) & 4 ? "STANDARD" : "GRAPHICAL";
    }
    const std::size_t length = std::min(size - 1, reply.size());
    std::memcpy(reply.data(), data + 1, length);

    switch (ClassifyReply(reply)) {
        case ReplyKind::PasswordRefused:
            break;
        case ReplyKind::ScriptTable:
            StoreScriptTable(scripts, reply);
            for (const ScriptSlot& slot : scripts) {
                if (slot.name.size() > 16 || DecodeScriptSteps(slot.codes).size() > 16) {
                    __builtin_trap();
                }
            }
            break;
        case ReplyKind::ReturnMessage:
            if (!ReturnMessageText(reply[wire::kReplyTypeOffset])) {
                __builtin_trap();
            }
            break;
        case ReplyKind::Status: {
            const StatusRecord record = DecodeStatusRecord(reply);
            ShowStatusReadouts(display, record, station);
            UpdateSnapshot(snapshot, record);
            if (record.timerRunning) {
                ShowRunningRelayTimer(display, record, scripts);
            }
            for (const VoltmeterDisplay& voltmeter : display.voltmeters) {
                // A hidden bar may keep a position from another range.
                if (voltmeter.barVisible &&
                    (voltmeter.barPosition < 0 || voltmeter.barPosition > voltmeter.barMaximum)) {
                    __builtin_trap();
                }
            }
            if (display.stationName.size() > wire::kStationNameSize) {
                __builtin_trap();
            }
            break;
        }
    }
    return 0;
}
