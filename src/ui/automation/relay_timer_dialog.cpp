#include "ui/automation/relay_timer_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

#include "platform/platform_hooks.h"
#include "session/session.h"
#include "ui/widgets/dialog_context.h"
#include "ui/automation/script_picker.h"
#include "ui/widgets/widget_parts.h"

namespace varnex {
namespace {

// Takes only what names one of the field's values; anything else beeps.
class TimerFieldRule : public QValidator {
  public:
    TimerFieldRule(const TimerField& field, const PlatformHooks& hooks, QObject* parent)
        : QValidator(parent), field_(field), hooks_(hooks) {}

    State validate(QString& input, int&) const override {
        if (TypedTimerValue(field_, ToWireText(input))) {
            return Acceptable;
        }
        hooks_.beep();
        return Invalid;
    }

  private:
    const TimerField& field_;
    const PlatformHooks& hooks_;
};

}  // namespace

RelayTimerDialog::RelayTimerDialog(DialogContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      picker_(new ScriptPicker(context.session.scriptTable(), this)),
      scriptLabel_(new QLabel(FromWireText(kChooseScriptText), this)),
      oneShot_(new QRadioButton(FromWireText(kOneShotText), this)),
      continuous_(new QRadioButton(FromWireText(kContinuousText), this)) {
    setWindowTitle("Relay Timer");
    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);

    auto* fieldGrid = new QGridLayout;
    auto* readoutRow = new QHBoxLayout;
    QFont readoutFont = font();
    readoutFont.setBold(true);
    readoutFont.setPointSizeF(readoutFont.pointSizeF() * 1.5);
    for (std::size_t k = 0; k < kTimerFields.size(); ++k) {
        auto* caption = new QLabel(FromWireText(kTimerFields[k].caption), this);
        SetColour(caption, QPalette::WindowText, blue);
        auto* combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& value : TimerFieldValues(kTimerFields[k])) {
            combo->addItem(FromWireText(value));
        }
        combo->setEditText(FromWireText(kTimerValueStart));
        combo->setMinimumContentsLength(3);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        auto* readout = new QLabel(FromWireText(kTimerValueStart), this);
        SetColour(readout, QPalette::WindowText, red);
        readout->setFont(readoutFont);
        // A picked value and a typed one count alike; Enter in the edit
        // field must not press "Set Timer".
        combo->lineEdit()->setValidator(
            new TimerFieldRule(kTimerFields[k], context.hooks, combo->lineEdit()));
        connect(combo, &QComboBox::editTextChanged, readout, [readout, k](const QString& text) {
            if (const auto value = TypedTimerValue(kTimerFields[k], ToWireText(text))) {
                readout->setText(FromWireText(*value));
            }
        });
        combo->lineEdit()->installEventFilter(this);
        fieldGrid->addWidget(caption, 0, int(k));
        fieldGrid->addWidget(combo, 1, int(k));
        readoutRow->addWidget(readout);
        if (k == 0) {
            auto* dash = new QLabel("-", this);
            dash->setFont(readoutFont);
            readoutRow->addWidget(dash);
        }
        fields_[k] = combo;
        readouts_[k] = readout;
    }
    readoutRow->addStretch();
    fieldGrid->setColumnStretch(int(kTimerFields.size()), 1);

    scriptLabel_->setObjectName("scriptLabel");
    scriptLabel_->setAutoFillBackground(true);
    SetColour(scriptLabel_, QPalette::Window, Qt::black);
    SetColour(scriptLabel_, QPalette::WindowText, QColor(255, 255, 0));
    scriptLabel_->setMargin(3);

    picker_->FitNameRows();
    picker_->names()->setMinimumWidth(fontMetrics().horizontalAdvance(QString(18, 'M')));
    auto* lists = new QHBoxLayout;
    lists->addWidget(picker_->names());
    lists->addWidget(picker_->steps());

    oneShot_->setObjectName("oneShot");
    continuous_->setObjectName("continuous");
    oneShot_->setChecked(true);

    auto* setTimer = PlainButton("Set Timer", "setTimerButton", this);
    auto* stopTimer = PlainButton("Stop Timer", "stopTimerButton", this);
    auto* refresh = PlainButton("Refresh", "refreshButton", this);
    auto* cancel = PlainButton("Cancel", "cancelButton", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {setTimer, stopTimer, refresh, cancel}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fieldGrid);
    layout->addLayout(readoutRow);
    layout->addWidget(scriptLabel_);
    layout->addLayout(lists);
    layout->addWidget(oneShot_);
    layout->addWidget(continuous_);
    layout->addLayout(buttons);

    connect(picker_, &ScriptPicker::Chosen, this, &RelayTimerDialog::ShowChosenName);
    connect(setTimer, &QPushButton::clicked, this, &RelayTimerDialog::SetTimer);
    connect(stopTimer, &QPushButton::clicked, this, &RelayTimerDialog::StopTimer);
    connect(refresh, &QPushButton::clicked, this,
            [this] { context_.session.SendCommand(Command::RequestScriptTable); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    context_.session.SendCommand(Command::RequestScriptTable);
    connect(&tableWatch_, &QTimer::timeout, this, &RelayTimerDialog::WatchTable);
    tableWatch_.start(kTableWatchPeriodMs);
}

void RelayTimerDialog::done(int result) {
    tableWatch_.stop();
    QDialog::done(result);
}

bool RelayTimerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void RelayTimerDialog::WatchTable() {
    if (ConsumeScriptTable(context_.session)) {
        picker_->FillNames();
        picker_->ClearSteps();
    }
}

void RelayTimerDialog::ShowChosenName(std::optional<int> row) {
    if (!row) {
        return;
    }
    scriptLabel_->setText(
        FromWireText(TimerScriptLabel(ToWireText(picker_->names()->item(*row)->text()))));
}

void RelayTimerDialog::SetTimer() {
    TimerChoice choice;
    choice.stepsEmpty = picker_->steps()->count() == 0;
    choice.row = picker_->SelectedRow();
    for (std::size_t k = 0; k < readouts_.size(); ++k) {
        choice.readouts[k] = readouts_[k]->text().toStdString();
    }
    choice.mode = oneShot_->isChecked() ? TimerMode::OneShot : TimerMode::Continuous;
    if (SetRelayTimer(context_.session, context_.hooks, choice) == ScriptAction::Sent) {
        accept();
    }
}

void RelayTimerDialog::StopTimer() {
    StopRelayTimer(context_.session);
    accept();
}

void OpenRelayTimerDialog(QWidget* parent, DialogContext& context) {
    RelayTimerDialog dialog(context, parent);
    dialog.exec();
}

}  // namespace varnex
