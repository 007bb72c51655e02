// varnex_overview_harness: the real client with the Stations Overview open
// over N watched stations of a varnex-unit fleet, for the figures in
// docs/performance.md:
//
//   cpu      the whole process's CPU (user + system) over the measured span,
//            in percent of one core
//   max_gap  the longest the event loop kept a 1 ms timer waiting (with --gaps)
//   rows_up  rows showing "up" at the end
//
// varnex_overview_harness STATIONS FIRST-ADDRESS INTERVAL-S WARM-UP-S SECONDS [--gaps]
//     [--filter TEXT] [--sort COLUMN]
// Run it with XDG_DATA_HOME and XDG_CONFIG_HOME pointing at throw-away
// folders (it writes the station database there) and VARNEX_UNIT_PORT set to
// the fleet's port. It sends only to the fleet's loopback addresses.
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "overview/overview_columns.h"
#include "stations/database_location.h"
#include "stations/seed_database.h"
#include "stations/station_store.h"
#include "stations/station_watch.h"
#include "stations/station_writers.h"
#include "text/conversions.h"
#include "ui/main_window/main_window.h"
#include "ui/widgets/qt_platform_hooks.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool WriteStations(int count, uint32_t first) {
    const std::string path = varnex::DefaultDatabaseLocation();
    QDir().mkpath(QString::fromStdString(path).section('/', 0, -2));
    varnex::WriteSeedDatabaseIfMissing(path);
    varnex::PlatformHooks hooks;
    bool failed = false;
    hooks.showMessage = [&failed](const varnex::Message& m) {
        std::fprintf(stderr, "%s\n", m.text.c_str());
        failed = true;
    };
    varnex::StationStore store(hooks);
    store.OpenStationStore(path);
    varnex::StationWatch watch = varnex::NewStationWatch();
    watch.watched = true;
    store.RunTogether([&] {
        for (int i = 0; i < count; ++i) {
            const std::string ip = varnex::FormatDottedAddress(first + static_cast<uint32_t>(i));
            if (!varnex::InsertStation(store, ip, varnex::PasswordAsStored("tamble"),
                                       "Bench " + std::to_string(i + 1)) ||
                !varnex::SaveStationWatch(store, ip, watch)) {
                return false;
            }
        }
        return true;
    });
    store.CloseStationStore();
    return !failed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fputs(
            "usage: varnex_overview_harness STATIONS FIRST-ADDRESS INTERVAL-S WARM-UP-S "
            "SECONDS [--gaps] [--filter TEXT] [--sort COLUMN]\n",
            stderr);
        return 2;
    }
    const int stations = std::stoi(argv[1]);
    const auto first = varnex::ParseDottedAddress(argv[2]);
    const int interval = std::stoi(argv[3]);
    const int warmUp = std::stoi(argv[4]);
    const int seconds = std::stoi(argv[5]);
    bool gaps = false;
    QString filter;
    int sortColumn = static_cast<int>(varnex::overview::Column::Address);
    for (int i = 6; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--gaps") {
            gaps = true;
        } else if (option == "--filter" && i + 1 < argc) {
            filter = QString::fromUtf8(argv[++i]);
        } else if (option == "--sort" && i + 1 < argc) {
            sortColumn = std::stoi(argv[++i]);
        }
    }
    if (!first || !WriteStations(stations, *first)) {
        std::fputs("varnex_overview_harness: the stations could not be written\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QSettings(QSettings::IniFormat, QSettings::UserScope,
              QString::fromLatin1(varnex::kSettingsOrganisation),
              QString::fromLatin1(varnex::kSettingsApplication))
        .setValue(QString::fromLatin1(varnex::kOverviewIntervalKey), interval);
    varnex::MainWindow window;
    window.StartUp({"varnex"});
    window.show();
    varnex::OverviewWindow* overview = window.ShowOverview();
    overview->filterField()->setText(filter);
    overview->table()->sortByColumn(sortColumn, Qt::AscendingOrder);

    QElapsedTimer sinceTick;
    qint64 maxGapNs = 0;
    long over16 = 0;
    long ticks = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.nsecsElapsed();
        sinceTick.restart();
        maxGapNs = std::max(maxGapNs, gap);
        over16 += gap > 16'000'000 ? 1 : 0;
        ++ticks;
    });
    double cpuStart = 0;
    QElapsedTimer wall;
    QTimer::singleShot(warmUp * 1000, [&] {
        cpuStart = CpuSeconds();
        wall.start();
        if (gaps) {
            sinceTick.start();
            probe.start(1);
        }
        QTimer::singleShot(seconds * 1000, [&] {
            // Before quitting: quitting closes the windows, and the overview goes with its close.
            const double cpu =
                (CpuSeconds() - cpuStart) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
            overview->ApplyUpdates();
            int up = 0;
            const auto now = std::chrono::steady_clock::now();
            for (const auto& row : overview->polling().overview().Rows()) {
                up += varnex::overview::StateText(row, now) == "up" ? 1 : 0;
            }
            std::printf(
                "stations=%d interval_s=%d seconds=%d cpu_percent=%.2f rows_up=%d shown=%zu",
                stations, interval, seconds, 100.0 * cpu, up, overview->ShownStations().size());
            if (gaps) {
                std::printf(" ticks=%ld max_gap_ms=%.2f gaps_over_16ms=%ld", ticks,
                            static_cast<double>(maxGapNs) / 1e6, over16);
            }
            std::printf("\n");
            QApplication::quit();
        });
    });
    QApplication::exec();
    return 0;
}
