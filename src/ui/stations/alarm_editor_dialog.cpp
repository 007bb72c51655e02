#include "ui/stations/alarm_editor_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "stations/station_message.h"
#include "ui/widgets/dialog_buttons.h"

namespace varnex {
namespace {

constexpr int kNumberFieldWidth = 70;
const char* const kFieldNames[] = {"lower limit", "upper limit", "hysteresis"};

template <typename Watch>
auto& LimitsOf(Watch& watch, std::size_t reading) {
    return reading < kVoltmeterColumns ? watch.voltmeters[reading] : watch.temperature;
}

// As the messages name a reading in the middle of a sentence.
std::string ReadingName(std::size_t reading) {
    return reading < kVoltmeterColumns ? "voltmeter " + std::to_string(reading + 1)
                                       : "the temperature";
}

// The voltmeter's label as the user keeps it, else its number.
QString ReadingCaption(const LoadedStation& station, std::size_t reading) {
    if (reading == kVoltmeterColumns) {
        return QStringLiteral("Temperature");
    }
    const std::string& label = station.labels[reading];
    return label.empty() ? QStringLiteral("Voltmeter %1").arg(reading + 1)
                         : QString::fromStdString(label);
}

// A voltmeter's range with the station's jumpers; the temperature's unit.
QString RangeText(const LoadedStation& station, std::size_t reading) {
    if (reading == kVoltmeterColumns) {
        return QStringLiteral("\u00B0C");
    }
    const int fullScale = DecodeVoltmeter(reading, 0, JumpersOf(station)).fullScaleVolts;
    return QStringLiteral("0 to %1 V").arg(fullScale);
}

QString NumberText(std::optional<double> value) {
    return value ? QLocale::c().toString(*value, 'g', 15) : QString();
}

// Empty text is an absent value; otherwise nullopt inside when it is not a
// finite number in plain notation ("1,5" is not one, rather than fifteen).
std::optional<std::optional<double>> ParsedNumber(const QLineEdit* field) {
    const std::string text = field->text().trimmed().toStdString();
    if (text.empty()) {
        return std::optional<double>{};
    }
    double value = 0;
    const std::from_chars_result end =
        std::from_chars(text.data(), text.data() + text.size(), value);
    if (end.ec != std::errc() || end.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return std::optional(value);
}

QLineEdit* NumberField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setFixedWidth(kNumberFieldWidth);
    field->setAlignment(Qt::AlignRight);
    return field;
}

}  // namespace

AlarmEditorDialog::AlarmEditorDialog(QWidget* parent, StationStore& store,
                                     const LoadedStation& station, uint32_t pollIntervalSeconds)
    : QDialog(parent), store_(store), station_(station), pollIntervalSeconds_(pollIntervalSeconds) {
    setWindowTitle(QStringLiteral("Alarm Settings"));

    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(
        QString::fromStdString(StationListLine(station.address, station.comment)), content);
    heading->setStyleSheet(QStringLiteral("font-weight: bold"));
    layout->addWidget(heading);
    watch_ = new QCheckBox(QStringLiteral("Watch this station"), content);
    layout->addWidget(watch_);

    auto* limits = new QGroupBox(QStringLiteral("Limits (empty: not checked)"), content);
    auto* grid = new QGridLayout(limits);
    const QString headers[] = {QStringLiteral("Range"), QStringLiteral("Lower"),
                               QStringLiteral("Upper"), QStringLiteral("Hysteresis")};
    for (int column = 0; column < 4; ++column) {
        grid->addWidget(new QLabel(headers[column], limits), 0, column + 1, Qt::AlignHCenter);
    }
    for (std::size_t reading = 0; reading < kReadings; ++reading) {
        const int row = static_cast<int>(reading) + 1;
        captions_[reading] = new QLabel(ReadingCaption(station, reading), limits);
        ranges_[reading] = new QLabel(RangeText(station, reading), limits);
        grid->addWidget(captions_[reading], row, 0);
        grid->addWidget(ranges_[reading], row, 1, Qt::AlignRight);
        for (int field = 0; field < kFieldCount; ++field) {
            fields_[reading][field] = NumberField(limits);
            grid->addWidget(fields_[reading][field], row, field + 2);
        }
    }
    layout->addWidget(limits);

    auto* silenceRow = new QHBoxLayout;
    silence_ = NumberField(content);
    silenceRow->addWidget(new QLabel(QStringLiteral("Silent for more than"), content));
    silenceRow->addWidget(silence_);
    silenceRow->addWidget(new QLabel(QStringLiteral("s (empty: no silent alarm)"), content));
    silenceRow->addStretch(1);
    layout->addLayout(silenceRow);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    LayOutGroupAboveButtons(this, content, ok_, cancel_);
    connect(ok_, &QPushButton::clicked, this, &AlarmEditorDialog::OnOk);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    const std::optional<std::map<std::string, StationWatch>> watches = LoadStationWatches(store_);
    if (!watches) {
        Tell("The alarm settings could not be read.");
    }
    // A station without settings of its own is not watched.
    StationWatch shown;
    if (watches) {
        if (const auto found = watches->find(station.address); found != watches->end()) {
            shown = found->second;
        }
    }
    Show(shown);
}

void AlarmEditorDialog::Show(const StationWatch& watch) {
    watch_->setChecked(watch.watched);
    for (std::size_t reading = 0; reading < kReadings; ++reading) {
        const ReadingLimits& limits = LimitsOf(watch, reading);
        fields_[reading][Lower]->setText(NumberText(limits.lower));
        fields_[reading][Upper]->setText(NumberText(limits.upper));
        fields_[reading][Hysteresis]->setText(NumberText(limits.hysteresis));
    }
    silence_->setText(watch.silentSeconds ? QString::number(*watch.silentSeconds) : QString());
}

std::optional<StationWatch> AlarmEditorDialog::Typed() const {
    StationWatch watch;
    watch.watched = watch_->isChecked();
    for (std::size_t reading = 0; reading < kReadings; ++reading) {
        std::optional<double> values[kFieldCount];
        for (int field = 0; field < kFieldCount; ++field) {
            const std::optional<std::optional<double>> parsed =
                ParsedNumber(fields_[reading][field]);
            if (!parsed) {
                Tell("The " + std::string(kFieldNames[field]) + " of " + ReadingName(reading) +
                     " is not a number.");
                return std::nullopt;
            }
            values[field] = *parsed;
        }
        LimitsOf(watch, reading) = {values[Lower], values[Upper], values[Hysteresis].value_or(0)};
    }
    const QString silence = silence_->text().trimmed();
    if (!silence.isEmpty()) {
        bool ok = false;
        const qulonglong seconds = silence.toULongLong(&ok);
        if (!ok || seconds > std::numeric_limits<uint32_t>::max()) {
            Tell("The silence must be a whole number of seconds, or empty for no silent alarm.");
            return std::nullopt;
        }
        watch.silentSeconds = static_cast<uint32_t>(seconds);
    }
    return watch;
}

void AlarmEditorDialog::OnOk() {
    const std::optional<StationWatch> watch = Typed();
    if (!watch) {
        return;
    }
    if (const std::optional<std::string> error =
            StationWatchError(*watch, JumpersOf(station_), pollIntervalSeconds_)) {
        Tell(*error);
        return;
    }
    if (!SaveStationWatch(store_, station_.address, *watch)) {
        Tell("The alarm settings could not be saved.");
        return;
    }
    saved_ = true;
    accept();
}

void AlarmEditorDialog::Tell(const std::string& text) const {
    ShowStationMessage(store_.hooks(), MessageOwner::ActiveDialog, text, MessageIcon::Exclamation);
}

bool OpenAlarmEditor(QWidget* parent, StationStore& store, const LoadedStation& station,
                     uint32_t pollIntervalSeconds) {
    AlarmEditorDialog dialog(parent, store, station, pollIntervalSeconds);
    dialog.exec();
    return dialog.saved();
}

}  // namespace varnex
