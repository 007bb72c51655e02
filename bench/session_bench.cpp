// What one poll period costs the client when the unit answers every request,
// the script-table request included, with a status record that reports a
// running relay timer: the case that once looped at network speed.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "protocol/wire_format.h"
#include "session/session.h"

namespace varnex {
namespace {

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool Readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

// A unit on 127.0.0.1 that answers each datagram with the same status record.
class StormingUnit {
  public:
    StormingUnit() : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local);
        socklen_t size = sizeof local;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
        port_ = ntohs(local.sin_port);
        record_[wire::kFirmwareOffset] = 1;
        record_[wire::kFirmwareOffset + 1] = 7;
        record_[wire::kFirmwareOffset + 2] = 4;
        record_[wire::kTimerSecondsOffset + 2] = 90;  // the timer runs
        record_[wire::kTimerSecondsOffset + 3] = 1;
    }
    ~StormingUnit() { close(fd_); }
    uint16_t port() const { return port_; }

    // Answers one waiting datagram; false when none came within the wait.
    bool AnswerOne(int waitMs) {
        if (!Readable(fd_, waitMs)) {
            return false;
        }
        std::vector<uint8_t> request(2048);
        sockaddr_in sender{};
        socklen_t size = sizeof sender;
        if (recvfrom(fd_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&sender),
                     &size) < 0) {
            return false;
        }
        sendto(fd_, record_.data(), record_.size(), 0, reinterpret_cast<const sockaddr*>(&sender),
               size);
        return true;
    }

  private:
    int fd_;
    uint16_t port_ = 0;
    std::vector<uint8_t> record_ = std::vector<uint8_t>(wire::kStatusRecordSize, 0);
};

void BM_PollPeriodWithAUnitAnsweringEveryRequest(benchmark::State& state) {
    StormingUnit unit;
    LoadedStation station;
    station.address = "127.0.0.1";
    station.password = "tamble****";
    PlatformHooks hooks;
    Session session(hooks, SessionSeams{[&](const std::string&) { return station; },
                                        [] { return std::string("127.0.0.1"); },
                                        [] { return 2026; }, LinkOptions{unit.port()}});
    session.StartSession();
    int datagrams = 0;
    // Everything the client sends in one period is answered; the period is
    // over once the client has gone quiet for 5 ms.
    const auto period = [&] {
        while (unit.AnswerOne(5)) {
            ++datagrams;
            if (Readable(session.link().socketDescriptor(), 100)) {
                session.OnSocketNotification();
            }
        }
    };
    period();
    datagrams = 0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        session.OnTimer(kPollTimer);
        period();
    }
    const double cpuPerPeriod = (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    // At one poll a second, the CPU of one period is the share of a core.
    state.counters["core_percent"] = cpuPerPeriod * 100.0;
    state.counters["datagrams_per_poll"] =
        static_cast<double>(datagrams) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PollPeriodWithAUnitAnsweringEveryRequest)->Iterations(200);

}  // namespace
}  // namespace varnex
