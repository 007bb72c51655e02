// varnexd: polls a fleet of units and serves their readings to Prometheus.
#include <malloc.h>
#include <sys/signalfd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "varnexd/daemon.h"

namespace {

constexpr int kBadUsage = 2;
constexpr int kFailed = 1;
// Probes wait on their unit; enough threads that many silent units at once
// leave room for /metrics.
constexpr int kHttpThreads = 32;
constexpr int kLargeBlock = 256 * 1024;

void LogLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace varnex::varnexd;
    std::signal(SIGPIPE, SIG_IGN);
    // A scrape of a large fleet builds text of many megabytes in one of
    // many HTTP threads. A fixed threshold keeps such blocks mapped and
    // returned on free; glibc's moving one would keep them in each thread's
    // heap for good, and peak memory would grow with every thread.
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
    const ParsedDaemonOptions parsed = ParseDaemonOptions(
        std::vector<std::string>(argv + 1, argv + argc), std::getenv("VARNEX_UNIT_PORT"));
    if (!parsed.options) {
        std::fprintf(stderr, "varnexd: %s (see --help)\n", parsed.error.c_str());
        return kBadUsage;
    }
    if (parsed.options->help) {
        std::fputs(DaemonUsage().c_str(), stdout);
        return 0;
    }
    // Blocked before any thread starts, so every thread leaves them to the signalfd.
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        sigaddset(&signals, signal);
    }
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);

    Daemon daemon(*parsed.options, LogLine);
    std::string error;
    if (!daemon.Start(error)) {
        LogLine("varnexd: " + error);
        return kFailed;
    }
    HttpEndpoint http([&daemon](const HttpRequest& request) { return daemon.Answer(request); });
    if (!http.Start(parsed.options->listen, kHttpThreads, error)) {
        LogLine("varnexd: " + error);
        return kFailed;
    }
    LogLine("varnexd: listening on " + parsed.options->listen);
    daemon.Run(signalFd);
    return 0;
}
