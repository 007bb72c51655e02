// Speed of reading a status reply and of one poll's round trip on loopback.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "protocol/script_record.h"
#include "protocol/device_link.h"
#include "protocol/status_record.h"
#include "session/status_display.h"

namespace varnex {
namespace {

ReplyBuffer SampleStatus() {
    ReplyBuffer reply{};
    const uint8_t mac[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    std::memcpy(reply.data() + wire::kMacOffset, mac, sizeof mac);
    for (std::size_t n = 0; n < wire::kVoltmeterCount; ++n) {
        reply[wire::kVoltmeterOffset + 2 * n] = static_cast<uint8_t>(40 + 20 * n);
        reply[wire::kVoltmeterOffset + 2 * n + 1] = 7;
    }
    const uint8_t firmware[] = {1, 7, 4, 21, 0x80};
    std::memcpy(reply.data() + wire::kFirmwareOffset, firmware, sizeof firmware);
    std::memcpy(reply.data() + wire::kStationNameOffset, "Lab Unit            ", 20);
    const uint8_t timer[] = {0x01, 0x5F, 0xCD, 1, 0x20};
    std::memcpy(reply.data() + wire::kTimerSecondsOffset, timer, sizeof timer);
    return reply;
}

LoadedStation SampleStation() {
    LoadedStation station;
    station.jumper6 = "ON";
    station.views = {"STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR", "STANDARD", "BAR"};
    return station;
}

// What a status reply does: decode, show, keep the snapshot.
void ParseStatus(const ReplyBuffer& reply, DisplayState& display, StatusSnapshot& snapshot,
                 const LoadedStation& station, const ScriptTable& scripts) {
    const StatusRecord record = DecodeStatusRecord(reply);
    ShowStatusReadouts(display, record, station);
    UpdateSnapshot(snapshot, record);
    ShowRunningRelayTimer(display, record, scripts);
}

void BM_ParseStatusReply(benchmark::State& state) {
    const ReplyBuffer reply = SampleStatus();
    const LoadedStation station = SampleStation();
    ScriptTable scripts;
    scripts[1].name = "Morning         ";
    DisplayState display;
    StatusSnapshot snapshot;
    for (auto _ : state) {
        ParseStatus(reply, display, snapshot, station, scripts);
        benchmark::DoNotOptimize(display);
    }
}
BENCHMARK(BM_ParseStatusReply)->Repetitions(5)->ReportAggregatesOnly(true);

// A unit on 127.0.0.1 answering every request with the sample status.
void BM_LoopbackRoundTrip(benchmark::State& state) {
    const int unit = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(unit, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(unit, reinterpret_cast<sockaddr*>(&address), &size);

    PlatformHooks hooks;
    PacketCounters counters;
    DeviceLink link(hooks, counters, LinkOptions{ntohs(address.sin_port)});
    const ReplyBuffer status = SampleStatus();
    const LoadedStation station = SampleStation();
    const ScriptTable scripts;
    DisplayState display;
    StatusSnapshot snapshot;
    uint8_t request[wire::kCommandBufferSize];
    for (auto _ : state) {
        BuildCommand(link.command(), Command::Status, "secret");
        if (!link.SendPacket("127.0.0.1")) {
            state.SkipWithError("send failed");
            break;
        }
        sockaddr_in client{};
        socklen_t clientSize = sizeof client;
        recvfrom(unit, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&client),
                 &clientSize);
        sendto(unit, status.data(), wire::kStatusRecordSize, 0,
               reinterpret_cast<sockaddr*>(&client), clientSize);
        pollfd readable{link.socketDescriptor(), POLLIN, 0};
        if (poll(&readable, 1, 1000) != 1 || link.OnSocketNotification(0) != ReadResult::Received) {
            state.SkipWithError("no reply");
            break;
        }
        ParseStatus(link.reply(), display, snapshot, station, scripts);
    }
    close(unit);
}
BENCHMARK(BM_LoopbackRoundTrip)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace varnex
