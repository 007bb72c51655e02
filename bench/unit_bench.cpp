// How fast the simulator answers status requests: the handler alone, and a
// full round trip over loopback UDP.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "unit/command_handler.h"
#include "unit/unit_server.h"

namespace {

using namespace varnex;
using namespace varnex::unit;

Bytes StatusRequest() {
    Bytes frame(wire::kCommandFrameSize, 0);
    std::copy(wire::kMagic.begin(), wire::kMagic.end(), frame.begin());
    frame[wire::kLetterOffset] = '1';
    const auto password = PasswordField(UnitSetup{}.password);
    std::copy(password.begin(), password.end(), frame.begin() + wire::kPasswordOffset);
    std::fill_n(frame.begin() + wire::kParameterOffset, wire::kFillerSize, wire::kFiller);
    return frame;
}

void BM_UnitHandlesStatusRequest(benchmark::State& bench) {
    UnitState state = MakeUnitState(UnitSetup{}, UnitTime(0));
    const Bytes request = StatusRequest();
    UnitTime now(0);
    for (auto _ : bench) {
        now += UnitTime(1);
        HandledDatagram handled = HandleDatagram(state, request, {127, 0, 0, 1}, now);
        benchmark::DoNotOptimize(handled.reply);
    }
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_UnitHandlesStatusRequest);

void BM_UnitStatusRoundTripOverLoopback(benchmark::State& bench) {
    UnitServer server(MakeUnitState(UnitSetup{}, UnitTime(0)), MonotonicClock(),
                      UnitServer::LogSink());
    std::string error;
    if (!server.Bind("127.0.0.1", 0, error)) {
        bench.SkipWithError(error.c_str());
        return;
    }
    const int client = socket(AF_INET, SOCK_DGRAM, 0);
    // A bounded blocking read: the client's own waiting is not the unit's work.
    const timeval limit{1, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(server.Port());
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    const Bytes request = StatusRequest();
    Bytes reply(1024);
    for (auto _ : bench) {
        sendto(client, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof to);
        server.Serve(std::chrono::milliseconds(100));
        if (recv(client, reply.data(), reply.size(), 0) <= 0) {
            bench.SkipWithError("no reply");
            break;
        }
    }
    close(client);
    bench.SetItemsProcessed(bench.iterations());
}
BENCHMARK(BM_UnitStatusRoundTripOverLoopback);

}  // namespace
