// varnex_budget_harness: the real client, driven without a person, for the
// whole-program figures that bench/budget gathers.
//
//   varnex_budget_harness startup         process start to the first status reply shown
//   varnex_budget_harness poll SECONDS    CPU while the session polls
//   varnex_budget_harness about SECONDS   CPU while the About box is open and animating
//
// The station is 127.0.0.1, given as on the command line; the database,
// settings and unit port come from the environment as for varnex itself.
// Each mode prints one line of name=value pairs on standard output, or why
// it failed on standard error (exit status 1).
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include <charconv>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "session/display_state.h"
#include "ui/about/about_box.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/qt_platform_hooks.h"

namespace {

constexpr const char* kUsage =
    "usage: varnex_budget_harness startup | poll SECONDS | about SECONDS\n";
constexpr const char* kStation = "127.0.0.1";
// Loopback answers within milliseconds; this only keeps a broken setup bounded.
constexpr int kFirstReplyDeadlineMs = 15000;
constexpr int kMaxSeconds = 3600;

enum class Mode { Startup, Poll, About };

struct Request {
    Mode mode = Mode::Startup;
    int seconds = 0;
};

std::optional<Request> ReadRequest(int argc, char** argv) {
    const auto seconds = [&]() -> std::optional<int> {
        if (argc != 3) {
            return std::nullopt;
        }
        const std::string_view text(argv[2]);
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc{} || end != text.data() + text.size() || value < 1 ||
            value > kMaxSeconds) {
            return std::nullopt;
        }
        return value;
    };
    const std::string_view mode = argc >= 2 ? argv[1] : "";
    if (mode == "startup" && argc == 2) {
        return Request{Mode::Startup, 0};
    }
    const std::optional<int> duration = seconds();
    if (!duration) {
        return std::nullopt;
    }
    if (mode == "poll") {
        return Request{Mode::Poll, *duration};
    }
    if (mode == "about") {
        return Request{Mode::About, *duration};
    }
    return std::nullopt;
}

// The clock the kernel stamps a process's start with.
double BootClockMs() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// When the kernel created this process (before exec and dynamic loading),
// in whole clock ticks (10 ms here), so start-up reads up to one tick long.
std::optional<double> ProcessStartMs() {
    std::ifstream file("/proc/self/stat");
    std::string line;
    std::getline(file, line);
    // The command name in parentheses may hold blanks; fields go on after it.
    const auto nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    // Field 3 (state) is the first after the name; start time is field 22.
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22) {
            const double ticks = std::stod(field);
            return ticks * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    return std::nullopt;
}

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long PeakResidentKb() {
    std::ifstream file("/proc/self/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// Calls `onPaint` whenever the watched widget is about to paint.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(std::function<void()> onPaint) : onPaint_(std::move(onPaint)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            onPaint_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onPaint_;
};

bool failed = false;

// Also reached before the event loop runs (during start-up), hence the flag.
void Fail(const std::string& why) {
    failed = true;
    std::fprintf(stderr, "varnex_budget_harness: %s\n", why.c_str());
    QCoreApplication::exit(1);
}

void Report(const std::string& pairs) {
    std::printf("%s peak_rss_kb=%ld\n", pairs.c_str(), PeakResidentKb());
    std::fflush(stdout);
    QCoreApplication::exit(0);
}

// CPU use of the whole process over a stretch of wall time.
struct CpuWindow {
    double wallStartMs = BootClockMs();
    double cpuStartMs = CpuMs();

    double ElapsedMs() const { return BootClockMs() - wallStartMs; }

    std::string Pairs() const {
        const double wall = ElapsedMs();
        const double cpu = CpuMs() - cpuStartMs;
        char text[128];
        std::snprintf(text, sizeof text, "wall_ms=%.0f cpu_ms=%.1f cpu_percent=%.3f", wall, cpu,
                      100.0 * cpu / wall);
        return text;
    }
};

std::string Counters(varnex::MainWindowControls& controls) {
    return "sent=" + controls.sent->text().toStdString() +
           " received=" + controls.received->text().toStdString() +
           " lost=" + controls.lost->text().toStdString();
}

// The hooks of the real client, except that nothing may ask a person or
// start a program: either means the run went wrong.
varnex::PlatformHooks HarnessHooks(QWidget* window) {
    varnex::PlatformHooks hooks = varnex::MakeQtPlatformHooks(window);
    hooks.showMessage = [](const varnex::Message& message) {
        Fail("message box: " + message.text);
    };
    hooks.askYesNo = [](const varnex::Message& message) {
        Fail("question: " + message.text);
        return false;
    };
    hooks.launch = [](const std::vector<std::string>& argv) {
        Fail("refused to start " + (argv.empty() ? std::string("nothing") : argv.front()));
        return false;
    };
    return hooks;
}

class Harness {
  public:
    Harness(Request request, double mainEnteredMs)
        : request_(request), mainEnteredMs_(mainEnteredMs), window_(Options()) {}

    // Closed as a person closes it: destroying the window while it is shown
    // lets its controls call into members that are already gone.
    ~Harness() { window_.close(); }

    bool Start() {
        if (!window_.StartUp({"varnex", kStation}) || failed) {
            return false;
        }
        window_.controls().firmwareVersion->installEventFilter(&firmwareWatch_);
        window_.show();
        QTimer::singleShot(kFirstReplyDeadlineMs, &window_, [this] {
            if (!firstReplyShown_) {
                Fail("no status reply shown within " + std::to_string(kFirstReplyDeadlineMs) +
                     " ms (" + Counters(window_.controls()) + ")");
            }
        });
        return true;
    }

  private:
    void OnFirmwarePaint() {
        if (firstReplyShown_ ||
            window_.controls().firmwareVersion->text() == varnex::kFirmwareUnknownText) {
            return;
        }
        firstReplyShown_ = true;
        const double shownMs = BootClockMs();
        switch (request_.mode) {
            case Mode::Startup:
                ReportStartup(shownMs);
                break;
            case Mode::Poll:
                MeasurePolling();
                break;
            case Mode::About:
                // Leaves the paint handler first: the box runs a loop of its own.
                QTimer::singleShot(0, &window_, [this] { MeasureAboutBox(); });
                break;
        }
    }

    void ReportStartup(double shownMs) {
        const std::optional<double> started = ProcessStartMs();
        if (!started) {
            Fail("no start time in /proc/self/stat");
            return;
        }
        char text[128];
        std::snprintf(text, sizeof text, "startup_ms=%.1f from_main_ms=%.1f", shownMs - *started,
                      shownMs - mainEnteredMs_);
        Report(text);
    }

    void MeasurePolling() {
        const CpuWindow window;
        const std::string before = Counters(window_.controls());
        QTimer::singleShot(request_.seconds * 1000, Qt::PreciseTimer, &window_,
                           [this, window, before] {
                               Report(window.Pairs() + " before: " + before +
                                      " after: " + Counters(window_.controls()));
                           });
    }

    // Opens the box as the ABOUT button does; the measurement runs inside
    // the box's own modal loop and ends it.
    void MeasureAboutBox() {
        QTimer::singleShot(0, &window_, [this] {
            auto* box = window_.findChild<varnex::AboutBox*>();
            if (box == nullptr || !box->isVisible() || !box->Animating()) {
                Fail("the About box did not open");
                return;
            }
            box->installEventFilter(&aboutWatch_);
            const CpuWindow window;
            QTimer::singleShot(request_.seconds * 1000, Qt::PreciseTimer, box, [this, box, window] {
                char frames[64];
                std::snprintf(frames, sizeof frames, " frames=%d fps=%.1f", aboutFrames_,
                              aboutFrames_ / (window.ElapsedMs() / 1e3));
                const std::string pairs = window.Pairs() + frames;
                box->reject();
                Report(pairs);
            });
        });
        window_.controls().about->click();
    }

    static varnex::MainWindowOptions Options() {
        varnex::MainWindowOptions options;
        options.makeHooks = HarnessHooks;
        return options;
    }

    Request request_;
    double mainEnteredMs_;
    bool firstReplyShown_ = false;
    int aboutFrames_ = 0;
    PaintWatch firmwareWatch_{[this] { OnFirmwarePaint(); }};
    PaintWatch aboutWatch_{[this] { ++aboutFrames_; }};
    varnex::MainWindow window_;
};

}  // namespace

int main(int argc, char** argv) {
    const double mainEnteredMs = BootClockMs();
    const std::optional<Request> request = ReadRequest(argc, argv);
    if (!request) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    int qtArgc = 1;  // the mode is ours, not Qt's
    QApplication app(qtArgc, argv);
    Harness harness(*request, mainEnteredMs);
    if (!harness.Start()) {
        if (!failed) {
            std::fputs("varnex_budget_harness: the client closed at start-up\n", stderr);
        }
        return 1;
    }
    return QApplication::exec();
}
