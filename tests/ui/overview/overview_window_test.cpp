// The Stations Overview in the client, against varnex-unit's fleet on
// 127.1.0.x served through the window's own event loop: rows fill in for the
// watched stations only, the main window's session takes its station over,
// a refused password and an alarm show, and the rows keep still under the
// pointer while the selection follows its station.
#include "ui/main_window/main_window_fixture.h"  // first: it must precede every Qt header

#include <QElapsedTimer>
#include <QHeaderView>
#include <QListWidget>
#include <QTableView>

#include "overview/counting_fleet.h"
#include "overview/overview_columns.h"
#include "stations/station_watch.h"
#include "ui/stations/watched_stations_dialog.h"
#include "unit/unit_console.h"

namespace varnex {
namespace {

using overview::Column;
using testing::CountingFleet;

// The client's own settings store.
QSettings ClientSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QString::fromLatin1(kSettingsOrganisation),
                     QString::fromLatin1(kSettingsApplication));
}
QString Setting(const char* key) {
    return ClientSettings().value(QString::fromLatin1(key)).toString();
}

class OverviewWindowTest : public MainWindowTest {
  protected:
    // `units` simulated units, the first `watched` of them watched with
    // `shape` applied; the others in the database but not watched.
    void StartFleet(
        std::size_t units, std::size_t watched,
        const std::function<void(std::size_t, StationWatch&)>& shape = [](std::size_t,
                                                                          StationWatch&) {}) {
        fleet_ = std::make_unique<CountingFleet>(units);
        fleetNotifier_ =
            std::make_unique<QSocketNotifier>(fleet_->Units().Descriptor(), QSocketNotifier::Read);
        QObject::connect(fleetNotifier_.get(), &QSocketNotifier::activated,
                         [this] { fleet_->Units().Serve(); });
        unitPort_ = fleet_->Port();
        for (std::size_t i = 0; i < units; ++i) {
            AddStation(CountingFleet::Address(i), "tamble", "Unit " + std::to_string(i + 1));
        }
        PlatformHooks quiet;
        quiet.showMessage = [](const Message& m) { ADD_FAILURE() << m.text; };
        StationStore store(quiet);
        store.OpenStationStore(DatabasePath());
        for (std::size_t i = 0; i < units; ++i) {
            StationWatch watch = NewStationWatch();
            watch.watched = i < watched;
            shape(i, watch);
            ASSERT_TRUE(SaveStationWatch(store, CountingFleet::Address(i), watch));
        }
        store.CloseStationStore();
        // One poll a second: the shortest a person can set.
        ClientSettings().setValue(QString::fromLatin1(kOverviewIntervalKey), 1);
    }

    OverviewWindow& OpenOverview() {
        QAction* item = MenuItem(QStringLiteral("Stations Overview"));
        EXPECT_NE(item, nullptr);
        item->trigger();
        EXPECT_NE(window_->overview(), nullptr);
        return *window_->overview();
    }

    QString Cell(const std::string& ip, Column column) {
        OverviewWindow& o = *window_->overview();
        const int row = o.model()->RowOf(ip);
        return row < 0 ? QStringLiteral("(no row)")
                       : o.model()->index(row, static_cast<int>(column)).data().toString();
    }
    bool AllShow(std::size_t count, const QString& state) {
        OverviewWindow& o = *window_->overview();
        o.ApplyUpdates();
        const auto shown = o.ShownStations();
        return shown.size() == count && std::all_of(shown.begin(), shown.end(), [&](auto& ip) {
                   return Cell(ip, Column::State) == state;
               });
    }

    std::unique_ptr<CountingFleet> fleet_;
    std::unique_ptr<QSocketNotifier> fleetNotifier_;
};

TEST_F(OverviewWindowTest, WatchedRowsFillInUnwatchedUnitsHearNothingAndTheWindowIsRemembered) {
    StartFleet(20, 15);
    Open();
    OverviewWindow& overview = OpenOverview();
    ASSERT_TRUE(PumpUntil([&] { return AllShow(15, "up"); }, 5000));
    EXPECT_EQ(Cell("127.1.0.7", Column::Name), "Unit 7");
    EXPECT_EQ(Cell("127.1.0.7", Column::Firmware), "1.7.4");
    EXPECT_NE(Cell("127.1.0.7", Column::Voltage1), "");
    QTest::qWait(1200);
    for (std::size_t i = 15; i < 20; ++i) {
        EXPECT_EQ(fleet_->Received(i), 0) << CountingFleet::Address(i);
    }
    overview.filterField()->setText(QStringLiteral("unit 1"));
    overview.ApplyUpdates();
    // "Unit 1" and "Unit 10" to "Unit 15".
    EXPECT_EQ(overview.ShownStations().size(), 7u);

    // Open at exit: open again at the next start.
    window_.reset();
    EXPECT_EQ(Setting(kOverviewOpenKey), "1");
    Open();
    ASSERT_NE(window_->overview(), nullptr);
    window_->overview()->close();
    EXPECT_EQ(Setting(kOverviewOpenKey), "0");
}

TEST_F(OverviewWindowTest, TheSessionsStationGetsNoSecondPollAndDialogsStopNothing) {
    StartFleet(3, 3);
    Open();
    OverviewWindow& overview = OpenOverview();
    ASSERT_TRUE(PumpUntil([&] { return AllShow(3, "up"); }, 5000));
    // Double-click: the main window chooses the station and starts its session.
    const int row = overview.proxy()
                        ->mapFromSource(overview.model()->index(
                            overview.model()->RowOf("127.1.0.2"), static_cast<int>(Column::Name)))
                        .row();
    const QModelIndex at = overview.proxy()->index(row, static_cast<int>(Column::Name));
    const QPoint centre = overview.table()->visualRect(at).center();
    QTest::mousePress(overview.table()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(overview.table()->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(overview.table()->viewport(), Qt::LeftButton, {}, centre);
    ASSERT_EQ(window_->session().stationIp(), "127.1.0.2");
    EXPECT_EQ(controls().stationList->currentText().left(9), "127.1.0.2");
    const auto polled = overview.polling().overview().PolledStations();
    EXPECT_EQ(polled, (std::vector<std::string>{"127.1.0.1", "127.1.0.3"}));
    ASSERT_TRUE(
        PumpUntil([&] { return Cell("127.1.0.2", Column::State) == "up (session)"; }, 3000));

    // A modal dialog of the main window runs its own loop: the overview goes on.
    const int before = fleet_->Received(0);
    const int sessionBefore = fleet_->Received(1);
    const ModalWatchdog watchdog(10000);
    bool pollsWentOn = false;
    OnNextModal([&](QWidget* dialog) {
        pollsWentOn = PumpUntil([&] { return fleet_->Received(0) >= before + 2; }, 4000);
        dialog->close();
    });
    const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    MenuItem(QStringLiteral("History Retention..."))->trigger();
    EXPECT_TRUE(pollsWentOn) << before << " " << fleet_->Received(0);
    // The session polls once a second; a second poller would double that.
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_LE(fleet_->Received(1) - sessionBefore, static_cast<int>(seconds) + 3)
        << "in " << seconds << " s";

    // STOP hands the station back to the overview's poller.
    controls().stop->click();
    EXPECT_EQ(overview.polling().overview().PolledStations().size(), 3u);
    ASSERT_TRUE(PumpUntil([&] { return AllShow(3, "up"); }, 4000));
}

TEST_F(OverviewWindowTest, ARefusedPasswordAndAnAlarmShowInTheirRows) {
    StartFleet(3, 3, [](std::size_t i, StationWatch& watch) {
        if (i == 1) {
            watch.voltmeters[0] = {std::nullopt, 20.0, 1.0};
        }
    });
    fleet_->Units().Unit(0).State().password = unit::PasswordField("other");
    unit::RunConsoleLine(fleet_->Units().Unit(1), "volts 1 25");
    Open();
    OverviewWindow& overview = OpenOverview();
    ASSERT_TRUE(
        PumpUntil([&] { return Cell("127.1.0.1", Column::State) == "refused password"; }, 4000));
    ASSERT_TRUE(PumpUntil([&] { return !Cell("127.1.0.2", Column::Alarms).isEmpty(); }, 4000));
    const QModelIndex alarmed = overview.model()->index(overview.model()->RowOf("127.1.0.2"), 0);
    EXPECT_TRUE(alarmed.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(overview.model()
                     ->index(overview.model()->RowOf("127.1.0.3"), 0)
                     .data(Qt::BackgroundRole)
                     .isValid());
    overview.ApplyUpdates();
    EXPECT_TRUE(overview.banner()->isHidden());
    EXPECT_TRUE(overview.summary()->text().contains("1 in alarm"))
        << overview.summary()->text().toStdString();
}

TEST_F(OverviewWindowTest, UntickedStationsStopBeingPolledAndAllSilentSaysTheNetworkMayBeDown) {
    StartFleet(3, 3, [](std::size_t, StationWatch& watch) { watch.silentSeconds = 3; });
    Open();
    OverviewWindow& overview = OpenOverview();
    ASSERT_TRUE(PumpUntil([&] { return AllShow(3, "up"); }, 5000));
    const ModalWatchdog watchdog;
    OnNextModal([](QWidget* dialog) {
        auto* watched = qobject_cast<WatchedStationsDialog*>(dialog);
        ASSERT_NE(watched, nullptr);
        for (int k = 0; k < watched->stationList()->count(); ++k) {
            QListWidgetItem* item = watched->stationList()->item(k);
            if (item->text().startsWith(QStringLiteral("127.1.0.3"))) {
                item->setCheckState(Qt::Unchecked);
            }
        }
        watched->okButton()->click();
    });
    overview.watchedStationsButton()->click();
    EXPECT_EQ(overview.ShownStations(), (std::vector<std::string>{"127.1.0.1", "127.1.0.2"}));
    EXPECT_EQ(overview.polling().overview().PolledStations(),
              (std::vector<std::string>{"127.1.0.1", "127.1.0.2"}));
    const int asked = fleet_->Received(2);
    for (std::size_t i = 0; i < 3; ++i) {
        fleet_->Units().Unit(i).SetDropEvery(1);
    }
    ASSERT_TRUE(PumpUntil(
        [&] {
            overview.ApplyUpdates();
            return overview.banner()->isVisible();
        },
        8000));
    EXPECT_EQ(overview.banner()->text().toStdString(), kNetworkDownText);
    Shoot(overview, QStringLiteral("overview-network-down"));
    EXPECT_LE(fleet_->Received(2), asked + 1) << "at most a poll that was in flight";
    for (std::size_t i = 0; i < 3; ++i) {
        fleet_->Units().Unit(i).SetDropEvery(0);
    }
    EXPECT_TRUE(PumpUntil(
        [&] {
            overview.ApplyUpdates();
            return overview.banner()->isHidden();
        },
        4000));
}

// VARNEX_SHOTS=<folder> saves the README's picture.
TEST_F(OverviewWindowTest, TwentyUnitsWithOneInAlarm) {
    StartFleet(20, 20, [](std::size_t i, StationWatch& watch) {
        watch.voltmeters[2] = {8.0, 14.0, 0.5};
        watch.silentSeconds = 30;
        (void)i;
    });
    for (std::size_t i = 0; i < 20; ++i) {
        unit::RunConsoleLine(fleet_->Units().Unit(i), "volts 3 " + std::to_string(12 + i % 2));
    }
    unit::RunConsoleLine(fleet_->Units().Unit(6), "volts 3 15.5");
    Open();
    OverviewWindow& overview = OpenOverview();
    overview.resize(1590, 600);
    ASSERT_TRUE(PumpUntil([&] { return !Cell("127.1.0.7", Column::Alarms).isEmpty(); }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return AllShow(20, "up"); }, 3000));
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(Cell(CountingFleet::Address(i), Column::Alarms).isEmpty(), i != 6) << i;
    }
    overview.table()->selectRow(3);
    overview.ApplyUpdates();
    Shoot(overview, QStringLiteral("overview-window"));
}

TEST_F(OverviewWindowTest, RowsKeepStillUnderThePointerAndTheSelectionFollowsItsStation) {
    StartFleet(3, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        unit::RunConsoleLine(fleet_->Units().Unit(i), "volts 1 " + std::to_string(10 + i));
    }
    Open();
    OverviewWindow& overview = OpenOverview();
    overview.table()->sortByColumn(static_cast<int>(Column::Voltage1), Qt::AscendingOrder);
    ASSERT_TRUE(PumpUntil([&] { return AllShow(3, "up"); }, 5000));
    using Order = std::vector<std::string>;
    ASSERT_EQ(overview.ShownStations(), (Order{"127.1.0.1", "127.1.0.2", "127.1.0.3"}));
    overview.table()->selectRow(0);  // 127.1.0.1
    overview.table()->viewport()->setAttribute(Qt::WA_UnderMouse, true);
    unit::RunConsoleLine(fleet_->Units().Unit(0), "volts 1 20");
    ASSERT_TRUE(PumpUntil([&] { return Cell("127.1.0.1", Column::Voltage1) == "20.000 V"; }, 3000));
    overview.ApplyUpdates();
    EXPECT_EQ(overview.ShownStations(), (Order{"127.1.0.1", "127.1.0.2", "127.1.0.3"}))
        << "no move under the pointer";
    overview.table()->viewport()->setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(overview.table()->viewport(), &leave);
    EXPECT_EQ(overview.ShownStations(), (Order{"127.1.0.2", "127.1.0.3", "127.1.0.1"}));
    EXPECT_EQ(overview.SelectedStations(), (Order{"127.1.0.1"})) << "the station, not the row";
}

}  // namespace
}  // namespace varnex
