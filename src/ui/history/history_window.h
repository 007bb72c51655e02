// The History window: the chosen voltmeters and the temperature of one
// station over a chosen range, relays and pins as steps below them, the
// session's events and the station's alarms as markers; zoom, pan, tooltip,
// reset; CSV and PNG export.
// It reads the history file itself and grows while the session polls.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/chart_data.h"
#include "stations/loaded_station.h"

class QChart;
class QDateTimeAxis;
class QValueAxis;
class QGraphicsSimpleTextItem;

namespace varnex {

class HistoryChartView;

enum class HistoryRange { LastTenMinutes, LastHour, Last24Hours, LastWeek, FromTo };

struct HistoryWindowSeams {
    std::string historyPath;
    // The station row of an address, for its labels and jumpers.
    std::function<std::optional<LoadedStation>(const std::string& ip)> station;
    std::string preferredStation;    // the main window's station
    std::function<int64_t()> nowMs;  // UTC; the system clock when empty
};

class HistoryWindow : public QWidget {
    Q_OBJECT
  public:
    HistoryWindow(HistoryWindowSeams seams, QWidget* parent = nullptr);

    // Re-reads the stations and shows the chosen range afresh.
    void Reload();
    void ChooseRange(HistoryRange range);
    void SetFromTo(const QDateTime& from, const QDateTime& to);
    void ChooseStation(const QString& address);
    // Reads the range [fromMs, toMs) into the chart without changing the
    // chosen range (zoom and pan).
    void ShowSpan(int64_t fromMs, int64_t toMs);
    bool ExportCsv(const QString& path);
    bool SavePng(const QString& path);

    QChart* chart() const { return chart_; }
    HistoryChartView* chartView() const { return view_; }
    QChart* stepsChart() const { return steps_; }
    QDateTimeAxis* timeAxis() const { return timeAxis_; }
    QComboBox* stationChooser() const { return stationChooser_; }
    QCheckBox* voltmeterBox(std::size_t index) const { return voltmeterBoxes_.at(index); }
    QLabel* statusLabel() const { return status_; }
    const ChartData& data() const { return data_; }
    std::pair<int64_t, int64_t> span() const { return {shownFrom_, shownTo_}; }

    // A rolling range moves on with the clock (the live timer's work).
    void Tick();

  private:
    ChartRequest Request(int64_t fromMs, int64_t toMs) const;
    std::pair<int64_t, int64_t> ChosenSpan() const;
    void Draw();
    int64_t Now() const;

    HistoryWindowSeams seams_;
    std::optional<LoadedStation> station_;
    QComboBox* stationChooser_;
    QComboBox* rangeChooser_;
    QDateTimeEdit* from_;
    QDateTimeEdit* to_;
    std::array<QCheckBox*, wire::kVoltmeterCount> voltmeterBoxes_{};
    QCheckBox* temperatureBox_;
    QLabel* status_;
    QChart* chart_;
    QChart* steps_;
    HistoryChartView* view_;
    HistoryChartView* stepsView_;
    QDateTimeAxis* timeAxis_;
    QDateTimeAxis* stepsTimeAxis_;
    QValueAxis* voltsAxis_;
    QValueAxis* celsiusAxis_;
    QValueAxis* laneAxis_;
    std::vector<QGraphicsSimpleTextItem*> laneLabels_;
    QTimer live_;
    ChartData data_;
    int64_t shownFrom_ = 0;
    int64_t shownTo_ = 0;
    bool zoomed_ = false;
    bool drawing_ = false;
};

// Opens (or raises) the History window.
void ShowHistoryWindow(QWidget* parent, HistoryWindowSeams seams);

}  // namespace varnex
