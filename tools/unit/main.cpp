// varnex-unit: the unit simulator as a program. See UsageText for its
// command line and console.
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "unit/unit_console.h"
#include "unit/unit_fleet.h"
#include "unit/unit_options.h"
#include "unit/unit_server.h"

namespace {

using namespace varnex::unit;
using std::chrono::milliseconds;

constexpr int kBadUsage = 2;
// The loop wakes at least this often so the unit's own events (timer,
// scripts, toggles) are logged close to when they happen.
constexpr milliseconds kTick{100};
// A line longer than this is garbage, not a command.
constexpr std::size_t kMaxConsoleLine = 4096;

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);  // a test or a demo reads the log through a pipe
}

// Standard input at /dev/null (a background demo) means no console rather
// than an immediate end of input.
bool ConsoleAttached() {
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && !(S_ISCHR(info.st_mode) && !isatty(STDIN_FILENO));
}

// Runs every complete line in `input`; false when the console asked to quit.
bool RunConsoleLines(UnitFleet& fleet, std::string& input) {
    for (auto end = input.find('\n'); end != std::string::npos; end = input.find('\n')) {
        const ConsoleReply reply = RunFleetConsoleLine(fleet, input.substr(0, end));
        input.erase(0, end + 1);
        std::fputs(reply.output.c_str(), stdout);
        std::fflush(stdout);
        if (reply.quit) {
            return false;
        }
    }
    if (input.size() > kMaxConsoleLine) {
        input.clear();
    }
    return true;
}

int Run(const UnitOptions& options) {
    UnitFleet fleet(MonotonicClock(), options.quiet ? UnitServer::LogSink() : PrintLine);
    std::string error;
    if (!fleet.Start(options.setup, options.units, options.port, error)) {
        std::fprintf(stderr, "varnex-unit: %s\n", error.c_str());
        return kBadUsage;
    }
    for (std::size_t i = 0; i < fleet.Size(); ++i) {
        fleet.Unit(i).SetDropEvery(options.dropEvery);
        fleet.Unit(i).SetReplyDelay(milliseconds(options.delayMs));
    }
    const auto where = [](UnitServer& unit) {
        return unit.Address() + ":" + std::to_string(unit.Port());
    };
    std::string listening = "varnex-unit listening on " + where(fleet.Unit(0));
    if (fleet.Size() > 1) {
        listening += " ... " + where(fleet.Unit(fleet.Size() - 1)) + " (" +
                     std::to_string(fleet.Size()) + " units)";
    }
    PrintLine(listening);

    const bool console = ConsoleAttached();
    std::string input;
    for (;;) {
        pollfd ready[2] = {{fleet.Descriptor(), POLLIN, 0},
                           {console ? STDIN_FILENO : -1, POLLIN, 0}};
        poll(ready, 2, static_cast<int>(fleet.IdleTime(kTick).count()));
        fleet.Serve();
        if ((ready[1].revents & (POLLIN | POLLHUP)) != 0) {
            char buffer[1024];
            const ssize_t size = read(STDIN_FILENO, buffer, sizeof buffer);
            if (size <= 0) {
                return 0;  // end of input
            }
            input.append(buffer, static_cast<std::size_t>(size));
            if (!RunConsoleLines(fleet, input)) {
                return 0;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const ParsedOptions parsed = ParseUnitOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "varnex-unit: %s (see --help)\n", parsed.error.c_str());
        return kBadUsage;
    }
    if (parsed.options->help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    return Run(*parsed.options);
}
