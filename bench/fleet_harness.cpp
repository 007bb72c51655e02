// The fleet figures' load generator and meter (bench/fleet drives it):
//   poll FIRST COUNT PORT SECONDS   polls COUNT units from FIRST at 1/s with the
//                                   fleet poller and reports its thread's CPU per
//                                   poll and every loss
//   get URL COUNT [gzip]            times COUNT sequential GETs (percentiles)
//   probes HOST:PORT PREFIX N SILENT_PREFIX M SECONDS
//                                   times probes of PREFIX1..N (answering) from two
//                                   threads for SECONDS while four threads probe
//                                   SILENT_PREFIX1..M and one scrapes /metrics each second
// Plain sockets for HTTP, so the client's own cost stays out of the figures.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fleet/fleet_poller.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int Poll(uint32_t first, std::size_t count, uint16_t port, int seconds) {
    varnex::fleet::PollerOptions options{.bindAddress = "127.0.0.1"};
    if (const char* window = std::getenv("VARNEX_SEND_WINDOW_MS")) {
        options.sendWindow = std::chrono::milliseconds(std::atoi(window));
    }
    varnex::fleet::FleetPoller poller(options);
    if (!poller.Error().empty()) {
        std::fprintf(stderr, "%s\n", poller.Error().c_str());
        return 1;
    }
    std::vector<varnex::fleet::StationSetup> stations(count);
    for (std::size_t i = 0; i < count; ++i) {
        stations[i].id = std::to_string(i);
        stations[i].address = first + static_cast<uint32_t>(i);
        stations[i].port = port;
        stations[i].password = "tamble";
        stations[i].timeout = 500ms;
    }
    // One round of warm-up (the simulator's first replies, page faults), then the measured span.
    const auto start = Clock::now();
    poller.SetStations(stations, start);
    auto run = [&poller](Clock::time_point end) {
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            const bool watch = now >= poller.NextRead();
            const auto next = std::min(
                {poller.NextDeadline().value_or(end), end, watch ? end : poller.NextRead()});
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now);
            pollfd ready{watch ? poller.Descriptor() : -1, POLLIN, 0};
            poll(&ready, 1, static_cast<int>(std::max<long>(wait.count(), 0)));
            const auto at = Clock::now();
            if ((ready.revents & POLLIN) != 0) {
                poller.OnReadable(at);
            }
            poller.Advance(at);
        }
    };
    run(start + 2s);
    const auto totals = [&poller, count] {
        std::pair<uint64_t, uint64_t> sentReceived;
        for (std::size_t i = 0; i < count; ++i) {
            sentReceived.first += poller.Status(i).sent;
            sentReceived.second += poller.Status(i).received;
        }
        return sentReceived;
    };
    const auto before = totals();
    const double cpuBefore = ThreadCpuSeconds();
    const auto measured = Clock::now();
    run(measured + std::chrono::seconds(seconds));
    const double cpu = ThreadCpuSeconds() - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - measured).count();
    const auto after = totals();
    run(Clock::now() + 600ms);  // the last requests' replies or timeouts
    uint64_t sent = 0, received = 0, lost = 0, late = 0, silent = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto& s = poller.Status(i);
        sent += s.sent;
        received += s.received;
        lost += s.lost;
        late += s.late;
        silent += s.silent ? 1 : 0;
    }
    const uint64_t polls = after.first - before.first;
    std::printf(
        "units %zu, seconds %.1f, polls %llu (%.0f/s), replies %llu, cpu %.3f s = %.2f %% of a "
        "core, %.3f us per poll\n",
        count, wall, static_cast<unsigned long long>(polls), polls / wall,
        static_cast<unsigned long long>(after.second - before.second), cpu, 100 * cpu / wall,
        1e6 * cpu / static_cast<double>(polls));
    std::printf(
        "whole run: sent %llu, received %llu, lost %llu, late %llu, silent units %llu, "
        "foreign %llu, send errors %llu, receive buffer %d bytes\n",
        static_cast<unsigned long long>(sent), static_cast<unsigned long long>(received),
        static_cast<unsigned long long>(lost), static_cast<unsigned long long>(late),
        static_cast<unsigned long long>(silent),
        static_cast<unsigned long long>(poller.Counters().foreign),
        static_cast<unsigned long long>(poller.Counters().sendErrors),
        poller.Counters().grantedReceiveBuffer);
    return lost == 0 && late == 0 ? 0 : 3;
}

// One GET on a fresh connection; the seconds until the whole body arrived,
// negative on failure.
double Get(const sockaddr_in& server, const std::string& path, bool gzip, std::size_t* bytes) {
    const auto start = Clock::now();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        close(fd);
        return -1;
    }
    const std::string request = "GET " + path +
                                " HTTP/1.1\r\nHost: bench\r\nConnection: close\r\n" +
                                (gzip ? "Accept-Encoding: gzip\r\n" : "") +
                                "X-Prometheus-Scrape-Timeout-Seconds: 1\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        close(fd);
        return -1;
    }
    static thread_local std::vector<char> buffer(1 << 20);
    std::size_t total = 0;
    for (ssize_t n; (n = recv(fd, buffer.data(), buffer.size(), 0)) > 0;) {
        total += static_cast<std::size_t>(n);
    }
    close(fd);
    if (bytes != nullptr) {
        *bytes = total;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

sockaddr_in Server(const std::string& hostPort) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    const auto colon = hostPort.rfind(':');
    inet_pton(AF_INET, hostPort.substr(0, colon).c_str(), &server.sin_addr);
    server.sin_port = htons(static_cast<uint16_t>(std::stoi(hostPort.substr(colon + 1))));
    return server;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

int TimeGets(const std::string& hostPort, const std::string& path, int count, bool gzip) {
    const sockaddr_in server = Server(hostPort);
    std::vector<double> times;
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const double seconds = Get(server, path, gzip, &bytes);
        if (seconds < 0) {
            std::fprintf(stderr, "GET %s failed\n", path.c_str());
            return 1;
        }
        times.push_back(seconds);
    }
    std::printf("GET %s%s x%d: median %.1f ms, p90 %.1f ms, max %.1f ms, %zu bytes\n", path.c_str(),
                gzip ? " (gzip)" : "", count, 1e3 * Percentile(times, 0.5),
                1e3 * Percentile(times, 0.9), 1e3 * Percentile(times, 1.0), bytes);
    return 0;
}

// Probes of `answering` targets, timed, while one thread probes `silent` ones
// (each takes its whole budget) and another scrapes /metrics without pause.
int TimeProbes(const std::string& hostPort, const std::vector<std::string>& answering,
               const std::vector<std::string>& silent, int seconds) {
    const sockaddr_in server = Server(hostPort);
    std::atomic<bool> stop{false};
    std::atomic<int> silentProbes{0}, scrapes{0};
    std::vector<std::thread> background;
    for (int t = 0; t < 4; ++t) {
        background.emplace_back([&, t] {
            for (std::size_t i = static_cast<std::size_t>(t); !stop; i += 4) {
                Get(server, "/probe?target=" + silent[i % silent.size()], false, nullptr);
                ++silentProbes;
            }
        });
    }
    // A Prometheus server scraping /metrics each second.
    background.emplace_back([&] {
        while (!stop) {
            const auto next = Clock::now() + 1s;
            Get(server, "/metrics", true, nullptr);
            ++scrapes;
            while (!stop && Clock::now() < next) {
                std::this_thread::sleep_for(10ms);
            }
        }
    });
    // Two scrapers of answering units at once, as a Prometheus server's
    // scrapes overlap.
    constexpr std::size_t kTimed = 2;
    std::array<std::vector<double>, kTimed> timed;
    std::vector<std::thread> timers;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    for (std::size_t t = 0; t < kTimed; ++t) {
        timers.emplace_back([&, t] {
            for (std::size_t i = t; Clock::now() < end; i += kTimed) {
                timed[t].push_back(Get(server, "/probe?target=" + answering[i % answering.size()],
                                       false, nullptr));
            }
        });
    }
    for (auto& thread : timers) {
        thread.join();
    }
    std::vector<double> times = timed[0];
    times.insert(times.end(), timed[1].begin(), timed[1].end());
    stop = true;
    for (auto& thread : background) {
        thread.join();
    }
    std::printf(
        "probes of answering units x%zu (silent probes beside: %d, /metrics scrapes beside: "
        "%d): median %.2f ms, p99 %.2f ms, max %.2f ms\n",
        times.size(), silentProbes.load(), scrapes.load(), 1e3 * Percentile(times, 0.5),
        1e3 * Percentile(times, 0.99), 1e3 * Percentile(times, 1.0));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 5 && a[0] == "poll") {
        in_addr first{};
        inet_pton(AF_INET, a[1].c_str(), &first);
        return Poll(ntohl(first.s_addr), std::stoul(a[2]), static_cast<uint16_t>(std::stoi(a[3])),
                    std::stoi(a[4]));
    }
    if (a.size() >= 4 && a[0] == "get") {
        return TimeGets(a[1], a[2], std::stoi(a[3]), a.size() > 4 && a[4] == "gzip");
    }
    if (a.size() == 7 && a[0] == "probes") {
        std::vector<std::string> answering, silent;
        for (int i = 1; i <= std::stoi(a[3]); ++i) {
            answering.push_back(a[2] + std::to_string(i));
        }
        for (int i = 1; i <= std::stoi(a[5]); ++i) {
            silent.push_back(a[4] + std::to_string(i));
        }
        return TimeProbes(a[1], answering, silent, std::stoi(a[6]));
    }
    std::fprintf(stderr, "usage: see the top of fleet_harness.cpp\n");
    return 2;
}
