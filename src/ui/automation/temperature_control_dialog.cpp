#include "ui/automation/temperature_control_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/dialog_context.h"
#include "ui/widgets/field_rules.h"
#include "ui/automation/script_picker.h"
#include "ui/automation/trigger_dialog_look.h"

namespace varnex {
namespace {

// A degree field holds "-128.5" at most; anything longer is no temperature.
constexpr std::size_t kDegreeFieldLength = 8;

QColor ToColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QLineEdit* DegreeField(const QString& text, const PlatformHooks& hooks, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    FieldRules::Guard(field, {CharacterClass::AnyText, kDegreeFieldLength}, hooks);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral(" 000.00 ")) + 8);
    field->setAlignment(Qt::AlignRight);
    return field;
}

}  // namespace

TemperatureControlDialog::TemperatureControlDialog(DialogContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      disable_(new QRadioButton(FromWireText(kTemperatureDisableText), this)),
      execute_(new QRadioButton(FromWireText(kTemperatureExecuteText), this)),
      current_(ColouredLabel(QString(), kLookRed, this)) {
    setWindowTitle(FromWireText(kTemperatureTitle));
    disable_->setObjectName("disableOption");
    execute_->setObjectName("executeOption");
    current_->setObjectName("currentTemperature");

    auto* upload = PlainButton(QStringLiteral("Upload"), "uploadButton", this);
    auto* cancel = PlainButton(QStringLiteral("Cancel"), "cancelButton", this);
    auto* refresh = PlainButton(QStringLiteral("Refresh"), "refreshButton", this);
    auto* reset = PlainButton(QStringLiteral("Reset"), "resetButton", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {upload, cancel, refresh, reset}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(disable_);
    layout->addWidget(execute_);
    layout->addWidget(current_);
    layout->addLayout(MakeGroup(kUpper, kUpperGroupText));
    layout->addLayout(MakeGroup(kLower, kLowerGroupText));
    layout->addLayout(buttons);

    const ReportedTemperatureTrigger reported = ReportedTemperature(context_.session.snapshot());
    ShowOption(reported.executeOn, reported.upper, reported.lower);
    if (reported.executeOn) {
        for (const ThresholdGroup& group : groups_) {
            group.fahrenheit->setText(
                FromWireText(FahrenheitText(group.celsius->text().toStdString())));
        }
    }
    reset->setVisible(TemperatureResetVisible(context_.session.snapshot()));
    ShowCurrentTemperature();

    connect(disable_, &QRadioButton::clicked, this, &TemperatureControlDialog::ChooseDisable);
    connect(execute_, &QRadioButton::clicked, this, &TemperatureControlDialog::ChooseExecute);
    connect(upload, &QPushButton::clicked, this, &TemperatureControlDialog::Upload);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(refresh, &QPushButton::clicked, this,
            [this] { context_.session.SendCommand(Command::RequestScriptTable); });
    connect(reset, &QPushButton::clicked, this, &TemperatureControlDialog::Reset);

    connect(&tableWatch_, &QTimer::timeout, this, &TemperatureControlDialog::WatchTable);
    connect(&readout_, &QTimer::timeout, this, &TemperatureControlDialog::ShowReadout);
    tableWatch_.start(kTableWatchPeriodMs);
    readout_.start(kFahrenheitReadoutMs);
    context_.session.SendCommand(Command::RequestScriptTable);
}

QLayout* TemperatureControlDialog::MakeGroup(Group g, std::string_view caption) {
    ThresholdGroup& group = groups_[g];
    const QString tag = g == kUpper ? QStringLiteral("upper") : QStringLiteral("lower");
    group.slider = new QSlider(Qt::Horizontal, this);
    group.slider->setObjectName(tag + "Slider");
    group.slider->setRange(0, kThresholdMax);
    group.celsius = DegreeField(FromWireText(kCelsiusStart), context_.hooks, this);
    group.celsius->setObjectName(tag + "Celsius");
    group.fahrenheit = DegreeField(FromWireText(kFahrenheitStart), context_.hooks, this);
    group.fahrenheit->setObjectName(tag + "Fahrenheit");
    // Overwritten every half second: typing there would be lost.
    group.fahrenheit->setReadOnly(true);
    group.picker = new ScriptPicker(context_.session.scriptTable(), this);

    auto* degrees = new QHBoxLayout;
    degrees->addWidget(group.slider, 1);
    degrees->addWidget(group.celsius);
    degrees->addWidget(new QLabel(QStringLiteral("\u00B0C"), this));
    degrees->addWidget(group.fahrenheit);
    degrees->addWidget(new QLabel(QStringLiteral("\u00B0F"), this));
    auto* box = new QVBoxLayout;
    box->addSpacing(6);
    box->addWidget(ColouredLabel(FromWireText(caption), kLookBlue, this));
    box->addLayout(degrees);
    box->addLayout(PickerRow(group.picker, this));

    connect(group.slider, &QSlider::valueChanged, this, [this, &group](int position) {
        group.celsius->setText(QString::number(position));
        Colour(group);
    });
    connect(group.celsius, &QLineEdit::textChanged, this, [this, &group] { Colour(group); });
    Colour(group);
    return box;
}

void TemperatureControlDialog::Colour(const ThresholdGroup& group) {
    const ThresholdColours colours =
        ThresholdFieldColours(group.celsius->text().toStdString(), group.slider->value());
    for (QLineEdit* field : {group.celsius, group.fahrenheit}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, ToColor(colours.text));
        palette.setColor(QPalette::Base, ToColor(colours.background));
        field->setPalette(palette);
    }
}

void TemperatureControlDialog::done(int result) {
    tableWatch_.stop();
    readout_.stop();
    QDialog::done(result);
}

void TemperatureControlDialog::ShowOption(bool executeOn, int upper, int lower) {
    disable_->setChecked(!executeOn);
    execute_->setChecked(executeOn);
    for (const ThresholdGroup& group : groups_) {
        group.slider->setEnabled(executeOn);
        group.picker->names()->setEnabled(executeOn);
    }
    groups_[kUpper].slider->setValue(upper);
    groups_[kLower].slider->setValue(lower);
    // The Celsius field follows a moved slider; set it for an unmoved one too.
    groups_[kUpper].celsius->setText(QString::number(upper));
    groups_[kLower].celsius->setText(QString::number(lower));
}

void TemperatureControlDialog::ChooseDisable() {
    ShowOption(false, 0, 0);
    for (const ThresholdGroup& group : groups_) {
        group.picker->ClearSteps();
    }
}

void TemperatureControlDialog::ChooseExecute() {
    const ReportedTemperatureTrigger reported = ReportedTemperature(context_.session.snapshot());
    ShowOption(true, reported.upper, reported.lower);
}

void TemperatureControlDialog::WatchTable() {
    if (!ConsumeScriptTable(context_.session)) {
        return;
    }
    for (const ThresholdGroup& group : groups_) {
        group.picker->FillNames();
        group.picker->ClearSteps();
    }
    const ReportedTemperatureTrigger reported = ReportedTemperature(context_.session.snapshot());
    if (!reported.enabled) {
        return;
    }
    if (reported.upperRow) {
        groups_[kUpper].picker->SelectSlot(*reported.upperRow);
    }
    if (reported.lowerRow) {
        groups_[kLower].picker->SelectSlot(*reported.lowerRow);
    }
}

void TemperatureControlDialog::ShowReadout() {
    for (const ThresholdGroup& group : groups_) {
        group.fahrenheit->setText(
            FromWireText(FahrenheitText(group.celsius->text().toStdString())));
    }
    ShowCurrentTemperature();
}

void TemperatureControlDialog::ShowCurrentTemperature() {
    const DisplayState& shown = context_.session.display();
    current_->setText(
        QString::fromStdString(CurrentTemperatureText(shown.celsius, shown.fahrenheit)));
}

void TemperatureControlDialog::Upload() {
    TemperatureChoice choice;
    choice.disableOn = disable_->isChecked();
    choice.upper = {groups_[kUpper].picker->SelectedRow(),
                    groups_[kUpper].picker->steps()->count() == 0};
    choice.lower = {groups_[kLower].picker->SelectedRow(),
                    groups_[kLower].picker->steps()->count() == 0};
    choice.upperPosition = groups_[kUpper].slider->value();
    choice.lowerPosition = groups_[kLower].slider->value();
    if (UploadTemperatureTrigger(context_.session, context_.hooks, choice) == ScriptAction::Sent) {
        accept();
    }
}

void TemperatureControlDialog::Reset() {
    if (ResetTemperatureSensor(context_.session) == ScriptAction::Sent) {
        accept();
    }
}

void OpenTemperatureControlDialog(QWidget* parent, DialogContext& context) {
    TemperatureControlDialog dialog(context, parent);
    dialog.exec();
}

}  // namespace varnex
