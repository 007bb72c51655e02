// varnex_history_harness: the real client's History window over a week of
// readings at one a second (604,800), for the figures in docs/performance.md:
//
//   open      the History button clicked to the window painted (last hour)
//   week      "Last week" chosen to the chart painted
//   zoom_hour, zoom_day   a zoom into the week to the chart painted again
//   peak_kb   the process's peak resident memory (VmHWM) with the week open
//   export_ms, export_peak_kb   the week exported to CSV, and the peak after it
//
// Run it with XDG_DATA_HOME and XDG_CONFIG_HOME pointing at throw-away
// folders: it writes the station database and history.sqlite there. It
// sends nothing on the network. One line of name=value pairs on output.
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "history/history_writer.h"
#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "ui/history/history_window.h"
#include "ui/main_window/main_window.h"

namespace {

constexpr int kWeekReadings = 604'800;

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// A week ending now, drifting as varnex-unit's voltmeters do.
void WriteWeek(const std::string& databasePath) {
    auto opened = varnex::OpenHistoryFile(varnex::HistoryPathBeside(databasePath),
                                          varnex::HistoryAccess::Write);
    varnex::HistoryWriter writer(std::move(std::get<varnex::OpenedHistory>(opened)), {});
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    for (int n = 0; n < kWeekReadings; ++n) {
        varnex::StoredReading r;
        r.timeMs = now - int64_t{kWeekReadings - n} * 1000;
        for (std::size_t v = 0; v < r.raw.size(); ++v) {
            r.raw[v] = static_cast<uint16_t>(2000 + (n / 7 * (v + 3)) % 400);
        }
        r.temperature =
            varnex::TemperatureReading{false, static_cast<uint8_t>(20 + n / 3600 % 5), n % 2 != 0};
        r.relaysEnergised = static_cast<uint8_t>(n / 5000 % 8);
        r.uptime = static_cast<uint32_t>(n);
        writer.Record("127.0.0.1", r);
    }
}

// Milliseconds until `act` is done and the window painted.
double Timed(QWidget& window, const std::function<void()>& act) {
    QElapsedTimer timer;
    timer.start();
    act();
    window.grab();  // paints every child now, as a screen update would
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::string database = varnex::DefaultDatabaseLocation();
    std::filesystem::create_directories(std::filesystem::path(database).parent_path());
    varnex::WriteSeedDatabaseIfMissing(database);
    // Written by a child, so that the peak memory is the client's alone.
    const pid_t writer = fork();
    if (writer == 0) {
        WriteWeek(database);
        _exit(0);
    }
    int status = 0;
    if (writer < 0 || waitpid(writer, &status, 0) != writer || status != 0) {
        std::fprintf(stderr, "the week could not be written\n");
        return 1;
    }
    QApplication app(argc, argv);

    varnex::MainWindow window;
    window.StartUp({"varnex"});
    window.show();
    QApplication::processEvents();

    varnex::HistoryWindow* history = nullptr;
    const double open = Timed(window, [&] {
        window.controls().history->click();
        history = window.findChild<varnex::HistoryWindow*>("HistoryWindow");
    });
    if (history == nullptr) {
        std::fprintf(stderr, "the History window did not open\n");
        return 1;
    }
    const double openPainted = open + Timed(*history, [] {});
    const double week =
        Timed(*history, [&] { history->ChooseRange(varnex::HistoryRange::LastWeek); });
    const int64_t from = history->span().first;
    const double zoomDay =
        Timed(*history, [&] { history->ShowSpan(from + 86'400'000, from + 2 * 86'400'000); });
    const double zoomHour =
        Timed(*history, [&] { history->ShowSpan(from + 90'000'000, from + 93'600'000); });
    const long peak = PeakKilobytes();
    history->ChooseRange(varnex::HistoryRange::LastWeek);
    const QString csv = QString::fromStdString(
        (std::filesystem::path(database).parent_path() / "week.csv").string());
    QElapsedTimer exportTimer;
    exportTimer.start();
    if (!history->ExportCsv(csv)) {
        std::fprintf(stderr, "the export failed\n");
        return 1;
    }
    const double exportMs = static_cast<double>(exportTimer.nsecsElapsed()) / 1e6;
    std::printf(
        "open_ms=%.1f week_ms=%.1f zoom_day_ms=%.1f zoom_hour_ms=%.1f peak_kb=%ld "
        "export_ms=%.0f export_peak_kb=%ld\n",
        openPainted, week, zoomDay, zoomHour, peak, exportMs, PeakKilobytes());
    return 0;
}
