#include "varnexctl/watch_loop.h"

#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>

#include "text/conversions.h"
#include "varnexctl/formatted_text.h"
#include "varnexctl/status_report.h"

namespace varnex::ctl {
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

class SignalScope {
  public:
    SignalScope() {
        struct sigaction action {};
        action.sa_handler = OnInterrupt;  // no SA_RESTART: the wait ends at once
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &savedInt_);
        sigaction(SIGTERM, &action, &savedTerm_);
        signal(SIGPIPE, SIG_IGN);  // a closed pipe shows as a failed write instead
    }
    ~SignalScope() {
        sigaction(SIGINT, &savedInt_, nullptr);
        sigaction(SIGTERM, &savedTerm_, nullptr);
    }

  private:
    struct sigaction savedInt_ {};
    struct sigaction savedTerm_ {};
};

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string CsvHeader() {
    std::string header = "seq,round_trip_ms";
    for (int n = 1; n <= 8; ++n) {
        header += ",volts" + std::to_string(n) + ",raw" + std::to_string(n);
    }
    return header +
           ",celsius,relay1_unit_on,relay2_unit_on,relay3_unit_on,pin1,pin2,pin3,pin4,pin5,"
           "uptime_seconds\n";
}

std::string Line(WatchFormat format, long seq, double ms, const StatusRecord& record,
                 const VoltmeterJumpers& jumpers) {
    if (format == WatchFormat::Json) {
        nlohmann::ordered_json line = {{"seq", seq},
                                       {"round_trip_ms", std::round(ms * 1000) / 1000}};
        line.update(StatusJson(record, jumpers));
        return JsonText(line) + "\n";
    }
    const Readings r = DecodeReadings(record, jumpers);
    std::string line;
    const bool csv = format == WatchFormat::Csv;
    AppendFormatted(line, csv ? "%ld,%.3f" : "seq=%ld time=%.3f ms  V", seq, ms);
    for (const VoltmeterReading& v : r.voltmeters) {
        if (csv) {
            AppendFormatted(line, ",%.3f,%u", static_cast<double>(v.volts), v.raw);
        } else {
            AppendFormatted(line, " %.3f", static_cast<double>(v.volts));
        }
    }
    if (r.temperature) {
        AppendFormatted(line, csv ? ",%.1f" : "  %.1f C",
                        static_cast<double>(r.temperature->Celsius()));
    } else {
        line += csv ? "," : "  ? C";
    }
    line += csv ? "" : "  relays";
    for (const RelayReading& relay : r.relays) {
        if (csv) {
            AppendFormatted(line, ",%d", relay.unitSaysOn ? 1 : 0);
        } else {
            AppendFormatted(line, " %s", relay.unitSaysOn ? "ON" : "OFF");
        }
    }
    line += csv ? "" : "  pins ";
    for (bool pin : r.pinsHigh) {
        AppendFormatted(line, csv ? ",%d" : "%d", pin ? 1 : 0);
    }
    AppendFormatted(line, csv ? ",%u\n" : "  up %u s\n", r.uptimeSeconds);
    return line;
}

// False when the reader went away (a closed pipe).
bool Emit(std::FILE* out, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

}  // namespace

std::optional<Failure> CheckWatchInterval(double intervalSeconds, const std::string& address,
                                          bool flood) {
    const std::optional<uint32_t> parsed = ParseDottedAddress(address);
    const bool loopback = parsed && (*parsed >> 24) == 127;
    if (intervalSeconds < kFloodInterval && !flood && !loopback) {
        return UsageError(
            "--interval: under 0.1 s only toward 127.0.0.0/8, unless --flood is given");
    }
    return std::nullopt;
}

int RunWatch(UnitExchange& exchange, const WatchOptions& options, const VoltmeterJumpers& jumpers,
             std::FILE* out, std::FILE* summary) {
    SignalScope signals;
    interrupted = 0;
    if (options.format == WatchFormat::Csv && !Emit(out, CsvHeader())) {
        return kSuccess;
    }
    long sent = 0;
    long received = 0;
    double minimum = 0, maximum = 0, total = 0;
    const auto interval = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(options.intervalSeconds));
    auto next = std::chrono::steady_clock::now();
    int status = kSuccess;
    while (!interrupted && (options.count == 0 || sent < options.count)) {
        BuildCommand(exchange.command(), Command::Status, exchange.unit().password);
        auto result = exchange.SendOnce();
        ++sent;
        if (auto* failure = std::get_if<Failure>(&result)) {
            std::fprintf(stderr, "varnexctl: %s\n", failure->message.c_str());
            return failure->status;
        }
        const std::optional<Reply>& reply = std::get<std::optional<Reply>>(result);
        if (reply && reply->kind == ReplyKind::PasswordRefused) {
            std::fprintf(stderr, "varnexctl: %s\n",
                         PasswordRefusedFailure(exchange.unit()).message.c_str());
            return kPasswordRefused;
        }
        const StatusRecord record = reply ? DecodeStatusRecord(reply->bytes) : StatusRecord{};
        if (reply && reply->kind == ReplyKind::Status && IsValidStatusRecord(record, reply->size)) {
            const double ms = Milliseconds(reply->roundTrip);
            minimum = received == 0 ? ms : std::min(minimum, ms);
            maximum = std::max(maximum, ms);
            total += ms;
            ++received;
            if (!Emit(out, Line(options.format, sent, ms, record, jumpers))) {
                return kSuccess;  // the reader has all it wanted
            }
        }
        next += interval;
        const auto now = std::chrono::steady_clock::now();
        if (next > now && !interrupted && (options.count == 0 || sent < options.count)) {
            // nanosleep, unlike sleep_for, returns at a signal: Ctrl-C ends at once.
            const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(next - now);
            const timespec pause{static_cast<time_t>(wait.count() / 1000000000),
                                 static_cast<long>(wait.count() % 1000000000)};
            nanosleep(&pause, nullptr);
        } else if (next < now) {
            next = now;  // a slow reply does not make the next ones burst
        }
    }
    const long lost = sent - received;
    std::fprintf(summary, "--- %s varnexctl watch ---\n%ld sent, %ld received, %.1f%% lost",
                 exchange.unit().address.c_str(), sent, received,
                 sent == 0 ? 0.0 : 100.0 * static_cast<double>(lost) / static_cast<double>(sent));
    if (received > 0) {
        std::fprintf(summary, ", round trip min/avg/max = %.3f/%.3f/%.3f ms", minimum,
                     total / static_cast<double>(received), maximum);
    }
    std::fprintf(summary, "\n");
    std::fflush(summary);
    if (received == 0) {
        status = kNoAnswer;
    }
    return status;
}

}  // namespace varnex::ctl
