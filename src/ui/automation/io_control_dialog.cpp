#include "ui/automation/io_control_dialog.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/widgets/dialog_context.h"
#include "ui/automation/script_picker.h"
#include "ui/automation/trigger_dialog_look.h"

namespace varnex {
namespace {

QFont PinFont() {
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPixelSize(24);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel* PinLabel(const QString& text, QWidget* parent) {
    auto* label = ColouredLabel(text, kLookRed, parent);
    label->setFont(PinFont());
    return label;
}

QLayout* PickerGroup(std::string_view caption, ScriptPicker* picker, QWidget* parent) {
    auto* box = new QVBoxLayout;
    box->addSpacing(6);
    box->addWidget(ColouredLabel(FromWireText(caption), kLookBlue, parent));
    box->addLayout(PickerRow(picker, parent));
    return box;
}

}  // namespace

IoControlDialog::IoControlDialog(DialogContext& context, int pin, QWidget* parent)
    : QDialog(parent),
      context_(context),
      pin_(pin),
      disable_(new QRadioButton(FromWireText(kIoDisableText), this)),
      execute_(new QRadioButton(FromWireText(kIoExecuteText), this)),
      pinLabel_(PinLabel(QString::number(pin), this)),
      forZero_(new ScriptPicker(context.session.scriptTable(), this)),
      forOne_(new ScriptPicker(context.session.scriptTable(), this)) {
    setWindowTitle(FromWireText(kIoTitle));
    disable_->setObjectName("disableOption");
    execute_->setObjectName("executeOption");
    pinLabel_->setObjectName("pinNumber");

    auto* options = new QVBoxLayout;
    options->addWidget(disable_);
    options->addWidget(execute_);
    auto* top = new QHBoxLayout;
    top->addLayout(options, 1);
    top->addWidget(PinLabel(FromWireText(kIoCaption), this), 0, Qt::AlignTop);
    top->addWidget(pinLabel_, 0, Qt::AlignTop);

    auto* upload = PlainButton(QStringLiteral("Upload"), "uploadButton", this);
    auto* cancel = PlainButton(QStringLiteral("Cancel"), "cancelButton", this);
    auto* refresh = PlainButton(QStringLiteral("Refresh"), "refreshButton", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {upload, cancel, refresh}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(PickerGroup(kIoZeroGroupText, forZero_, this));
    layout->addLayout(PickerGroup(kIoOneGroupText, forOne_, this));
    layout->addLayout(buttons);

    const bool executeOn = ReportedIo(context_.session.snapshot(), pin_).executeOn;
    ShowOption(executeOn);
    if (!executeOn) {
        forZero_->ClearSteps();
        forZero_->names()->clearSelection();
    }

    connect(disable_, &QRadioButton::clicked, this, &IoControlDialog::ChooseDisable);
    connect(execute_, &QRadioButton::clicked, this, [this] { ShowOption(true); });
    connect(upload, &QPushButton::clicked, this, &IoControlDialog::Upload);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(refresh, &QPushButton::clicked, this,
            [this] { context_.session.SendCommand(Command::RequestScriptTable); });

    context_.session.SendCommand(Command::RequestScriptTable);
    connect(&tableWatch_, &QTimer::timeout, this, &IoControlDialog::WatchTable);
    tableWatch_.start(kTableWatchPeriodMs);
}

void IoControlDialog::done(int result) {
    tableWatch_.stop();
    QDialog::done(result);
}

void IoControlDialog::ShowOption(bool executeOn) {
    disable_->setChecked(!executeOn);
    execute_->setChecked(executeOn);
    forZero_->names()->setEnabled(executeOn);
    forOne_->names()->setEnabled(executeOn);
}

void IoControlDialog::ChooseDisable() {
    ShowOption(false);
    for (ScriptPicker* picker : {forZero_, forOne_}) {
        picker->names()->setCurrentRow(-1);
        picker->names()->clearSelection();
        picker->ClearSteps();
    }
}

void IoControlDialog::WatchTable() {
    if (!ConsumeScriptTable(context_.session)) {
        return;
    }
    for (ScriptPicker* picker : {forZero_, forOne_}) {
        picker->FillNames();
        picker->ClearSteps();
    }
    const ReportedIoTrigger reported = ReportedIo(context_.session.snapshot(), pin_);
    if (!reported.enabled) {
        return;
    }
    ShowOption(true);
    if (reported.rowForZero) {
        forZero_->SelectSlot(*reported.rowForZero);
    }
    if (reported.rowForOne) {
        forOne_->SelectSlot(*reported.rowForOne);
    }
}

void IoControlDialog::Upload() {
    IoChoice choice;
    choice.disableOn = disable_->isChecked();
    choice.forZero = {forZero_->SelectedRow(), forZero_->steps()->count() == 0};
    choice.forOne = {forOne_->SelectedRow(), forOne_->steps()->count() == 0};
    if (UploadIoTrigger(context_.session, context_.hooks, pin_, choice) == ScriptAction::Sent) {
        accept();
    }
}

void OpenIoControlDialog(QWidget* parent, DialogContext& context, int pin) {
    if (!ValidPin(pin)) {
        return;
    }
    IoControlDialog dialog(context, pin, parent);
    dialog.exec();
}

}  // namespace varnex
