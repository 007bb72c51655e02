// History in the desktop client: the main window records a session's
// readings and events and says once when it cannot; the History window
// draws a store with known rows (series, gaps, axes, a range across a
// daylight-saving change) and exports every stored reading of its range.
#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStatusBar>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "history/history_fixture.h"
#include "stations/station_watch.h"
#include "ui/history/history_chart_view.h"
#include "ui/history/history_window.h"
#include "ui/main_window/main_window_fixture.h"
#include "ui/settings/change_remote_ip_dialog.h"
#include "ui/widgets/ip_address_field.h"
#include "unit/reply_encoding.h"
#include "unit/unit_console.h"
#include "unit/voltage_drift.h"

namespace varnex {
namespace {

class HistoryRecordingTest : public MainWindowTest {
  protected:
    std::string HistoryPath() const { return HistoryPathBeside(DatabasePath()); }
    void StartHeldUnit() {
        unit::UnitState& s = StartUnit().State();
        for (auto& v : s.voltmeters) {
            v.raw = v.centre = 2048;
            v.held = true;
        }
        AddStation("127.0.0.1", "tamble", "Simulator");
    }
    bool WaitForStatus() {
        return PumpUntil([&] { return controls().firmwareVersion->text() != "* . *"; }, 3000);
    }
};

TEST_F(HistoryRecordingTest, ASessionsReadingsAndEventsAreRecorded) {
    StartHeldUnit();
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForStatus());
    for (int tick = 0; tick < 2; ++tick) {
        Tick(kPollTimer);
        const std::size_t seen = unitLog_.size();
        ASSERT_TRUE(PumpUntil([&] { return unitLog_.size() > seen; }, 3000));
        QTest::qWait(200);
    }
    QTest::mouseClick(controls().stop, Qt::LeftButton);
    ASSERT_NE(window_->history(), nullptr);
    window_->history()->writer()->Flush();

    HistoryReader reader = std::get<HistoryReader>(HistoryReader::Open(HistoryPath()));
    const std::vector<StoredReading> readings = reader.Readings("127.0.0.1", 0, INT64_MAX / 2);
    ASSERT_EQ(readings.size(), 3U);
    EXPECT_EQ(readings[0].raw[0], 2048);
    std::vector<HistoryEvent> kinds;
    for (const StoredEvent& e : reader.Events("127.0.0.1", 0, INT64_MAX / 2)) {
        kinds.push_back(e.kind);
    }
    EXPECT_EQ(kinds, (std::vector<HistoryEvent>{HistoryEvent::Started, HistoryEvent::Stopped}));
    EXPECT_TRUE(window_->statusBar()->currentMessage().isEmpty());
}

TEST_F(HistoryRecordingTest, AHistoryFileThatIsNotOursIsSaidOnceAndPollingGoesOn) {
    StartHeldUnit();
    { std::ofstream(HistoryPath(), std::ios::binary) << std::string(4096, 'x'); }
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForStatus());
    const QString said = window_->statusBar()->currentMessage();
    EXPECT_TRUE(said.startsWith("History is not kept: The history file ")) << said.toStdString();
    EXPECT_TRUE(said.contains("left untouched")) << said.toStdString();
    window_->statusBar()->clearMessage();
    Tick(kPollTimer);
    EXPECT_TRUE(window_->statusBar()->currentMessage().isEmpty());
    std::ifstream in(HistoryPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(4096, 'x'));
}

class HistoryWindowTest : public testing::HistoryTest {
  protected:
    std::unique_ptr<HistoryWindow> Window() {
        HistoryWindowSeams seams;
        seams.historyPath = path_;
        seams.preferredStation = "127.0.0.9";
        seams.station = [](const std::string& ip) {
            LoadedStation station;
            station.address = ip;
            station.jumper6 = station.jumper7 = "ON";
            station.labels[0] = "Battery";
            return std::optional<LoadedStation>(station);
        };
        seams.nowMs = [this] { return nowMs_; };
        auto window = std::make_unique<HistoryWindow>(seams);
        window->resize(1100, 720);
        return window;
    }
    // Line series of a chart by name, with their point counts.
    static std::vector<std::pair<QString, qsizetype>> Lines(QChart* chart) {
        std::vector<std::pair<QString, qsizetype>> lines;
        for (QAbstractSeries* series : chart->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(series);
                line != nullptr && series->type() == QAbstractSeries::SeriesTypeLine) {
                lines.emplace_back(line->name(), line->count());
            }
        }
        return lines;
    }
};

TEST_F(HistoryWindowTest, DrawsTheLastTenMinutesWithGapsLabelsAndAxes) {
    {
        auto writer = OpenWriter();
        for (int s = 0; s < 600; ++s) {  // 10 minutes, then 5 without, then 5 more
            if (s < 300 || s >= 450) {
                StoredReading r = testing::SampleReading(nowMs_ - 600'000 + s * 1000, 7);
                r.temperature = TemperatureReading{false, 21, false};
                r.relaysEnergised = s >= 500 ? 1 : 0;
                writer->Record("127.0.0.9", r);
            }
        }
        writer->RecordEvent("127.0.0.9", nowMs_ - 600'000, HistoryEvent::Started);
    }
    auto window = Window();
    EXPECT_EQ(window->stationChooser()->currentText(), "127.0.0.9");
    EXPECT_EQ(window->span(), std::make_pair(nowMs_ - 3'600'000, nowMs_));
    EXPECT_EQ(window->data().level, std::optional<std::size_t>(0));  // the last hour: 10 s means
    window->ChooseRange(HistoryRange::LastTenMinutes);
    EXPECT_EQ(window->span(), std::make_pair(nowMs_ - 600'000, nowMs_));
    const auto lines = Lines(window->chart());
    EXPECT_EQ(lines, (std::vector<std::pair<QString, qsizetype>>{{"Battery", 300},
                                                                 {"Battery", 150},
                                                                 {"Voltmeter 2", 300},
                                                                 {"Voltmeter 2", 150},
                                                                 {"Temperature", 300},
                                                                 {"Temperature", 150}}));
    EXPECT_EQ(window->timeAxis()->min().toMSecsSinceEpoch(), nowMs_ - 600'000);
    EXPECT_EQ(window->timeAxis()->max().toMSecsSinceEpoch(), nowMs_);
    // Relay 1's step (one extra point) and the event marker.
    const auto steps = Lines(window->stepsChart());
    ASSERT_GE(steps.size(), 2U);
    EXPECT_EQ(steps[0], std::make_pair(QString("Relay 1"), qsizetype{2}));  // held
    EXPECT_EQ(steps[1], std::make_pair(QString("Relay 1"), qsizetype{4}));  // 0, up, 1
    EXPECT_EQ(window->chart()->series().back()->name(), "Events");
    EXPECT_EQ(window->data().level, std::nullopt);
    if (qEnvironmentVariableIsSet("VARNEX_SHOTS")) {
        window->show();
        window->grab().save(QString::fromUtf8(std::getenv("VARNEX_SHOTS")) + "/history.png");
    }
}

TEST_F(HistoryWindowTest, AlarmEventsAreMarkedApartFromTheSessionsEvents) {
    {
        auto writer = OpenWriter();
        for (int s = 0; s < 60; ++s) {
            writer->Record("127.0.0.9", testing::SampleReading(nowMs_ - 300'000 + s * 1000, 3));
        }
        writer->RecordEvent("127.0.0.9", nowMs_ - 300'000, HistoryEvent::Started);
        writer->RecordEvent("127.0.0.9", nowMs_ - 280'000, HistoryEvent::AlarmRaised);
        writer->RecordEvent("127.0.0.9", nowMs_ - 250'000, HistoryEvent::AlarmCleared);
        writer->RecordEvent("127.0.0.9", nowMs_ - 240'000, HistoryEvent::Stopped);
    }
    auto window = Window();
    window->ChooseRange(HistoryRange::LastTenMinutes);
    std::map<QString, std::vector<qreal>> markers;
    for (QAbstractSeries* series : window->chart()->series()) {
        if (auto* scatter = qobject_cast<QScatterSeries*>(series)) {
            for (const QPointF& point : scatter->points()) {
                markers[scatter->name()].push_back(point.x());
            }
        }
    }
    const auto at = [this](int64_t ms) { return static_cast<qreal>(nowMs_ + ms); };
    EXPECT_EQ(markers,
              (std::map<QString, std::vector<qreal>>{{"Alarms", {at(-280'000), at(-250'000)}},
                                                     {"Events", {at(-300'000), at(-240'000)}}}));
    if (qEnvironmentVariableIsSet("VARNEX_SHOTS")) {
        window->show();
        window->grab().save(QString::fromUtf8(std::getenv("VARNEX_SHOTS")) + "/history_alarms.png");
    }
}

TEST_F(HistoryWindowTest, ADayAcrossTheClockChangeIsTwentyThreeHoursAndExportsWhole) {
    const char* oldZone = std::getenv("TZ");
    const std::string keep = oldZone != nullptr ? oldZone : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    const int64_t dayStart = 1'774'738'800'000;  // 2026-03-29 00:00 in Berlin (+01:00)
    nowMs_ = dayStart + 2 * 86'400'000;
    std::size_t inDay = 0;
    {
        auto writer = OpenWriter({.batchSize = 1000});
        for (int64_t t = dayStart - 3'600'000; t < dayStart + 26 * 3'600'000; t += 30'000) {
            writer->Record("127.0.0.9", testing::SampleReading(t, 3));
            inDay += t < dayStart + 23 * 3'600'000 ? 1 : 0;
        }
    }
    inDay -= 120;  // the hour before the day
    auto window = Window();
    window->SetFromTo(QDateTime(QDate(2026, 3, 29), QTime(0, 0)),
                      QDateTime(QDate(2026, 3, 30), QTime(0, 0)));
    EXPECT_EQ(window->span(), std::make_pair(dayStart, dayStart + 23 * 3'600'000));
    EXPECT_EQ(window->data().level, std::optional<std::size_t>(1));

    const QString csv = QString::fromStdString(path_ + ".csv");
    ASSERT_TRUE(window->ExportCsv(csv));
    std::ifstream in(csv.toStdString(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), inDay + 1);
    EXPECT_EQ(lines[1].substr(0, 29), "2026-03-29T00:00:00.000+01:00");
    EXPECT_EQ(lines.back().substr(0, 29), "2026-03-29T23:59:30.000+02:00");
    const QString png = QString::fromStdString(path_ + ".png");
    EXPECT_TRUE(window->SavePng(png));
    EXPECT_FALSE(QImage(png).isNull());

    if (keep.empty()) {
        unsetenv("TZ");
    } else {
        setenv("TZ", keep.c_str(), 1);
    }
    tzset();
}

}  // namespace
}  // namespace varnex

namespace varnex {
namespace {

// A day of varnex-unit's status records, one a second, with the console
// holding voltmeter 3 and 6 for a while, moving the temperature and pin 3.
void RecordADayOfTheSimulator(HistoryWriter& writer, int64_t endMs) {
    constexpr int kDay = 86'400;
    unit::UnitTime clock{0};
    unit::UnitServer unit(
        unit::MakeUnitState({}, clock), [&] { return clock; }, [](const std::string&) {});
    const std::map<int, std::vector<std::string>> console = {
        {6 * 3600, {"volts 3 12.5"}},
        {9 * 3600, {"volts 3 drift"}},
        {10 * 3600, {"temp 23.5", "pin 3 1"}},
        {14 * 3600, {"volts 6 4.2"}},
        {15 * 3600, {"pin 3 0"}},
        {20 * 3600, {"volts 6 drift", "temp 19"}},
    };
    const VoltmeterJumpers jumpers{true, true};
    for (int s = 0; s < kDay; ++s) {
        clock = unit::UnitTime(int64_t{s} * 1000);
        if (const auto lines = console.find(s); lines != console.end()) {
            for (const std::string& line : lines->second) {
                unit::RunConsoleLine(unit, line);
            }
        }
        unit::DriftVoltmeters(unit.State(), clock);
        const unit::Bytes bytes = unit::EncodeStatusRecord(unit.State(), clock);
        ReplyBuffer reply{};
        std::copy(bytes.begin(), bytes.end(), reply.begin());
        writer.Record("127.0.0.1", StoredReadingOf(DecodeStatusRecord(reply), jumpers,
                                                   endMs - int64_t{kDay - s} * 1000));
    }
}

TEST_F(HistoryWindowTest, ADayOfTheSimulatorShowsItsDriftAndItsHeldValues) {
    {
        auto writer = OpenWriter({.batchSize = 2000});
        RecordADayOfTheSimulator(*writer, nowMs_);
    }
    HistoryWindowSeams seams;
    seams.historyPath = path_;
    seams.preferredStation = "127.0.0.1";
    seams.station = [](const std::string& ip) {
        LoadedStation station;
        station.address = ip;
        station.jumper6 = station.jumper7 = "ON";
        station.labels = {"Battery", "Solar panel", "Mains", "Generator", "", "Sensor A", "", ""};
        return std::optional<LoadedStation>(station);
    };
    seams.nowMs = [this] { return nowMs_; };
    HistoryWindow window(seams);
    window.resize(1100, 720);
    for (std::size_t n : {2, 5}) {
        window.voltmeterBox(n)->setChecked(true);
    }
    window.ChooseRange(HistoryRange::Last24Hours);
    const ChartData& data = window.data();
    ASSERT_EQ(data.voltmeters.size(), 4U);
    EXPECT_EQ(data.voltmeters[2].name, "Mains");
    // Held from 06:00 to 09:00 of the day: 12.5 V within a code's width.
    const auto valuesBetween = [&](const ChartLine& line, int fromHour, int toHour) {
        std::vector<double> values;
        for (const ChartSegment& segment : line.segments) {
            for (const ChartPoint& p : segment) {
                const int64_t second = (p.timeMs - (nowMs_ - 86'400'000)) / 1000;
                if (second > fromHour * 3600 + 60 && second < toHour * 3600 - 60) {
                    values.push_back(p.value);
                }
            }
        }
        return values;
    };
    const std::vector<double> held = valuesBetween(data.voltmeters[2], 6, 9);
    ASSERT_FALSE(held.empty());
    for (double v : held) {
        EXPECT_NEAR(v, 12.5, 30.0 / 4095);
    }
    // Voltmeter 1 drifts all day.
    const std::vector<double> drift = valuesBetween(data.voltmeters[0], 0, 24);
    EXPECT_GT(*std::max_element(drift.begin(), drift.end()) -
                  *std::min_element(drift.begin(), drift.end()),
              0.05);
    EXPECT_EQ(data.pins[2].segments.size(), 1U);
    window.show();
    Shoot(window, "history-window");
}

}  // namespace
}  // namespace varnex

namespace varnex {
namespace {

TEST_F(HistoryRecordingTest, ChangeIpCarriesTheStationsHistoryAndAlarmSettingsToTheNewAddress) {
    StartHeldUnit();
    Open({"varnex", "127.0.0.1"});
    ASSERT_TRUE(WaitForStatus());
    StationWatch watch = NewStationWatch();
    watch.voltmeters[0].upper = 20.0;
    ASSERT_TRUE(SaveStationWatch(window_->stations(), "127.0.0.1", watch));
    OnNextModal([](QWidget* dialog) {
        auto* change = qobject_cast<ChangeRemoteIpDialog*>(dialog);
        ASSERT_NE(change, nullptr);
        change->addressField()->setAddress(0x7F000102);
        change->okButton()->click();
    });
    const ModalWatchdog watchdog;
    QTest::mouseClick(controls().changeIpAddress, Qt::LeftButton);
    window_->history()->writer()->Flush();
    HistoryReader reader = std::get<HistoryReader>(HistoryReader::Open(HistoryPath()));
    EXPECT_EQ(reader.Stations(), std::vector<std::string>{"127.0.1.2"});
    EXPECT_EQ(reader.Readings("127.0.1.2", 0, INT64_MAX / 2).size(), 1U);
    const auto watches = LoadStationWatches(window_->stations());
    ASSERT_TRUE(watches);
    EXPECT_FALSE(watches->contains("127.0.0.1"));
    ASSERT_TRUE(watches->contains("127.0.1.2"));
    EXPECT_EQ(watches->at("127.0.1.2"), watch);
}

TEST(HistoryRetention, TheStoredDaysOrTheDefault) {
    const struct {
        std::optional<std::string> stored;
        int days;
    } cases[] = {
        {std::nullopt, 90}, {"30", 30}, {"1", 1},     {"3650", 3650},
        {"0", 90},          {"-5", 90}, {"3651", 90}, {"soon", 90},
    };
    for (const auto& c : cases) {
        PlatformHooks hooks;
        hooks.readSetting = [&](const std::string& key) {
            EXPECT_EQ(key, "Options/History/RetentionDays");
            return c.stored;
        };
        EXPECT_EQ(ReadRetentionDays(hooks), c.days) << c.stored.value_or("(none)");
    }
}

TEST_F(HistoryWindowTest, TheWheelARubberBandADragAndResetReReadTheShownStretch) {
    {
        auto writer = OpenWriter({.batchSize = 5000});
        for (int s = 0; s < 86'400; s += 5) {
            writer->Record("127.0.0.9",
                           testing::SampleReading(nowMs_ - 86'400'000 + s * 1000LL, 1));
        }
    }
    auto window = Window();
    window->show();
    window->ChooseRange(HistoryRange::Last24Hours);
    QApplication::processEvents();
    ASSERT_EQ(window->data().level, std::optional<std::size_t>(1));
    HistoryChartView* view = window->chartView();
    const QRectF area = window->chart()->plotArea();
    const QPointF middle = view->mapFromScene(window->chart()->mapToScene(area.center()));

    // Eight wheel steps about the middle: a fifth of a day, 10 s means.
    for (int step = 0; step < 8; ++step) {
        QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
    }
    const auto [from, to] = window->span();
    EXPECT_NEAR(static_cast<double>(to - from), 86'400'000 / std::pow(1.25, 8), 120'000);
    EXPECT_NEAR(static_cast<double>(from + to) / 2, nowMs_ - 43'200'000, 120'000);
    EXPECT_EQ(window->data().level, std::optional<std::size_t>(0));

    // Dragging right by a quarter of the plot shows earlier times.
    const QPoint start = middle.toPoint();
    const QPoint end = start + QPoint(static_cast<int>(area.width() / 4), 0);
    QTest::mousePress(view->viewport(), Qt::RightButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, end, view->viewport()->mapToGlobal(end), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::RightButton, Qt::NoModifier, end);
    const auto [panFrom, panTo] = window->span();
    EXPECT_NEAR(static_cast<double>(from - panFrom), static_cast<double>(to - from) / 4,
                static_cast<double>(to - from) / 50);
    EXPECT_NEAR(static_cast<double>(panTo - panFrom), static_cast<double>(to - from), 2000);

    // A rubber band over the middle half of the plot shows that half.
    const auto [bandFrom, bandTo] = window->span();
    const QPoint left = view->mapFromScene(
        window->chart()->mapToScene(QPointF(area.left() + area.width() / 4, area.center().y())));
    const QPoint right = view->mapFromScene(window->chart()->mapToScene(
        QPointF(area.left() + 3 * area.width() / 4, area.center().y())));
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::NoModifier, left);
    QMouseEvent band(QEvent::MouseMove, right, view->viewport()->mapToGlobal(right), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &band);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, right);
    const auto [zoomFrom, zoomTo] = window->span();
    const double quarter = static_cast<double>(bandTo - bandFrom) / 4;
    EXPECT_NEAR(static_cast<double>(zoomFrom - bandFrom), quarter, quarter / 20);
    EXPECT_NEAR(static_cast<double>(bandTo - zoomTo), quarter, quarter / 20);

    // Reset goes back to the chosen day.
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == "Reset zoom") {
            button->click();
        }
    }
    EXPECT_EQ(window->span(), std::make_pair(nowMs_ - 86'400'000, nowMs_));
}

TEST_F(HistoryWindowTest, ARollingRangeGrowsWithNewReadings) {
    auto writer = OpenWriter();
    writer->Record("127.0.0.9", testing::SampleReading(nowMs_ - 5000, 1));
    writer->Flush();
    auto window = Window();
    window->show();
    window->ChooseRange(HistoryRange::LastTenMinutes);
    ASSERT_EQ(window->data().voltmeters[0].segments.at(0).size(), 1U);
    for (int s = 1; s <= 3; ++s) {
        writer->Record("127.0.0.9", testing::SampleReading(nowMs_ - 5000 + s * 1000, 1));
    }
    writer->Flush();
    nowMs_ += 3000;
    window->Tick();
    EXPECT_EQ(window->data().voltmeters[0].segments.at(0).size(), 4U);
    EXPECT_EQ(window->span(), std::make_pair(nowMs_ - 600'000, nowMs_));
}

}  // namespace
}  // namespace varnex
