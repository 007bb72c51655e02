#include "ui/history/history_window.h"

#include <QChart>
#include <QCursor>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QGraphicsSimpleTextItem>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "history/history_csv.h"
#include "ui/history/history_chart_view.h"

namespace varnex {
namespace {

constexpr int64_t kMinuteMs = 60'000;
constexpr int64_t kHourMs = 60 * kMinuteMs;
constexpr int64_t kDayMs = 24 * kHourMs;
constexpr int kLiveEveryMs = 2000;
constexpr double kLaneHeight = 1.5;
constexpr double kStepHeight = 0.8;

const std::array<QColor, 9> kLineColours = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
    QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e), QColor(0x8c, 0x56, 0x4b),
    QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf), QColor(0x7f, 0x7f, 0x7f)};

QString LevelText(std::optional<std::size_t> level) {
    static const char* const kNames[] = {"10 s", "1 min", "10 min"};
    return level ? QStringLiteral("means per %1").arg(QLatin1String(kNames[*level]))
                 : QStringLiteral("every reading");
}

QString TimeFormat(int64_t spanMs) {
    if (spanMs <= kHourMs) {
        return QStringLiteral("HH:mm:ss");
    }
    if (spanMs <= 2 * kDayMs) {
        return QStringLiteral("ddd HH:mm");
    }
    return QStringLiteral("dd.MM. HH:mm");
}

QString LocalText(int64_t timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"));
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryWindowSeams seams, QWidget* parent)
    : QWidget(parent, Qt::Window),
      seams_(std::move(seams)),
      stationChooser_(new QComboBox(this)),
      rangeChooser_(new QComboBox(this)),
      from_(new QDateTimeEdit(this)),
      to_(new QDateTimeEdit(this)),
      temperatureBox_(new QCheckBox(QStringLiteral("Temperature (°C)"), this)),
      status_(new QLabel(this)),
      chart_(new QChart),
      steps_(new QChart),
      view_(new HistoryChartView(chart_, this)),
      stepsView_(new HistoryChartView(steps_, this)),
      timeAxis_(new QDateTimeAxis),
      stepsTimeAxis_(new QDateTimeAxis),
      voltsAxis_(new QValueAxis),
      celsiusAxis_(new QValueAxis),
      laneAxis_(new QValueAxis) {
    setWindowTitle(QStringLiteral("History"));
    setObjectName(QStringLiteral("HistoryWindow"));
    resize(1100, 720);

    rangeChooser_->addItems({QStringLiteral("Last 10 minutes"), QStringLiteral("Last hour"),
                             QStringLiteral("Last 24 hours"), QStringLiteral("Last week"),
                             QStringLiteral("From / to")});
    rangeChooser_->setCurrentIndex(static_cast<int>(HistoryRange::LastHour));
    for (QDateTimeEdit* edit : {from_, to_}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    const QDateTime now = QDateTime::currentDateTime();
    from_->setDateTime(now.addDays(-1));
    to_->setDateTime(now);

    auto* reset = new QPushButton(QStringLiteral("Reset zoom"), this);
    auto* csv = new QPushButton(QStringLiteral("Export CSV..."), this);
    auto* png = new QPushButton(QStringLiteral("Save PNG..."), this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Station"), this));
    top->addWidget(stationChooser_);
    top->addSpacing(12);
    top->addWidget(new QLabel(QStringLiteral("Range"), this));
    top->addWidget(rangeChooser_);
    top->addWidget(new QLabel(QStringLiteral("from"), this));
    top->addWidget(from_);
    top->addWidget(new QLabel(QStringLiteral("to"), this));
    top->addWidget(to_);
    top->addStretch(1);
    top->addWidget(reset);
    top->addWidget(csv);
    top->addWidget(png);

    auto* choices = new QVBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Show"), this));
    for (std::size_t n = 0; n < voltmeterBoxes_.size(); ++n) {
        voltmeterBoxes_[n] = new QCheckBox(this);
        voltmeterBoxes_[n]->setChecked(n < 2);
        choices->addWidget(voltmeterBoxes_[n]);
        connect(voltmeterBoxes_[n], &QCheckBox::toggled, this, [this] { Draw(); });
    }
    temperatureBox_->setChecked(true);
    choices->addWidget(temperatureBox_);
    choices->addStretch(1);
    connect(temperatureBox_, &QCheckBox::toggled, this, [this] { Draw(); });

    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(voltsAxis_, Qt::AlignLeft);
    chart_->addAxis(celsiusAxis_, Qt::AlignRight);
    voltsAxis_->setTitleText(QStringLiteral("V"));
    celsiusAxis_->setTitleText(QStringLiteral("°C"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    steps_->addAxis(stepsTimeAxis_, Qt::AlignBottom);
    steps_->addAxis(laneAxis_, Qt::AlignLeft);
    // One lane a relay or pin, named beside it; the legend stays hidden.
    const std::size_t lanes = wire::kRelayCount + wire::kPinCount;
    laneAxis_->setRange(-0.3, kLaneHeight * static_cast<double>(lanes) - 0.4);
    laneAxis_->setLabelsVisible(false);
    laneAxis_->setGridLineVisible(false);
    laneAxis_->setTickCount(2);
    for (std::size_t lane = 0; lane < lanes; ++lane) {
        const QString name = lane < wire::kRelayCount
                                 ? QStringLiteral("Relay %1").arg(lane + 1)
                                 : QStringLiteral("Pin %1").arg(lane + 1 - wire::kRelayCount);
        laneLabels_.push_back(new QGraphicsSimpleTextItem(name, steps_));
    }
    steps_->legend()->hide();
    // The lanes' time axis lines up with the chart's above.
    connect(chart_, &QChart::plotAreaChanged, this, [this, lanes](const QRectF& area) {
        constexpr qreal kTop = 6;
        constexpr qreal kAxisRoom = 28;
        const QRectF lanesArea(area.left(), kTop, area.width(),
                               stepsView_->height() - kTop - kAxisRoom);
        steps_->setPlotArea(lanesArea);
        for (std::size_t lane = 0; lane < lanes; ++lane) {
            QGraphicsSimpleTextItem* label = laneLabels_[lane];
            const qreal y = kLaneHeight * static_cast<double>(lanes - 1 - lane) + kStepHeight / 2;
            label->setPos(lanesArea.left() - label->boundingRect().width() - 6,
                          lanesArea.bottom() -
                              (y + 0.3) / (laneAxis_->max() + 0.3) * lanesArea.height() -
                              label->boundingRect().height() / 2);
        }
    });
    // Steps are level and upright: smoothing them buys nothing but time.
    stepsView_->setRenderHint(QPainter::Antialiasing, false);
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumHeight(380);
    stepsView_->setFixedHeight(190);

    auto* charts = new QVBoxLayout;
    charts->addWidget(view_, 1);
    charts->addWidget(stepsView_);
    auto* middle = new QHBoxLayout;
    middle->addLayout(choices);
    middle->addLayout(charts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(status_);

    connect(stationChooser_, &QComboBox::currentTextChanged, this,
            [this](const QString& address) { ChooseStation(address); });
    connect(rangeChooser_, &QComboBox::activated, this,
            [this](int index) { ChooseRange(static_cast<HistoryRange>(index)); });
    for (QDateTimeEdit* edit : {from_, to_}) {
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (rangeChooser_->currentIndex() == static_cast<int>(HistoryRange::FromTo)) {
                ChooseRange(HistoryRange::FromTo);
            }
        });
    }
    connect(reset, &QPushButton::clicked, this, [this] {
        zoomed_ = false;
        Reload();
    });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"),
                                                          QStringLiteral("history.csv"),
                                                          QStringLiteral("CSV files (*.csv)"));
        if (!path.isEmpty() && !ExportCsv(path)) {
            status_->setText(QStringLiteral("Could not write %1").arg(path));
        }
    });
    connect(png, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save PNG"),
                                                          QStringLiteral("history.png"),
                                                          QStringLiteral("PNG images (*.png)"));
        if (!path.isEmpty() && !SavePng(path)) {
            status_->setText(QStringLiteral("Could not write %1").arg(path));
        }
    });
    for (HistoryChartView* view : {view_, stepsView_}) {
        connect(view, &HistoryChartView::viewChanged, this, [this, view] {
            const QDateTimeAxis* axis = view == view_ ? timeAxis_ : stepsTimeAxis_;
            zoomed_ = true;
            ShowSpan(axis->min().toMSecsSinceEpoch(), axis->max().toMSecsSinceEpoch());
        });
    }
    live_.setInterval(kLiveEveryMs);
    connect(&live_, &QTimer::timeout, this, &HistoryWindow::Tick);
    live_.start();
    Reload();
}

int64_t HistoryWindow::Now() const {
    if (seams_.nowMs) {
        return seams_.nowMs();
    }
    return QDateTime::currentMSecsSinceEpoch();
}

void HistoryWindow::Reload() {
    const QString current = stationChooser_->currentText();
    QStringList stations;
    auto opened = HistoryReader::Open(seams_.historyPath);
    if (auto* reader = std::get_if<HistoryReader>(&opened)) {
        for (const std::string& address : reader->Stations()) {
            stations << QString::fromStdString(address);
        }
    }
    QString chosen = current;
    if (!stations.contains(chosen)) {
        const QString preferred = QString::fromStdString(seams_.preferredStation);
        chosen = stations.contains(preferred) || stations.isEmpty() ? preferred : stations.front();
    }
    {
        const QSignalBlocker block(stationChooser_);
        stationChooser_->clear();
        stationChooser_->addItems(stations);
        stationChooser_->setCurrentText(chosen);
    }
    ChooseStation(chosen);
}

void HistoryWindow::ChooseStation(const QString& address) {
    station_ = seams_.station ? seams_.station(address.toStdString()) : std::nullopt;
    for (std::size_t n = 0; n < voltmeterBoxes_.size(); ++n) {
        const std::string label = station_ ? station_->labels[n] : std::string();
        voltmeterBoxes_[n]->setText(QString::fromStdString(VoltmeterName(n, label)));
    }
    zoomed_ = false;
    const auto [from, to] = ChosenSpan();
    ShowSpan(from, to);
}

void HistoryWindow::ChooseRange(HistoryRange range) {
    rangeChooser_->setCurrentIndex(static_cast<int>(range));
    for (QDateTimeEdit* edit : {from_, to_}) {
        edit->setEnabled(range == HistoryRange::FromTo);
    }
    zoomed_ = false;
    const auto [from, to] = ChosenSpan();
    ShowSpan(from, to);
}

void HistoryWindow::SetFromTo(const QDateTime& from, const QDateTime& to) {
    const QSignalBlocker blockFrom(from_);
    const QSignalBlocker blockTo(to_);
    from_->setDateTime(from);
    to_->setDateTime(to);
    ChooseRange(HistoryRange::FromTo);
}

// The local times of from / to become UTC through their own offsets, so a
// day across a daylight-saving change is 23 or 25 hours long.
std::pair<int64_t, int64_t> HistoryWindow::ChosenSpan() const {
    const int64_t now = Now();
    switch (static_cast<HistoryRange>(rangeChooser_->currentIndex())) {
        case HistoryRange::LastTenMinutes:
            return {now - 10 * kMinuteMs, now};
        case HistoryRange::LastHour:
            return {now - kHourMs, now};
        case HistoryRange::Last24Hours:
            return {now - kDayMs, now};
        case HistoryRange::LastWeek:
            return {now - 7 * kDayMs, now};
        case HistoryRange::FromTo:
            break;
    }
    return {from_->dateTime().toMSecsSinceEpoch(), to_->dateTime().toMSecsSinceEpoch()};
}

ChartRequest HistoryWindow::Request(int64_t fromMs, int64_t toMs) const {
    ChartRequest request;
    request.address = stationChooser_->currentText().toStdString();
    request.fromMs = fromMs;
    request.toMs = toMs;
    if (station_) {
        request.jumpers = JumpersOf(*station_);
        request.labels = station_->labels;
    }
    for (std::size_t n = 0; n < voltmeterBoxes_.size(); ++n) {
        request.voltmeters[n] = voltmeterBoxes_[n]->isChecked();
    }
    request.temperature = temperatureBox_->isChecked();
    return request;
}

void HistoryWindow::ShowSpan(int64_t fromMs, int64_t toMs) {
    shownFrom_ = fromMs;
    shownTo_ = std::max(toMs, fromMs + 1);
    Draw();
}

void HistoryWindow::Tick() {
    // Rolling ranges move on with the clock while nobody zooms.
    if (isVisible() && !zoomed_ &&
        rangeChooser_->currentIndex() != static_cast<int>(HistoryRange::FromTo)) {
        const auto [from, to] = ChosenSpan();
        ShowSpan(from, to);
    }
}

void HistoryWindow::Draw() {
    if (drawing_) {
        return;
    }
    drawing_ = true;
    auto opened = HistoryReader::Open(seams_.historyPath);
    if (auto* reader = std::get_if<HistoryReader>(&opened)) {
        data_ = BuildChartData(*reader, Request(shownFrom_, shownTo_));
    } else {
        data_ = ChartData{};
        status_->setText(QString::fromStdString(std::get<std::string>(opened)));
    }
    chart_->removeAllSeries();
    steps_->removeAllSeries();

    const auto addLine = [this](QChart* chart, const ChartLine& line, const QColor& colour,
                                QAbstractAxis* yAxis, double offset, const QString& unit) {
        // Steps are drawn in lanes: 0 and 1 become the lane's bottom and top.
        const double scale = chart == steps_ ? kStepHeight : 1.0;
        const QString name = QString::fromStdString(line.name);
        for (std::size_t s = 0; s < line.segments.size(); ++s) {
            auto* series = new QLineSeries;
            series->setName(name);
            QList<QPointF> points;
            points.reserve(static_cast<qsizetype>(line.segments[s].size()));
            for (const ChartPoint& p : line.segments[s]) {
                points.append(QPointF(static_cast<qreal>(p.timeMs), p.value * scale + offset));
            }
            series->replace(points);
            series->setPen(QPen(colour, 1.5));
            series->setPointsVisible(false);
            chart->addSeries(series);
            series->attachAxis(chart == chart_ ? timeAxis_ : stepsTimeAxis_);
            series->attachAxis(yAxis);
            // One legend entry a line, however often it breaks.
            chart->legend()->markers(series).front()->setVisible(s == 0);
            connect(
                series, &QLineSeries::hovered, this,
                [name, offset, scale, unit](const QPointF& point, bool inside) {
                    if (inside) {
                        QToolTip::showText(
                            QCursor::pos(),
                            QStringLiteral("%1\n%2: %3 %4")
                                .arg(LocalText(static_cast<int64_t>(point.x())), name,
                                     QString::number((point.y() - offset) / scale, 'f', 2), unit));
                    }
                });
        }
    };
    for (std::size_t n = 0; n < data_.voltmeters.size(); ++n) {
        addLine(chart_, data_.voltmeters[n], kLineColours[n % kLineColours.size()], voltsAxis_, 0,
                QStringLiteral("V"));
    }
    addLine(chart_, data_.temperature, kLineColours.back(), celsiusAxis_, 0, QStringLiteral("°C"));
    // Session events and alarm events on two rows of markers near the top.
    const double top = data_.fullScaleVolts > 0 ? data_.fullScaleVolts : 30;
    const auto addEvents = [&](const QString& name, const QColor& colour,
                               QScatterSeries::MarkerShape shape, double y, const QString& prefix,
                               bool alarms) {
        std::vector<StoredEvent> kept;
        std::copy_if(data_.events.begin(), data_.events.end(), std::back_inserter(kept),
                     [alarms](const StoredEvent& e) { return IsAlarmEvent(e.kind) == alarms; });
        if (kept.empty()) {
            return;
        }
        auto* events = new QScatterSeries;
        events->setName(name);
        events->setMarkerSize(9);
        events->setColor(colour);
        events->setMarkerShape(shape);
        for (const StoredEvent& e : kept) {
            events->append(static_cast<qreal>(e.timeMs), y);
        }
        chart_->addSeries(events);
        events->attachAxis(timeAxis_);
        events->attachAxis(voltsAxis_);
        connect(events, &QScatterSeries::hovered, this,
                [kept, prefix](const QPointF& point, bool inside) {
                    if (!inside) {
                        return;
                    }
                    const auto nearest = std::min_element(
                        kept.begin(), kept.end(), [&](const StoredEvent& a, const StoredEvent& b) {
                            return std::abs(a.timeMs - point.x()) < std::abs(b.timeMs - point.x());
                        });
                    QToolTip::showText(
                        QCursor::pos(),
                        QStringLiteral("%1\n%2%3")
                            .arg(LocalText(nearest->timeMs), prefix,
                                 QString::fromUtf8(HistoryEventName(nearest->kind).data())));
                });
    };
    addEvents(QStringLiteral("Alarms"), QColor(0xd0, 0x10, 0x10),
              QScatterSeries::MarkerShapeTriangle, top * 0.93, QString(), true);
    addEvents(QStringLiteral("Events"), Qt::black, QScatterSeries::MarkerShapeCircle, top * 0.97,
              QStringLiteral("session "), false);
    const std::size_t relays = data_.relays.size();
    for (std::size_t r = 0; r < relays; ++r) {
        addLine(steps_, data_.relays[r], kLineColours[r % kLineColours.size()], laneAxis_,
                kLaneHeight * static_cast<double>(data_.pins.size() + relays - 1 - r),
                QStringLiteral("(1 = energised, the unit's OFF)"));
    }
    for (std::size_t p = 0; p < data_.pins.size(); ++p) {
        addLine(steps_, data_.pins[p], kLineColours[relays + p], laneAxis_,
                kLaneHeight * static_cast<double>(data_.pins.size() - 1 - p),
                QStringLiteral("(1 = high)"));
    }

    // Axes: the span asked for, the chosen voltmeters' range, the
    // temperatures seen.
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(shownFrom_);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(shownTo_);
    for (QDateTimeAxis* axis : {timeAxis_, stepsTimeAxis_}) {
        axis->setRange(from, to);
        axis->setFormat(TimeFormat(shownTo_ - shownFrom_));
        axis->setTickCount(7);
    }
    voltsAxis_->setRange(0, data_.fullScaleVolts > 0 ? data_.fullScaleVolts : 30);
    double low = 0;
    double high = 40;
    bool first = true;
    for (const ChartSegment& segment : data_.temperature.segments) {
        for (const ChartPoint& p : segment) {
            low = first ? p.value : std::min(low, p.value);
            high = first ? p.value : std::max(high, p.value);
            first = false;
        }
    }
    celsiusAxis_->setRange(std::floor(low) - 1, std::ceil(high) + 1);
    celsiusAxis_->setVisible(temperatureBox_->isChecked());

    std::size_t points = 0;
    for (const ChartLine& line : data_.voltmeters) {
        for (const ChartSegment& segment : line.segments) {
            points += segment.size();
        }
    }
    if (std::holds_alternative<HistoryReader>(opened)) {
        status_->setText(QStringLiteral("%1 to %2: %3 points a line (%4)%5")
                             .arg(LocalText(shownFrom_), LocalText(shownTo_))
                             .arg(data_.voltmeters.empty() ? 0 : points / data_.voltmeters.size())
                             .arg(LevelText(data_.level))
                             .arg(zoomed_ ? QStringLiteral(", zoomed") : QString()));
    }
    drawing_ = false;
}

bool HistoryWindow::ExportCsv(const QString& path) {
    auto opened = HistoryReader::Open(seams_.historyPath);
    auto* reader = std::get_if<HistoryReader>(&opened);
    std::ofstream out(path.toStdString(), std::ios::binary);
    if (reader == nullptr || !out) {
        return false;
    }
    const ChartRequest request = Request(shownFrom_, shownTo_);
    const std::size_t rows = WriteHistoryCsv(out, *reader, request.address, shownFrom_, shownTo_,
                                             request.jumpers, request.labels);
    out.close();
    status_->setText(QStringLiteral("%1 readings written to %2").arg(rows).arg(path));
    return static_cast<bool>(out);
}

bool HistoryWindow::SavePng(const QString& path) {
    QPixmap image(view_->width(), view_->height() + stepsView_->height());
    image.fill(Qt::white);
    QPainter painter(&image);
    view_->render(&painter, QRectF(0, 0, view_->width(), view_->height()));
    stepsView_->render(&painter,
                       QRectF(0, view_->height(), stepsView_->width(), stepsView_->height()));
    painter.end();
    return image.save(path, "PNG");
}

void ShowHistoryWindow(QWidget* parent, HistoryWindowSeams seams) {
    auto* existing = parent->findChild<HistoryWindow*>(QStringLiteral("HistoryWindow"));
    if (existing != nullptr) {
        existing->Reload();
        existing->show();
        existing->raise();
        existing->activateWindow();
        return;
    }
    auto* window = new HistoryWindow(std::move(seams), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

}  // namespace varnex
